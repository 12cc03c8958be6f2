#!/usr/bin/env python3
"""Coverage of the product code by the host tests, per deliverable.

    tools/coverage.py [--no-build]

Builds the host tests with coverage counters (preset host-coverage, in build/host-coverage), runs
the tests that belong to no deliverable once and each deliverable's tests in turn, and reads the
counters with gcovr after each run. For each deliverable it counts the lines and branches of
shell/, numtext/, tasks/ and variants/ that its program is built from, and those that its tests
(with the shared ones) run. A line or branch that none of them runs fails the check, named by its
file, line and code, unless tools/unreachable.txt lists it with the reason why that deliverable
cannot reach it. An entry of the list that is no longer true (a line it lists is run, fewer
branches are left untaken than it says) fails too.

The figures and every line and branch not run are printed and kept in
build/host-coverage/coverage.txt. The exit status is 1 when the check fails, 2 when the build, a
test or the list fails. The benchmarks are not built here: they check no result.

    --no-build      use the build as it is (after a change of the list alone)
"""
import argparse
import collections
import json
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "host-coverage")
LIST = os.path.join(ROOT, "tools", "unreachable.txt")
PRODUCT_FOLDERS = ["shell/", "numtext/", "tasks/", "variants/"]

# Tests that run no product code of their own: the numeric tests over an optimised copy of numtext
# (a second, differently compiled copy of the same lines, whose counters are not read), and the
# profiles that must not compile.
NOT_RUN = re.compile(r"numtext_optimized_test|broken_profiles_do_not_build")

# Object folders of what a deliverable's program is made of, below the build; {} is its name.
PRODUCT_OBJECTS = ["CMakeFiles/program_core.dir", "numtext/CMakeFiles/numtext.dir",
                   "variants/CMakeFiles/{}_profile.dir"]
# Object folders whose counters are never read: GoogleTest, CMake's compiler probe, the profile
# checks (compiled, linked nowhere) and the optimised numtext copy.
IGNORED_OBJECTS = [r".*/googletest/.*", r".*/CMakeFiles/[0-9.]+/.*", r".*_profile_check\.dir.*",
                   r".*/numtext_optimized\.dir.*"]


def fail(message, status=2):
    print(f"tools/coverage.py: {message}", file=sys.stderr)
    sys.exit(status)


def run(command, **kwargs):
    result = subprocess.run(command, cwd=ROOT, **kwargs)
    if result.returncode != 0:
        fail(f"{' '.join(command)} failed (exit status {result.returncode})")
    return result


def test_names():
    listing = run(["ctest", "--preset", "host-coverage", "-N"], capture_output=True,
                  text=True).stdout
    return re.findall(r"^\s*Test\s+#\d+: (\S+)$", listing, re.MULTILINE)


brace_lines = {}


def closing_braces(path):
    """The lines of a file that hold only a closing brace. g++ 14's gcov counts a function's end
    there (never run after a call that does not return), g++ 12's does not; such a line does
    nothing of its own, so neither build counts it."""
    if path not in brace_lines:
        with open(os.path.join(ROOT, path), encoding="utf-8") as source:
            texts = source.read().split("\n")
        brace_lines[path] = {number for number, text in enumerate(texts, 1)
                             if text.strip() in ("}", "};")}
    return brace_lines[path]


def read_counters(search_paths, ignored):
    """{file: {line: (count, [branch counts])}} of the product folders, from gcovr."""
    command = ["gcovr", "--root", ROOT, "--json", "-", "--exclude-unreachable-branches",
               "--no-markers", "-j", "2"]
    for folder in PRODUCT_FOLDERS:
        command += ["--filter", re.escape(os.path.join(ROOT, folder))]
    for pattern in ignored:
        command += ["--exclude-directories", pattern]
    output = run(command + search_paths, capture_output=True, text=True).stdout
    files = {}
    for record in json.loads(output)["files"]:
        lines = files.setdefault(record["file"], {})
        braces = closing_braces(record["file"])
        for line in record["lines"]:
            if not line.get("gcovr/noncode") and line["line_number"] not in braces:
                lines[line["line_number"]] = (line["count"],
                                              [branch["count"] for branch in line["branches"]])
    return files


def run_tests(names):
    """Runs these tests alone; the counters of every object they are built from."""
    for folder, _subfolders, files in os.walk(BUILD):
        for name in files:
            if name.endswith(".gcda"):
                os.remove(os.path.join(folder, name))
    pattern = "^(" + "|".join(re.escape(name) for name in names) + ")$"
    run(["ctest", "--preset", "host-coverage", "-R", pattern, "-j", "2"], stdout=sys.stderr)
    return read_counters([BUILD], IGNORED_OBJECTS)


def program_lines(deliverable, *counted):
    """The lines and branches of the deliverable's program, as its own objects hold them (a line
    of a header that only a test compiles is not the program's), with the counts of every run:
    a test that calls a function of the program directly runs it too."""
    paths = [os.path.join(BUILD, folder.format(deliverable)) for folder in PRODUCT_OBJECTS]
    combined = {}
    for path, lines in read_counters(paths, []).items():
        for number, (_count, branches) in lines.items():
            count, taken = 0, [0] * len(branches)
            for run_counts in counted:
                run_count, run_branches = run_counts.get(path, {}).get(number, (0, []))
                count += run_count
                for index, branch in enumerate(run_branches[: len(taken)]):
                    taken[index] += branch
            combined.setdefault(path, {})[number] = (count, taken)
    return combined


# A line not run, or some of its branches not taken: how many of each it leaves out.
Missed = collections.namedtuple("Missed", "path number what text lines branches")


class Entry:
    """Lines, or branches of one line, that some deliverables cannot reach."""

    def __init__(self, line_number):
        self.where = f"{os.path.relpath(LIST, ROOT)}:{line_number}"
        self.file = self.code = self.to = self.kind = self.why = None
        self.branches = 0  # the branches kind: how many of the line cannot be taken
        self.deliverables = []

    def lines(self):
        """Numbers of the lines it lists, in the file as it is now."""
        with open(os.path.join(ROOT, self.file), encoding="utf-8") as source:
            codes = [text.strip() for text in source.read().split("\n")]
        first = [number for number, code in enumerate(codes, 1) if code == self.code]
        if len(first) != 1:
            fail(f"{self.where}: {len(first)} lines of {self.file} read: {self.code}")
        if self.to is None:
            return first
        last = next((number for number, code in enumerate(codes, 1)
                     if number >= first[0] and code == self.to), None)
        if last is None:
            fail(f"{self.where}: no line of {self.file} after the first reads: {self.to}")
        return list(range(first[0], last + 1))


def read_list(known):
    entries, current = [], None
    with open(LIST, encoding="utf-8") as listing:
        for number, line in enumerate(listing.read().split("\n"), 1):
            if not line.strip() or line.startswith("#"):
                continue
            word, _space, rest = line.partition(" ")
            rest = rest.strip()
            if word == "file":
                current = Entry(number)
                current.file = rest
                entries.append(current)
            elif current is None:
                fail(f"{LIST}:{number}: an entry starts with 'file PATH'")
            elif word in ("code", "to"):
                setattr(current, word, rest)
            elif word == "why":
                current.why = f"{current.why} {rest}" if current.why else rest
            elif word == "lines":
                current.kind = word
                current.deliverables = deliverables_named(rest, known, current.where)
            elif word == "branches" and re.match(r"\d+ ", rest):
                count, rest = rest.split(" ", 1)
                current.kind, current.branches = word, int(count)
                current.deliverables = deliverables_named(rest, known, current.where)
            else:
                fail(f"{LIST}:{number}: unknown line: {line}")
    for entry in entries:
        if not (entry.code and entry.kind and entry.why):
            fail(f"{entry.where}: an entry needs code, lines or branches, and why")
        if not os.path.isfile(os.path.join(ROOT, entry.file)):
            fail(f"{entry.where}: no file {entry.file}")
        if entry.kind == "branches" and entry.to:
            fail(f"{entry.where}: branches are listed one line at a time")
        entry.lines()
    return entries


def deliverables_named(text, known, where):
    """'in all', 'in all but NAME...' or 'in NAME...'."""
    words = text.split()
    if words[:1] != ["in"] or len(words) < 2:
        fail(f"{where}: name the deliverables: 'in all', 'in all but NAME...' or 'in NAME...'")
    words = words[1:]
    excluded = words[2:] if words[:2] == ["all", "but"] else []
    named = [] if words[0] == "all" else words
    unknown = [name for name in excluded + named if name not in known]
    if unknown:
        fail(f"{where}: not deliverables: {' '.join(unknown)}")
    return named or [name for name in known if name not in excluded]


def judge(deliverable, lines, entries):
    """(excused, missing, untrue): the lines with branches or themselves not run that the list
    excuses, those it does not, and what the list says that is not so."""
    excused_lines, excused_branches, untrue = set(), {}, []
    for entry in entries:
        if deliverable not in entry.deliverables or entry.file not in lines:
            continue
        counted = lines[entry.file]
        for number in entry.lines():
            if number not in counted:
                continue
            count, branches = counted[number]
            not_taken = branches.count(0)
            if entry.kind == "lines" and count:
                untrue.append(f"{entry.where}: {entry.file}:{number} is run by the tests of "
                              f"{deliverable}")
            elif entry.kind == "lines":
                excused_lines.add((entry.file, number))
            elif count and not_taken < entry.branches:
                untrue.append(f"{entry.where}: {entry.file}:{number} leaves {not_taken} of its "
                              f"branches untaken in {deliverable}, not {entry.branches}")
            elif count:
                excused_branches[(entry.file, number)] = entry.branches
    excused, missing = [], []
    for path in sorted(lines):
        with open(os.path.join(ROOT, path), encoding="utf-8") as source:
            code = source.read().split("\n")
        for number in sorted(lines[path]):
            count, branches = lines[path][number]
            not_taken = branches.count(0)
            text = code[number - 1].strip()
            if (path, number) in excused_lines:
                excused.append(Missed(path, number, "never run", text, 1, not_taken))
            elif not count:
                missing.append(Missed(path, number, "never run", text, 1, not_taken))
            elif not_taken:
                listed = min(excused_branches.get((path, number), 0), not_taken)
                what = f"{not_taken} of {len(branches)} branches never taken"
                if listed:
                    excused.append(Missed(path, number, what, text, 0, listed))
                if not_taken > listed:
                    if listed:
                        what += f", {not_taken - listed} more than listed"
                    missing.append(Missed(path, number, what, text, 0, not_taken - listed))
    return excused, missing, untrue


def figures(lines, excused):
    """Lines run, unreachable and in all; branches taken, unreachable and in all."""
    counts = [value for file_lines in lines.values() for value in file_lines.values()]
    branches = [branch for _, line_branches in counts for branch in line_branches]
    return [sum(1 for count, _ in counts if count), sum(m.lines for m in excused), len(counts),
            sum(1 for branch in branches if branch), sum(m.branches for m in excused),
            len(branches)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--no-build", action="store_true")
    options = parser.parse_args()

    if not options.no_build:
        if not os.path.exists(os.path.join(BUILD, "CMakeCache.txt")):
            run(["cmake", "--preset", "host-coverage"], stdout=subprocess.DEVNULL)
        run(["cmake", "--build", "--preset", "host-coverage"], stdout=sys.stderr)
    with open(os.path.join(BUILD, "deliverables.txt"), encoding="utf-8") as listing:
        known = listing.read().split()
    entries = read_list(known)

    names = [name for name in test_names() if not NOT_RUN.fullmatch(name)]
    own = {d: [n for n in names if n.endswith("_" + d)] for d in known}
    shared = [n for n in names if not any(n in tests for tests in own.values())]
    shared_counts = run_tests(shared) if shared else {}

    table = [f"{'':<18}{'lines':^29}  {'branches':^29}",
             f"{'deliverable':<18}" + f"{'run':>8}{'unreachable':>12}{'all':>7}  " +
             f"{'taken':>8}{'unreachable':>12}{'all':>7}  {'missing':>7}"]
    details, missing_lines, untrue = [], {}, []
    for deliverable in known:
        if not own[deliverable]:
            fail(f"no tests of {deliverable}")
        own_counts = run_tests(own[deliverable])
        lines = program_lines(deliverable, shared_counts, own_counts)
        excused, missing, wrong = judge(deliverable, lines, entries)
        untrue += wrong
        line_run, line_out, line_all, taken, taken_out, branch_all = figures(lines, excused)
        table.append(f"{deliverable:<18}{line_run:>8}{line_out:>12}{line_all:>7}  {taken:>8}"
                     f"{taken_out:>12}{branch_all:>7}  {len(missing):>7}")
        details.append(f"{deliverable}:")
        for missed in excused:
            details.append(f"  {missed.path}:{missed.number}: {missed.what} (unreachable): "
                           f"{missed.text}")
        for missed in missing:
            details.append(f"  {missed.path}:{missed.number}: {missed.what}: {missed.text}")
            key = missed.path, missed.number, missed.what, missed.text
            missing_lines.setdefault(key, []).append(deliverable)

    heading = ["Coverage of the product code (" + ", ".join(PRODUCT_FOLDERS) + ") by the host "
               "tests, per deliverable.", "Missing: lines not run, or with branches not taken, "
               "that tools/unreachable.txt does not list.", ""]
    with open(os.path.join(BUILD, "coverage.txt"), "w", encoding="utf-8") as out:
        out.write("\n".join(heading + table + ["", "Not run:"] + details) + "\n")
    print("\n".join(heading + table))
    if missing_lines or untrue:
        if missing_lines:
            print("\nProduct code that no test runs, and that tools/unreachable.txt does not list:")
        for (path, number, what, code), who in missing_lines.items():
            print(f"  {path}:{number}: {what} by the tests of {', '.join(who)}: {code}")
        if untrue:
            print("\nEntries of tools/unreachable.txt that are not so:")
        for problem in dict.fromkeys(untrue):
            print("  " + problem)
        print(f"\n(every line not run: {os.path.relpath(BUILD, ROOT)}/coverage.txt)")
        return 1
    print(f"\nEvery line and branch that a deliverable can reach is run by its tests; the "
          f"{len(entries)} entries of tools/unreachable.txt list those it cannot.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
