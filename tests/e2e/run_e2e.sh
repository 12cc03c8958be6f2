#!/usr/bin/env bash
# One deliverable under wine64 in a private Xvfb, driven by e2e_driver; screenshots as PNG.
#   run_e2e.sh <prefix> <e2e_driver.exe> <program.exe> <deliverable> <screenshot folder> [--tour]
set -euo pipefail
prefix=$1 driver=$2 program=$3 deliverable=$4 shots=$5 mode=${6:-}
source "$(dirname "$0")/wine_env.sh"
export WINEPREFIX=$prefix
[ -f "$prefix/system.reg" ] || { echo "no Wine prefix at $prefix" >&2; exit 1; }

mkdir -p "$shots"
rm -f "$shots/$deliverable"-*.png "$shots/$deliverable"-*.bmp
trap 'stop_wine; stop_virtual_display' EXIT
start_virtual_display

status=0
timeout -k 5 120 "${WINE[@]}" "$driver" "$deliverable" "$(windows_path "$program")" \
    "$(windows_path "$shots")" $mode || status=$?
stop_wine
convert_screenshots "$shots/$deliverable"-*.bmp
exit $status
