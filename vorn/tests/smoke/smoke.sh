#!/usr/bin/env bash
# Starts the built program the way a user does: through the launch script
# with no file (it opens its copy of the sample project, made in a home
# folder of the test's own), from another folder with a relative project
# path, and by a bare name found on PATH through a symlink; and the program
# alone, which opens nothing. Each time the main window must show the
# title of that case within 120 s (a sanitizer build starts in about 5 s
# alone, in 30 on a loaded machine) and still show it a second later,
# 800 x 600 at (50, 50), the process must work in the program's folder, and
# standard error must hold no assertion, no GTK warning or critical and no
# image-loading failure. The launch script's copy of the sample is checked
# without a window: made once from the sample, never overwritten.
#   smoke.sh <launch script> <program>
set -uo pipefail
launch=$1
program=$(realpath "$2")
folder=$(dirname "$program")
work=$(mktemp -d)
pid=
holder=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$holder" ] && kill "$holder" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# An X server such as Xvfb resets when its last client leaves and refuses
# new ones meanwhile: a program started right after the one before was
# killed could find no display. A client kept for the whole test keeps
# the server up between the starts.
xprop -root -spy >/dev/null 2>&1 &
holder=$!
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# A project of our own, and a home folder for the launch script's copy of
# the sample.
mkdir -p "$work/projets" "$work/ailleurs" "$work/bin" "$work/home"
export HOME=$work/home
printf '<?xml version="1.0"?>\n<Projet>\n<Echelle>100</Echelle>\n</Projet>\n' >"$work/projets/essai.ovx"
ln -s "$program" "$work/bin/vorn-essai"

# check <name> <expected title> <command...>: runs the command in the
# background from the current folder and checks the window.
check() {
  local name=$1 title=$2
  shift 2
  ASAN_OPTIONS=detect_leaks=0 "$@" >"$work/$name.out" 2>"$work/$name.err" &
  pid=$!
  # The search may also give the program's other windows (a palette):
  # the main window is the one whose title is the case's.
  local window= seen= found= deadline=$((SECONDS + 120))
  # Bounded by time, not by a count of searches: each search is slower on
  # a loaded machine.
  while [ "$SECONDS" -lt "$deadline" ]; do
    for found in $(xdotool search --all --onlyvisible --pid "$pid" --name "^Ovalis" 2>/dev/null); do
      window=$found
      seen=$(xdotool getwindowname "$window")
      [ "$seen" = "$title" ] && break 2
    done
    sleep 0.1
  done
  # A title seen on the way (before a project is opened) is not the end:
  # the one of the case must still stand a second later.
  if [ "$seen" = "$title" ]; then
    sleep 1
    seen=$(xdotool getwindowname "$window" 2>/dev/null)
  fi
  if [ "$seen" != "$title" ]; then
    fail "$name: title '$seen', expected '$title' within 120 s and a second later; standard error:"
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

# The copy of the sample: made from it at the first start, kept as the user
# changed it at the next one, and the path the program is given. echo
# stands for the program.
sample=$(dirname "$(realpath "$launch")")/../vorn/samples/exemple.ovx
copy=$work/home/Vorn/exemple.ovx
if [ -f "$sample" ]; then
  given=$("$launch" echo)
  [ "$given" = "$copy" ] || fail "copy: the program is given '$given', not '$copy'"
  cmp -s "$sample" "$copy" || fail "copy: '$copy' is not the sample"
  echo '<!-- changed -->' >>"$copy"
  cp "$copy" "$work/changed.ovx"
  "$launch" echo >/dev/null
  cmp -s "$work/changed.ovx" "$copy" || fail "copy: '$copy' was overwritten"
  rm -f "$copy"
  opened="Ovalis 1.0.5 - exemple"
else
  opened="Ovalis 1.0.5"
fi

cd "$work/ailleurs"
check launched "$opened" "$launch" "$program"
check alone "Ovalis 1.0.5" "$program"
check relative "Ovalis 1.0.5 - essai" "$launch" "$program" ../projets/essai.ovx
PATH="$work/bin:$PATH" check path "Ovalis 1.0.5 - essai" "$launch" vorn-essai ../projets/essai.ovx

[ "$failures" -eq 0 ] && echo "smoke: 4 starts checked"
exit "$failures"
