#!/bin/sh
# Runs one test program under an X server of its own: a private Xvfb on the
# first free display number, gone again when the program ends. The user's
# DISPLAY (or Wayland session) is never used.
set -u
unset WAYLAND_DISPLAY
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"${TMPDIR:-/tmp}/zelvo-xvfb.$$" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; rm -f "${TMPDIR:-/tmp}/zelvo-xvfb.$$"' EXIT INT TERM
# Xvfb writes the display number once it accepts connections.
tries=0
while [ ! -s "${TMPDIR:-/tmp}/zelvo-xvfb.$$" ]; do
  tries=$((tries + 1))
  if [ "$tries" -gt 500 ] || ! kill -0 "$server" 2>/dev/null; then
    echo "run-under-xvfb: Xvfb did not start" >&2
    exit 1
  fi
  sleep 0.01
done
DISPLAY=":$(head -n 1 "${TMPDIR:-/tmp}/zelvo-xvfb.$$")"
export DISPLAY
"$@"
status=$?
exit "$status"
