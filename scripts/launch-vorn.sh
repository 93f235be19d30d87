#!/usr/bin/env bash
# Starts a built Vorn: scripts/launch-vorn.sh <program> [projet.ovx]
# With a project, the program opens it (a relative path is taken from the
# folder the script was started in). Without one, it opens ~/Vorn/exemple.ovx,
# a copy of the sample project vorn/samples/exemple.ovx made the first time
# and never overwritten afterwards: a save changes the copy, never the
# tracked sample. Without the sample (or when no copy can be made) the
# program starts with no project. <program> may be a path or a name found on
# PATH.
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 <program> [projet.ovx]" >&2
  exit 2
fi
program=$1
shift
if [ $# -gt 0 ]; then
  exec "$program" "$1"
fi
sample="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/vorn/samples/exemple.ovx"
copy="${HOME:?}/Vorn/exemple.ovx"
if [ -f "$sample" ] && [ ! -e "$copy" ] && [ ! -L "$copy" ]; then
  # Copied under another name then moved without overwriting, so that a
  # copy is never seen half made, nor replaced by a second start.
  if mkdir -p "$(dirname "$copy")" && cp -- "$sample" "$copy.$$" && mv -n -- "$copy.$$" "$copy"; then
    :
  else
    echo "$0: cannot copy the sample project to '$copy'" >&2
  fi
  rm -f -- "$copy.$$"
fi
if [ -f "$copy" ]; then
  exec "$program" "$copy"
fi
exec "$program"
