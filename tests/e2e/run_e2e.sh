#!/usr/bin/env bash
# One deliverable under Wine in a private Xvfb, driven by e2e_driver, which compares its windows with
# the reviewed snapshot (tests/shipped/windows/); screenshots as PNG.
#   run_e2e.sh <prefix> <e2e_driver.exe> <program.exe> <deliverable> <screenshot folder>
#              [driver option...]           (--tour, --messages: see e2e_driver.cpp)
# With WINE_ARCH=32 the i686 driver and program run under 32-bit Wine (tests/e2e/wine_env.sh).
set -euo pipefail
prefix=$1 driver=$2 program=$3 deliverable=$4 shots=$5
options=("${@:6}")
snapshots=$(realpath "$(dirname "$0")/../shipped/windows")
if [ "${WINE_ARCH:-64}" = 32 ]; then
    source "$(dirname "$0")/wine32_root.sh"
    enter_wine32_root "$0" "$@" -- "$(dirname "$(realpath -m "$prefix")")" "$(dirname "$driver")" \
        "$(dirname "$program")" "$shots" "$snapshots"
fi
source "$(dirname "$0")/wine_env.sh"
export WINEPREFIX=$prefix
[ -f "$prefix/system.reg" ] || { echo "no Wine prefix at $prefix" >&2; exit 1; }

mkdir -p "$shots"
rm -f "$shots/$deliverable"-*.png "$shots/$deliverable"-*.bmp "$shots/$deliverable"-windows.txt
trap 'stop_wine; stop_virtual_display' EXIT
start_virtual_display

status=0
timeout -k 5 $((120 * WINE_TIME_SCALE)) "${WINE[@]}" "$driver" "$deliverable" \
    "$(windows_path "$program")" "$(windows_path "$snapshots/$deliverable.txt")" \
    "$(windows_path "$shots")" --time-scale="$WINE_TIME_SCALE" "${options[@]}" || status=$?
stop_wine
convert_screenshots "$shots/$deliverable"-*.bmp
exit $status
