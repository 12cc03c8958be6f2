#!/usr/bin/env python3
"""Writes tests/numtext/conversion_vectors.inc: texts with the doubles they read as, and doubles
with the texts they are written as, computed by an exact model of the conversions (rational
arithmetic, each x87 step rounded to a 53-bit significand with an unbounded exponent). Random
texts and doubles, and the chosen ones below: edges of the syntax, of the exponent's saturation,
of the double range and of the seventh-digit rounding, texts of many thousand characters, the
table steps of scale_by_pow10 and the ties of integer_to_digits.

    python3 tests/numtext/make_vectors.py > tests/numtext/conversion_vectors.inc
    python3 tests/numtext/make_vectors.py --check   # the test command: fails when they differ

With --corpus FOLDER it also writes the texts next to the denormal rounding boundaries there, as
seeds of the parse_real fuzz target (tests/fuzz/corpus/parse_real_fuzz); --check compares those
seeds too.
"""
import difflib
import glob
import hashlib
import io
import os
import random
import struct
import sys
from contextlib import redirect_stdout
from fractions import Fraction

TABLE_REACH = 4863
HERE = os.path.dirname(os.path.abspath(__file__))
VECTORS = os.path.join(HERE, "conversion_vectors.inc")
CORPUS = os.path.join(os.path.dirname(HERE), "fuzz", "corpus", "parse_real_fuzz")

# What a vector gives as the destination of a text that holds no digit position: parse_real leaves
# it alone, and the test fills it with this NaN, which no text reads as.
UNWRITTEN = 0x7FF4DEADBEEF0001

# Texts at the edges of the syntax, the exponent's saturation (which must not wrap at 32 or 64
# bits) and the double range.
EDGE_TEXTS = [
    "", "+", "-", "1e+x", "1e--5", "1e5.5", "-e5", "+5", "0012.50", "-1e-400",
    "4.9406564584124654e-324",
    # rounded twice: to 53 bits, giving exactly half the smallest denormal, then to even
    "2.4703282292062328e-324",
    "1.7976931348623157e308", "1e23", "1e32",
    "1e4863", "1e5000", "-1e5000", "1e-5000", "-1e-5000", "0e5000", "-0e5000",
    "0.0e99999999999", "1e99999999999", "1e99999999999999999999", "1e-99999999999999999999",
    "1e2147483647", "1e2147483648", "1e4294967297", "1e-4294967297", "1e-2147483648",
]

# Texts of a head, a run of one character and a tail: exponents and mantissas far longer than any
# field, where the point brings an exponent beyond the tables' reach back into it, or not.
LONG_TEXTS = [
    ("1e", "9", 1000, ""),
    ("-1e", "9", 1000, ""),
    ("1e-", "9", 1000, ""),
    ("1e", "0", 5000, "7"),
    ("0.", "0", 400, "1e401"),
    ("0.", "0", 5000, "1e5001"),
    ("0.", "0", 5000, "25e5003"),
    ("0.", "0", 100000, "1e100001"),
    ("0.", "0", 5000, "1e4900"),  # 1e-101 through the tables
    ("1", "0", 300, "e-300"),  # the mantissa rounds digit by digit once past 10^22
    ("1", "0", 4600, "e-4863"),  # the tables' whole reach
    # Saturation at its edges: nineteen digits overflow an integer that saturates near 10^18, and
    # a saturated exponent stays beyond any run of zeros a text can bring.
    ("1e", "9", 19, ""),
    ("0.", "0", 100000, "1e99999999999999999999"),
]

# Doubles by their bits: the first table product rounded, the edges of the plain notation, the
# smallest normal, whole numbers whose estimate is one too high, infinities and NaNs.
EDGE_DOUBLES = [1e32, 1e-26, 0.0999999, 9999999.4, 9999999.5, -0.099999949,
                2.2250738585072014e-308, 9.0, 99.0, 1e15, 0.75,
                float("inf"), -float("inf")]
EDGE_NANS = [0x7FF8000000000000, 0xFFF8000000000000]

# scale_by_pow10 (x, n), x with a 64-bit significand: values whose product differs when the first
# entry is taken with all 64 bits, the tables' whole reach, the smallest denormal, and x itself
# rounded to 53 bits.
SCALE_CASES = [
    (Fraction(0xA163645A94DA5000, 2**62), 32),
    (Fraction(0x90C67CA595C7E800, 2**70), -32),
    (Fraction(0xBBFD1C6801C76000, 2**57), 4608),
    (Fraction(0x90645E37C6D1F000, 2**56), -4608),
    (Fraction(0xE000000000000000, 2**61), 4863),
    (Fraction(0xE000000000000000, 2**61), -4863),
    (Fraction(0x8000000000000000, 2**1137), 330),
    (Fraction(0xEB79A2A000000000, 2**37), -300),
    (Fraction(0xFFFFFFFFFFFFFFFF, 2**64), 0),
]

# integer_to_digits: ties to even, and the ends of its eighteen digits.
DIGIT_CASES = [Fraction(0), Fraction(1, 2), Fraction(3, 2), Fraction(5, 2),
               Fraction(2469133, 2), Fraction(2469135, 2), Fraction(19999999, 2),
               Fraction(123456789012345678), Fraction(999999999999999999)]


def round_to_bits(q, bits):
    """q rounded to a `bits`-bit significand, ties to even, exponent unbounded."""
    if q == 0:
        return Fraction(0)
    sign = -1 if q < 0 else 1
    q = abs(q)
    e = q.numerator.bit_length() - q.denominator.bit_length()
    if Fraction(2) ** e > q:
        e -= 1
    scale = Fraction(2) ** (bits - 1 - e)  # q * scale lies in [2^(bits-1), 2^bits)
    scaled = q * scale
    whole, rest = divmod(scaled.numerator, scaled.denominator)
    twice = 2 * rest
    if twice > scaled.denominator or (twice == scaled.denominator and whole & 1):
        whole += 1
    return sign * whole / scale


def round53(q):
    return round_to_bits(q, 53)


def entry(k):
    return round_to_bits(Fraction(10) ** k, 64)


LOW = [entry(k) for k in range(1, 16)]
MID = [entry(16 * k) for k in range(1, 16)]
HIGH = [entry(256 * k) for k in range(1, 19)]


def scale_by_pow10(x, n):
    m = abs(n)
    p = Fraction(1)
    if m & 15:
        p = round53(p * LOW[(m & 15) - 1])
    if (m >> 4) & 15:
        p = round53(p * MID[((m >> 4) & 15) - 1])
    if (m >> 8) & 31:
        p = round53(p * HIGH[((m >> 8) & 31) - 1])
    return round53(x / p) if n < 0 else round53(x * p)


def to_double(q, negative):
    """The store of a working value into a double: round to nearest, overflow to infinity."""
    try:
        value = float(q)  # correctly rounded, denormals included
    except OverflowError:
        value = float("inf")
    return -value if negative else value


def parse(text):
    """(double, characters consumed); the double is None when the destination is left alone."""
    at = 0
    negative = False
    if text[:1] in ("+", "-"):
        negative = text[0] == "-"
        at = 1
    if at == len(text):
        return None, at
    acc, digit_count, point_at = Fraction(0), 0, None
    while at < len(text):
        c = text[at]
        if c.isdigit():
            acc = round53(round53(acc * 10) + int(c))
            digit_count += 1
        elif c == ".":
            point_at = digit_count
        else:
            break
        at += 1
    exponent = 0
    if at < len(text) and text[at] in "eE":
        at += 1
        exponent_negative = False
        if at < len(text) and text[at] in "+-":
            exponent_negative = text[at] == "-"
            at += 1
        while at < len(text) and text[at].isdigit():
            exponent = exponent * 10 + int(text[at])
            at += 1
        if exponent_negative:
            exponent = -exponent
    if point_at is not None:
        exponent -= digit_count - point_at
    if acc == 0 or exponent < -TABLE_REACH:
        return to_double(Fraction(0), negative), at
    if exponent > TABLE_REACH:
        return (-float("inf") if negative else float("inf")), at
    return to_double(scale_by_pow10(acc, exponent), negative), at


def round_half_even(q):
    whole, rest = divmod(q.numerator, q.denominator)
    twice = 2 * rest
    if twice > q.denominator or (twice == q.denominator and whole & 1):
        whole += 1
    return whole


def binary_exponent(v):
    e = v.numerator.bit_length() - v.denominator.bit_length()
    return e - 1 if Fraction(2) ** e > v else e


def decimal_estimate(e2):
    # e2 * log10(2) rounded; no double lands within 3e-5 of a half, so 40 digits are plenty.
    log10_2 = Fraction(30102999566398119521373889472449302676818988146211, 10**50)
    return round_half_even(e2 * log10_2)


def format_value(value):
    if value != value:
        return "nan"
    if abs(value) == float("inf"):
        return "-inf" if value < 0 else "inf"
    if value == 0:
        return "0"
    text = "-" if value < 0 else ""
    v = abs(Fraction(value))
    e = decimal_estimate(binary_exponent(v))
    if 0 <= e <= 15 and v.denominator == 1:
        return text + str(v.numerator)
    x = scale_by_pow10(v, 6 - e)
    if x < 1000000:
        x = round53(x * 10)
        e -= 1
    q = round_half_even(x)
    if q == 10000000:
        q = 1000000
        e += 1
    digits = "%07d" % q
    if -1 <= e <= 6:
        plain = ("0" if e == -1 else digits[:e + 1]) + "." + digits[e + 1:]
        return text + plain.rstrip("0").rstrip(".")
    return text + "%s.%se%s%03d" % (digits[0], digits[1:], "-" if e < 0 else "+", abs(e))


def bits_of(value):
    return struct.unpack("<Q", struct.pack("<d", value))[0]


def double_of(bits):
    return struct.unpack("<d", struct.pack("<Q", bits))[0]


def double_literal(value):
    return "0x%016Xull" % (UNWRITTEN if value is None else bits_of(value))


def long_double_literal(q):
    """A non-zero q with at most 64 significant bits as a hexadecimal long double literal."""
    sign = "-" if q < 0 else ""
    q = abs(q)
    e = binary_exponent(q) - 63
    significand = q / Fraction(2) ** e
    assert significand.denominator == 1 and significand.numerator < 2**64
    return "%s0x%016Xp%+dL" % (sign, significand.numerator, e)


SMALLEST_DENORMAL = Fraction(1, 2**1074)

# Where the store to a double changes its result in and next to the denormal range, in steps of
# the smallest denormal: to zero, between the first denormals (ties to even go down and up), in
# the middle of the range, and at the smallest normal from below and from above.
DENORMAL_BOUNDARIES = [
    Fraction(1, 2),
    Fraction(3, 2),
    Fraction(5, 2),
    2**51 + Fraction(1, 2),
    2**51 + Fraction(3, 2),
    2**52 - Fraction(1, 2),
    2**52 + Fraction(1, 2),
]


def decimal_text(q, digits, upwards):
    """Positive q to `digits` significant digits, rounded down or up, as "d.ddde-XXX"."""
    e = 0
    while Fraction(10) ** (e + 1) <= q:
        e += 1
    while Fraction(10) ** e > q:
        e -= 1
    scaled = q / Fraction(10) ** (e - digits + 1)
    whole = scaled.numerator // scaled.denominator
    if upwards and whole != scaled:
        whole += 1
    text = str(whole)
    e += len(text) - digits  # rounding up may carry into a new digit
    return "%s.%se%d" % (text[0], text[1:], e)


def denormal_boundary_texts():
    """Texts just below and just above each boundary, both signs: near enough that the 53-bit
    rounding of the scaled value may land on the boundary itself and round again on the store."""
    texts = []
    for boundary in DENORMAL_BOUNDARIES:
        q = boundary * SMALLEST_DENORMAL
        for digits in (17, 20, 25, 40):
            for upwards in (False, True):
                texts.append(decimal_text(q, digits, upwards))
    return texts


def corpus_seeds():
    """The seeds' file names and texts: every other one negative."""
    seeds = {}
    for i, text in enumerate(denormal_boundary_texts()):
        signed = ("-" if i % 2 else "") + text
        seeds["denormal_%02d_%s" % (i, hashlib.sha1(signed.encode()).hexdigest()[:8])] = signed
    return seeds


def write_corpus(folder):
    for name, text in corpus_seeds().items():
        with open(os.path.join(folder, name), "w") as f:
            f.write(text)


def random_text(rng):
    digits = "".join(rng.choice("0123456789") for _ in range(rng.randint(1, 22)))
    point = rng.randint(0, len(digits))
    mantissa = digits[:point] + "." + digits[point:] if rng.random() < 0.7 else digits
    sign = rng.choice(["", "", "-", "+"])
    reach = rng.choice([30, 330, 400, 4900])
    return sign + mantissa + "e%d" % rng.randint(-reach, reach)


def random_double(rng):
    kind = rng.random()
    if kind < 0.15:  # denormals
        bits = rng.getrandbits(52) >> rng.randint(0, 51)
    elif kind < 0.3:  # close to a tie in the seventh digit
        e = rng.randint(-320, 300)
        value = (rng.randint(1000000, 9999999) + 0.5) * 10.0 ** (e - 6)
        bits = struct.unpack("<Q", struct.pack("<d", value))[0] + rng.randint(-2, 2)
    else:
        bits = rng.getrandbits(63)
    bits |= rng.getrandbits(1) << 63
    value = struct.unpack("<d", struct.pack("<Q", bits & (2**64 - 1)))[0]
    return value if value == value and abs(value) != float("inf") else 1.0


def main():
    rng = random.Random(4863)
    print("// Generated by tests/numtext/make_vectors.py from an exact model of the conversions.")
    print("// clang-format off")
    print("const uint64_t unwritten_bits = 0x%016Xull;\n" % UNWRITTEN)
    print("const ParseVector parse_vectors[] = {")
    for text in EDGE_TEXTS + [random_text(rng) for _ in range(800)]:
        value, consumed = parse(text)
        print('    {"%s", %s, %d},' % (text, double_literal(value), consumed))
    print("};\n")
    print("const LongParseVector long_parse_vectors[] = {")
    for head, fill, count, tail in LONG_TEXTS:
        value, consumed = parse(head + fill * count + tail)
        fields = ('"%s"' % head, fill, count, '"%s"' % tail, double_literal(value), consumed)
        print("    {%s, '%s', %d, %s, %s, %d}," % fields)
    print("};\n")
    print("const ParseVector denormal_boundary_vectors[] = {")
    for text in denormal_boundary_texts():
        for signed in (text, "-" + text):
            value, consumed = parse(signed)
            print('    {"%s", %s, %d},' % (signed, double_literal(value), consumed))
    print("};\n")
    print("const FormatVector format_vectors[] = {")
    doubles = EDGE_DOUBLES + [double_of(bits) for bits in EDGE_NANS]
    for value in doubles + [random_double(rng) for _ in range(800)]:
        print('    {%s, "%s"},' % (double_literal(value), format_value(value)))
    print("};\n")
    print("const ScaleVector scale_vectors[] = {")
    for x, n in SCALE_CASES:
        result = scale_by_pow10(x, n)
        print("    {%s, %d, %s}," % (long_double_literal(x), n, long_double_literal(result)))
    print("};\n")
    print("const DigitVector digit_vectors[] = {")
    for x in DIGIT_CASES:
        literal = long_double_literal(x) if x else "0.0L"
        print('    {%s, "%018d"},' % (literal, round_half_even(x)))
    print("};")
    print("// clang-format on")


def check():
    """Compares the committed vectors and denormal seeds with what the model gives now."""
    generated = io.StringIO()
    with redirect_stdout(generated):
        main()
    with open(VECTORS) as committed:
        differences = list(difflib.unified_diff(committed.read().splitlines(),
                                                generated.getvalue().splitlines(),
                                                VECTORS, "the model", lineterm="", n=1))
    seeds = {}
    for path in glob.glob(os.path.join(CORPUS, "denormal_*")):
        with open(path) as seed:
            seeds[os.path.basename(path)] = seed.read()
    expected = corpus_seeds()
    for name in sorted(set(seeds) | set(expected)):
        if seeds.get(name) != expected.get(name):
            differences.append("%s: %s" % (os.path.join(CORPUS, name),
                                           "missing" if name not in seeds else
                                           "not the model's" if name in expected else "stale"))
    if differences:
        print("\n".join(differences[:60]))
        print("The committed vectors are not what tests/numtext/make_vectors.py gives: renew them"
              " (its docstring says how) and review the difference.")
        return 1
    print("conversion vectors and denormal seeds: as the model gives them")
    return 0


if __name__ == "__main__":
    if sys.argv[1:] == ["--check"]:
        sys.exit(check())
    if len(sys.argv) == 3 and sys.argv[1] == "--corpus":
        write_corpus(sys.argv[2])
    main()
