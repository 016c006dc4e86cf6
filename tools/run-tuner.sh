#!/usr/bin/env bash
# Starts the tuner window when it is built and a display is there; until the
# window exists, shows the analyzer reading a demo tone instead.
set -eu
build=${1:-build}
if [ -x "$build/bin/zelvo-tuner" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "zelvo-tuner needs a graphical display (none found: DISPLAY is not set)." >&2
    echo "Run it from a desktop session, or under Xvfb: xvfb-run -a $build/bin/zelvo-tuner" >&2
    exit 1
  fi
  exec "$build/bin/zelvo-tuner"
fi
echo "Reading the demo tone $build/demo/demo-a440.wav:"
exec "$build/bin/zelvo-analyze" --notes "$build/demo/demo-a440.wav"
