#!/usr/bin/env bash
# Builds one deliverable's Windows program and runs it under Wine.
#   tools/run.sh [deliverable]        practice_v5 when none is named
# With a display (DISPLAY set) the program opens there. Without one it runs on a virtual display:
# the three task windows are opened, each task runs with its defaults, and screenshots of every
# window are saved; their paths are printed.
set -euo pipefail
cd "$(dirname "$0")/.."

deliverables=(practice_v4 practice_v1 practice_v4_early practice_v8 practice_v5 practice_v14
    practice_v6)
deliverable=${1:-practice_v5}
if [[ " ${deliverables[*]} " != *" $deliverable "* ]]; then
    echo "unknown deliverable '$deliverable'; one of: ${deliverables[*]}" >&2
    exit 2
fi

bash tools/install-deps.sh
# PRACTICUM_WINDOWS_BUILD: another configured x86_64 build folder to use instead.
build=${PRACTICUM_WINDOWS_BUILD:-build/mingw-x86_64}
[ -f "$build/build.ninja" ] || cmake --preset mingw-x86_64 >/dev/null
cmake --build "$build" --target "$deliverable" e2e_driver -- -j2 >/dev/null
program=$build/bin/$deliverable.exe

source tests/e2e/wine_env.sh
if [ -n "${DISPLAY:-}" ]; then
    # A prefix of its own, without the test settings, so that the desktop's window manager
    # handles the windows as usual.
    prefix=$PWD/$build/wineprefix-desktop
    if [ ! -f "$prefix/system.reg" ]; then
        echo "Making a Wine prefix in $prefix (once)..."
        create_wine_prefix "$prefix" desktop
    fi
    export WINEPREFIX=$prefix
    echo "Starting $deliverable on $DISPLAY"
    exec "${WINE[@]}" "$program"
fi

prefix=$PWD/$build/wineprefix
if [ ! -f "$prefix/system.reg" ]; then
    echo "Making a Wine prefix in $prefix..."
    create_wine_prefix "$prefix" tests
fi
shots=$PWD/$build/screenshots
echo "No display: running $deliverable on a virtual one"
status=0
bash tests/e2e/run_e2e.sh "$prefix" "$build/bin/e2e_driver.exe" "$program" "$deliverable" \
    "$shots" --tour || status=$?
echo "Screenshots:"
ls -1 "$shots/$deliverable"-*.png
exit $status
