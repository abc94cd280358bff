#!/usr/bin/env python3
"""Recomputes every stored known answer of this folder from the cipher's steps, without the
program: the key schedule (prime table, the key's factorial digits read from signed bytes, the
order of the moduli, the block geometry), the residues, the noise of the text cipher and of the
containers' final blocks, and the container layout. Prints each mismatch; exits 1 if any.

    python3 tests/data/check_known_answers.py

Kept apart from the tests on purpose: a second, independent reading of the format that a
regeneration with the program cannot quietly agree with."""

import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
CLOCK_SECONDS = 1765000000
CLOCK_DAY_MS = ((9 * 60 + 30) * 60 + 15) * 1000 + 250  # 09:30:15.250, as KnownAnswers.h
ALPHABET = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxy"


def tdiv(a, b):  # C division: truncates toward zero
    q = abs(a) // abs(b)
    return q if (a >= 0) == (b > 0) else -q


def tmod(a, b):
    return a - b * tdiv(a, b)


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def prime_table(count):
    m = [0] * 256
    m[1:4] = [1, 2, 3]
    filled, candidate = 3, 5
    while filled < min(count + 2, 255):
        k = 2
        while candidate % m[k] != 0:
            if m[k] * m[k] > candidate:
                filled += 1
                m[filled] = candidate
                break
            k += 1
        candidate += 2
    m[1:count + 1] = [m[count + 1 - k] for k in range(1, count + 1)]
    return m


def moduli(key, count):
    """The moduli table after the key's permutation."""
    m = prime_table(count)
    a = [0] * 256
    for k, byte in enumerate(key):
        a[k + 1] = byte - 256 if byte >= 128 else byte
    top = max([i for i in range(1, count + 1) if a[i] != 0], default=0)
    b = [0] * 256
    digits = [0] * 256
    for v in range(2, count + 1):
        for j in range(top, 1, -1):
            if a[j] >= v:
                b[j], a[j] = tdiv(a[j], v), tmod(a[j], v)
            t = a[j] * 256 + a[j - 1]
            b[j - 1], a[j - 1] = tdiv(t, v), tmod(t, v)
        digits[v] = a[1]
        a[1:top + 1], b[1:top + 1] = b[1:top + 1], [0] * top
    slots = [0] * 256
    for v in range(count - 2, 0, -1):
        if digits[v] < 0:
            slots[0] = v
            continue
        free = [i for i in range(1, 256) if slots[i] == 0]
        slots[free[digits[v]]] = v
    chosen = {i: m[slots[i] + 2] for i in range(3, count - 1)}
    digits[3:count - 1] = [chosen[i] for i in range(3, count - 1)]
    for i in range(2, count):
        m[i] = digits[count - i]
    return m


def prime_count(m, length):
    """The smallest e whose moduli 2..e reach length bytes, summed in 32-bit floats."""
    target, total, i = f32(math.log(256.0) * length), f32(0.0), 1
    while True:
        i += 1
        if m[i] > 0:
            total = f32(math.log(m[i]) + total)
        if not (target > total and i < 252):
            return i


def residues(m, block, count):
    number = sum(byte << (8 * j) for j, byte in enumerate(block))
    return [number % m[i] for i in range(2, count + 1)]


class Random:
    def __init__(self, seed):
        self.state = (seed * 22695477 + 1) % 2**32

    def below(self, n):
        self.state = (self.state * 1486058704437 + 1) % 2**64
        return ((self.state >> 32) & 0x7FFFFFFF) % n


def encrypt_text(key, plain):
    key = key[:17]
    length = len(key)
    m = moduli(key, 44)
    n = prime_count(m, length) + 3
    # The day's fraction is a double; the stamp is taken from it at 64-bit precision, and no
    # fraction of a day here lies near enough to a whole unit for the last bits to matter.
    stamp = int(float(CLOCK_DAY_MS / 86400000) * 1_000_000_000)
    chain = [0] * 64
    out = []
    for start in range(0, len(plain), length):
        block = plain[start:start + length].ljust(length, b" ")
        res = residues(m, block, n)
        random = Random(CLOCK_SECONDS)
        for i in range(2, n + 1):
            c = chain[i + 1]
            t = random.below(213) + c + 7 + stamp
            u = (m[i] * (t % 71) + c) % 19
            v = m[i] * u + res[i - 2]
            out += [ALPHABET[v % 61], ALPHABET[v // 61]]
            chain[i] = v % 61 + 1
    return "".join(out)


def container(password, entries):
    length = len(password)
    m = moduli(password, 55)
    d = prime_count(m, length) + 1
    block = lambda data: bytes(residues(m, data, d))
    out = struct.pack("<i", d) + block(password) + struct.pack("<i", len(entries))
    for name, data in entries:
        out += struct.pack("<i", len(name)) + name + struct.pack("<i", len(data))
        full = len(data) // length
        for b in range(full):
            out += block(data[b * length:(b + 1) * length])
        random = Random(CLOCK_SECONDS)
        last = bytearray(data[full * length:])
        while len(last) < length:
            last.append(random.below(213) + 41)
        out += block(bytes(last))
    return out


def unescape(field):
    out, i = bytearray(), 0
    while i < len(field):
        if field.startswith("\\x", i) and i + 4 <= len(field):
            out.append(int(field[i + 2:i + 4], 16))
            i += 4
        else:
            out += field[i].encode("latin-1")
            i += 1
    return bytes(out)


def rows(name):
    with open(os.path.join(HERE, name), encoding="latin-1") as table:
        for line in table.read().split("\n"):
            if line and not line.startswith("#"):
                yield line.split("\t")


def main():
    wrong = 0
    for key, plain, cipher in rows("text-ciphers.tsv"):
        if encrypt_text(unescape(key), unescape(plain)) != cipher:
            print("text cipher of key", key, "differs")
            wrong += 1
    for file, password, names in rows("containers.tsv"):
        entries = []
        for name in names.split():
            with open(os.path.join(HERE, "plain", name), "rb") as plain:
                entries.append((name.encode(), plain.read()))
        with open(os.path.join(HERE, "containers", file), "rb") as stored:
            if container(unescape(password), entries) != stored.read():
                print("container", file, "differs")
                wrong += 1
    print("all known answers recomputed" if not wrong else f"{wrong} known answers differ")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
