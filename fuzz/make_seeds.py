#!/usr/bin/env python3
"""Writes the seed corpora in fuzz/corpus/<target>/: a few small inputs per
target that reach its main paths. Run from anywhere; rewrites the seeds."""
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")

# The nine parameter defaults in plain units, in parameter order.
DEFAULTS = [0.0, 0.0, 0.0, 2.0, 0.0, 20.0, 100.0, 1.0, 0.0]


def write(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def blob(values, bypass=0, word=True):
    out = b"".join(struct.pack("<d", v) for v in values)
    return out + (struct.pack("<I", bypass) if word else b"")


def state_seeds():
    # mode, param, flags, then the blob
    good = blob([-6.0, 3.0, 20.0, 4.0, 3.0, 120.0, 50.0, 0.0, 1.0], 1)
    write("fuzz_state", "full", bytes([0, 0, 3]) + good)
    write("fuzz_state", "empty", bytes([0, 0, 2]))
    write("fuzz_state", "short40", bytes([0, 0, 2]) + good[:40])
    write("fuzz_state", "noword", bytes([1, 0, 2]) + good[:72])
    write("fuzz_state", "long", bytes([0, 0, 3]) + good + bytes(range(40)))
    write("fuzz_state", "chunked", bytes([2, 3, 2]) + good)
    write("fuzz_state", "failsecond", bytes([3, 1, 2]) + good)
    write("fuzz_state", "partial", bytes([4, 0, 2]) + good)
    nan = struct.unpack("<d", struct.pack("<Q", 0x7FF8000000000001))[0]
    write("fuzz_state", "nonfinite", bytes([0, 0, 2]) +
          blob([nan, float("inf"), -float("inf"), 1e308, -1e308, 5e-324, -0.0, 2.0, 7.0], 0xDEADBEEF))


def text16(s):
    return s.encode("utf-16-le")


def param_text_seeds():
    seeds = {
        "six": (0.25, "6"),
        "negative": (0.5, "-9.00"),
        "on": (1.0, "on"),
        "off": (0.0, "off"),
        "word": (0.75, "abc"),
        "huge": (1e308, "1e308"),
        "unit": (0.1, "  12.5 dB"),
        "nan": (float("nan"), "nan"),
        "hex": (-1.0, "0x10"),
        "euro": (0.9, "\u20ac5,5"),
    }
    for name, (value, text) in seeds.items():
        write("fuzz_param_text", name, struct.pack("<d", value) + text16(text))
    # A lone surrogate and a long run of digits.
    write("fuzz_param_text", "surrogate", struct.pack("<d", 0.5) + b"\x00\xd8\x31\x00")
    write("fuzz_param_text", "digits", struct.pack("<d", 2.0) + text16("9" * 140))


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, depth, colour, rows, interlace=0, extra=b""):
    raw = b"".join(b"\x00" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace)) +
            extra + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def png_seeds():
    write("fuzz_png", "rgba1x1.png", png(1, 1, 8, 6, [b"\x10\x20\x30\x80"]))
    write("fuzz_png", "rgb3x2.png", png(3, 2, 8, 2, [bytes(range(9)), bytes(range(9, 18))]))
    write("fuzz_png", "gray4x4.png", png(4, 4, 8, 0, [bytes([i * 16 + j for j in range(4)]) for i in range(4)]))
    write("fuzz_png", "gray2bit.png", png(4, 2, 2, 0, [b"\x1b", b"\xe4"]))
    palette = chunk(b"PLTE", bytes([255, 0, 0, 0, 255, 0, 0, 0, 255])) + chunk(b"tRNS", bytes([255, 128]))
    write("fuzz_png", "palette.png", png(3, 1, 8, 3, [b"\x00\x01\x02"], extra=palette))
    write("fuzz_png", "rgb16.png", png(2, 1, 16, 2, [bytes(range(12))]))
    write("fuzz_png", "grayalpha.png", png(2, 2, 8, 4, [b"\x00\xff\x80\x40", b"\xff\x00\x20\x10"]))
    write("fuzz_png", "interlaced.png", png(5, 5, 8, 6, [bytes(range(20))] * 5, interlace=1))
    write("fuzz_png", "truncated.png", png(8, 8, 8, 2, [bytes(24)] * 8)[:50])
    # A fuzzer find: the signature and one chunk header claiming 1.2 GB,
    # which libpng would skip through as zeros past the end.
    write("fuzz_png", "hugechunk.png", b"\x89PNG\r\n\x1a\nJJJJJJNG")


def text_seeds():
    def header(which, font_flags, text_flags, ink, fill, left, top, width, height, count_mode):
        return (bytes([which]) + struct.pack("<HII", font_flags, text_flags, ink) +
                bytes([fill, left & 0xFF, top & 0xFF, width, height, count_mode]))

    write("fuzz_text", "plain", header(0, 0, 0, 0xFF000000, 0, 2, 2, 60, 20, 0) + b"Hello 12.5 dB")
    write("fuzz_text", "lines", header(1, 0, 0x1, 0xFF102030, 1, 0, 0, 64, 32, 1) + b"a\nb\r\nc\n\nlast line")
    write("fuzz_text", "utf8", header(2, 0, 0x24, 0x80FFFFFF, 0x3E, 250, 250, 80, 40, 2) +
          "Gr\u00fc\u00dfe \u20ac \u4e2d\u6587 \U0001F600".encode("utf-8"))
    write("fuzz_text", "invalid", header(0, 0x80, 0x4, 0xFFFF0000, 0, 5, 5, 30, 10, 0) +
          b"\xc3\x28 \xe2\x82 \xf0\x90\x28\xbc \xff\xfe \xed\xa0\x80")
    write("fuzz_text", "vertical", header(0, 0x1, 0x8, 0xFF000000, 1, 0, 0, 20, 40, 0) + b"Vert")
    write("fuzz_text", "reversed", header(3, 0x3 | 0x10, 0x2, 0xFF00FF00, 0, 10, 0, 30, 30, 0) + b"Up")
    write("fuzz_text", "effects", header(1, 0x100 | 0x20 | 0x40, 0x40000000 | 0x100, 0x7F123456, 0x11, 0, 0, 64, 32, 0) +
          b"Outline")
    write("fuzz_text", "prerender", header(2, 0x4, 0x400, 0xFF000000, 0, 0, 0, 64, 32, 0) + b"\x7f\x01 ~ \xc2\x80")


def process_seeds():
    def block(frames, layout, level, seed, queues, null_slot=0):
        # The seed's low bits pick offline mode, no outputs and no queues;
        # shifted, every seed block is realtime, with outputs and queues.
        out = bytes([0]) + struct.pack("<HBBI", frames, layout, level, seed << 3) + bytes([len(queues)])
        for ident, points in queues:
            out += bytes([ident, len(points)])
            for offset, value in points:
                out += struct.pack("<H", offset) + bytes([0]) + struct.pack("<H", value)
        return out + bytes([null_slot])

    # setup: flags (bit 0: 64-bit), maximum block, rate index
    # inputs = layout % 3, main channels = (layout >> 2) % 4, sidechain
    # channels = (layout >> 4) % 3: 41 gives two buses of two channels
    stereo_sc = 41
    write("fuzz_process", "plain32", bytes([0]) + struct.pack("<H", 511) + bytes([6]) +
          block(256, stereo_sc, 4, 1, []) + block(512, stereo_sc, 5, 2, [(2, [(0, 65535)]), (3, [(0, 40000)])]))
    write("fuzz_process", "automation64", bytes([1]) + struct.pack("<H", 127) + bytes([5]) +
          block(100, stereo_sc, 5, 3, [(0, [(0, 1000), (50, 60000)]), (9, [(0, 65535)])]) +
          block(128, stereo_sc, 5, 4, [(9, [(0, 0)]), (10, [(0, 0)])]) +
          block(1, stereo_sc, 6, 5, [(6, [(0, 0)])]))
    write("fuzz_process", "sidechain", bytes([0]) + struct.pack("<H", 255) + bytes([3]) +
          block(200, stereo_sc, 4, 6, [(8, [(0, 65535)])]) + bytes([6, 0, 1, 0]) +
          block(200, stereo_sc, 4, 7, []) + bytes([6, 0, 1, 1]) + block(200, stereo_sc, 4, 8, []))
    write("fuzz_process", "layouts", bytes([1]) + struct.pack("<H", 63) + bytes([7]) +
          block(64, 0, 4, 9, []) + block(64, 1 | (3 << 2), 4, 10, []) + block(64, 2 | 0x40, 4, 11, []) +
          block(64, stereo_sc | 0x80, 4, 12, []) + block(0, stereo_sc, 4, 13, [(1, [(0, 30000)])]))
    write("fuzz_process", "resetup", bytes([0]) + struct.pack("<H", 31) + bytes([0]) +
          block(31, stereo_sc, 4, 14, []) + bytes([8, 1]) + struct.pack("<H", 1023) + bytes([11]) +
          block(1023, stereo_sc, 7, 15, []) + bytes([10, 4, 0, 0, 0, 0, 11]))
    # A minimised fuzzer find: 64-bit at 73 Hz, where the filters run away,
    # then 96 kHz, where the huge values they kept overflow in the first
    # block. Past a rate no host uses, finite output is not asked for.
    write("fuzz_process", "oddrate", bytes.fromhex("5b058448000000fdfdfdfdfdfdfdfdf800f8c8f8f8f8f800f8"))


if __name__ == "__main__":
    state_seeds()
    param_text_seeds()
    png_seeds()
    text_seeds()
    process_seeds()
