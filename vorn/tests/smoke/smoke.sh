#!/usr/bin/env bash
# Starts the built program the way a user does, through the launch script,
# three times: with no file, from another folder with a relative project
# path, and by a bare name found on PATH through a symlink. Each time the
# main window must show its title within 30 s (a sanitizer build on a
# loaded machine can take more than 10 s to start), 800 x 600 at (50, 50), the
# process must work in the program's folder, and standard error must hold
# no assertion, no GTK warning or critical and no image-loading failure.
#   smoke.sh <launch script> <program>
set -uo pipefail
launch=$1
program=$(realpath "$2")
folder=$(dirname "$program")
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# A project of our own (the sample is not in the repository yet).
mkdir -p "$work/projets" "$work/ailleurs" "$work/bin"
printf '<?xml version="1.0"?>\n<Projet>\n<Echelle>100</Echelle>\n</Projet>\n' >"$work/projets/essai.ovx"
ln -s "$program" "$work/bin/vorn-essai"

# check <name> <expected title> <command...>: runs the command in the
# background from the current folder and checks the window.
check() {
  local name=$1 title=$2
  shift 2
  ASAN_OPTIONS=detect_leaks=0 "$@" >"$work/$name.out" 2>"$work/$name.err" &
  pid=$!
  local window= seen=
  for _ in $(seq 300); do
    window=$(xdotool search --all --onlyvisible --pid "$pid" --name "^Ovalis" 2>/dev/null | head -1)
    if [ -n "$window" ]; then
      seen=$(xdotool getwindowname "$window")
      [ "$seen" = "$title" ] && break
    fi
    sleep 0.1
  done
  if [ "$seen" != "$title" ]; then
    fail "$name: title '$seen', expected '$title' within 30 s; standard error:"
    cat "$work/$name.err" >&2
  else
    local geometry
    geometry=$(xwininfo -id "$window")
    grep -q 'Absolute upper-left X: *50$' <<<"$geometry" || fail "$name: window not at x 50"
    grep -q 'Absolute upper-left Y: *50$' <<<"$geometry" || fail "$name: window not at y 50"
    grep -q 'Width: 800$' <<<"$geometry" || fail "$name: window not 800 wide"
    grep -q 'Height: 600$' <<<"$geometry" || fail "$name: window not 600 high"
  fi
  local cwd
  cwd=$(readlink "/proc/$pid/cwd")
  [ "$cwd" = "$folder" ] || fail "$name: working folder '$cwd', expected '$folder'"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=
  if grep -Eiq 'assert|gtk-warning|gtk-critical|image|load|can.t open|cannot open' "$work/$name.err"; then
    fail "$name: standard error says:"
    cat "$work/$name.err" >&2
  fi
}

cd "$work/ailleurs"
check alone "Ovalis 1.0.5" "$launch" "$program"
check relative "Ovalis 1.0.5 - essai" "$launch" "$program" ../projets/essai.ovx
PATH="$work/bin:$PATH" check path "Ovalis 1.0.5 - essai" "$launch" vorn-essai ../projets/essai.ovx

[ "$failures" -eq 0 ] && echo "smoke: 3 starts checked"
exit "$failures"
