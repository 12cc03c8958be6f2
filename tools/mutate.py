#!/usr/bin/env python3
"""Mutation testing before a release: plants one plausible fault at a time and runs the tests that
can catch it, cheapest first, until one fails.

    tools/mutate.py [--equivalents] [--stages NAME,...] [MUTANT...]
    tools/mutate.py --generate [--sample N [--seed S]] [--list] [--equivalents] [--stages ...]
                    [MUTANT...]
    tools/mutate.py --check

The hand-written faults are listed in tools/mutants.txt; --generate makes mutants mechanically from
the product code instead (tools/generate_mutants.py names the operators). Each is planted in a
copy of the last commit (build/mutation/tree, with builds of its own under
build/mutation/tree/build/), never in the work tree, so no mutant can be left behind there; the
copy's file is restored after each mutant, also when the run is interrupted, and the copy is
brought back to the commit at every start.

Stages, cheapest first; a mutant goes on to the next only when every test of one passes, and only
to the stages that build the file it changes. A stage's first use runs it once without a mutant:
the tests must pass before they can judge one.

    host      the host build's tests
    i686      the release programs' version information and manifest (resources only)
    shipped   the release programs in the loader: end-to-end script, window snapshots, random clicks
    sanitize  the host tests under AddressSanitizer and UndefinedBehaviorSanitizer
    wine      the x86_64 programs end to end under Wine
    wine32    the release programs end to end under 32-bit Wine (tools/wine32-env.sh makes it)
    fuzz      the fuzz targets of the numeric text (numtext/ only)
    i386      the 32-bit host tests under qemu-i386

A mutant of one deliverable's profile runs only that deliverable's tests. The report (also in
build/mutation/report.txt) gives the score per folder and every survivor; each mutant's build and
test output is in build/mutation/logs/. The exit status is 1 when a mutant survived or did not
build, 2 on a usage error or a failing baseline.

    MUTANT...       only these mutants (names from the list, or of generated mutants)
    --equivalents   also plant the mutants marked equivalent, to confirm that none is caught
    --stages        only these stages (for a quick look; the release run uses all)
    --check         only checks that every snippet occurs exactly once in the committed files,
                    and that every generated mutant listed as equivalent is still generated

    --generate      the mutants generated from the product code of the commit, all of them or:
    --sample N      N of them, drawn in turn from each folder (numtext/, shell/, tasks/,
                    variants/) and within it from each operator, each operator's mutants in an
                    order shuffled with the seed
    --seed S        the seed of the sample (1 unless given)
    --list          only lists the mutants and counts them per folder and operator

A generated mutant that makes the same file as one of tools/mutants.txt is that one: one marked
equivalent there is not planted (a survivor shown equivalent is listed there, once, with the reason,
and the next run skips it). A generated mutant that does not compile is reported apart and not
counted; the exit status is 1 only for a survivor.
"""
import argparse
import fcntl
import io
import os
import random
import re
import signal
import subprocess
import sys
import tarfile
import time

import generate_mutants

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LIST = os.path.join(ROOT, "tools", "mutants.txt")
WORK = os.path.join(ROOT, "build", "mutation")
TREE = os.path.join(WORK, "tree")
LOGS = os.path.join(WORK, "logs")

# Where a score is counted: the first prefix that a mutated file starts with.
FOLDERS = ["numtext/", "tasks/", "shell/", "variants/", "platform/windows/", "platform/"]


# The files a stage builds: everything, the programs' resources, the C++ code of the host builds,
# or the numeric text alone.
def everything(_path):
    return True


def resources(path):
    return path.startswith("platform/windows/") or path in ("variants/file_descriptions.cmake",
                                                            "VERSION")


def host_code(path):
    # The host tests compare the release guide's rows with what the programs show.
    return (path.endswith((".cpp", ".h")) and not path.startswith("platform/windows/")
            or path == "variants/file_descriptions.cmake")


def numeric_code(path):
    return path.startswith("numtext/") or path == "platform/x87.h"


class Stage:
    def __init__(self, name, presets, ctest, builds, timeout):
        self.name, self.presets, self.ctest, self.builds = name, presets, ctest, builds
        self.timeout = timeout  # seconds per test


STAGES = [
    # A host test takes seconds: a mutant that loops for ever is stopped after two minutes.
    Stage("host", ["host"], ["--preset", "host"], host_code, 120),
    Stage("i686", ["mingw-i686"], ["--preset", "mingw-i686", "-E", "reproducible_build"],
          resources, 300),
    Stage("shipped", ["mingw-i686", "host-i386"], ["--preset", "shipped"], everything, 900),
    Stage("sanitize", ["host-sanitize"], ["--preset", "host-sanitize"], host_code, 600),
    Stage("wine", ["mingw-x86_64"], ["--preset", "mingw-x86_64"], everything, 300),
    Stage("wine32", ["mingw-i686"], ["--preset", "wine32"], everything, 900),
    Stage("fuzz", ["fuzz"], ["--preset", "fuzz"], numeric_code, 600),
    Stage("i386", ["host-i386"], ["--preset", "host-i386"], host_code, 1500),
]


class Mutant:
    def __init__(self, name, line):
        self.name, self.line = name, line
        self.file = self.fault = self.equivalent = None
        self.original, self.replacement = [], []
        self.result = self.stage = self.detail = ""
        self.operator = None  # generated mutants: the operator that made it
        self.listed_as = None  # generated mutants: the mutant of the list that it is

    @property
    def folder(self):
        return next((f for f in FOLDERS if self.file.startswith(f)), self.file.split("/")[0] + "/")

    @property
    def deliverables(self):
        """A regular expression for the tests of the one deliverable a profile file belongs to."""
        name = os.path.basename(self.file)
        if re.fullmatch(r"practice_v\w+\.cpp", name):
            return name[: -len(".cpp")] + "$"
        if name == "variant4_computation.h":
            return "practice_v4(_early)?$"
        return None


def fail(message, status=2):
    print(f"tools/mutate.py: {message}", file=sys.stderr)
    sys.exit(status)


def read_mutants():
    mutants, current = [], None
    with open(LIST, encoding="utf-8") as listing:
        for number, line in enumerate(listing.read().split("\n"), 1):
            if line.startswith("mutant "):
                current = Mutant(line[len("mutant "):].strip(), number)
                mutants.append(current)
            elif not line.strip() or line.startswith("#"):
                continue
            elif current is None:
                fail(f"{LIST}:{number}: a mutant starts with 'mutant NAME'")
            elif line.startswith("file "):
                current.file = line[len("file "):].strip()
            elif line.startswith("fault "):
                current.fault = line[len("fault "):].strip()
            elif line.startswith("equivalent "):
                current.equivalent = line[len("equivalent "):].strip()
            elif line.startswith("-"):
                current.original.append(line[2:] if line.startswith("- ") else line[1:])
            elif line.startswith("+"):
                current.replacement.append(line[2:] if line.startswith("+ ") else line[1:])
            else:
                fail(f"{LIST}:{number}: unknown line: {line}")
    names = set()
    for mutant in mutants:
        where = f"{LIST}:{mutant.line}: mutant {mutant.name}"
        if mutant.name in names:
            fail(f"{where}: the name is taken")
        names.add(mutant.name)
        if not mutant.file or not mutant.fault or not mutant.original:
            fail(f"{where}: needs a file, a fault and an original snippet")
    return mutants


def committed_files():
    """{path: (mode, bytes)} of every file of HEAD."""
    archive = subprocess.run(["git", "-C", ROOT, "archive", "--format=tar", "HEAD"],
                             check=True, capture_output=True).stdout
    files = {}
    with tarfile.open(fileobj=io.BytesIO(archive)) as tar:
        for member in tar:
            if member.isfile():
                files[member.name] = (member.mode, tar.extractfile(member).read())
    return files


def sync_tree(files):
    """Makes the copy hold exactly the committed files; unchanged files keep their times, so the
    copy's builds stay incremental."""
    for path, (mode, data) in files.items():
        target = os.path.join(TREE, path)
        try:
            with open(target, "rb") as existing:
                same = existing.read() == data
        except FileNotFoundError:
            same = False
        if not same:
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as out:
                out.write(data)
        os.chmod(target, mode)
    for folder, subfolders, names in os.walk(TREE):
        relative = os.path.relpath(folder, TREE)
        if relative == ".":
            subfolders[:] = [s for s in subfolders if s != "build"]
        for name in names:
            path = os.path.normpath(os.path.join(relative, name))
            if path not in files:
                os.remove(os.path.join(folder, name))


class Interrupted(Exception):
    pass


INTERRUPTIONS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)


def on_signal(number, _frame):
    # Once: a second signal must not cut the restoring short.
    for ignored in INTERRUPTIONS:
        signal.signal(ignored, signal.SIG_IGN)
    raise Interrupted(signal.Signals(number).name)


running = None  # the child process group under way, ended on an interruption


def run(command, log, timeout=None, polite=False):
    """Runs command in the copy, output to log; its exit status. A polite one (a build) runs
    under nice; tests do not, since some of them have time limits."""
    global running
    log.write(f"\n$ {' '.join(command)}\n")
    log.flush()
    running = subprocess.Popen((["nice", "-n", "10"] if polite else []) + command, cwd=TREE,
                               stdout=log,
                               stderr=subprocess.STDOUT, start_new_session=True,
                               env=dict(os.environ, CMAKE_BUILD_PARALLEL_LEVEL="2"))
    try:
        return running.wait(timeout)
    except subprocess.TimeoutExpired:
        log.write(f"\n(stopped after {timeout} s)\n")
        return -1
    finally:
        end_running()


def end_running():
    global running
    if running is not None and running.poll() is None:
        os.killpg(running.pid, signal.SIGTERM)
        try:
            running.wait(20)
        except subprocess.TimeoutExpired:
            os.killpg(running.pid, signal.SIGKILL)
            running.wait()
    running = None


# Presets configured in this run: a build kept from an earlier run takes the presets' cache
# variables as the commit has them.
configured = set()


def build(preset, log):
    if preset not in configured:
        if run(["cmake", "--preset", preset], log, polite=True) != 0:
            return False
        configured.add(preset)
    return run(["cmake", "--build", "--preset", preset], log, polite=True) == 0


def log_since(log, log_path, start):
    log.flush()
    with open(log_path, encoding="utf-8", errors="replace") as text:
        text.seek(start)
        return text.read()


def failed_tests(log, log_path, start):
    names = re.findall(r"^\s*\d+ - (\S+) \(", log_since(log, log_path, start), re.MULTILINE)
    return ", ".join(names) or "the test run"


def run_stage(stage, log, log_path, only=None):
    """'passed', 'failed' with the failing tests (or the profile check), or 'not built'. A test
    that fails and then passes when run again failed for the machine's sake (a time limit on a
    busy machine), not the code's: the stage then runs once more, at most three times in all."""
    for preset in stage.presets:
        log.flush()
        start = os.path.getsize(log_path)
        if not build(preset, log):
            # The profile check refuses a profile that cannot work when it compiles: that is a
            # catch. Any other failing build means that the mutant itself is malformed.
            if re.search(r"profile_check\.cpp:\d+:\d+: error", log_since(log, log_path, start)):
                return "failed", "the profile check when it compiles"
            return "not built", ""
    command = ["ctest"] + stage.ctest + ["--timeout", str(stage.timeout), "-j2",
                                         "--stop-on-failure", "--output-on-failure"]
    if only:
        command += ["-R", only]
    for _attempt in range(3):
        log.flush()
        start = os.path.getsize(log_path)
        if run(command, log) == 0:
            return "passed", ""
        failed = failed_tests(log, log_path, start)
        if run(["ctest", "--preset", stage.ctest[1], "--rerun-failed", "--output-on-failure",
                "--timeout", str(stage.timeout)], log) != 0:
            return "failed", failed
        log.write(f"\n(failed once, passed when run again: {failed})\n")
    return "failed", failed


class Planting:
    """The mutant in the copy's file, and the way back."""

    def __init__(self, mutant):
        self.path = os.path.join(TREE, mutant.file)
        with open(self.path, "rb") as source:
            self.original = source.read()
        text = self.original.decode("utf-8")
        snippet = "\n".join(mutant.original)
        self.mutated = text.replace(snippet, "\n".join(mutant.replacement), 1).encode("utf-8")
        self.planted = False

    def plant(self):
        self.write(self.mutated)
        self.planted = True

    def restore(self):
        # A new modification time, not the old one: the builds must see the file change back.
        self.write(self.original)
        self.planted = False

    def write(self, data):
        # An interruption waits until the file is whole.
        signal.pthread_sigmask(signal.SIG_BLOCK, INTERRUPTIONS)
        try:
            with open(self.path, "wb") as out:
                out.write(data)
        finally:
            signal.pthread_sigmask(signal.SIG_UNBLOCK, INTERRUPTIONS)


def check_snippets(mutants, files):
    problems = []
    for mutant in mutants:
        if mutant.file not in files:
            problems.append(f"{mutant.name}: no file {mutant.file}")
            continue
        text = files[mutant.file][1].decode("utf-8")
        count = text.count("\n".join(mutant.original))
        if count != 1:
            problems.append(f"{mutant.name}: the snippet occurs {count} times in {mutant.file}")
    return problems


def generated_mutants(files, listed):
    """The mutants generated from the committed product code, each known as the mutant of the
    list that makes the same file, if one does."""
    by_result = {}
    for mutant in listed:
        text = files[mutant.file][1].decode("utf-8")
        mutated = text.replace("\n".join(mutant.original), "\n".join(mutant.replacement), 1)
        by_result[(mutant.file, mutated)] = mutant
    mutants = []
    for generated in generate_mutants.generate({path: data for path, (_, data) in files.items()}):
        mutant = Mutant(generated.name, 0)
        mutant.file, mutant.fault, mutant.operator = (generated.file, generated.fault,
                                                      generated.operator)
        mutant.original, mutant.replacement = generated.snippet, generated.snippet_replacement
        same = by_result.get((generated.file, generated.mutated))
        if same:
            mutant.listed_as, mutant.equivalent = same.name, same.equivalent
        mutants.append(mutant)
    return mutants


def in_turn(groups):
    """The members of the lists, taken from each in turn while any is left."""
    groups = [list(group) for group in groups]
    taken = []
    while any(groups):
        for group in groups:
            if group:
                taken.append(group.pop(0))
    return taken


def sample(mutants, count, seed):
    """count mutants, drawn in turn from each folder; within a folder, in turn from each
    operator's mutants, each in an order shuffled with the seed."""
    shuffler = random.Random(seed)
    folders = []
    for folder in generate_mutants.PRODUCT_FOLDERS:
        by_operator = []
        for operator in generate_mutants.OPERATORS:
            group = [m for m in mutants if m.folder == folder and m.operator == operator]
            shuffler.shuffle(group)
            by_operator.append(group)
        folders.append(in_turn(by_operator))
    return in_turn(folders)[:count]


def counts_table(mutants, rows, row_of):
    operators = generate_mutants.OPERATORS
    lines = [f"{'':<12}" + "".join(f"{o:>11}" for o in operators) + f"{'all':>8}"]
    for row in rows + ["all"]:
        group = [m for m in mutants if row == "all" or row_of(m) == row]
        lines.append(f"{row:<12}" + "".join(
            f"{sum(1 for m in group if m.operator == o):>11}" for o in operators) +
            f"{len(group):>8}")
    return lines


def list_generated(mutants, everything):
    for mutant in mutants:
        listed = f" (listed as {mutant.listed_as})" if mutant.listed_as else ""
        print(f"{mutant.name} ({mutant.file}){listed}: {mutant.fault}")
    print()
    folders = [f for f in generate_mutants.PRODUCT_FOLDERS]
    print(f"{len(mutants)} generated mutants" +
          (f" (a sample of the {len(everything)} in all)" if mutants != everything else "") +
          ", per folder and operator:")
    print("\n".join(counts_table(mutants, folders, lambda m: m.folder)))


def test_mutant(mutant, stages, baselines, log_path):
    planting = Planting(mutant)
    with open(log_path, "w", encoding="utf-8") as log:
        log.write(f"mutant {mutant.name} in {mutant.file}: {mutant.fault}\n")
        try:
            planting.plant()
            survived = []
            for stage in stages:
                if not stage.builds(mutant.file):
                    continue
                if stage.name not in baselines:
                    planting.restore()
                    log.write(f"\n== baseline of stage {stage.name}, without the mutant\n")
                    outcome, detail = run_stage(stage, log, log_path)
                    if outcome != "passed":
                        raise SystemExit(f"stage {stage.name} fails without a mutant ({detail}); "
                                         f"see {log_path}")
                    baselines.add(stage.name)
                    planting.plant()
                log.write(f"\n== stage {stage.name}\n")
                outcome, detail = run_stage(stage, log, log_path, mutant.deliverables)
                if outcome == "not built":
                    mutant.result, mutant.stage = "not built", stage.name
                    mutant.detail = f"the build of stage {stage.name} fails"
                    return
                if outcome == "failed":
                    mutant.result, mutant.stage, mutant.detail = "caught", stage.name, detail
                    return
                survived.append(stage.name)
            mutant.result = "survived"
            mutant.detail = ("passed " + ", ".join(survived) if survived
                             else "no stage run builds it")
        finally:
            if planting.planted:
                planting.restore()


def score_table(mutants, rows, row_of):
    lines = [f"{'':<20}{'mutants':>8}{'equivalent':>11}{'caught':>8}{'survived':>9}"
             f"{'not built':>10}{'score':>7}"]
    for row in rows + ["all"]:
        group = [m for m in mutants if row == "all" or row_of(m) == row]
        if not group:
            continue
        equivalent = sum(1 for m in group if m.equivalent)
        judged = [m for m in group if not m.equivalent]
        caught = sum(1 for m in judged if m.result == "caught")
        survived = sum(1 for m in judged if m.result == "survived")
        not_built = sum(1 for m in judged if m.result == "not built")
        score = f"{100 * caught // (caught + survived)}%" if caught + survived else "-"
        lines.append(f"{row:<20}{len(group):>8}{equivalent:>11}{caught:>8}{survived:>9}"
                     f"{not_built:>10}{score:>7}")
    return lines


def listing_block(mutant):
    """A generated mutant as an entry of tools/mutants.txt, to mark it equivalent."""
    return ([f"mutant {mutant.name}", f"file {mutant.file}", f"fault {mutant.fault}",
             "equivalent CLASS: why the programs behave the same"] +
            [f"- {line}" for line in mutant.original] +
            [f"+ {line}" for line in mutant.replacement])


def report(mutants, selected, commit, seconds, skipped_equivalents, generated=False):
    lines = [f"Mutation run of commit {commit}: {len(selected)} planted, "
             f"{len(skipped_equivalents)} marked equivalent and not planted, "
             f"{seconds // 60}m{seconds % 60:02d}s", ""]
    lines += score_table(mutants, FOLDERS, lambda m: m.folder)
    lines.append("")
    if generated:
        lines += score_table(mutants, generate_mutants.OPERATORS, lambda m: m.operator)
        lines.append("")
        classes = {}
        for m in mutants:
            if m.equivalent:
                named = re.match(r"([a-z]+): ", m.equivalent)
                kind = named.group(1) if named else "no class given"
                classes[kind] = classes.get(kind, 0) + 1
        if classes:
            lines.append("Equivalent, by the class of the reason: " + ", ".join(
                f"{kind} {count}" for kind, count in sorted(classes.items())))
            lines.append("")
    by_stage = {}
    for m in selected:
        if m.result == "caught":
            by_stage[m.stage] = by_stage.get(m.stage, 0) + 1
    lines.append("Caught by stage: " + ", ".join(
        f"{s.name} {by_stage[s.name]}" for s in STAGES if s.name in by_stage))
    lines.append("")
    did_not_build = "Did not compile (not counted)" if generated else "Did not build"
    for title, wanted in [("Survived", "survived"), (did_not_build, "not built")]:
        group = [m for m in selected if m.result == wanted and not m.equivalent]
        if group:
            lines.append(f"{title}:")
            for m in group:
                lines.append(f"  {m.name} ({m.file}): {m.fault}")
                lines.append(f"      {m.detail}")
            lines.append("")
    survivors = [m for m in selected if m.result == "survived" and not m.equivalent]
    if generated and survivors:
        lines.append("Each survivor is a gap to close with a check, or, once shown equivalent, an "
                     "entry of tools/mutants.txt:")
        for m in survivors:
            lines += [""] + ["    " + line for line in listing_block(m)]
        lines.append("")
    wrong = [m for m in selected if m.equivalent and m.result == "caught"]
    if wrong:
        lines.append("Marked equivalent but caught (the mark is wrong):")
        for m in wrong:
            lines.append(f"  {m.name} ({m.file}): caught by {m.stage}: {m.detail}")
        lines.append("")
    equivalents = [m for m in mutants if m.equivalent]
    if equivalents:
        lines.append("Equivalent:")
        for m in equivalents:
            how = f"planted: {m.result}" if m in selected else "not planted"
            listed = f"listed as {m.listed_as}, " if m.listed_as else ""
            lines.append(f"  {m.name} ({m.file}, {listed}{how}): {m.equivalent}")
        lines.append("")
    lines.append("Every mutant:")
    for m in selected:
        where = f"{m.stage}: {m.detail}" if m.result == "caught" else m.detail
        lines.append(f"  {m.name:<34} {m.result:<10} {where}")
        if generated:
            lines.append(f"      {m.file}: {m.fault}")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(
        description=__doc__.split("\n\n")[0],
        formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("mutants", nargs="*", metavar="MUTANT")
    parser.add_argument("--equivalents", action="store_true")
    parser.add_argument("--stages")
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--generate", action="store_true")
    parser.add_argument("--sample", type=int, metavar="N")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--list", action="store_true")
    options = parser.parse_args()
    if options.generate and options.check:
        fail("--check checks the list: no --generate")
    if (options.sample is not None or options.list) and not options.generate:
        fail("--sample and --list go with --generate")

    mutants = read_mutants()
    files = committed_files()
    problems = check_snippets(mutants, files)
    if problems:
        fail("mutants that do not fit the committed files:\n  " + "\n  ".join(problems))
    if options.check or options.generate:
        generated = generated_mutants(files, mutants)
    if options.check:
        known = {m.listed_as for m in generated}
        lost = [m.name for m in mutants
                if m.name.startswith("gen-") and m.name not in known]
        if lost:
            fail("generated mutants listed that are no longer generated from the code (take them "
                 "out of the list, or list the mutants that are generated now):\n  " +
                 "\n  ".join(lost))
        print(f"{len(mutants)} mutants, each snippet found once; {len(generated)} generated")
        return 0

    if options.generate:
        everything = generated
        if options.mutants:
            known = {m.name: m for m in generated}
            unknown = [name for name in options.mutants if name not in known]
            if unknown:
                fail("no such generated mutant: " + ", ".join(unknown))
            generated = [known[name] for name in options.mutants]
        if options.sample is not None:
            generated = sample(generated, options.sample, options.seed)
        if options.list:
            list_generated(generated, everything)
            return 0
        mutants = generated
        selected = [m for m in generated if options.equivalents or not m.equivalent]
    else:
        known = {m.name: m for m in mutants}
        unknown = [name for name in options.mutants if name not in known]
        if unknown:
            fail("no such mutant: " + ", ".join(unknown))
        selected = [known[name] for name in options.mutants] if options.mutants else [
            m for m in mutants if options.equivalents or not m.equivalent]
    stages = STAGES
    if options.stages:
        wanted = options.stages.split(",")
        stages = [s for s in STAGES if s.name in wanted]
        if len(stages) != len(wanted):
            fail("stages are: " + ", ".join(s.name for s in STAGES))

    os.makedirs(LOGS, exist_ok=True)
    lock = open(os.path.join(WORK, "lock"), "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        fail("another mutation run uses build/mutation")
    commit = subprocess.run(["git", "-C", ROOT, "rev-parse", "--short", "HEAD"], check=True,
                            capture_output=True, text=True).stdout.strip()
    changes = subprocess.run(["git", "-C", ROOT, "status", "--porcelain", "--untracked-files=no"],
                             check=True, capture_output=True, text=True).stdout
    if changes:
        print(f"Uncommitted changes are not part of this run: it tests commit {commit}.")
    os.makedirs(TREE, exist_ok=True)
    sync_tree(files)

    for number in INTERRUPTIONS:
        signal.signal(number, on_signal)
    started = time.time()
    baselines = set()
    try:
        for index, mutant in enumerate(selected, 1):
            print(f"[{index}/{len(selected)}] {mutant.name} ({mutant.file}) ...", end=" ",
                  flush=True)
            test_mutant(mutant, stages, baselines, os.path.join(LOGS, mutant.name + ".log"))
            print(f"{mutant.result} {mutant.stage if mutant.result == 'caught' else ''}".rstrip(),
                  flush=True)
    except Interrupted as why:
        end_running()
        print(f"\ninterrupted ({why}); the copy is restored", file=sys.stderr)
        return 130
    except SystemExit as why:
        end_running()
        fail(str(why))

    skipped = [m for m in mutants if m.equivalent and m not in selected and not options.mutants]
    text = report(mutants if not options.mutants else selected, selected, commit,
                  int(time.time() - started), skipped, options.generate)
    with open(os.path.join(WORK, "report.txt"), "w", encoding="utf-8") as out:
        out.write(text)
    print()
    print(text, end="")
    failing = ("survived",) if options.generate else ("survived", "not built")
    bad = [m for m in selected if m.result in failing and not m.equivalent]
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
