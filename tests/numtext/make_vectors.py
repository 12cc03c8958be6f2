#!/usr/bin/env python3
"""Writes tests/numtext/conversion_vectors.inc: texts with the doubles they read as, and doubles
with the texts they are written as, computed by an exact model of the conversions (rational
arithmetic, each x87 step rounded to a 53-bit significand with an unbounded exponent).

    python3 tests/numtext/make_vectors.py > tests/numtext/conversion_vectors.inc

With --corpus FOLDER it also writes the texts next to the denormal rounding boundaries there, as
seeds of the parse_real fuzz target (tests/fuzz/corpus/parse_real_fuzz).
"""
import hashlib
import os
import random
import struct
import sys
from fractions import Fraction

TABLE_REACH = 4863


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
    """(double, characters consumed), or None when the destination is left alone."""
    at = 0
    negative = False
    if text[:1] in ("+", "-"):
        negative = text[0] == "-"
        at = 1
    if at == len(text):
        return None
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


def double_literal(value):
    bits = struct.unpack("<Q", struct.pack("<d", value))[0]
    return "0x%016Xull" % bits


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


def write_corpus(folder, texts):
    for i, text in enumerate(texts):
        signed = ("-" if i % 2 else "") + text
        digest = hashlib.sha1(signed.encode()).hexdigest()[:8]
        with open(os.path.join(folder, "denormal_%02d_%s" % (i, digest)), "w") as f:
            f.write(signed)


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
    print("const ParseVector parse_vectors[] = {")
    for _ in range(800):
        text = random_text(rng)
        value, consumed = parse(text)
        print('    {"%s", %s, %d},' % (text, double_literal(value), consumed))
    print("};\n")
    print("const ParseVector denormal_boundary_vectors[] = {")
    for text in denormal_boundary_texts():
        for signed in (text, "-" + text):
            value, consumed = parse(signed)
            print('    {"%s", %s, %d},' % (signed, double_literal(value), consumed))
    print("};\n")
    print("const FormatVector format_vectors[] = {")
    for _ in range(800):
        value = random_double(rng)
        print('    {%s, "%s"},' % (double_literal(value), format_value(value)))
    print("};")
    print("// clang-format on")


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--corpus":
        write_corpus(sys.argv[2], denormal_boundary_texts())
    main()
