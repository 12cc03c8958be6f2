#!/usr/bin/env bash
# Builds one deliverable's Windows program and runs it under Wine; see usage below.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# The deliverables as CMakeLists.txt names them.
read -r -a deliverables <<<"$(sed -n '/^set(DELIVERABLES/,/)/{s/set(DELIVERABLES//;s/)//;p}' \
    "$root/CMakeLists.txt" | tr '\n' ' ')"

usage() {
    cat <<EOF
Usage: tools/run.sh [--wine32] [deliverable]

Builds one practicum program for Windows (x86_64) and runs it under Wine.
  deliverable  one of these (practice_v5 when none is named):
               ${deliverables[*]}
  --wine32     the release program itself instead (i686, build/mingw-i686), under the Wine that
               runs it here (tools/wine32-env.sh): where the machine's Wine is 10 or newer, that
               Wine itself; elsewhere 32-bit Wine in an emulated i386 root, as root only, made the
               first time (about 10 minutes and 0.9 GB in /var/cache/practicum-wine32), and every
               start is then several times slower than the x86_64 program's.

With a display (DISPLAY set) the program opens on it; where no window manager runs, inside
Wine's own desktop window, so that its windows can still be moved and closed. Without a display
it runs on a virtual one: the three task windows are opened, each task is run, and screenshots
of the four windows are saved in build/mingw-x86_64/screenshots/ (build/mingw-i686/screenshots/
with --wine32).

Environment:
  PRACTICUM_WINDOWS_BUILD=<folder>  use this configured Windows build folder (x86_64, or i686
                                    with --wine32) instead of build/mingw-x86_64
EOF
}

refuse() {
    echo "run.sh: $*" >&2
    echo "Try 'tools/run.sh --help'." >&2
    exit 2
}

# Everything the user gave is checked before anything is installed or built.
arguments=("$@")
wine_arch=64
if [ $# -ge 1 ] && [ "$1" = --wine32 ]; then
    wine_arch=32
    shift
fi
if [ $# -gt 1 ]; then
    refuse "one deliverable at most, but $# were given: $*"
fi
deliverable=practice_v5
if [ $# -eq 1 ]; then
    case $1 in
    -h | --help)
        usage
        exit 0
        ;;
    "") refuse "the deliverable's name is empty; name one of: ${deliverables[*]}" ;;
    -*) refuse "unknown option '$1'" ;;
    esac
    deliverable=$1
fi
if [[ " ${deliverables[*]} " != *" $deliverable "* ]]; then
    refuse "unknown deliverable '$deliverable'; name one of: ${deliverables[*]}"
fi

if [ $wine_arch = 32 ]; then
    preset=mingw-i686 compiler=i686-w64-mingw32 described="i686 Windows" prefix_seconds=40
else
    preset=mingw-x86_64 compiler=x86_64-w64-mingw32 described="x86_64 Windows" prefix_seconds=15
fi
build=$root/build/$preset
if [ -n "${PRACTICUM_WINDOWS_BUILD+set}" ]; then
    [ -n "$PRACTICUM_WINDOWS_BUILD" ] || refuse "PRACTICUM_WINDOWS_BUILD is set but empty"
    # Relative to where the command was given, not to the project.
    build=$(realpath -m "$PRACTICUM_WINDOWS_BUILD")
    [ -d "$build" ] || refuse "PRACTICUM_WINDOWS_BUILD: no folder $build"
    if [ ! -f "$build/build.ninja" ] || [ ! -f "$build/CMakeCache.txt" ]; then
        refuse "PRACTICUM_WINDOWS_BUILD: $build is not a configured build folder" \
            "(configure one with: cmake -S $root -B $build -G Ninja" \
            "--toolchain $root/cmake/$preset.cmake)"
    fi
    grep -q "^CMAKE_CXX_COMPILER:.*$compiler" "$build/CMakeCache.txt" ||
        refuse "PRACTICUM_WINDOWS_BUILD: $build is not an $described (MinGW-w64) build"
fi
cd "$root"
source tests/e2e/wine32_root.sh
if [ $wine_arch = 32 ] && [ "$WINE32_MODE" = emulated ] && [ "$(id -u)" -ne 0 ]; then
    refuse "--wine32 needs root here: the 32-bit Wine runs in an i386 root (chroot, mounts)"
fi
export WINE_ARCH=$wine_arch

step_name=run.sh
source tools/quiet_step.sh

# Once built (and, for --wine32, back here inside the i386 root's mounts), only Wine is left.
if [ -z "${WINE32_ENTERED:-}" ]; then
    bash tools/install-deps.sh || { echo "run.sh: installing the missing packages failed" >&2; exit 1; }
    if [ -n "${DISPLAY:-}" ] && ! xprop -root >/dev/null 2>&1; then
        refuse "cannot open the display '$DISPLAY' (unset DISPLAY to run on a virtual one)"
    fi
    if [ ! -f "$build/build.ninja" ]; then
        echo "Configuring the $described build in $build..."
        step "configuring the $described build" cmake --preset $preset
    fi
    echo "Building $deliverable..."
    step "building $deliverable" cmake --build "$build" --target "$deliverable" e2e_driver -- -j2
    if [ $wine_arch = 32 ]; then
        if ! bash tools/wine32-env.sh --check >/dev/null 2>&1; then
            echo "Making the 32-bit Wine environment (once per machine, about 10 minutes)..."
            bash tools/wine32-env.sh || { echo "run.sh: no 32-bit Wine environment" >&2; exit 1; }
        fi
        shared=("$build")
        if [ -n "${DISPLAY:-}" ]; then
            # Wine in the root must find the X server's cookie.
            export XAUTHORITY=${XAUTHORITY:-$HOME/.Xauthority}
            [ -f "$XAUTHORITY" ] && shared+=("$(dirname "$XAUTHORITY")")
        fi
        enter_wine32_root "$0" "${arguments[@]}" -- "${shared[@]}"
    fi
fi
program=$build/bin/$deliverable.exe

source tests/e2e/wine_env.sh
if [ -n "${DISPLAY:-}" ]; then
    # A prefix of its own, without the test settings, so that a window manager handles the
    # windows as usual.
    prefix=$build/wineprefix-desktop
    if [ ! -f "$prefix/system.reg" ]; then
        echo "Making a Wine prefix in $prefix (once, about $prefix_seconds s)..."
        step "making the Wine prefix" create_wine_prefix "$prefix" desktop
    fi
    [ -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ] || install_wine_fonts "$prefix"
    export WINEPREFIX=$prefix
    if [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id"* ]]; then
        echo "Starting $deliverable on $DISPLAY"
        exec "${WINE[@]}" "$(windows_path "$program")"
    fi
    # Without a window manager nothing would draw the windows' caption bars. Wine's desktop
    # window draws them itself, and ends when the program ends.
    size=$(xdpyinfo | awk '/dimensions:/ && !size { size = $2 } END { print size }')
    echo "Starting $deliverable on $DISPLAY in Wine's desktop window ($size; no window manager runs)"
    exec "${WINE[@]}" explorer "/desktop=practicum,${size:-1280x1024}" "$(windows_path "$program")"
fi

prefix=$build/wineprefix
if [ ! -f "$prefix/system.reg" ]; then
    echo "Making a Wine prefix in $prefix..."
    step "making the Wine prefix" create_wine_prefix "$prefix" tests
fi
[ -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ] || install_wine_fonts "$prefix"
shots=$build/screenshots
echo "No display: showing $deliverable on a virtual one"
status=0
bash tests/e2e/run_e2e.sh "$prefix" "$build/bin/e2e_driver.exe" "$program" "$deliverable" \
    "$shots" --tour || status=$?
echo "Screenshots of the main window and of Task 1, 2 and 3:"
ls -1 "$shots/$deliverable"-*.png 2>/dev/null || echo "  (none were saved)"
exit $status
