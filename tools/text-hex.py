#!/usr/bin/env python3
"""Texts of the programs (Windows-1251) to the hex of the shipped runner's scripts, and back.

    tools/text-hex.py TEXT          the hex of TEXT:           tools/text-hex.py 1.5   -> 312e35
    tools/text-hex.py -d HEX        the text of HEX:           tools/text-hex.py -d 2d3130 -> -10
    shipped_runner ... | tools/text-hex.py --output
                                    the runner's output with each "..._hex":"HEX" also as text
"""
import json
import re
import sys

HEX_FIELD = re.compile(r'"(\w+)_hex":"([0-9a-fA-F]*)"')


def text_of(hex_text):
    return bytes.fromhex(hex_text).decode("cp1251")


def with_texts(line):
    def add_text(match):
        text = json.dumps(text_of(match.group(2)), ensure_ascii=False)
        return f'{match.group(0)},"{match.group(1)}":{text}'

    return HEX_FIELD.sub(add_text, line)


def main(arguments):
    if len(arguments) == 1 and arguments[0] == "--output":
        for line in sys.stdin:
            sys.stdout.write(with_texts(line))
        return 0
    if len(arguments) == 2 and arguments[0] == "-d":
        print(text_of(arguments[1]))
        return 0
    if len(arguments) == 1 and not arguments[0].startswith("-"):
        print(arguments[0].encode("cp1251").hex())
        return 0
    sys.stderr.write(__doc__)
    return 0 if arguments in (["-h"], ["--help"]) else 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
