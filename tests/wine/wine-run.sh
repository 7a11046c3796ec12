#!/usr/bin/env bash
# Runs one Windows program under Wine with an X server of its own, passing its output and
# exit code through; 77 (skipped) when Wine or Xvfb is not installed.
#   wine-run.sh [--depth 24|16] [--timeout SECONDS] PROGRAM [ARGUMENTS...]
#   wine-run.sh --prepare        only creates the Wine prefix (the tests' shared set-up)
set -uo pipefail
source "$(dirname "$0")/wine-lib.sh"

depth=24
limit=600
while [ $# -gt 0 ]; do
    case $1 in
    --depth) depth=$2 && shift 2 ;;
    --timeout) limit=$2 && shift 2 ;;
    --prepare)
        SetUpWine "$depth"
        echo "Wine prefix ready: $WINEPREFIX"
        exit 0
        ;;
    *) break ;;
    esac
done
[ $# -gt 0 ] || Fail "usage: wine-run.sh [--depth 24|16] [--timeout SECONDS] PROGRAM [ARGUMENTS...]"

SetUpWine "$depth"
timeout -k 5 "$limit" "$Wine64" "$@"
code=$?
[ "$code" -ne 124 ] || echo "FAILED: $1 did not end within $limit seconds"
# The program's own 77 is a failure, not the skip that only a missing Wine reports.
[ "$code" -ne "$SkipExitCode" ] || code=1
exit "$code"
