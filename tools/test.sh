#!/usr/bin/env bash
# The whole test suite: installs what is missing, checks formatting, builds every configuration
# and runs every test. Every stage runs, also after one has failed; a summary of the stages ends
# the run, and the exit status is 1 when anything failed. Without root (and outside CI, CI=true),
# a stage that needs root is skipped, with the reason in the summary; with packages missing and no
# root, nothing runs.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

bash tools/install-deps.sh || exit 1

stage_log=$(mktemp)
trap 'rm -f "$stage_log"' EXIT
summary=()
all_passed=0
all_failed=0
all_skipped=0

# Every ctest run of a stage also goes to the stage's log, whose result lines give the counts.
ctest() {
    command ctest "$@" | tee -a "$stage_log"
}

preset_build() {
    cmake --preset "$1" >/dev/null && cmake --build --preset "$1"
}

# preset_tests <preset> [ctest arguments]: configures, builds and tests one preset.
preset_tests() {
    preset_build "$1" && ctest --preset "$@"
}

# stage "name" command...: runs one stage and adds its line to the summary: its tests (a stage
# without tests counts as one check), its result and its time.
stage() {
    local name=$1
    shift
    printf '\n==== %s ====\n' "$name"
    : >"$stage_log"
    local start=$SECONDS status=0
    "$@" || status=$?
    local seconds=$((SECONDS - start)) tests=0 failed=0 line
    while IFS= read -r line; do
        if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
            failed=$((failed + BASH_REMATCH[1]))
            tests=$((tests + BASH_REMATCH[2]))
        fi
    done <"$stage_log"
    local counted="$tests tests"
    if [ $tests -eq 0 ]; then
        tests=1 counted="1 check"
    fi
    # A failure outside the tests (a build, a configuration) counts as one failed check.
    if [ $status -ne 0 ] && [ $failed -eq 0 ]; then
        failed=1
        [ "$counted" = "1 check" ] || tests=$((tests + 1))
    fi
    all_passed=$((all_passed + tests - failed))
    all_failed=$((all_failed + failed))
    local result=passed
    [ $status -eq 0 ] || result=FAILED
    summary+=("$(printf '%-64s %10s  %-7s %3dm%02ds' "$name" "$counted" "$result" \
        $((seconds / 60)) $((seconds % 60)))")
}

# skipped_stage "name" "reason": a stage that cannot run here, counted as one skipped check.
skipped_stage() {
    printf '\n==== %s ====\nskipped: %s\n' "$1" "$2"
    all_skipped=$((all_skipped + 1))
    summary+=("$(printf '%-64s %10s  %-7s %6s  (%s)' "$1" "1 check" skipped "" "$2")")
}

stage "formatting" bash tools/check-format.sh
stage "host build and tests" preset_tests host
# Every line and branch of the product code that a deliverable can reach is run by its host tests
# (tools/unreachable.txt lists, with the reasons, those it cannot).
product_coverage() {
    preset_build host-coverage && python3 tools/coverage.py --no-build
}
stage "coverage of the product code by the host tests, per deliverable" product_coverage
stage "host tests under AddressSanitizer and UndefinedBehaviorSanitizer" preset_tests host-sanitize
stage "32-bit x86 tests under qemu-i386" preset_tests host-i386
# Version information, and a second clean build elsewhere that must give the same bytes.
stage "Windows programs, i686 (release)" preset_tests mingw-i686
stage "the i686 programs themselves under qemu-i386, driven by scripts" ctest --preset shipped
stage "Windows programs, x86_64, and end-to-end tests under Wine" preset_tests mingw-x86_64
# The release programs under a real (32-bit) Windows API: made once per machine, then checked.
wine32_tests() {
    bash tools/wine32-env.sh && preset_build mingw-i686 && ctest --preset wine32
}
source tests/e2e/wine32_root.sh
if [ "$WINE32_MODE" = wow64 ]; then
    stage "the i686 programs under 64-bit Wine's WoW64 mode" wine32_tests
elif [ "$(id -u)" -eq 0 ] || [ "${CI:-}" = true ]; then
    stage "the i686 programs under 32-bit Wine, in an emulated i386 root" wine32_tests
else
    skipped_stage "the i686 programs under 32-bit Wine, in an emulated i386 root" \
        "needs root: the i386 root is made and entered with chroot, mounts and binfmt_misc"
fi
stage "fuzzing the numeric text" preset_tests fuzz

printf '\n==== summary ====\n'
printf '%s\n' "${summary[@]}"
echo "$all_passed passed, $all_failed failed, $all_skipped skipped"
[ $all_failed -eq 0 ]
