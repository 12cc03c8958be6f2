#!/usr/bin/env bash
# After an intended change of a layout: the reviewed snapshots of the programs' windows
# (tests/shipped/windows/<deliverable>.txt) written anew from the release programs, as the shipped
# runner shows them with their three task windows open. Every player of the end-to-end scenario
# compares the windows with them.
#   window_snapshot.sh renew [DELIVERABLE...]   builds the i686 programs and the runner, rewrites
#                                               the snapshots (all of them without names)
# A snapshot starts with the runner's script, one action a line after "> "; a new program's
# snapshot starts as the actions alone, written by hand.
set -euo pipefail

if [ "${1:-}" != renew ]; then
    echo "usage: window_snapshot.sh renew [DELIVERABLE...]" >&2
    exit 2
fi
shift
cd "$(dirname "$0")/../.."
deliverables=("$@")
if [ ${#deliverables[@]} -eq 0 ]; then
    for snapshot in tests/shipped/windows/*.txt; do
        deliverables+=("$(basename "$snapshot" .txt)")
    done
fi
cmake --preset mingw-i686 >/dev/null && cmake --build --preset mingw-i686 >/dev/null
cmake --preset host-i386 >/dev/null &&
    cmake --build --preset host-i386 --target shipped_runner >/dev/null
for deliverable in "${deliverables[@]}"; do
    snapshot=tests/shipped/windows/$deliverable.txt
    [ -f "$snapshot" ] || { echo "no $snapshot: write its actions first" >&2; exit 1; }
    renewed=$(qemu-i386 build/host-i386/tests/shipped/shipped_runner --snapshot \
        "build/mingw-i686/bin/$deliverable.exe" "$snapshot")
    printf '%s\n' "$renewed" >"$snapshot"
    echo "renewed $snapshot"
done
echo "Review the change (git diff tests/shipped/windows) before committing it."
