#!/usr/bin/env bash
# The guide's picture of one deliverable from its four screenshots: the main window and Task 1 side
# by side, Task 2 and Task 3 below them. No time stamps or other metadata in the file, so that the
# same windows give the same bytes.
#   compose_picture.sh <screenshot folder> <deliverable> <picture.png>
set -euo pipefail
shots=$1 deliverable=$2 picture=$3
convert -background white \
    \( "$shots/$deliverable-main.png" "$shots/$deliverable-task1.png" -bordercolor white -border 6 \
    +append \) \
    \( "$shots/$deliverable-task2.png" "$shots/$deliverable-task3.png" -bordercolor white -border 6 \
    +append \) \
    -gravity northwest -append -strip -define png:exclude-chunks=date,time "$picture"
