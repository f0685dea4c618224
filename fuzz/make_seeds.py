#!/usr/bin/env python3
"""Writes seed inputs for the structured fuzz targets from the vector files.

The targets read their inputs through FuzzedDataProvider, which takes byte strings from the front
of the input and integers and booleans from its end; Seed mirrors that so that each vector becomes
the input that makes the target run exactly that vector. Run from the repository root:
    fuzz/make_seeds.py
"""
import hashlib
import os


class Seed:
    def __init__(self):
        self.front = bytearray()
        self.back = bytearray()  # in the order the target consumes them

    def integral(self, low, high, value):
        span = high - low
        value -= low
        chunks = []
        offset = 0
        while offset < 64 and (span >> offset) > 0:
            chunks.append(0)
            offset += 8
        # The provider builds result = (result << 8) | next byte from the end.
        for i in range(len(chunks)):
            chunks[i] = (value >> (8 * (len(chunks) - 1 - i))) & 0xFF
        self.back += bytes(chunks)

    def boolean(self, value):
        self.back.append(1 if value else 0)

    def data(self, raw):
        self.front += raw

    def bytes(self):
        return bytes(self.front) + bytes(reversed(self.back))


def put(target, seed):
    folder = f"fuzz/corpus/{target}"
    os.makedirs(folder, exist_ok=True)
    raw = seed.bytes()
    with open(f"{folder}/vector-{hashlib.sha1(raw).hexdigest()[:16]}", "wb") as out:
        out.write(raw)


def vectors(name):
    for line in open(f"tests/vectors/{name}.txt", encoding="utf-8"):
        if line.strip() and not line.startswith("#"):
            yield [part.strip() for part in line.split("|")]


def block_seed(target, decrypt, cbc, key, iv, text, iv_size, unit, usual_key=None):
    s = Seed()
    s.boolean(decrypt)
    s.boolean(cbc)
    if usual_key is not None:  # AES: 16, 24 or 32 chosen by a flag and an index
        s.boolean(True)
        s.integral(0, 2, (len(key) - 16) // 8)
    else:
        s.integral(0, 40, len(key))
    s.data(key)
    s.data(iv.ljust(iv_size, b"\0"))
    s.boolean(True)
    s.integral(0, 512, len(text))
    s.data(text)
    s.integral(0, 6, 0)
    put(target, s)


def main():
    for v in vectors("des"):
        _, alg, mode, key, iv, plain, cipher = v[:7]
        iv_bytes = bytes.fromhex(iv) if iv != "-" else b""
        for decrypt, text in ((False, plain), (True, cipher)):
            block_seed("des", decrypt, mode == "CBC", bytes.fromhex(key), iv_bytes,
                       bytes.fromhex(text), 8, 8)
    for v in vectors("aes"):
        _, mode, key, iv, plain, cipher = v[:6]
        iv_bytes = bytes.fromhex(iv) if iv != "-" else b""
        for decrypt, text in ((False, plain), (True, cipher)):
            block_seed("aes", decrypt, mode == "CBC", bytes.fromhex(key), iv_bytes,
                       bytes.fromhex(text), 16, 16, usual_key=True)
    for v in vectors("sm4"):
        _, mode, key, iv, plain, _cipher = v[:6]
        if mode not in ("ECB", "CBC"):
            continue
        s = Seed()
        s.integral(0, 2, 0)
        s.boolean(True)
        s.boolean(mode == "CBC")
        s.integral(0, 3, 1)
        s.data(bytes.fromhex(key))
        s.data((bytes.fromhex(iv) if iv != "-" else b"").ljust(16, b"\0"))
        s.boolean(True)
        plain_bytes = bytes.fromhex(plain)
        s.integral(0, 512, len(plain_bytes))
        s.data(plain_bytes)
        s.integral(0, 6, 0)
        put("sm4", s)
    algorithms = {"SHA-1": 0, "SHA-256": 1, "SHA-384": 2, "SHA-512": 3, "MD5": 4, "SM3": 5}
    for v in vectors("hash"):
        _, alg, message = v[:3]
        if alg not in algorithms:
            continue
        try:
            data = bytes.fromhex(message) if message != "-" else b""
        except ValueError:  # a message given by a rule ("a" x 1000000), not as hex
            continue
        if len(data) > 4096:
            continue
        s = Seed()
        s.integral(0, 6, algorithms[alg])
        s.integral(0, 4096, len(data))
        s.integral(0, 8, 1)
        s.integral(0, 300, len(data) // 2)
        s.data(data)
        put("digest", s)


if __name__ == "__main__":
    main()
