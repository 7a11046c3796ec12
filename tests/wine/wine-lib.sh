# shellcheck shell=bash
# Shared by the Wine test scripts (sourced, not run): a private Wine prefix, an X server
# of the test's own, and the few ways a test looks at and types into Wine's windows.
#
# WINEPREFIX must name the prefix (CTest sets it to one under the build tree). It is
# created on first use and reused; one test at a time holds it, because all programs of a
# prefix share one wineserver, and the test kills that server when it ends.
# WINE_BITS=32 marks the tests of 32-bit programs: they first make sure this machine runs
# 32-bit Wine at all (Require32BitWine) and skip with the reason when it does not.

Wine64=${WINE64:-/usr/lib/wine/wine64}
WineServer=${WINESERVER:-/usr/lib/wine/wineserver}
Wine32=${WINE32:-/usr/lib/wine/wine}                   # the 32-bit loader (wine32:i386)
Gl32=${GL32:-/usr/lib/i386-linux-gnu}                  # where the 32-bit GL libraries live
SkipExitCode=77 # CTest's SKIP_RETURN_CODE for these tests

XvfbPid=
XvfbLog=
WindowManagerPid=

Fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# Runs the calling script again under a time limit (once): when it expires the script
# gets SIGTERM and still cleans up, where CTest's own timeout would kill it outright.
#   LimitRunTime SECONDS "$@"   at the top of a script
LimitRunTime() {
    local seconds=$1
    shift
    if [ -z "${WineTestLimited:-}" ]; then
        export WineTestLimited=1
        exec timeout -k 15 "$seconds" "$0" "$@"
    fi
}

# Ends the test as skipped when this machine cannot run Wine under an X server of its own.
RequireWine() {
    local tool missing=()
    for tool in "$Wine64" "$WineServer" Xvfb xdotool xwininfo import flock timeout; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "SKIPPED: not installed: ${missing[*]}"
        exit "$SkipExitCode"
    fi
}

# Prints why this machine cannot run 32-bit Windows programs under Wine, or nothing when it
# can. A tiny static 32-bit Linux program shows whether the kernel runs 32-bit code; when it
# does not, as root, qemu-i386-static is registered for 32-bit programs through
# binfmt_misc (flag F: the kernel keeps the emulator open, so it works in any mount
# namespace) and the program tried again. Wine under that emulation must start a 32-bit
# program within Limit32BitStart seconds: one start costs minutes where the emulator
# cannot place Wine's address-space reservations, far too slow for the test run.
Limit32BitStart=90
Why32BitWineCannotRun() {
    local scratch code
    scratch=$(mktemp -d)
    # shellcheck disable=SC2016 # assembler text, not shell
    printf '.globl _start\n_start: movl $1, %%eax\n movl $0, %%ebx\n int $0x80\n' >"$scratch/exit.s"
    if ! as --32 -o "$scratch/exit.o" "$scratch/exit.s" 2>/dev/null ||
        ! ld -m elf_i386 -o "$scratch/exit" "$scratch/exit.o" 2>/dev/null; then
        rm -rf "$scratch"
        echo "cannot build a 32-bit test program (as --32, ld -m elf_i386)"
        return
    fi
    "$scratch/exit" 2>/dev/null
    code=$?
    # A registered emulator takes precedence over the kernel's own loader.
    local how=native
    ! I386EmulationRegistered || how=emulated
    if [ "$code" -ne 0 ]; then
        how=emulated
        RegisterI386Emulation || {
            rm -rf "$scratch"
            return
        }
        "$scratch/exit" 2>/dev/null || {
            rm -rf "$scratch"
            echo "the kernel runs no 32-bit programs, not even through qemu-i386-static"
            return
        }
    fi
    rm -rf "$scratch"
    [ -x "$Wine32" ] || {
        echo "32-bit Wine is not installed (Debian package wine32:i386)"
        return
    }
    if [ ! -e "$Gl32/libGL.so.1" ] || [ ! -e "$Gl32/libGLX_mesa.so.0" ]; then
        echo "the 32-bit GL libraries are not installed (libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386)"
        return
    fi
    [ "$how" = native ] || TimeEmulated32BitStart
}

# True when binfmt_misc hands 32-bit x86 programs to an enabled qemu-i386.
I386EmulationRegistered() {
    local entry
    for entry in /proc/sys/fs/binfmt_misc/*; do
        [ -f "$entry" ] && grep -qx enabled "$entry" 2>/dev/null &&
            grep -q '^interpreter .*qemu-i386' "$entry" 2>/dev/null && return 0
    done
    return 1
}

# Registers qemu-i386-static for 32-bit x86 programs (executables and shared objects),
# mounting binfmt_misc first when needed; prints the reason when it cannot.
RegisterI386Emulation() {
    local misc=/proc/sys/fs/binfmt_misc
    local qemu=/usr/bin/qemu-i386-static
    I386EmulationRegistered && return 0
    if [ ! -x "$qemu" ]; then
        echo "the kernel runs no 32-bit programs and qemu-user-static is not installed"
        return 1
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "the kernel runs no 32-bit programs, and registering qemu-i386-static needs root"
        return 1
    fi
    [ -e "$misc/register" ] || mount -t binfmt_misc binfmt_misc "$misc" 2>/dev/null || {
        echo "the kernel runs no 32-bit programs and binfmt_misc cannot be mounted"
        return 1
    }
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:$qemu:F" >"$misc/register" 2>/dev/null || [ -e "$misc/qemu-i386" ] || {
        echo "the kernel runs no 32-bit programs and qemu-i386-static could not be registered"
        return 1
    }
}

# Times 32-bit Wine starting one program (cmd /c exit) in a scratch prefix under the
# emulation; prints the reason when it takes longer than Limit32BitStart seconds.
TimeEmulated32BitStart() {
    local scratch started=$SECONDS
    scratch=$(mktemp -d)
    WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        timeout -k 5 "$Limit32BitStart" "$Wine32" cmd /c exit >/dev/null 2>&1
    local code=$?
    WINEPREFIX=$scratch/prefix timeout 20 "$WineServer" -k >/dev/null 2>&1
    rm -rf "$scratch"
    if [ "$code" -eq 124 ] || [ "$code" -eq 137 ]; then
        echo "the kernel runs no 32-bit programs; through qemu-i386-static 32-bit Wine did not start one program within $Limit32BitStart s (too slow for the test run)"
    elif [ "$code" -ne 0 ]; then
        echo "the kernel runs no 32-bit programs; through qemu-i386-static 32-bit Wine failed (exit code $code)"
    else
        echo "32-bit Wine started a program through qemu-i386-static in $((SECONDS - started)) s" >&2
    fi
}

# For tests of 32-bit programs (WINE_BITS=32): ends the test as skipped, with the reason in
# one line, when this machine cannot run them. The finding is kept beside the prefix
# ($WINEPREFIX.32bit) so that only the first test of a build tree looks.
Require32BitWine() {
    [ "${WINE_BITS:-64}" = 32 ] || return 0
    [ -n "${WINEPREFIX:-}" ] || Fail "WINEPREFIX is not set"
    local verdict=$WINEPREFIX.32bit reason
    if [ ! -f "$verdict" ]; then
        mkdir -p "$(dirname "$verdict")"
        reason=$(Why32BitWineCannotRun)
        echo "$reason" >"$verdict"
    fi
    reason=$(cat "$verdict")
    if [ -n "$reason" ]; then
        echo "SKIPPED: 32-bit release not run: $reason"
        exit "$SkipExitCode"
    fi
}

# Ends whatever the test started, on every way out.
StopAll() {
    if [ -n "${PrefixLock:-}" ]; then
        timeout 20 "$WineServer" -k >/dev/null 2>&1
        timeout 20 "$WineServer" -w >/dev/null 2>&1
    fi
    if [ -n "$WindowManagerPid" ]; then
        kill "$WindowManagerPid" 2>/dev/null
        WindowManagerPid=
    fi
    if [ -n "$XvfbPid" ]; then
        kill "$XvfbPid" 2>/dev/null
        wait "$XvfbPid" 2>/dev/null
        XvfbPid=
    fi
    [ -z "$XvfbLog" ] || rm -f "$XvfbLog"
    # Background jobs of the test (the program runs in one) end with the server.
    local job
    for job in $(jobs -p); do
        kill "$job" 2>/dev/null
    done
    wait 2>/dev/null
}

# Starts an X server of its own for this test, with one screen of the given depth
# (24 or 16), and points DISPLAY at it. Xvfb picks a free display number itself.
StartDisplay() {
    local depth=$1 size=${2:-1024x768}
    local numberFile
    numberFile=$(mktemp)
    XvfbLog=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${size}x${depth}" -nolisten tcp -noreset \
        3>"$numberFile" >"$XvfbLog" 2>&1 &
    XvfbPid=$!
    for _ in $(seq 100); do
        [ -s "$numberFile" ] && break
        kill -0 "$XvfbPid" 2>/dev/null || break
        sleep 0.1
    done
    [ -s "$numberFile" ] || Fail "Xvfb did not start: $(cat "$XvfbLog")"
    DISPLAY=":$(tr -d '\n' <"$numberFile")"
    export DISPLAY
    rm -f "$numberFile"
}

# Starts a window manager (openbox) on the test's X server, through the end-to-end helpers
# (the e2e package, on PYTHONPATH), its log in openbox.log; the test is skipped where
# openbox is not installed.
StartWindowManager() {
    local tool
    for tool in openbox xprop; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "SKIPPED: not installed: $tool"
            exit "$SkipExitCode"
        fi
    done
    WindowManagerPid=$(python3 -m e2e.xscreen windowmanager openbox.log) ||
        Fail "no window manager"
}

# Takes the prefix for this test (waiting while another test holds it) and creates it when
# it does not exist yet. wineboot takes about a minute the first time.
UsePrefix() {
    [ -n "${WINEPREFIX:-}" ] || Fail "WINEPREFIX is not set"
    export WINEPREFIX
    export WINEDEBUG=-all
    # No Mono or Gecko installer dialogs: nothing here uses .NET or HTML.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec {PrefixLock}>"$WINEPREFIX.lock"
    flock -w 900 "$PrefixLock" || Fail "the Wine prefix $WINEPREFIX stayed busy"
    # A prefix made before wine32 was installed has no 32-bit system DLLs: make it again.
    if [ "${WINE_BITS:-64}" = 32 ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        rm -f "$WINEPREFIX/.ready"
    fi
    if [ ! -f "$WINEPREFIX/.ready" ]; then
        echo "Creating the Wine prefix $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        timeout 600 "$Wine64" wineboot -i >"$WINEPREFIX.log" 2>&1 ||
            Fail "wineboot failed: $(tail -5 "$WINEPREFIX.log")"
        timeout 120 "$WineServer" -w
        [ "${WINE_BITS:-64}" != 32 ] || [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] ||
            Fail "the new Wine prefix has no 32-bit system DLLs (is wine32:i386 installed?)"
        touch "$WINEPREFIX/.ready"
    fi
}

# Lets the named program's windows go unmanaged. No window manager runs here, and Wine
# waits two seconds for one to withdraw each managed window that is hidden or destroyed;
# but the clicks that activate windows (TypeInto) need managed ones, so only programs
# nobody types into run unmanaged.
RunUnmanaged() {
    timeout 60 "$Wine64" reg add "HKCU\\Software\\Wine\\AppDefaults\\$1\\X11 Driver" \
        /v Managed /d N /f >/dev/null 2>&1 || Fail "cannot set up $1 to run unmanaged"
}

# Everything a test needs before it starts Windows programs: skip when Wine is missing,
# its own X server, the prefix, and the clean-up.
SetUpWine() {
    RequireWine
    Require32BitWine
    trap StopAll EXIT
    trap 'Fail "interrupted (time limit reached?)"' INT TERM
    StartDisplay "$@"
    UsePrefix
}

# Prints the X id of the first visible window whose name matches the pattern (a regular
# expression), waiting up to the given number of seconds; fails when none appears.
WaitForWindow() {
    local pattern=$1 seconds=$2 id
    local deadline=$((SECONDS + seconds))
    while [ "$SECONDS" -le "$deadline" ]; do
        id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# True when a visible window of that name exists now.
WindowExists() {
    [ -n "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]
}

# True while the X window is mapped and viewable.
IsViewable() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# The topmost viewable window at a point of the screen among the given window and its
# siblings (the other children of its parent: the root, or Wine's virtual desktop), as
# xwininfo names it (hexadecimal).
TopWindowAt() {
    local id=$1 x=$2 y=$3 parent child width height left top
    parent=$(xwininfo -children -id "$id" | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    # xwininfo lists the children topmost first, each with its size and absolute place.
    while read -r child width height left top; do
        if [ "$x" -ge "$left" ] && [ "$x" -lt $((left + width)) ] && [ "$y" -ge "$top" ] &&
            [ "$y" -lt $((top + height)) ] && IsViewable "$child"; then
            echo "$child"
            return 0
        fi
    done < <(xwininfo -children -id "$parent" |
        sed -n 's/^ *\(0x[0-9a-f]*\) .*  \([0-9]*\)x\([0-9]*\)[-+][-0-9]*[-+][-0-9]*  +\([-0-9]*\)+\([-0-9]*\)$/\1 \2 \3 \4 \5/p')
}

# Types keys into a window. Wine delivers keyboard input to the window it holds active
# and takes no X focus change as activation, but a click activates any window; so the
# window is raised and clicked first, at a point (relative to the window) where a click
# does nothing else. Returns 1 without clicking or typing when another window still
# covers that point (a window shown later, the console's for one, may lie on top).
TypeInto() {
    local id=$1 x=$2 y=$3 left top covering
    shift 3
    xdotool windowraise "$id" 2>/dev/null
    sleep 0.2
    read -r left top < <(xwininfo -id "$id" | awk '/Absolute upper-left X/ { x = $NF }
        /Absolute upper-left Y/ { y = $NF } END { print x, y }')
    covering=$(TopWindowAt "$id" $((left + x)) $((top + y)))
    if [ "$covering" != "$(printf '0x%x' "$id")" ]; then
        echo "window ${covering:-none} lies over window $(printf '0x%x' "$id")"
        return 1
    fi
    xdotool mousemove --window "$id" "$x" "$y" click 1
    sleep 0.3
    xdotool key --delay 50 "$@"
}

# Answers a message box with a key, clicking its corner first (the dialog's background).
# The answer is typed again while the box stays up: the activation may go to another
# program's window that appears at the same moment.
AnswerBox() {
    local id=$1 key=$2 attempt
    for attempt in 1 2 3; do
        if TypeInto "$id" 2 2 "$key"; then
            for _ in $(seq 25); do
                IsViewable "$id" || return 0
                sleep 0.2
            done
        fi
        echo "the message box took no $key (attempt $attempt); X windows now:"
        xwininfo -root -children | grep '^ *0x' | grep -v -e '(has no name)' -e '"Default IME"'
        Screenshot "box-$key-$attempt.ppm"
        sleep 1
    done
    Fail "the message box did not take the key $key"
}

# Types a key into a window until the program (a background job of this shell) ends,
# up to three times; a later key only reaches a program that missed the earlier ones.
# The program's exit code goes to ExitCode.
TypeUntilEnded() {
    local pid=$1 id=$2 x=$3 y=$4 key=$5 attempt
    for attempt in 1 2 3; do
        TypeInto "$id" "$x" "$y" "$key" || sleep 1
        for _ in $(seq 50); do
            if ! kill -0 "$pid" 2>/dev/null; then
                wait "$pid"
                # shellcheck disable=SC2034 # read by the calling script
                ExitCode=$?
                return 0
            fi
            sleep 0.2
        done
        echo "the program did not end after $key (attempt $attempt)"
    done
    Fail "the program did not end after $key"
}

# Saves the whole X screen as a binary PPM (8 bits per channel whatever the depth).
Screenshot() {
    import -window root -depth 8 "ppm:$1" 2>/dev/null || Fail "screenshot $1 failed"
}

# Waits up to SECONDS for the file to appear and hold something.
WaitForFile() {
    local file=$1 seconds=$2
    local deadline=$((SECONDS + seconds))
    while [ "$SECONDS" -le "$deadline" ]; do
        [ -s "$file" ] && return 0
        sleep 0.2
    done
    return 1
}
