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
# Polls a condition for up to 5 s while the process that should make it
# true still runs: wait_for PID NAME COMMAND...
wait_for() {
  pid=$1 name=$2
  shift 2
  tries=0
  until "$@"; do
    tries=$((tries + 1))
    if [ "$tries" -gt 500 ] || ! kill -0 "$pid" 2>/dev/null; then
      echo "run-under-xvfb: $name did not start" >&2
      exit 1
    fi
    sleep 0.01
  done
}
# Xvfb writes the display number once it accepts connections.
wait_for "$server" Xvfb test -s "${TMPDIR:-/tmp}/zelvo-xvfb.$$"
DISPLAY=":$(head -n 1 "${TMPDIR:-/tmp}/zelvo-xvfb.$$")"
export DISPLAY
if [ -n "${ZELVO_TEST_WINDOW_MANAGER:-}" ]; then
  if command -v "$ZELVO_TEST_WINDOW_MANAGER" >/dev/null 2>&1 && command -v xprop >/dev/null 2>&1; then
    "$ZELVO_TEST_WINDOW_MANAGER" >/dev/null 2>&1 &
    manager=$!
    # It manages the screen once it has announced itself on the root window.
    wait_for "$manager" "$ZELVO_TEST_WINDOW_MANAGER" sh -c "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'"
  else
    ZELVO_TEST_WINDOW_MANAGER=""
  fi
fi
"$@"
status=$?
exit "$status"
