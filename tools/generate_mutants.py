"""Mutants made mechanically from the product code, for tools/mutate.py --generate.

Each operator finds its places in the code as it is, so nothing is stored but the operators:

    relational   each relational operator replaced by its two neighbours, the operators that
                 differ from it in one of the three outcomes (below, equal, above): < by <= and !=;
                 the comparison rule's is_below, is_above and is_equal (and their negations) are
                 relational operators too: is_below by !is_above and !is_equal
    arithmetic   each binary + - * / % swapped (+ and -, * and /, % by /), each ++ and --
    condition    the condition of each if, while, for and ?: negated, and each operand of a
                 return's && or ||
    call         each statement that calls a function deleted (left as an empty statement)
    integer      each integer constant moved by one, up and down
    flag         each boolean field of a profile flipped
    text         each text of a profile changed by one character: its last one made another
                 (an empty text gets one)

A mutant is one replacement in one file, written as the smallest run of whole lines around it that
occurs once in the file, so that it can be planted, and listed in tools/mutants.txt, as the
hand-written ones are.
"""
import re

PRODUCT_FOLDERS = ["numtext/", "shell/", "tasks/", "variants/"]
# Compiled with a profile to check it while building, and linked into no program.
NOT_PRODUCT = {"variants/profile_check.cpp"}
OPERATORS = ["relational", "arithmetic", "condition", "call", "integer", "flag", "text"]

NEIGHBOURS = {"<": ["<=", "!="], "<=": ["<", "=="], ">": [">=", "!="], ">=": [">", "=="],
              "==": ["<=", ">="], "!=": ["<", ">"]}
# The comparison rule (tasks/common/task_io.h) as relational operators: < > ==, and >= <= != when
# negated.
RULE_NEIGHBOURS = {"is_below": ["!is_above", "!is_equal"], "is_above": ["!is_below", "!is_equal"],
                   "is_equal": ["!is_above", "!is_below"], "!is_below": ["is_above", "is_equal"],
                   "!is_above": ["is_below", "is_equal"], "!is_equal": ["is_below", "is_above"]}
SWAPS = {"+": "-", "-": "+", "*": "/", "/": "*", "%": "/", "++": "--", "--": "++"}
# Words that start a statement which is not a call standing alone.
NOT_CALLS = {"return", "if", "else", "for", "while", "do", "switch", "case", "default", "break",
             "continue", "goto", "const", "constexpr", "static", "extern", "inline", "unsigned",
             "signed", "int", "long", "short", "char", "bool", "double", "float", "void", "auto",
             "struct", "class", "enum", "namespace", "template", "typedef", "using", "volatile"}


class Generated:
    def __init__(self, path, operator, start, end, replacement, text):
        self.file, self.operator = path, operator
        self.start, self.end, self.replacement = start, end, replacement
        self.line = text.count("\n", 0, start) + 1
        self.original_text = text[start:end]
        self.mutated = text[:start] + replacement + text[end:]
        self.snippet, self.snippet_replacement = unique_lines(text, self.mutated, start, end,
                                                              len(replacement))
        self.column = start - (text.rfind("\n", 0, start) + 1) + 1
        self.name = None  # given once the file's mutants are known

    @property
    def fault(self):
        before = " ".join(self.original_text.split())
        after = " ".join(self.replacement.split())
        return f"Generated ({self.operator}), line {self.line}: {before} -> {after}"


def unique_lines(text, mutated, start, end, replaced_length):
    """The whole lines around the change, widened until they occur once in the file; and the same
    lines after the change."""
    first = text.rfind("\n", 0, start) + 1
    last = text.find("\n", end)
    last = len(text) if last < 0 else last
    widen_before = True
    while text.count(text[first:last]) > 1:
        if widen_before and first > 0:
            first = text.rfind("\n", 0, first - 1) + 1
        elif last < len(text):
            following = text.find("\n", last + 1)
            last = len(text) if following < 0 else following
        else:
            first = text.rfind("\n", 0, first - 1) + 1
        widen_before = not widen_before
    growth = replaced_length - (end - start)
    return text[first:last].split("\n"), mutated[first:last + growth].split("\n")


def mask(text):
    """The text with comments, literals and preprocessor lines blanked (positions kept), and the
    spans of the string literals outside #include lines."""
    masked, strings = list(text), []
    i, line_start = 0, True
    while i < len(text):
        c = text[i]
        if line_start and c == "#":
            end = text.find("\n", i)
            end = len(text) if end < 0 else end
            directive = text[i:end]
            if directive.startswith("#define"):
                strings += [(i + m.start(), i + m.end())
                            for m in re.finditer(r'"(\\.|[^"\\])*"', directive)]
            masked[i:end] = " " * (end - i)
            i = end
            continue
        if c == "\n":
            line_start = True
        elif not c.isspace():
            line_start = False
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = len(text) if end < 0 else end
        elif text.startswith("/*", i):
            end = text.index("*/", i) + 2
        elif c in "\"'":
            end = i + 1
            while text[end] != c:
                end += 2 if text[end] == "\\" else 1
            end += 1
            if c == '"':
                strings.append((i, end))
        else:
            i += 1
            continue
        masked[i:end] = [ch if ch == "\n" else " " for ch in text[i:end]]
        i = end
    return "".join(masked), strings


def closing(masked, opening):
    """Index of the parenthesis that closes the one at opening."""
    depth = 0
    for i in range(opening, len(masked)):
        if masked[i] == "(":
            depth += 1
        elif masked[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    raise ValueError("unbalanced parentheses")


def relational(path, text, masked, _strings):
    for m in re.finditer(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)", masked):
        line = masked[masked.rfind("\n", 0, m.start()) + 1: masked.find("\n", m.end())]
        for replacement in NEIGHBOURS[m.group(1)]:
            if "nullptr" in line and replacement in ("<", ">", "<=", ">="):
                continue  # a pointer has no order
            yield Generated(path, "relational", m.start(), m.end(), replacement, text)
    for m in re.finditer(r"(?<!bool )(!?)\b(is_below|is_above|is_equal)(?=\()", masked):
        for replacement in RULE_NEIGHBOURS[m.group(0)]:
            yield Generated(path, "relational", m.start(), m.end(), replacement, text)


def arithmetic(path, text, masked, _strings):
    for m in re.finditer(r"(?<=\s)([-+*/%])(?=\s)|(\+\+|--)", masked):
        operator = m.group(1) or m.group(2)
        yield Generated(path, "arithmetic", m.start(), m.end(), SWAPS[operator], text)


def negated(path, text, start, end):
    """The condition between start and end (spaces around it left out) negated."""
    inner = text[start:end]
    start += len(inner) - len(inner.lstrip())
    end = start + len(inner.strip())
    return Generated(path, "condition", start, end, f"!({text[start:end]})", text)


def condition(path, text, masked, _strings):
    for m in re.finditer(r"\b(if|while|for)\s*(constexpr\s*)?\(", masked):
        opening = m.end() - 1
        close = closing(masked, opening)
        if m.group(1) != "for":
            yield negated(path, text, opening + 1, close)
            continue
        parts = masked[opening + 1: close].split(";")
        if len(parts) == 3 and parts[1].strip():
            start = opening + 1 + len(parts[0]) + 1
            yield negated(path, text, start, start + len(parts[1]))
    for m in re.finditer(r"\s\?\s", masked):
        # The condition runs back from the ? to an assignment, an opening parenthesis, a comma, a
        # return or the : of an enclosing ?:, at its own depth.
        depth, i = 0, m.start()
        while i > 0:
            c = masked[i - 1]
            if c == ")":
                depth += 1
            elif c == "(" and depth:
                depth -= 1
            elif depth == 0 and (c in "(,;{" or (c == "=" and masked[i - 2] not in "=<>!")
                                 or (c == ":" and ":" not in masked[i - 2: i + 1:2])
                                 or re.search(r"\breturn\s$", masked[:i])):
                break
            i -= 1
        yield negated(path, text, i, m.start())
    for m in re.finditer(r"\breturn\s+([^;]*);", masked):
        operands, depth, start = [], 0, m.start(1)
        for i in range(m.start(1), m.end(1)):
            c = masked[i]
            depth += {"(": 1, ")": -1}.get(c, 0)
            if depth == 0 and masked[i: i + 2] in ("&&", "||"):
                operands.append((start, i))
                start = i + 2
        if operands:
            operands.append((start, m.end(1)))
            for first, last in operands:
                yield negated(path, text, first, last)


def starts_statement(masked, start):
    """Whether a statement can begin here: after another, a brace, a case label, an else, or the
    header of an if, for or while; not within a statement that goes on from the line before."""
    before = masked[:start].rstrip()
    if not before or before[-1] in ";{}:" or re.search(r"\belse$", before):
        return True
    if before[-1] != ")":
        return False
    depth = 0
    for i in range(len(before) - 1, -1, -1):
        depth += {")": 1, "(": -1}.get(before[i], 0)
        if depth == 0:
            return bool(re.search(r"\b(if|for|while)\s*$", before[:i]))
    return False


def call(path, text, masked, _strings):
    for m in re.finditer(r"^[ \t]*(case [^:\n]+:[ \t]*)?(?=\S)", masked, re.MULTILINE):
        start = m.end()
        first_word = re.match(r"[A-Za-z_]\w*", masked[start:])
        if not first_word or first_word.group(0) in NOT_CALLS:
            continue
        if not starts_statement(masked, start):
            continue
        if re.match(r"[\w:]+(\s*[*&]+)?\s+[A-Za-z_]", masked[start:]):
            continue  # a declaration: a type, then a name
        depth, end = 0, start
        while end < len(masked):
            c = masked[end]
            if c in "({[":
                depth += 1
            elif c in ")}]":
                depth -= 1
                if depth < 0:
                    break
            elif c == ";" and depth == 0:
                break
            end += 1
        if end == len(masked) or masked[end] != ";" or "{" in masked[start:end]:
            continue
        if re.search(r"[A-Za-z_]\w*\s*\(", masked[start:end]):
            yield Generated(path, "call", start, end + 1, ";", text)


def integer(path, text, masked, _strings):
    for m in re.finditer(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)([uUlL]*)(?![\w.])", masked):
        line_start = masked.rfind("\n", 0, m.start()) + 1
        before = masked[line_start: m.start()]
        # A bound of an array declared at namespace scope must agree with its declaration
        # elsewhere: moved, the program does not build.
        if not before[:1].isspace() and before.rstrip().endswith("["):
            continue
        if re.search(r"[0-9A-Fa-f.][pPeE][-+]?$", before):
            continue  # the exponent of a floating-point constant
        digits, suffix = m.group(1), m.group(2)
        value = int(digits, 16 if digits[:2].lower() == "0x" else 10)
        for moved in (value + 1, value - 1):
            if moved < 0:
                written = f"(-1{suffix})"
            elif digits[:2].lower() == "0x":
                written = f"{digits[:2]}{moved:0{len(digits) - 2}X}{suffix}"
            else:
                written = f"{moved}{suffix}"
            yield Generated(path, "integer", m.start(), m.end(), written, text)


def is_profile(path):
    return path.startswith("variants/")


def flag(path, text, masked, _strings):
    if not is_profile(path):
        return
    for m in re.finditer(r"\.\w+ = (true|false)\b", masked):
        value = m.group(1)
        start = m.end() - len(value)
        yield Generated(path, "flag", start, m.end(), "false" if value == "true" else "true", text)


def profile_text(path, text, _masked, strings):
    if not is_profile(path):
        return
    # A text is a run of adjacent literals; the last character of its last literal changes.
    runs, current = [], []
    for span in strings:
        if current and text[current[-1][1]: span[0]].strip() == "":
            current.append(span)
        else:
            current = [span]
            runs.append(current)
    for run in runs:
        start, end = run[-1]
        body = text[start + 1: end - 1]
        characters = re.findall(r"\\.|.", body, re.DOTALL)
        if not characters:
            yield Generated(path, "text", start, end, '"x"', text)
            continue
        plain = [i for i, c in enumerate(characters) if not c.startswith("\\")]
        at = plain[-1] if plain else len(characters) - 1
        other = "y" if characters[at] == "x" else "x"
        changed = characters[:at] + [other] + characters[at + 1:]
        yield Generated(path, "text", start, end, '"' + "".join(changed) + '"', text)


GENERATORS = [relational, arithmetic, condition, call, integer, flag, profile_text]


def generate(files):
    """Every mutant of the product code in files ({path: bytes}), in file and position order."""
    mutants = []
    for path in sorted(files):
        if (not path.startswith(tuple(PRODUCT_FOLDERS)) or path in NOT_PRODUCT
                or not path.endswith((".cpp", ".h"))):
            continue
        text = files[path].decode("utf-8")
        masked, strings = mask(text)
        found = [m for generator in GENERATORS for m in generator(path, text, masked, strings)]
        seen, at_place = set(), {}
        stem = path.replace("/", "-").rsplit(".", 1)[0]
        for mutant in sorted(found, key=lambda m: (m.start, m.operator, m.replacement)):
            if mutant.mutated in seen:
                continue  # two operators may make the same change
            seen.add(mutant.mutated)
            place = f"{mutant.operator}-{stem}-{mutant.line}-{mutant.column}"
            at_place[place] = at_place.get(place, 0) + 1
            mutant.name = f"gen-{place}-{at_place[place]}"
            mutants.append(mutant)
    return mutants
