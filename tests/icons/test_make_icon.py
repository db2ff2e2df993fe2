#!/usr/bin/env python3
"""Behaviour of scripts/make-icon, and check_ico.py's eye for damaged icons.

Run as: test_make_icon.py MAKE_ICON
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_ico  # noqa: E402

MAKE_ICON = None  # set from the command line

MISSING_IMAGEMAGICK = (
    "make-icon: ImageMagick 'convert' not found; "
    "run scripts/test (it installs it) or apt-get install imagemagick\n"
)

RED, BLUE, BLACK = (255, 0, 0), (0, 0, 255), (0, 0, 0)

# Left of this column is opaque, the rest transparent; above this row red, below blue.
# Odd on purpose: pixels 4 and 5 share a byte at 4 bpp and differ, so a nibble
# or bit order slip shows, and a top-down image would swap the colours.
EDGE = 5


def quadrant_mvg(size):
    return (
        f"viewbox 0 0 {size} {size}\n"
        f"fill #ff0000\nrectangle 0,0 {EDGE},{EDGE}\n"
        f"fill #0000ff\nrectangle 0,{EDGE} {EDGE},{size}\n"
    )


def run_make_icon(args, env=None):
    # bash by full path: some cases run with a PATH that lacks it.
    return subprocess.run(
        [shutil.which("bash"), MAKE_ICON, *args],
        capture_output=True, text=True, env=env, check=False,
    )


def decode(data, image):
    """The image's pixels as rows, top first, of (rgb, transparent) pairs."""
    palette = []
    at = image.offset + image.header_size
    for index in range(image.palette_entries):
        blue, green, red, _ = data[at + 4 * index : at + 4 * index + 4]
        palette.append((red, green, blue))
    size, bpp = image.width, image.bpp
    stride, mask_stride = check_ico.dib_stride(size, bpp), check_ico.dib_stride(size, 1)
    rows = []
    for y in range(size):
        bottom_up = size - 1 - y
        row = data[image.pixels_offset + bottom_up * stride :]
        mask = data[image.mask_offset + bottom_up * mask_stride :]
        pixels = []
        for x in range(size):
            if bpp == 24:
                blue, green, red = row[3 * x : 3 * x + 3]
                colour = (red, green, blue)
            elif bpp == 8:
                colour = palette[row[x]]
            else:
                colour = palette[row[x // 2] >> (0 if x % 2 else 4) & 15]
            pixels.append((colour, bool(mask[x // 8] >> (7 - x % 8) & 1)))
        rows.append(pixels)
    return rows


class Workdir(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="make-icon-test.")
        self.addCleanup(shutil.rmtree, self.dir)

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, text):
        with open(self.path(name), "w") as file:
            file.write(text)
        return self.path(name)

    def make(self, source, *images):
        out = self.path("out.ico")
        result = run_make_icon([out, source, *images])
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(out, "rb") as file:
            return file.read()


class PixelLayout(Workdir):
    """Colours, transparency and row/bit order come out where they were drawn."""

    def test_every_depth_keeps_the_drawing(self):
        for size in (16, 20):
            source = self.write(f"quadrants{size}.mvg", quadrant_mvg(size))
            images = [f"{size}:{bpp}" for bpp in (4, 8, 24)]
            data = self.make(source, *images)
            self.assertEqual(check_ico.check(data, [(size, bpp) for bpp in (4, 8, 24)]), [])
            for image in check_ico.read_images(data):
                with self.subTest(size=size, bpp=image.bpp):
                    self.assert_quadrants(decode(data, image), size)

    def assert_quadrants(self, rows, size):
        for y, row in enumerate(rows):
            for x, (colour, transparent) in enumerate(row):
                where = f"pixel {x},{y}"
                self.assertEqual(transparent, x >= EDGE, where)
                if transparent:
                    # Anything but black would tint the screen under the icon.
                    self.assertEqual(colour, BLACK, where)
                else:
                    want = RED if y < EDGE else BLUE
                    # Only the 24 bpp image may carry a trace of the
                    # neighbouring colour from anti-aliasing.
                    for got, expected in zip(colour, want):
                        self.assertLessEqual(abs(got - expected), 16, f"{where}: {colour}")

    def test_raster_source_is_scaled(self):
        source = self.path("master.png")
        subprocess.run(
            ["convert", "-size", "64x64", "xc:none", "-fill", "#00ff00",
             "-draw", "rectangle 0,0 31,63", f"png32:{source}"],
            check=True,
        )
        data = self.make(source, "32:24", "16:8")
        self.assertEqual(check_ico.check(data, [(32, 24), (16, 8)]), [])
        for image in check_ico.read_images(data):
            rows = decode(data, image)
            half = image.width // 2
            with self.subTest(size=image.width):
                self.assertEqual(rows[0][0], ((0, 255, 0), False))
                self.assertEqual(rows[-1][half - 1], ((0, 255, 0), False))
                self.assertEqual(rows[0][half], (BLACK, True))
                self.assertEqual(rows[-1][-1], (BLACK, True))


class Refusals(Workdir):
    """Bad requests fail with one make-icon line and leave no icon behind."""

    def test_bad_requests(self):
        good = self.write("good.mvg", quadrant_mvg(16))
        garbage = self.write("garbage.png", "not a picture\n")
        cases = [
            ("unsupported depth", [good, "16:32"]),
            ("zero size", [good, "0:8"]),
            ("oversize", [good, "257:4"]),
            ("no depth", [good, "16"]),
            ("not a number", [good, "x:8"]),
            ("duplicate image", [good, "16:8", "32:4", "16:8"]),
            ("missing source", [self.path("absent.mvg"), "16:8"]),
            ("unreadable source", [garbage, "16:8"]),
        ]
        for name, args in cases:
            with self.subTest(name):
                out = self.path(f"{name}.ico")
                result = run_make_icon([out, *args])
                self.assertNotEqual(result.returncode, 0)
                self.assertFalse(os.path.exists(out), "a failed run left an icon")
                last = result.stderr.strip().splitlines()[-1]
                if name != "unreadable source":  # ImageMagick speaks first there
                    self.assertEqual(len(result.stderr.strip().splitlines()), 1, result.stderr)
                    self.assertTrue(last.startswith("make-icon: "), last)

    def test_too_few_arguments(self):
        result = run_make_icon([self.path("out.ico"), self.path("a.mvg")])
        self.assertEqual(result.returncode, 2)
        self.assertIn("usage: make-icon", result.stderr)

    def test_missing_imagemagick(self):
        source = self.write("good.mvg", quadrant_mvg(16))
        tools = self.path("bin")
        os.mkdir(tools)
        for tool in ("env", "od", "tr", "head", "tail", "stat", "mktemp", "awk", "rm", "mv",
                     "cat", "grep"):
            found = shutil.which(tool)
            if found:
                os.symlink(found, os.path.join(tools, tool))
        stub = self.write("stub-convert", "#!/bin/sh\necho 'convert: not here' >&2\nexit 1\n")
        os.chmod(stub, 0o755)
        # Neither no convert at all nor a convert that is not ImageMagick will do.
        for name, extra in (("absent", None), ("stand-in", stub)):
            with self.subTest(name):
                if extra:
                    os.symlink(extra, os.path.join(tools, "convert"))
                out = self.path(f"{name}.ico")
                result = run_make_icon([out, source, "16:8"], env={"PATH": tools})
                self.assertNotEqual(result.returncode, 0)
                self.assertEqual(result.stderr, MISSING_IMAGEMAGICK)
                self.assertFalse(os.path.exists(out))


class CheckerCatchesDamage(Workdir):
    """check_ico.py must fail icons that are subtly wrong, not only garbage."""

    def test_damage_is_reported(self):
        source = self.write("good.mvg", quadrant_mvg(16))
        good = self.make(source, "16:4", "20:24")
        wanted = [(16, 4), (20, 24)]
        self.assertEqual(check_ico.check(good, wanted), [])
        first = check_ico.read_images(good)[0]
        second = check_ico.read_images(good)[1]

        def patched(offset, fmt, value):
            data = bytearray(good)
            struct.pack_into(fmt, data, offset, value)
            return bytes(data)

        entry = 6  # first directory entry
        cases = [
            ("header bit count", patched(first.offset + 14, "<H", 8), wanted),
            ("entry bit count", patched(entry + 6, "<H", 8), wanted),
            ("entry width", patched(entry, "<B", 32), wanted),
            ("single height", patched(first.offset + 8, "<i", 16), wanted),
            ("RLE compression", patched(first.offset + 16, "<I", 2), wanted),
            ("entry colours", patched(entry + 2, "<B", 0), wanted),
            ("short byte count", patched(entry + 8, "<I", first.size - 4), wanted),
            ("offset overlaps", patched(entry + 16 + 12, "<I", first.offset), wanted),
            ("image count", patched(4, "<H", 3), wanted),
            ("truncated", good[: second.offset + 10], wanted),
            ("trailing bytes", good + b"\0" * 4, wanted),
            ("PNG image", good[: second.offset] + b"\x89PNG\r\n\x1a\n" + good[second.offset + 8 :],
             wanted),
            ("other depth asked", good, [(16, 8), (20, 24)]),
            ("image missing", good, [(16, 4), (20, 24), (32, 24)]),
            ("image unasked", good, [(16, 4)]),
        ]
        for name, data, asked in cases:
            with self.subTest(name):
                self.assertNotEqual(check_ico.check(data, asked), [])

    def test_command_line(self):
        source = self.write("good.mvg", quadrant_mvg(16))
        self.make(source, "16:8")
        checker = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_ico.py")
        for images, code in ((["16:8"], 0), (["16:4"], 1), (["16"], 2)):
            with self.subTest(images=images):
                result = subprocess.run(
                    [sys.executable, checker, self.path("out.ico"), *images],
                    capture_output=True, text=True, check=False,
                )
                self.assertEqual(result.returncode, code, result.stdout + result.stderr)


if __name__ == "__main__":
    MAKE_ICON = sys.argv.pop(1)
    unittest.main()
