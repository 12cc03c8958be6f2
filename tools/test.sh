#!/usr/bin/env bash
# The whole test suite: installs what is missing, checks formatting, builds every configuration
# and runs every test. Stops at the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

stage() { printf '\n==== %s ====\n' "$*"; }

stage "formatting"
bash tools/check-format.sh

stage "host build and tests"
cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

stage "host tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset host-sanitize >/dev/null
cmake --build --preset host-sanitize
ctest --preset host-sanitize

stage "32-bit x86 tests under qemu-i386"
cmake --preset host-i386 >/dev/null
cmake --build --preset host-i386
ctest --preset host-i386

stage "Windows programs, i686 (release)"
cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686
ctest --preset mingw-i686 # version information, and a second clean build gives the same bytes

stage "the i686 programs themselves under qemu-i386, driven by scripts"
ctest --preset shipped

stage "Windows programs, x86_64, and end-to-end tests under Wine"
cmake --preset mingw-x86_64 >/dev/null
cmake --build --preset mingw-x86_64
ctest --preset mingw-x86_64

if [ -f tests/fuzz/CMakeLists.txt ]; then
    stage "fuzzing the numeric text"
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz
    ctest --preset fuzz
fi
