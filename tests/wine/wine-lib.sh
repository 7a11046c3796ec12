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
source "$(dirname "${BASH_SOURCE[0]}")/../support/binfmt-lib.sh" # Binfmt, EmulationRegistered
# The emulator for 32-bit x86 programs where the kernel runs none: qemu-user's qemu-i386,
# a static program, kept in the user's cache (FetchI386Emulator). Debian 12's qemu-user 7
# takes minutes to start 32-bit Wine, version 10 about two seconds.
I386Emulator=${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/bumpdemo/qemu-i386
SkipExitCode=77 # CTest's SKIP_RETURN_CODE for these tests

TrapNumberPreload= # the preload for emulated 32-bit processes (Require32BitWine)
Emulated32Bit=     # how 32-bit programs are emulated, when they are
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
# can; how they run goes to the file named by the first argument: nothing there when the
# kernel runs them, else one line naming the emulator and why it is used. A tiny static
# 32-bit Linux program shows whether the kernel runs 32-bit code. Where it does not, or
# where an emulator is registered for 32-bit programs already (binfmt_misc goes before the
# kernel's own loader), they run under qemu-user 10 (UseI386Emulator), and 32-bit Wine
# must then start a program within Limit32BitStart seconds.
Limit32BitStart=90
Why32BitWineCannotRun() {
    local emulation=$1 scratch why=
    scratch=$(mktemp -d)
    # shellcheck disable=SC2016 # assembler text, not shell
    printf '.globl _start\n_start: movl $1, %%eax\n movl $0, %%ebx\n int $0x80\n' >"$scratch/exit.s"
    if ! as --32 -o "$scratch/exit.o" "$scratch/exit.s" 2>/dev/null ||
        ! ld -m elf_i386 -o "$scratch/exit" "$scratch/exit.o" 2>/dev/null; then
        rm -rf "$scratch"
        echo "cannot build a 32-bit test program (as --32, ld -m elf_i386)"
        return
    fi
    if EmulationRegistered qemu-i386; then
        why="32-bit programs are handed to an emulator already (binfmt_misc)"
    elif ! "$scratch/exit" 2>/dev/null; then
        why="the kernel runs no 32-bit programs"
    fi
    if [ -n "$why" ]; then
        UseI386Emulator "$why" || {
            rm -rf "$scratch"
            return
        }
        "$scratch/exit" 2>/dev/null || {
            rm -rf "$scratch"
            echo "$why, and they do not run through $I386Emulator either"
            return
        }
        echo "$("$I386Emulator" --version | head -1): $why" >"$emulation"
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
    [ -z "$why" ] || TimeEmulated32BitStart "$why"
}

# True when binfmt_misc hands 32-bit x86 programs to $I386Emulator.
I386EmulatorRegistered() {
    grep -qx enabled "$Binfmt/qemu-i386" 2>/dev/null &&
        grep -qxF "interpreter $I386Emulator" "$Binfmt/qemu-i386" 2>/dev/null
}

# Makes 32-bit programs run under $I386Emulator: fetched and registered unless it is
# already, and the preload that mends their page faults built beside the Wine prefix
# (BuildTrapNumberPreload). Prints the reason, beginning with why (the argument), when it
# cannot.
UseI386Emulator() {
    local why=$1
    if ! I386EmulatorRegistered; then
        if [ "$(id -u)" -ne 0 ]; then
            echo "$why, and registering qemu-i386 for them needs root"
            return 1
        fi
        FetchI386Emulator "$why" && RegisterI386Emulation "$why" || return 1
    fi
    BuildTrapNumberPreload "$why"
}

# Takes qemu-i386 out of the package qemu-user of Debian's backports suite of this release
# into $I386Emulator, once: later runs find it there. apt fetches the package with a list
# of sources of its own that names only that suite, so nothing of the machine's apt set-up
# changes and nothing is installed. Prints the reason, beginning with why (the argument),
# when it cannot.
FetchI386Emulator() {
    local why=$1 codename uri work
    [ -x "$I386Emulator" ] && return 0
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    # The machine's own mirror of its release.
    # shellcheck disable=SC2016 # apt's format, not shell
    uri=$(apt-get indextargets --format '$(REPO_URI)' "Codename: $codename" 'Target-Of: deb' 2>/dev/null | head -1)
    if [ -z "$codename" ] || [ -z "$uri" ]; then
        echo "$why, and apt has no sources for this release (${codename:-unknown}) to fetch qemu-user from"
        return 1
    fi
    work=$(mktemp -d)
    mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
    echo "deb $uri $codename-backports main" >"$work/sources.list"
    local apt=(-o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=$work/none"
        -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache"
        -o "APT::Architectures::=$(dpkg --print-architecture)" -o APT::Sandbox::User=root)
    if ! apt-get "${apt[@]}" -q update >"$work/log" 2>&1 ||
        ! (cd "$work" && apt-get "${apt[@]}" -q download qemu-user >>"$work/log" 2>&1); then
        echo "$why, and qemu-user could not be fetched from $codename-backports: $(grep -E '^(E|W):' "$work/log" | head -1)"
        rm -rf "$work"
        return 1
    fi
    if ! dpkg-deb --fsys-tarfile "$work"/qemu-user_*.deb | tar -x -C "$work" ./usr/bin/qemu-i386 ||
        ! mkdir -p "$(dirname "$I386Emulator")" ||
        ! mv "$work/usr/bin/qemu-i386" "$I386Emulator"; then
        echo "$why, and qemu-i386 could not be taken out of $codename-backports' qemu-user"
        rm -rf "$work"
        return 1
    fi
    rm -rf "$work"
    echo "fetched $("$I386Emulator" --version | head -1) from $codename-backports into $I386Emulator" >&2
}

# Registers $I386Emulator for 32-bit x86 programs (executables and shared objects) in place
# of any other qemu-i386, mounting binfmt_misc first when needed (flag F: the kernel keeps
# the emulator open, so it works in any mount namespace); prints the reason when it cannot.
RegisterI386Emulation() {
    local why=$1
    [ -e "$Binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$Binfmt" 2>/dev/null || {
        echo "$why, and binfmt_misc cannot be mounted"
        return 1
    }
    [ ! -e "$Binfmt/qemu-i386" ] || echo -1 >"$Binfmt/qemu-i386" 2>/dev/null
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:$I386Emulator:F" >"$Binfmt/register" 2>/dev/null || {
        echo "$why, and qemu-i386 could not be registered for them"
        return 1
    }
}

# Builds the preload (TrapNumberPreload.cpp, beside this file) into $TrapNumberPreload
# with the host's C++ compiler for 32-bit x86; prints the reason when it cannot.
BuildTrapNumberPreload() {
    local why=$1 source
    source=$(dirname "${BASH_SOURCE[0]}")/TrapNumberPreload.cpp
    g++ -m32 -std=c++17 -O2 -fPIC -ffreestanding -fno-exceptions -fno-rtti -fno-stack-protector \
        -nostdlib -shared -Wall -Wextra -Werror -o "$TrapNumberPreload" "$source" 2>/dev/null || {
        echo "$why, and the preload for their page faults does not build (g++ -m32 $source)"
        return 1
    }
}

# Times 32-bit Wine starting one program (cmd /c exit) in a scratch prefix under the
# emulation; prints the reason when it takes longer than Limit32BitStart seconds.
TimeEmulated32BitStart() {
    local why=$1 scratch started=$SECONDS
    scratch=$(mktemp -d)
    QEMU_SET_ENV=LD_PRELOAD=$TrapNumberPreload WINEPREFIX=$scratch/prefix WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=" \
        timeout -k 5 "$Limit32BitStart" "$Wine32" cmd /c exit >/dev/null 2>&1
    local code=$?
    WINEPREFIX=$scratch/prefix timeout 20 "$WineServer" -k >/dev/null 2>&1
    rm -rf "$scratch"
    if [ "$code" -eq 124 ] || [ "$code" -eq 137 ]; then
        echo "$why; through qemu-i386 32-bit Wine did not start one program within $Limit32BitStart s (too slow for the test run)"
    elif [ "$code" -ne 0 ]; then
        echo "$why; through qemu-i386 32-bit Wine failed (exit code $code)"
    else
        echo "32-bit Wine started a program through qemu-i386 in $((SECONDS - started)) s" >&2
    fi
}

# For tests of 32-bit programs (WINE_BITS=32): ends the test as skipped, with the reason in
# one line, when this machine cannot run them. The finding is kept beside the prefix
# ($WINEPREFIX.32bit, and how they run in $WINEPREFIX.emulation) so that only the first
# test of a build tree looks, or the first after the emulator's registration went (at a
# restart). Under emulation the 32-bit processes get the preload (QEMU_SET_ENV sets their
# environment alone), and Emulated32Bit says how they run.
Require32BitWine() {
    [ "${WINE_BITS:-64}" = 32 ] || return 0
    [ -n "${WINEPREFIX:-}" ] || Fail "WINEPREFIX is not set"
    local verdict=$WINEPREFIX.32bit emulation=$WINEPREFIX.emulation reason
    TrapNumberPreload=$WINEPREFIX.trapnumber.so
    [ ! -s "$emulation" ] || I386EmulatorRegistered || rm -f "$verdict"
    if [ ! -f "$verdict" ]; then
        mkdir -p "$(dirname "$verdict")"
        rm -f "$emulation" "$TrapNumberPreload"
        reason=$(Why32BitWineCannotRun "$emulation")
        echo "$reason" >"$verdict"
    fi
    reason=$(cat "$verdict")
    if [ -n "$reason" ]; then
        echo "SKIPPED: 32-bit release not run: $reason"
        exit "$SkipExitCode"
    fi
    if [ -s "$emulation" ]; then
        # shellcheck disable=SC2034 # read by the calling script
        Emulated32Bit=$(cat "$emulation")
        export QEMU_SET_ENV=LD_PRELOAD=$TrapNumberPreload
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
        # A program that crashes ends with Wine's report on its error output, instead of
        # waiting in a crash dialog that nobody answers until the test's time limit.
        timeout 60 "$Wine64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
            /t REG_DWORD /d 0 /f >/dev/null 2>&1 || Fail "cannot turn Wine's crash dialog off"
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

# Waits up to the given number of seconds for the last visible window whose name matches
# the pattern to go; false when one is still there. A program's exit code can come back
# while its process still closes its X connection (for a while under emulation).
WaitForWindowGone() {
    local pattern=$1 seconds=$2
    local deadline=$((SECONDS + seconds))
    while WindowExists "$pattern"; do
        [ "$SECONDS" -le "$deadline" ] || return 1
        sleep 0.2
    done
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
