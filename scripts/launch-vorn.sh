#!/usr/bin/env bash
# Starts a built Vorn: scripts/launch-vorn.sh <program> [projet.ovx]
# With a project, the program opens it (a relative path is taken from the
# folder the script was started in). Without one, the sample project
# vorn/samples/exemple.ovx is opened when it exists; otherwise the program
# starts with no project. <program> may be a path or a name found on PATH.
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
if [ -f "$sample" ]; then
  exec "$program" "$sample"
fi
exec "$program"
