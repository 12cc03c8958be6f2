#!/usr/bin/env bash
# CTest fixture: a fresh Wine prefix for the end-to-end tests of this run.
#   wine_prefix.sh <prefix folder>
# With WINE_ARCH=32 a prefix of the 32-bit Wine, once the environment is checked.
set -euo pipefail
if [ "${WINE_ARCH:-64}" = 32 ] && [ -z "${WINE32_ENTERED:-}" ]; then
    bash "$(dirname "$0")/../../tools/wine32-env.sh" --check
    source "$(dirname "$0")/wine32_root.sh"
    # The prefix's folder is made anew, so its parent is the one shared with Wine.
    enter_wine32_root "$0" "$@" -- "$(dirname "$(realpath -m "$1")")"
fi
source "$(dirname "$0")/wine_env.sh"
start=$SECONDS
create_wine_prefix "$1"
echo "Wine prefix $1 made in $((SECONDS - start)) s"
