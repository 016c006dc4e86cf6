#!/usr/bin/env bash
# Starts the built tuner window, or says plainly why it cannot.
#   tools/run-tuner.sh --check-display   only checks for a display
#   tools/run-tuner.sh [builddir]        starts builddir/bin/zelvo-tuner
set -eu
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "zelvo-tuner needs a graphical display (none found: DISPLAY is not set)." >&2
  echo "Run it from a desktop session, or build it and start it under Xvfb:" >&2
  echo "  make build && xvfb-run -a build/bin/zelvo-tuner" >&2
  exit 1
fi
[ "${1:-}" = "--check-display" ] && exit 0
exec "${1:-build}/bin/zelvo-tuner"
