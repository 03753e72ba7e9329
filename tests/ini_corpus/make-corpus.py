#!/usr/bin/env python3
"""Writes a corpus of awkward KORUNEX.ini files, the same for a given seed.

usage: make-corpus.py FOLDER [COUNT] [SEED]

The files mix what editors, other systems and careless hands leave behind:
byte-order marks, UTF-16, every line ending, blanks and tabs everywhere,
quotes whole, partial and unbalanced, comments, duplicate sections and keys,
broken section lines, empty values and values across the lengths they are
read to, signs, bases, overflow, NUL anywhere in a line and other binary
bytes. Both
the platform's profile calls and our reader read them; their answers must
agree (tests/ini_corpus/answers.cpp)."""

import os
import sys

KEYS = ("OPTIONA1 OPTIONA2 OPTIONA3 OPTIONA4 OPTIONA5 OPTIONA6 OPTIONA7 OPTIONA8 OPTIONA9 "
        "OPTIONC1 OPTIONC2 OPTIONC3 OPTIONC4 OPTIONC5 OPTIONC6 OPTIONC7 OPTIONC8 OPTIONC9 OPTIONN "
        "ZKAITEN1 ZKAITEN2 ZKAITEN3 ZKAITEN4 ZKAITEN5 ZKAITEN6 ZKAITEN7 ZKAITEN8 ZKAITEN9 OPTIONP "
        "STEPRAG STEPRAG1 STEPRAG2 STEPRAG3 STEPRAG4 STEPRAG5 STEPRAG6 STEPRAG7 STEPRAG8 STEPRAG9 "
        "HABA HABAJIDO SIZES SIZE SIZEY SIZEIDO COLOR COLORS TIMER VIEW ENKIN BKMODE ZANZOU KAITEN").split()


class Random:
    """A small generator of our own, so that every Python gives the same corpus."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFFFFFFFFFF or 1

    def below(self, n):
        self.state ^= (self.state << 13) & 0xFFFFFFFFFFFFFFFF
        self.state ^= self.state >> 7
        self.state ^= (self.state << 17) & 0xFFFFFFFFFFFFFFFF
        return self.state % n

    def chance(self, percent):
        return self.below(100) < percent

    def pick(self, items):
        return items[self.below(len(items))]


# Text is built as a list of code points; a code point below 256 in an ANSI
# file is that byte. Characters outside ASCII in Unicode files are Thai,
# which no Western or Japanese code page has.
def thai(rng):
    return [0x0E01 + rng.below(0x2E)]


def blanks(rng):
    if not rng.chance(30):
        return []
    return [rng.pick([0x20, 0x20, 0x09, 0x0B, 0x0C, 0x1A, 0x1C, 0x1F, 0xA0, 0x0D]) for _ in range(1 + rng.below(3))]


def odd_case(rng, name):
    if rng.chance(60):
        return name
    return "".join(c.lower() if rng.chance(50) else c for c in name)


def junk(rng, unicode_file, length):
    out = []
    for _ in range(length):
        if unicode_file:
            out += thai(rng) if rng.chance(20) else [rng.pick([0x00, 0x01, 0x1B, 0x7F]) if rng.chance(5) else 0x21 + rng.below(94)]
        else:
            out.append(rng.below(256) if rng.chance(40) else 0x20 + rng.below(95))
    return [c for c in out if c != 0x0A]


def with_nul(rng, text):
    """The text with a NUL byte at any place in it, either end included."""
    at = rng.below(len(text) + 1)
    return text[:at] + [0x00] + text[at:]


def quoted(rng, text):
    """The text with quotes as hands leave them: around all of it or a part,
    single or double, unbalanced or mixed."""
    q, other = rng.pick([(0x22, 0x27), (0x27, 0x22)])
    i, j = sorted(rng.below(len(text) + 1) for _ in range(2))
    forms = [
        lambda: [q] + text + [q],
        lambda: [q] + text + [q],
        lambda: [q] + text + [other],
        lambda: [q] + text,
        lambda: text + [q],
        lambda: text[:i] + [q] + text[i:j] + [q] + text[j:],
        lambda: text[:i] + [q] + text[i:],
        lambda: [q] + blanks(rng) + text + blanks(rng) + [q],
        lambda: [q, q] + text + [q, q],
        lambda: [q] + text + [q] + [ord(c) for c in rng.pick([" x", ",1", "\t", ";c", "'\""])],
    ]
    return rng.pick(forms)()


def number_text(rng):
    forms = [
        lambda: str(rng.below(400)),
        lambda: str(rng.below(10)),
        lambda: "-" + str(rng.below(100)),
        lambda: "+" + str(rng.below(100)),
        lambda: "0x" + format(rng.below(70000), "x"),
        lambda: "0X" + format(rng.below(300), "X"),
        lambda: "0x" + format(rng.below(300), "X"),
        lambda: "0b" + format(rng.below(64), "b"),
        lambda: "0o" + format(rng.below(64), "o"),
        lambda: "0" * (1 + rng.below(40)) + str(rng.below(1000)),
        lambda: str(rng.below(10 ** 12)) * (1 + rng.below(3)),
        lambda: rng.pick(["4294967295", "4294967296", "2147483648", "-2147483649", "99999999999999999999"]),
        lambda: str(rng.below(100)) + rng.pick(["abc", " 5", ".5", ",3", "e2", "\t", "x1"]),
        lambda: rng.pick(["", "-", "+", "0x", "0b", "0o", "abc", "--5", "+-5", "- 5", " ", "0b2", "0o9"]),
        lambda: '"' + str(rng.below(300)) + '"',
        lambda: "'" + str(rng.below(300)) + "'",
        lambda: '"' + str(rng.below(300)),
        lambda: rng.pick(['""', "''", '"', "'", '"\'', '"5"5"']),
        lambda: '"' + "1" * (27 + rng.below(5)) + '"',
        lambda: "0" * (24 + rng.below(8)) + str(rng.below(100)),  # across the 30 bytes an integer is read with
    ]
    text = [ord(c) for c in rng.pick(forms)()]
    return quoted(rng, text) if rng.chance(15) else text


def around_equals(rng, left, equals, right):
    """A key's line, now and then with a NUL byte right before or after its
    '=', or anywhere else in it."""
    if rng.chance(4):
        left, right = (left + [0x00], right) if rng.chance(50) else (left, [0x00] + right)
    line = left + equals + right
    return with_nul(rng, line) if rng.chance(4) else line


def key_line(rng, unicode_file, name):
    key = [ord(c) for c in odd_case(rng, name)]
    if rng.chance(3):
        key.insert(rng.below(len(key) + 1), 0x00)
    value = number_text(rng)
    if rng.chance(5):
        value.insert(rng.below(len(value) + 1), rng.pick([0x00, 0x0D, 0x1A, 0xA0 if not unicode_file else 0x20]))
    if rng.chance(4):
        value = junk(rng, unicode_file, rng.below(30))
    equals = [ord("=")] if not rng.chance(4) else rng.pick([[], [ord("="), ord("=")], [ord(":")]])
    line = around_equals(rng, blanks(rng) + key + blanks(rng), equals, blanks(rng) + value + blanks(rng))
    if rng.chance(4):
        line = [ord(rng.pick(";#"))] + line
    return line


def record_value(rng, unicode_file, number):
    if rng.chance(8):
        return [ord(c) for c in rng.pick(["ZAHYO-END", "zahyo-end", " ZAHYO-END", "ZAHYO-END,1,2", '"ZAHYO-END"'])]
    parts = [[ord(c) for c in "R%d" % number] + (thai(rng) if unicode_file and rng.chance(20) else [])]
    for _ in range(rng.below(120)):
        parts.append([ord(c) for c in str(rng.below(200) - 100)])
    text = []
    for i, part in enumerate(parts):
        text += ([ord(",")] + blanks(rng) if i else []) + part
    if rng.chance(10):
        text += junk(rng, unicode_file, rng.below(40))
    if rng.chance(5):
        text = text * (2 + rng.below(4))  # beyond the 511 bytes a record is read to
    if rng.chance(12):
        # Just short of, at or just past the ends of the 255- and 512-byte buffers records are read
        # with, and no carriage return among its blanks to cut it into lines.
        length = rng.pick([252, 508]) + rng.below(7)
        text = [c for c in text if c != 0x0D] or [ord("0")]
        text = (text * (1 + length // len(text)))[:length]
    if rng.chance(20):
        text = quoted(rng, text)
    if rng.chance(8):
        text = with_nul(rng, text)
    return text


def record_line(rng, unicode_file, number):
    key = [ord(c) for c in odd_case(rng, "ZAHYO%d" % number)]
    return around_equals(rng, blanks(rng) + key + blanks(rng), [ord("=")],
                         blanks(rng) + record_value(rng, unicode_file, number))


def section_line(rng, name):
    inner = [ord(c) for c in odd_case(rng, name)]
    forms = [
        lambda: [ord("[")] + inner + [ord("]")],
        lambda: [ord("[")] + inner + [ord("]")],
        lambda: [ord("[")] + inner + [ord("]")],
        lambda: blanks(rng) + [ord("[")] + inner + [ord("]")] + blanks(rng),
        lambda: [ord("["), 0x20] + inner + [0x20, ord("]")],
        lambda: [ord("[")] + inner,
        lambda: [ord("[")] + inner + [ord("]")] + [ord(c) for c in rng.pick([" ; note", "x", "]", " ]"])],
        lambda: [ord("[")] + inner + [0x00, ord("x"), ord("]")],
        lambda: [ord("["), ord("[")] + inner + [ord("]")],
    ]
    line = rng.pick(forms)()
    return with_nul(rng, line) if rng.chance(8) else line


def ending(rng, style):
    if style == "mixed":
        return rng.pick(["\r\n", "\n", "\r", "\n\r", "\r\r\n"])
    return style


def make_file(rng, index):
    encoding = rng.pick(["ansi"] * 7 + ["utf-8"] * 2 + ["utf-16le", "utf-16be"])
    unicode_file = encoding != "ansi"
    style = rng.pick(["\r\n", "\r\n", "\n", "\r", "mixed", "mixed"])
    lines = []

    def add(line):
        lines.append(line)

    for _ in range(rng.below(3)):
        add(rng.pick([[], blanks(rng), [ord(";")] + junk(rng, unicode_file, 10), key_line(rng, unicode_file, rng.pick(KEYS))]))
    sections = ["KORUNEX", "MOJI ZAHYO", "OTHER"] + (["KORUNEX"] if rng.chance(30) else []) + (["MOJI ZAHYO"] if rng.chance(20) else [])
    sections = [sections[rng.below(len(sections))] for _ in range(len(sections))] if rng.chance(20) else sections
    if rng.chance(50):
        sections.reverse()
    for section in sections:
        add(section_line(rng, section))
        if section == "MOJI ZAHYO":
            count = rng.below(12)
            for number in range(1, count + 1):
                if rng.chance(90):
                    add(record_line(rng, unicode_file, number))
                if rng.chance(5):
                    add(junk(rng, unicode_file, rng.below(60)))
            if rng.chance(60):
                add([ord(c) for c in "ZAHYO%d=ZAHYO-END" % (count + 1)])
        else:
            for _ in range(rng.below(40)):
                add(key_line(rng, unicode_file, rng.pick(KEYS)) if rng.chance(90) else junk(rng, unicode_file, rng.below(80)))
        if rng.chance(30):
            add([])

    text = []
    for i, line in enumerate(lines):
        text += line
        if i + 1 < len(lines) or rng.chance(70):
            text += [ord(c) for c in ending(rng, style)]

    if unicode_file:
        # The no-break space has a byte in the platform's Western code page
        # but none in the Japanese one our reader maps Unicode text to.
        text = [0x20 if c == 0xA0 else c for c in text]
    if encoding == "ansi":
        data = bytes(c & 0xFF for c in text)
        if rng.chance(5):
            data = b"\xef\xbb\xbf" * rng.below(2) + data  # a mark only some files have
    elif encoding == "utf-8":
        data = b"\xef\xbb\xbf" + "".join(chr(c) for c in text).encode("utf-8")
    else:
        data = ("\ufeff" + "".join(chr(c) for c in text)).encode(encoding)
    return data


def main():
    folder = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 400
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 2026
    os.makedirs(folder, exist_ok=True)
    rng = Random(seed)
    specials = [b"", b"\xef\xbb\xbf", b"\xff\xfe", b"\xfe\xff", b"[KORUNEX]", b"\xef\xbb\xbf[KORUNEX]\r\nTIMER=77\r\n",
                b"[KORUNEX]\r\nTIMER=1\r\n[korunex]\r\nTIMER=2\r\nSIZE=3\r\n", b"[KORUNEX]\rTIMER=5\rSIZE=6\r",
                b"[KORUNEX\r\nTIMER=5\r\n", b"[KORUNEX] ; settings\r\nTIMER=0x10\r\n",
                b"[KORUNEX]\r\nTIMER=\x0012\r\nSIZE=1\x002\r\n", "\ufeff[KORUNEX]\r\nTIMER=88\r\n".encode("utf-16le")]
    for i in range(count):
        data = specials[i] if i < len(specials) else make_file(rng, i)
        with open(os.path.join(folder, "case-%04d.ini" % i), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
