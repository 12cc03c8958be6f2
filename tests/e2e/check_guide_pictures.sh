#!/usr/bin/env bash
# The pictures of the guide (docs/pictures/, made by tools/pictures.sh) must be what the release
# programs show now: each is composed again from this run's screenshots and compared.
#   check_guide_pictures.sh <screenshot folder> <guide's picture folder> <deliverable>...
set -euo pipefail
shots=$1 pictures=$2
shift 2
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
