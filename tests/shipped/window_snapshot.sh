#!/usr/bin/env bash
# Every window of a release program with its three task windows open, as the shipped runner shows
# them (each control's class, ID, text, place, size and styles), against the reviewed snapshot of
# that program in tests/shipped/windows/.
#   window_snapshot.sh check SNAPSHOT PROGRAM RUNNER...   the test: a difference fails, as a diff
#   window_snapshot.sh renew [DELIVERABLE...]             after an intended change: builds the i686
#                                                         programs and the runner, rewrites the
#                                                         snapshots (all of them without names)
# A snapshot is the runner's script, one action a line after "> ", then the runner's output with
# one control a line. A new program's snapshot starts as the actions alone, written by hand.
set -euo pipefail

# render SNAPSHOT PROGRAM RUNNER...: the snapshot's actions and what the program shows now.
render() {
    local snapshot=$1 program=$2
    shift 2
    local actions
    actions=$(sed -n 's/^> //p' "$snapshot")
    [ -n "$actions" ] || { echo "$snapshot has no actions" >&2; return 1; }
    printf '%s\n' "$actions" | sed 's/^/> /'
    # The runner's status is left to the comparison: an error shows in its output.
    printf '%s\n' "$actions" | { "$@" "$program" || true; } |
        sed -e 's/"children":\[{/"children":[\n  {/' -e 's/},{"class"/},\n  {"class"/g' \
            -e 's/}\]}$/}\n]}/'
}

case ${1:-} in
check)
    [ $# -ge 4 ] || { echo "usage: window_snapshot.sh check SNAPSHOT PROGRAM RUNNER..." >&2; exit 2; }
    snapshot=$2
    shift
    if ! diff -u --label "$snapshot" --label "the program now" "$snapshot" <(render "$@"); then
        echo "If the change is intended: bash tests/shipped/window_snapshot.sh renew" >&2
        exit 1
    fi
    ;;
renew)
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
        rendered=$(render "$snapshot" "build/mingw-i686/bin/$deliverable.exe" qemu-i386 \
            build/host-i386/tests/shipped/shipped_runner)
        printf '%s\n' "$rendered" >"$snapshot"
        echo "renewed $snapshot"
    done
    echo "Review the change (git diff tests/shipped/windows) before committing it."
    ;;
*)
    echo "usage: window_snapshot.sh check SNAPSHOT PROGRAM RUNNER... | renew [DELIVERABLE...]" >&2
    exit 2
    ;;
esac
