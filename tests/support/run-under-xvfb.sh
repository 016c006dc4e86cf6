#!/bin/sh
# Runs one test program under an X server of its own: a private Xvfb on the
# first free display number, gone again when the program ends. The user's
# DISPLAY (or Wayland session) is never used.
#
# ZELVO_TEST_WINDOW_MANAGER names a window manager (openbox) to run on that
# server first, for the tests of what window managers do to a window; when it
# is not installed the variable is cleared, and those tests skip.
set -u
unset WAYLAND_DISPLAY
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"${TMPDIR:-/tmp}/zelvo-xvfb.$$" 2>/dev/null &
server=$!
manager=""
trap 'kill $manager "$server" 2>/dev/null; rm -f "${TMPDIR:-/tmp}/zelvo-xvfb.$$"' EXIT INT TERM
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
if [ -n "${ZELVO_TEST_WINDOW_MANAGER:-}" ]; then
  if command -v "$ZELVO_TEST_WINDOW_MANAGER" >/dev/null 2>&1 && command -v xprop >/dev/null 2>&1; then
    "$ZELVO_TEST_WINDOW_MANAGER" >/dev/null 2>&1 &
    manager=$!
    # It manages the screen once it has announced itself on the root window.
    tries=0
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
      tries=$((tries + 1))
      if [ "$tries" -gt 500 ] || ! kill -0 "$manager" 2>/dev/null; then
        echo "run-under-xvfb: $ZELVO_TEST_WINDOW_MANAGER did not start" >&2
        exit 1
      fi
      sleep 0.01
    done
  else
    ZELVO_TEST_WINDOW_MANAGER=""
  fi
fi
"$@"
status=$?
exit "$status"
