#!/usr/bin/env bash
# Runs one Windows program under Wine with an X server of its own, passing its output and
# exit code through; 77 (skipped) when Wine or Xvfb is not installed.
#   wine-run.sh [--depth 24|16] [--desktop] [--timeout SECONDS] PROGRAM [ARGUMENTS...]
#   wine-run.sh --prepare        only creates the Wine prefix (the tests' shared set-up)
# --desktop runs the program on a Wine virtual desktop of 1024 x 768, where Wine changes
# display modes (on a bare X screen it refuses).
set -uo pipefail
source "$(dirname "$0")/wine-lib.sh"

depth=24
desktop=
limit=600
while [ $# -gt 0 ]; do
    case $1 in
    --depth) depth=$2 && shift 2 ;;
    --desktop) desktop=yes && shift ;;
    --timeout) limit=$2 && shift 2 ;;
    --prepare)
        SetUpWine "$depth"
        echo "Wine prefix ready: $WINEPREFIX"
        exit 0
        ;;
    *) break ;;
    esac
done
[ $# -gt 0 ] || Fail "usage: wine-run.sh [--depth 24|16] [--desktop] [--timeout SECONDS] PROGRAM [ARGUMENTS...]"

# A program that explorer starts on a virtual desktop inherits no standard handles and
# explorer does not pass its exit code on: a batch file collects both. The launcher runs it
# without a console window, which would take the activation from the program's windows.
RunOnDesktop() {
    local scratch argument line launcher
    scratch=$(mktemp -d)
    line="\"$("$Wine64" winepath -w "$1" | tr -d '\r')\""
    shift
    for argument in "$@"; do
        case $argument in
        *[\"%]*) Fail "cannot pass $argument through a batch file" ;;
        esac
        line+=" \"$argument\""
    done
    # The redirection goes first: "echo 2> file" would redirect the error stream.
    printf '@%s > "%s" 2>&1\r\n@> "%s" echo %%ERRORLEVEL%%\r\n' "$line" \
        "$("$Wine64" winepath -w "$scratch/output.txt" | tr -d '\r')" \
        "$("$Wine64" winepath -w "$scratch/code.txt" | tr -d '\r')" >"$scratch/run.bat"
    launcher=$("$Wine64" winepath -w "${WINE_LAUNCH:?the launcher of console programs}" | tr -d '\r')
    timeout -k 5 "$limit" "$Wine64" explorer /desktop=tests,1024x768 "$launcher" \
        cmd /c "$scratch/run.bat"
    local waited=$?
    cat "$scratch/output.txt" 2>/dev/null
    code=$(tr -d '\r\n ' <"$scratch/code.txt" 2>/dev/null)
    rm -rf "$scratch"
    [ "$waited" -ne 124 ] || code=124
    [ -n "$code" ] || code=1
}

SetUpWine "$depth"
RunUnmanaged "$(basename "$1")"
if [ -n "$desktop" ]; then
    RunOnDesktop "$@"
else
    timeout -k 5 "$limit" "$Wine64" "$@"
    code=$?
fi
[ "$code" -ne 124 ] || echo "FAILED: $1 did not end within $limit seconds"
# The program's own 77 is a failure, not the skip that only a missing Wine reports.
[ "$code" -ne "$SkipExitCode" ] || code=1
exit "$code"
