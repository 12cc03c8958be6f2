#!/usr/bin/env bash
# The release check (tools/release-check.cmd) started as a maintainer starts it on Windows, through
# cmd, here under 32-bit Wine: in a folder made like an unpacked release with the check beside the
# programs, holding practice_v6 as built, a practice_v8 cut short (no program), and no other
# program. Its report must say that each passed, failed or is missing, and sum them up.
#   run_release_check.sh <prefix> <release check folder> <programs folder> <work folder>
#                        <deliverables.txt>
set -euo pipefail
prefix=$1 bundle=$2 programs=$3 work=$4 deliverables=$5
source "$(dirname "$0")/wine32_root.sh"
enter_wine32_root "$0" "$@" -- "$(dirname "$(realpath -m "$prefix")")" "$bundle" "$programs" \
    "$(dirname "$(realpath -m "$work")")"
source "$(dirname "$0")/wine_env.sh"
export WINEPREFIX=$prefix
[ -f "$prefix/system.reg" ] || { echo "no Wine prefix at $prefix" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
cp -r "$bundle"/. "$work/"
cp "$programs/practice_v6.exe" "$work/"
head -c 1000 "$programs/practice_v8.exe" >"$work/practice_v8.exe"
trap 'stop_wine; stop_virtual_display' EXIT
start_virtual_display

status=0
PRACTICUM_TIME_SCALE=$WINE_TIME_SCALE timeout -k 5 $((300 * WINE_TIME_SCALE)) \
    "${WINE[@]}" cmd /c "$(windows_path "$work/check-release.cmd")" </dev/null || status=$?
stop_wine
report=$work/check/report.txt
echo "cmd /c check-release.cmd: exit status $status; its report:"
cat "$report"

lines=$(tr -d '\r' <"$report")
problems=0
expect() {
    if ! grep -qxF -- "$1" <<<"$lines"; then
        echo "FAIL: the report lacks: $1"
        problems=$((problems + 1))
    fi
}
expect "ANSI code page 1251 (Cyrillic): the programs' texts show as written."
expect "practice_v6: passed (0 failed checks)"
expect "practice_v8: FAILED (1 failed checks)"
missing=0
while read -r deliverable; do
    case $deliverable in
    practice_v6 | practice_v8 | "") ;;
    *)
        expect "$deliverable: not in this folder"
        missing=$((missing + 1))
        ;;
    esac
done <"$deliverables"
expect "1 passed, 1 failed, $missing not in this folder: this folder is not the release as tested."
[ "$status" -eq 1 ] || { echo "FAIL: exit status $status, not 1"; problems=$((problems + 1)); }
[ $problems -eq 0 ]
