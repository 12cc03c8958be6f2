#!/usr/bin/env python3
"""The windows a program shows under Wine against the reviewed snapshot of what the stand-in shows.

    compare_windows.py SNAPSHOT LISTING

SNAPSHOT is a deliverable's tests/shipped/windows/<deliverable>.txt, LISTING what e2e_driver wrote
for the same windows. Every control must be alike in class, ID, text, place, size and styles.
Top-level windows may differ only where the real window system adds to what the program asked
for: WS_VISIBLE once shown, WS_CLIPSIBLINGS and WS_CAPTION on overlapped windows, and
WS_EX_WINDOWEDGE with them; a place the platform chose (CW_USEDEFAULT) is not compared.
Prints each difference; the exit status is 1 when there is one.
"""
import json
import sys

WS_VISIBLE = 0x10000000
WS_CLIPSIBLINGS = 0x04000000
WS_CAPTION = 0x00C00000
WS_EX_WINDOWEDGE = 0x00000100
CW_USEDEFAULT = -0x80000000


def windows_of(path):
    """The window objects of a file, each from a line starting '{"window"' to one ending ']}' (the
    snapshot spreads a window over a line per control, the driver writes it on one)."""
    windows, lines = [], None
    with open(path, encoding="ascii") as file:
        for line in file:
            if line.startswith('{"window"'):
                lines = []
            if lines is not None:
                lines.append(line.strip())
                if line.rstrip().endswith("]}"):
                    windows.append(json.loads("".join(lines)))
                    lines = None
    return windows


def shown(value, key):
    if key.endswith("_hex"):
        return repr(bytes.fromhex(value).decode("cp1251"))
    if key in ("style", "ex_style"):
        return hex(value)
    return json.dumps(value)


def differences(expected_windows, actual_windows):
    found = []
    if len(expected_windows) != len(actual_windows):
        found.append(f"{len(actual_windows)} windows, not {len(expected_windows)}")
    for expected, actual in zip(expected_windows, actual_windows):
        name = expected["window"]
        wanted = dict(expected)
        wanted["style"] |= WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION
        wanted["ex_style"] |= WS_EX_WINDOWEDGE
        placed_by_platform = expected["x"] == CW_USEDEFAULT
        for key, value in wanted.items():
            if key == "children" or (placed_by_platform and key in ("x", "y")):
                continue
            if actual.get(key) != value:
                found.append(f"{name} {key}: {shown(value, key)}, "
                             f"shown {shown(actual.get(key), key)}")
        children, shown_children = expected["children"], actual["children"]
        if len(children) != len(shown_children):
            found.append(f"{name}: {len(shown_children)} controls, not {len(children)}")
        for order, (control, shown_control) in enumerate(zip(children, shown_children), 1):
            for key, value in control.items():
                if shown_control.get(key) != value:
                    found.append(
                        f"{name} control {order} (ID {control['id']}) {key}: {shown(value, key)}, "
                        f"shown {shown(shown_control.get(key), key)}"
                    )
    return found


def main(arguments):
    if len(arguments) != 2:
        sys.stderr.write(__doc__)
        return 2
    snapshot, listing = arguments
    found = differences(windows_of(snapshot), windows_of(listing))
    for line in found:
        print(line)
    print(f"windows as in {snapshot}" if not found else f"{len(found)} differences from {snapshot}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
