#!/usr/bin/env bash
# Proves the harness itself with a small program of our own (wine_harness_check.exe): a
# message box answered by a key, a window that appears on the X screen, a key typed into
# the program's console window, its redirected output and its exit code coming back.
#   harness-check.sh HARNESS_EXE WORK_DIR
set -uo pipefail
source "$(dirname "$0")/wine-lib.sh"
LimitRunTime 100 "$@"

program=$1
work=$2
SetUpWine 24

rm -rf "$work"
mkdir -p "$work" || Fail "cannot make $work"
cd "$work" || Fail "cannot enter $work"
cp "$program" harness.exe || Fail "cannot copy $program"

# Yes, then a console key: the window opens, the key ends the program with code 6.
timeout 60 "$Wine64" wineconsole cmd /c "harness.exe > out.txt" &
runner=$!
# The console window may show up after the box and take the activation: wait for both.
console=$(WaitForWindow 'cmd\.exe$' 30) || Fail "no console window"
box=$(WaitForWindow '^Harness check$' 30) || Fail "no message box"
AnswerBox "$box" y
WaitForWindow '^Harness check window$' 20 >/dev/null || Fail "no window after Yes"
TypeUntilEnded "$runner" "$console" 20 20 x
[ "$ExitCode" -eq 6 ] || Fail "exit code $ExitCode after a console key, expected 6; output: $(cat out.txt)"
[ "$(cat out.txt)" = $'ANSWER 6\r\nKEY 88\r' ] || Fail "output after a console key: $(cat -A out.txt)"

# Escape at the question: Cancel, code 2, no window.
timeout 60 "$Wine64" wineconsole cmd /c "harness.exe > out.txt" &
runner=$!
WaitForWindow 'cmd\.exe$' 30 >/dev/null || Fail "no console window (second run)"
box=$(WaitForWindow '^Harness check$' 30) || Fail "no message box (second run)"
AnswerBox "$box" Escape
wait "$runner"
code=$?
[ "$code" -eq 2 ] || Fail "exit code $code after Escape at the question, expected 2"
[ "$(cat out.txt)" = $'ANSWER 2\r' ] || Fail "output after Escape: $(cat -A out.txt)"
echo "harness works: message box keys, windows, console keys, output and exit codes"
