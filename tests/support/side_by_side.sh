#!/bin/sh
# Runs test programs, each with its gtest filter, all at the same time, and
# fails when one of the runs fails; the runs' outputs follow each other.
# Usage: side_by_side.sh <program> <filter> [<program> <filter>]...
set -u
dir=$(mktemp -d)
pids=
cleanup() {
  for pid in $pids; do kill "$pid" 2>/dev/null; done
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 1' TERM INT
n=0
while [ $# -ge 2 ]; do
  n=$((n + 1))
  "$1" --gtest_filter="$2" >"$dir/$n.log" 2>&1 &
  pids="$pids $!"
  shift 2
done
status=0
n=0
for pid in $pids; do
  n=$((n + 1))
  wait "$pid" || status=1
  cat "$dir/$n.log"
  # A filter that no longer matches a case would pass unseen.
  if ! grep -q '^\[  PASSED  \] [1-9]' "$dir/$n.log"; then
    echo "side_by_side.sh: run $n passed no case"
    status=1
  fi
done
pids=
exit $status
