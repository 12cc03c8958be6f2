#!/usr/bin/env bash
# The pictures of the guide (docs/pictures/, made by tools/pictures.sh) must be what the release
# programs show now: each is composed again from this run's screenshots and compared. Another
# version of Wine draws captions and frames otherwise, so the comparison is made only under the
# version that made the pictures (made-with-wine.txt); under another the exit status is 77
# (skipped).
#   check_guide_pictures.sh <screenshot folder> <guide's picture folder> <deliverable>...
set -euo pipefail
shots=$1 pictures=$2
shift 2
source "$(dirname "$0")/wine32_root.sh"
made_with=$(cat "$pictures/made-with-wine.txt")
running=$(wine32_package_version)
if [ "$running" != "$made_with" ]; then
    echo "the guide's pictures were made with Wine $made_with; this is Wine $running, which draws" \
        "otherwise: not compared"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stale=0
for deliverable in "$@"; do
    bash "$(dirname "$0")/compose_picture.sh" "$shots" "$deliverable" "$work/$deliverable.png"
    pixels=$(compare -metric AE "$work/$deliverable.png" "$pictures/$deliverable.png" null: 2>&1) ||
        true
    if [ "$pixels" != 0 ]; then
        echo "$pictures/$deliverable.png is not what $deliverable shows now ($pixels pixels)"
        stale=$((stale + 1))
    fi
done
if [ $stale -gt 0 ]; then
    echo "Make the pictures again: tools/pictures.sh (as root), and review them before committing."
    exit 1
fi
echo "the guide's $# pictures are what the programs show"
