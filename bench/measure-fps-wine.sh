#!/usr/bin/env bash
# Runs the Windows bumpdemo.exe under Wine for a while, as a person would, and prints its
# BENCHMARK line: the Wine counterpart of measure-fps.py.
#   bench/measure-fps-wine.sh BUMPDEMO_EXE [SECONDS] [windowed|desktop]
# windowed: on a 24-bit Xvfb screen of its own; desktop: in a Wine virtual desktop of
# 1024 x 768 there. The program runs in a Wine console, the question is answered No, and
# after SECONDS (default 20) a key typed into the console ends the run with the report.
# (Yes would hide the console under the full-screen output window, where no key can reach
# it, and Escape ends without a report.) The prefix is WINEPREFIX, by default one under
# ~/.cache, made on first use.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/wine/wine-lib.sh"
[ $# -ge 1 ] || Fail "usage: measure-fps-wine.sh BUMPDEMO_EXE [SECONDS] [windowed|desktop]"
exe=$(realpath "$1") seconds=${2:-20} mode=${3:-windowed}
# A 32-bit program (the release) needs a prefix with Wine's 32-bit DLLs.
bits=64
file -b "$exe" | grep -q '^PE32+' || bits=32
export WINE_BITS=$bits
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/bumpdemo-bench/wine$bits}
work=$(mktemp -d)
trap 'StopAll; rm -rf "$work"' EXIT
cd "$work" || Fail "no work directory"
cp "$exe" bumpdemo.exe || Fail "cannot copy $exe"
RequireWine
StartDisplay 24
UsePrefix
if [ "$mode" = desktop ]; then
    "$Wine64" explorer /desktop=bench,1024x768 wineconsole cmd /c "bumpdemo.exe > out.txt" &
else
    "$Wine64" wineconsole cmd /c "bumpdemo.exe > out.txt" &
fi
Demo=$!
console=$(WaitForWindow 'cmd\.exe$' 60) || Fail "no console window"
box=$(WaitForWindow '^Do you want\.\.\.$' 60) || Fail "no start-up question"
AnswerBox "$box" n
WaitForWindow '^Vortane DirectDraw Handler$' 20 >/dev/null || Fail "no output window"
sleep "$seconds"
TypeUntilEnded "$Demo" "$console" 100 100 x
rate=$(tr -d '\r' <out.txt | sed -n 's/^BENCHMARK: \([0-9.]*\) FPS$/\1/p')
[ -n "$rate" ] || Fail "no BENCHMARK line in the output: $(cat out.txt)"
echo "$bits-bit program under Wine, $mode, $seconds s: BENCHMARK: $rate FPS"
