#!/usr/bin/env bash
# Fails, listing the files, when any C++ file differs from what clang-format makes of it, when
# a shell script has findings of shellcheck, or a Python file of flake8. Every file of the work
# tree that git does not ignore is checked; a shell script is a *.sh file or one whose first line
# starts it with sh or bash.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0

# The listing is kept apart so that a git that fails stops the check, not empties it.
listing=$(mktemp)
trap 'rm -f "$listing"' EXIT
git ls-files -z --cached --others --exclude-standard >"$listing" ||
    { echo "cannot list the files of the work tree (git ls-files failed)" >&2; exit 1; }
mapfile -d '' files < <(sort -z "$listing")
cpp_files=() shell_scripts=() python_files=()
for file in "${files[@]}"; do
    [ -f "$file" ] || continue
    case $file in
    *.cpp | *.h) cpp_files+=("$file") ;;
    *.sh) shell_scripts+=("$file") ;;
    *.py) python_files+=("$file") ;;
    *)
        first_line=$(head -n 1 "$file" 2>/dev/null | tr -d '\0')
        if [[ $first_line =~ ^\#!.*[/\ ](ba)?sh(\ |$) ]]; then
            shell_scripts+=("$file")
        elif [[ $first_line =~ ^\#!.*python ]]; then
            python_files+=("$file")
        fi
        ;;
    esac
done

unformatted=()
for file in "${cpp_files[@]}"; do
    clang-format --style=file "$file" | cmp -s - "$file" || unformatted+=("$file")
done
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "Not formatted (run: clang-format -i FILE):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    status=1
else
    echo "all ${#cpp_files[@]} C++ files formatted"
fi

# Every severity, down to style: a path left unquoted is only "info" to shellcheck. Sourced files
# are followed, so that a variable set in one and used in another counts as used.
if shellcheck --external-sources --source-path=SCRIPTDIR "${shell_scripts[@]}" >&2; then
    echo "shellcheck: all ${#shell_scripts[@]} shell scripts clean"
else
    echo "shellcheck found the problems above" >&2
    status=1
fi

if flake8 --max-line-length=100 "${python_files[@]}" >&2; then
    echo "flake8: all ${#python_files[@]} Python files clean"
else
    echo "flake8 found the problems above" >&2
    status=1
fi
exit $status
