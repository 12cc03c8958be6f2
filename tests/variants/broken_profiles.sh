#!/usr/bin/env bash
# A profile that cannot work must not build: practice_v6's profile, copied with one fault at a
# time, goes through the build's own check (variants/profile_check.cpp), which must fail and name
# the fault. The copy without a fault must pass.
#   broken_profiles.sh <compiler> <source root>
set -uo pipefail
compiler=$1 root=$2
profile=$root/variants/practice_v6.cpp
copy=$(mktemp -d)/profile.cpp
trap 'rm -rf "$(dirname "$copy")"' EXIT
failures=0

# expect <sed edit> <the problem the compiler must name, or nothing: compiles>
expect() {
    sed "$1" "$profile" >"$copy"
    if [ -n "$2" ] && cmp -s "$copy" "$profile"; then
        echo "FAIL: '$1' changes nothing in $profile"
        failures=$((failures + 1))
        return
    fi
    local output status=0
    output=$("$compiler" -std=c++20 -fno-char8_t -fexec-charset=CP1251 -fsyntax-only -I"$root" \
        -DPROFILE_SOURCE="\"$copy\"" "$root/variants/profile_check.cpp" 2>&1) || status=$?
    if [ -z "$2" ] && [ $status -eq 0 ]; then
        echo "ok: the intact profile compiles"
    elif [ -n "$2" ] && [ $status -ne 0 ] && [[ $output == *"$2"* ]]; then
        echo "ok: '$1' does not compile: $2"
    else
        echo "FAIL: '$1' (status $status, expected ${2:-success}):"
        echo "$output" | head -20
        failures=$((failures + 1))
    fi
}

expect '' ''
expect 's/\.accumulate = add_square/.accumulate = nullptr/' task3_accumulate_missing_without_counts_by_sign
expect 's/\.above = above/.above = nullptr/' task2_formula_missing
expect 's/\.execute_id = 121/.execute_id = 999/' execute_or_add_id_on_no_task_window_control_or_on_several
expect 's/, &task1_eps_edit)/, nullptr)/' input_edit_missing_from_its_task_window_or_read_only
expect 's/\\r\\n/\\n/' text_with_a_control_byte_or_a_line_break_other_than_cr_lf
# "За" in UTF-8, as a source read in the wrong encoding would give it
expect 's/"Завдання 1"/"\\xD0\\x97\\xD0\\xB0"/' text_not_in_windows_1251_but_in_utf8_or_with_its_unassigned_byte
exit $failures
