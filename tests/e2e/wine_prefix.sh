#!/usr/bin/env bash
# CTest fixture: a fresh Wine prefix for the end-to-end tests of this run.
#   wine_prefix.sh <prefix folder>
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
start=$SECONDS
create_wine_prefix "$1"
echo "Wine prefix $1 made in $((SECONDS - start)) s"
