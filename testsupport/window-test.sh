#!/usr/bin/env bash
# Runs a window test: a program that opens windows, on a virtual X display
# of its own, so that window tests run side by side without taking each
# other's windows, focus or simulated clicks, and never on the user's own
# screen.
#   window-test.sh <program> [arguments...]
# Listing a test program's tests needs no display: it runs directly.
set -uo pipefail
# The leak check at exit stops every thread of the process; in window tests
# that means the toolkit's and the GL driver's threads, and its tracer now
# and then crashes on one of them after every test passed. Address errors
# are still caught; leaks are the window-free tests' job.
export LSAN_OPTIONS="detect_leaks=0:suppressions=$(dirname "$(realpath "$0")")/lsan.supp"
# Strict string checks make the toolkit's parse of its built-in theme
# quadratic: nearly two seconds of every window test's start, in code not
# ours. The window-free tests keep them.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0"
for arg in "$@"; do
  [ "$arg" = "--gtest_list_tests" ] && exec "$@"
done

ready=$(mktemp)
server=
cleanup() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
  fi
  rm -f "$ready"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# The server picks a free display number itself and writes it once it
# accepts clients: no race with the servers of tests started alongside.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
server=$!
# A loaded machine may take long to start it; the test's own time limit
# bounds the wait.
until [ -s "$ready" ]; do
  if ! kill -0 "$server" 2>/dev/null; then
    echo "window-test.sh: the virtual display did not start" >&2
    exit 1
  fi
  sleep 0.05
done
export DISPLAY=":$(head -n 1 "$ready")"
"$@"
