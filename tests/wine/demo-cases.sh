#!/usr/bin/env bash
# End-to-end runs of the Windows bumpdemo.exe under Wine, driven the way a person would:
# keys for the start-up question, a look at the screen, a key typed into the console.
#   demo-cases.sh CASE BUMPDEMO_EXE PROBE_EXE WORK_DIR FRAMES_DIR BUMPFRAME
# CASE is one of:
#   windowed      No on a 24-bit screen: the window shows one of the effect's frames
#                 exactly; a console key ends the run with the report, exit code 0
#   windowed16    the same on a 16-bit screen, the frame reduced to RGB565
#   fullscreen    Yes on a Wine virtual desktop: the mode becomes 320 x 200 and the frames
#                 fill the screen; Escape in the output window ends it, exit 0, no report
#   refusedmode   Yes on a bare X screen, where Wine changes no mode: "SetDisplayMode
#                 FAILED" in a message box owned by the output window, exit 1, no report
#   escape        No, then Escape in the output window: exit code 0, no report
#   cancel        Escape at the question (Cancel): exit code 0, no window, no output
#   wmwindow      under a window manager (openbox), No: the window dragged by its title
#                 bar shows the frames at its new place and nothing is left at the old
#                 one; a drag of its frame's corner leaves its size; a console key ends
#                 the run with the report
#   wmescape      under a window manager, No, then Escape in the output window: exit
#                 code 0, no report
# WORK_DIR keeps what the run leaves behind: screenshots, the program's output, the
# probe's findings. FRAMES_DIR holds the reference frames that BUMPFRAME makes. The
# screenshot checks come from the e2e package of tests/ (on PYTHONPATH).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-lib.sh"
LimitRunTime 150 "$@"

[ $# -eq 6 ] || Fail "usage: demo-cases.sh CASE BUMPDEMO_EXE PROBE_EXE WORK_DIR FRAMES_DIR BUMPFRAME"
case=$1 demo=$2 probe=$3 work=$4 frames=$5 bumpframe=$6

QuestionTitle='^Do you want\.\.\.$'
OutputTitle='^Vortane DirectDraw Handler$'
Desktop=bumpdemo

Demo=

# Starts bumpdemo.exe in a Wine console window of its own, where keys can be typed for
# it, with its output in out.txt; wine64 hands back the program's exit code. The console
# window (in Console) may show up after the question and take the activation, so it is
# waited for before anything is typed.
StartInConsole() {
    timeout -k 5 120 "$Wine64" wineconsole cmd /c "bumpdemo.exe > out.txt" &
    Demo=$!
    Console=$(WaitForWindow 'cmd\.exe$' 30) || Fail "no console window"
}

# Starts bumpdemo.exe without a console (input from nowhere, output in out.txt), for the
# runs that end without a console key.
StartAlone() {
    timeout -k 5 120 "$Wine64" bumpdemo.exe <"/dev/null" >out.txt 2>stderr.txt &
    Demo=$!
}

# Waits up to SECONDS for the program to end; its exit code goes to ExitCode.
WaitForExit() {
    local seconds=$1
    local deadline=$((SECONDS + seconds))
    while kill -0 "$Demo" 2>/dev/null; do
        [ "$SECONDS" -le "$deadline" ] || Fail "bumpdemo did not end within $seconds seconds"
        sleep 0.2
    done
    wait "$Demo"
    ExitCode=$?
}

# Writes the windows of the Wine session or its display mode (COMMAND windows or mode) to
# FILE, on the virtual desktop when one is given; false when the probe wrote nothing.
Probe() {
    local file=$1 command=$2 desktop=$3
    rm -f "$file"
    if [ -n "$desktop" ]; then
        timeout 30 "$Wine64" explorer "/desktop=$desktop" launch.exe probe.exe --out "$file" \
            "$command"
        WaitForFile "$file" 10
    else
        timeout 30 "$Wine64" probe.exe --out "$file" "$command"
    fi
    [ -s "$file" ]
}

# Probes until CHECK accepts what the probe wrote: CHECK is called with the arguments
# after it and FILE last, and prints what is wrong when it returns false. A window may not
# answer yet when it first shows (its title reads empty while the program still sets up
# DirectDraw, for seconds under emulation), and Windows sees a move or a mode change a
# little after X does. The test fails with CHECK's words after 20 seconds.
#   ProbeUntil FILE COMMAND DESKTOP CHECK [ARGUMENTS...]   (DESKTOP "" for none)
ProbeUntil() {
    local file=$1 command=$2 desktop=$3 problem deadline=$((SECONDS + 20))
    shift 3
    while true; do
        if Probe "$file" "$command" "$desktop"; then
            problem=$("$@" "$file") && return 0
        else
            problem="the probe found nothing ($command)"
        fi
        [ "$SECONDS" -le "$deadline" ] || Fail "$problem"
        sleep 0.5
    done
}

# The probe's line of the window with this title, and its children.
WindowBlock() {
    awk -v title="title=\"$2\"" '
        /^window / { inside = index($0, title) > 0 }
        inside' "$1"
}

# The client area "X Y WIDTH HEIGHT" (screen coordinates) from a probe line.
ClientArea() {
    sed -n 's/.* client=\([-0-9]*\),\([-0-9]*\),\([0-9]*\),\([0-9]*\) .*/\1 \2 \3 \4/p' | head -1
}

# True when the probe's line of the window with TITLE matches PATTERN (grep), else prints
# WHAT and the line.
#   WindowLine TITLE PATTERN WHAT FILE
WindowLine() {
    local line
    line=$(WindowBlock "$4" "$1" | head -1)
    grep -q "$2" <<<"$line" && return 0
    echo "$3: $line"
    return 1
}

# True when the question box asks "Fullscreen?" with Yes, No and Cancel, else prints what
# is wrong.
QuestionAsked() {
    local box
    box=$(WindowBlock "$1" "Do you want...")
    if ! grep -q '^window class="#32770"' <<<"$box"; then
        echo "the question is no message box: $box"
    elif ! grep -q 'text="Fullscreen?"' <<<"$box"; then
        echo "the question does not ask Fullscreen?: $box"
    elif [ "$(grep -c 'class="Button"' <<<"$box")" -ne 3 ] || ! grep -q 'text="&Yes"' <<<"$box" ||
        ! grep -q 'text="&No"' <<<"$box" || ! grep -q 'text="Cancel"' <<<"$box"; then
        echo "the question's buttons are not Yes, No, Cancel: $box"
    else
        return 0
    fi
    return 1
}

# Checks the question box (on the virtual desktop when one is given).
CheckQuestion() {
    ProbeUntil question.txt windows "${1:-}" QuestionAsked
}

# Screenshots the area until it shows a frame of the effect (a window may still be
# drawing its first frame at the first look), then once more until it shows another
# one: the animation runs. Each screenshot is kept.
CheckFrames() {
    local name=$1 x=$2 y=$3 width=$4 height=$5
    shift 5
    local shot result phase previous='' deadline=$((SECONDS + 20)) count=0
    while true; do
        count=$((count + 1))
        shot="$name-$count.ppm"
        Screenshot "$shot"
        result=$(python3 -m e2e.frames "$shot" "$x" "$y" "$width" "$height" \
            --frames "$frames" --bumpframe "$bumpframe" "$@")
        case $? in
        0)
            echo "$shot: $result"
            phase=$(sed -n 's/^frame phase \([0-9]*\) .*/\1/p' <<<"$result")
            if [ -z "$previous" ]; then
                previous=$phase
            elif [ "$phase" != "$previous" ]; then
                return 0
            fi
            ;;
        1) echo "$shot: $result" ;;
        *) Fail "$result" ;;
        esac
        [ "$SECONDS" -le "$deadline" ] ||
            Fail "the screen did not show two different frames of the effect: $result"
        sleep 0.5
    done
}

CheckNoOutput() {
    [ ! -s out.txt ] || Fail "the program wrote output: $(cat -A out.txt)"
}

CheckReport() {
    grep -Pzq '\A\r\n\r\nBENCHMARK: \d+\.\d\d FPS\r\n\z' out.txt ||
        Fail "the output is not two empty lines and the BENCHMARK line: $(cat -A out.txt)"
    local rate
    rate=$(sed -n 's/^BENCHMARK: \([0-9.]*\) FPS.*/\1/p' out.txt)
    # 50 ms of waiting per frame: never more than 20 frames a second, and at least one frame.
    awk -v rate="$rate" 'BEGIN { exit !(rate > 0 && rate <= 20) }' ||
        Fail "frame rate $rate outside (0, 20]"
    # Under emulation the rate is the emulator's, not the program's.
    echo "report: $(tr -d '\r' <out.txt | tail -1)${Emulated32Bit:+ (emulated: $Emulated32Bit)}"
}

# No at the question, then the output window; its client area goes to ClientX, ClientY,
# ClientWidth and ClientHeight.
OpenWindowed() {
    local box
    box=$(WaitForWindow "$QuestionTitle" 30) || Fail "no start-up question"
    CheckQuestion
    AnswerBox "$box" n
    OutputWindow=$(WaitForWindow "$OutputTitle" 20) || Fail "no output window after No"
    ProbeUntil windows.txt windows "" WindowLine "Vortane DirectDraw Handler" \
        '^window class="wndclass"' "the output window"
    ReadClientArea windows.txt
    echo "output window client area ${ClientWidth}x${ClientHeight} at ($ClientX,$ClientY)"
}

# True when the probe saw the display mode EXPECTED, else prints the one it saw.
ModeIs() {
    grep -qx "mode $1" "$2" && return 0
    echo "display mode $(cat "$2"), expected $1"
    return 1
}

# The display mode Windows programs see, "WIDTH HEIGHT BITS" (on the virtual desktop when
# one is given).
CheckMode() {
    ProbeUntil mode.txt mode "${2:-}" ModeIs "$1"
    echo "display mode $1"
}

# Types a key into the console window; the run ends with the report.
EndWithConsoleKey() {
    TypeUntilEnded "$Demo" "$Console" 20 20 x
    [ "$ExitCode" -eq 0 ] || Fail "exit code $ExitCode after a console key"
    CheckReport
    WaitForWindowGone "$OutputTitle" 5 || Fail "the output window outlived the program"
}

# No at the question on a screen of the given depth (24 or 16) and the bits per pixel
# Windows reports for it; the options for python3 -m e2e.frames follow.
CaseWindowed() {
    SetUpWine "$1"
    Enter
    CheckMode "1024 768 $2"
    StartInConsole
    OpenWindowed
    shift 2
    CheckFrames windowed "$ClientX" "$ClientY" "$ClientWidth" "$ClientHeight" "$@"
    EndWithConsoleKey
}

CaseFullScreen() {
    SetUpWine 24
    Enter
    # The redirection goes first: "echo 2> file" would redirect the error stream.
    printf '@echo off\r\nbumpdemo.exe > out.txt\r\n> exitcode.txt echo %%ERRORLEVEL%%\r\n' >run.bat
    # Through the launcher, with no console window to take the activation (Wine 10).
    timeout -k 5 120 "$Wine64" explorer "/desktop=$Desktop,1024x768" launch.exe cmd /c run.bat &
    Demo=$!
    local box output desktop
    box=$(WaitForWindow "$QuestionTitle" 30) || Fail "no start-up question"
    CheckQuestion "$Desktop"
    AnswerBox "$box" y
    output=$(WaitForWindow "$OutputTitle" 20) || Fail "no output window after Yes"
    desktop=$(WaitForWindow "^$Desktop - Wine desktop\$" 5) || Fail "no virtual desktop"
    # The desktop's X window takes the size of the display mode.
    local geometry deadline=$((SECONDS + 10))
    while geometry=$(xwininfo -id "$desktop" | awk '/Absolute upper-left X/ { x = $NF }
            /Absolute upper-left Y/ { y = $NF } /Width:/ { w = $NF } /Height:/ { h = $NF }
            END { print x, y, w, h }') && [ "${geometry#* * }" != "320 200" ]; do
        [ "$SECONDS" -le "$deadline" ] || Fail "the virtual desktop is $geometry, not 320x200"
        sleep 0.2
    done
    CheckMode "320 200 32" "$Desktop"
    ProbeUntil windows.txt windows "$Desktop" WindowLine "Vortane DirectDraw Handler" \
        '^window class="wndclass" .* outer=0,0,320,200 client=0,0,320,200 ' \
        "the output window does not cover the 320x200 screen"
    echo "desktop window at $geometry"
    # shellcheck disable=SC2086 # the geometry is four numbers
    CheckFrames fullscreen $geometry
    TypeUntilEnded "$Demo" "$output" 160 100 Escape
    WaitForFile exitcode.txt 5 || Fail "no exit code"
    [ "$(tr -d '\r\n ' <exitcode.txt)" = 0 ] || Fail "exit code $(cat exitcode.txt) after Escape"
    CheckNoOutput
}

# True when the probe saw the failure box of a refused mode: "SetDisplayMode FAILED", owned
# by the output window, with OK alone; else prints what is wrong.
RefusalShown() {
    local block
    block=$(WindowBlock "$1" Error)
    if ! grep -q 'text="SetDisplayMode FAILED"' <<<"$block"; then
        echo "the failure message: $block"
    elif ! grep -q 'owner="wndclass"' <<<"$block"; then
        echo "the failure box has no output window owner: $block"
    elif [ "$(grep -c 'class="Button"' <<<"$block")" -ne 1 ] || ! grep -q 'text="OK"' <<<"$block"; then
        echo "the failure box's buttons are not just OK: $block"
    else
        return 0
    fi
    return 1
}

CaseRefusedMode() {
    SetUpWine 24
    Enter
    StartAlone
    local box
    box=$(WaitForWindow "$QuestionTitle" 30) || Fail "no start-up question"
    AnswerBox "$box" y
    box=$(WaitForWindow '^Error$' 20) || Fail "no failure message after Yes"
    Screenshot refused.ppm
    ProbeUntil windows.txt windows "" RefusalShown
    echo "message box: text=\"SetDisplayMode FAILED\", owned by the output window"
    AnswerBox "$box" Return
    WaitForExit 20
    [ "$ExitCode" -eq 1 ] || Fail "exit code $ExitCode after the failure message, expected 1"
    CheckNoOutput
}

CaseEscape() {
    SetUpWine 24
    Enter
    StartAlone
    OpenWindowed
    TypeUntilEnded "$Demo" "$OutputWindow" 10 10 Escape
    [ "$ExitCode" -eq 0 ] || Fail "exit code $ExitCode after Escape in the output window"
    CheckNoOutput
}

CaseCancel() {
    SetUpWine 24
    Enter
    StartAlone
    local box
    box=$(WaitForWindow "$QuestionTitle" 30) || Fail "no start-up question"
    AnswerBox "$box" Escape
    local deadline=$((SECONDS + 20))
    while kill -0 "$Demo" 2>/dev/null; do
        ! WindowExists "$OutputTitle" || Fail "an output window opened after Cancel"
        [ "$SECONDS" -le "$deadline" ] || Fail "bumpdemo did not end after Cancel"
        sleep 0.1
    done
    WaitForExit 1
    [ "$ExitCode" -eq 0 ] || Fail "exit code $ExitCode after Cancel"
    CheckNoOutput
}

# The output window's client area in the probe's FILE, into ClientX, ClientY, ClientWidth
# and ClientHeight.
ReadClientArea() {
    read -r ClientX ClientY ClientWidth ClientHeight <<<"$(WindowBlock "$1" \
        "Vortane DirectDraw Handler" | head -1 | ClientArea)"
}

# True when the output window's client area in the probe's FILE is EXPECTED ("X Y
# WIDTHxHEIGHT"), else prints AFTER (what was done to it) and the area seen.
#   ClientAreaIs EXPECTED AFTER FILE
ClientAreaIs() {
    ReadClientArea "$3"
    [ "$ClientX $ClientY ${ClientWidth}x$ClientHeight" = "$1" ] && return 0
    echo "$2 the client area is $ClientX $ClientY ${ClientWidth}x$ClientHeight, expected $1"
    return 1
}

# Under a window manager: the output window dragged by its title bar shows the frames at
# its new client area and leaves nothing at the old place (the screen there is as it was
# before the program, wherever no window covers it); dragging its frame's corner leaves
# its size; a console key then ends the run with the report.
CaseManagedWindow() {
    SetUpWine 24
    Enter
    StartWindowManager
    Screenshot empty.ppm
    StartInConsole
    OpenWindowed
    CheckFrames placed "$ClientX" "$ClientY" "$ClientWidth" "$ClientHeight"
    local x=$ClientX y=$ClientY width=$ClientWidth height=$ClientHeight expected
    local fromX fromY toX toY
    # Far enough that the old and the new place do not overlap, even where the window
    # manager stops the window a little short at an edge; Windows must see the client
    # area move as far as its X window did.
    read -r fromX fromY _ _ toX toY _ _ < <(python3 -m e2e.xscreen drag "$OutputWindow" 300 230)
    [ -n "$toY" ] || Fail "the drag failed"
    expected="$((x + toX - fromX)) $((y + toY - fromY)) ${width}x$height"
    ProbeUntil dragged.txt windows "" ClientAreaIs "$expected" \
        "after the drag by ($((toX - fromX)),$((toY - fromY)))"
    ReadClientArea dragged.txt
    [ $((toY - fromY)) -ge "$height" ] || Fail "the window moved only $((toY - fromY)) down"
    echo "dragged by the title bar: client area at ($ClientX,$ClientY)"
    CheckFrames dragged "$ClientX" "$ClientY" "$ClientWidth" "$ClientHeight"
    Screenshot dragged.ppm
    python3 -m e2e.xscreen uncovered empty.ppm dragged.ppm "$x" "$y" "$width" "$height" ||
        Fail "the old place is not clear"
    python3 -m e2e.xscreen resize "$OutputWindow" 60 40 >/dev/null ||
        Fail "the corner drag failed"
    expected="$ClientX $ClientY ${ClientWidth}x$ClientHeight"
    ProbeUntil cornerdragged.txt windows "" ClientAreaIs "$expected" \
        "after a drag of the frame's corner"
    echo "the frame's corner dragged: the window kept its size"
    CheckFrames cornerdragged "$ClientX" "$ClientY" "$ClientWidth" "$ClientHeight"
    EndWithConsoleKey
}

# Under a window manager, Escape in the output window ends the run without a report.
CaseManagedEscape() {
    SetUpWine 24
    Enter
    StartWindowManager
    StartAlone
    OpenWindowed
    TypeUntilEnded "$Demo" "$OutputWindow" 10 10 Escape
    [ "$ExitCode" -eq 0 ] || Fail "exit code $ExitCode after Escape in the output window"
    CheckNoOutput
}

# A clean work directory with the two programs in it.
Enter() {
    rm -rf "$work"
    mkdir -p "$work" || Fail "cannot make $work"
    cd "$work" || Fail "cannot enter $work"
    cp "$demo" bumpdemo.exe || Fail "cannot copy $demo"
    cp "$probe" probe.exe || Fail "cannot copy $probe"
    cp "${WINE_LAUNCH:?the launcher of console programs}" launch.exe ||
        Fail "cannot copy $WINE_LAUNCH"
}

case $case in
windowed) CaseWindowed 24 32 ;;
windowed16) CaseWindowed 16 16 --rgb565 ;;
fullscreen) CaseFullScreen ;;
refusedmode) CaseRefusedMode ;;
escape) CaseEscape ;;
cancel) CaseCancel ;;
wmwindow) CaseManagedWindow ;;
wmescape) CaseManagedEscape ;;
*) Fail "unknown case $case" ;;
esac
echo "PASSED: $case"
