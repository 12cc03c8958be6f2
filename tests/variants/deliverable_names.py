#!/usr/bin/env python3
"""Every deliverable that the project's files name is one of DELIVERABLES: a row, case, data file
or file named after a misspelt or stale name would otherwise be skipped without a word, since the
tests look such things up by the deliverables' names.

    deliverable_names.py SOURCE_DIR DELIVERABLE...

Prints each name that is none of them, with its place, and exits 1 when there is one.
"""
import os
import re
import subprocess
import sys

# A deliverable's name as the files write it: alone, or at the end of a longer name after "_".
NAME = re.compile(r"(?<![A-Za-z0-9])practice_v[0-9][A-Za-z0-9_]*")
# The build's own output, apart from the sources.
OUTPUT_FOLDERS = {".git", "build", "out", "dist"}


def project_files(root):
    """The tracked and the new files, without what git ignores; every file where git is missing."""
    try:
        listed = subprocess.run(["git", "-C", root, "ls-files", "-co", "--exclude-standard"],
                                capture_output=True, text=True, check=True).stdout
        return [name for name in listed.split("\n") if name]
    except (OSError, subprocess.CalledProcessError):
        files = []
        for folder, subfolders, names in os.walk(root):
            subfolders[:] = [f for f in subfolders if f not in OUTPUT_FOLDERS]
            files += [os.path.relpath(os.path.join(folder, n), root) for n in names]
        return files


def unknown_names(root, deliverables):
    for path in sorted(project_files(root)):
        for name in NAME.findall(os.path.basename(path)):
            if name not in deliverables:
                yield f"{path}: the file is named after {name}"
        try:
            with open(os.path.join(root, path), encoding="utf-8") as source:
                lines = source.read().split("\n")
        except (UnicodeDecodeError, OSError):
            continue  # pictures, and files gone since they were listed
        for number, line in enumerate(lines, 1):
            for name in NAME.findall(line):
                if name not in deliverables:
                    yield f"{path}:{number}: {name}"


def main():
    root, deliverables = sys.argv[1], set(sys.argv[2:])
    problems = list(unknown_names(root, deliverables))
    for problem in problems:
        print(problem)
    if problems:
        listed = " ".join(sys.argv[2:])
        print(f"the names above are none of DELIVERABLES (CMakeLists.txt): {listed}")
        return 1
    print("every deliverable named in the project's files is one of DELIVERABLES")
    return 0


if __name__ == "__main__":
    sys.exit(main())
