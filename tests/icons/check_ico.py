#!/usr/bin/env python3
"""check_ico.py ICO SIZE:BPP [SIZE:BPP...]

Passes when ICO is a well-formed icon holding exactly the listed images (in
any order): each directory entry agrees with its image's BITMAPINFOHEADER,
the image is an uncompressed DIB of that width, doubled height and bit count,
and its header, palette, XOR and AND data fill exactly the bytes the entry
claims. Prints one line per fault and exits 1 when anything is off.
"""

import re
import struct
import sys
from collections import Counter
from dataclasses import dataclass

ICONDIR = struct.Struct("<HHH")
ICONDIRENTRY = struct.Struct("<BBBBHHII")
BITMAPINFOHEADER = struct.Struct("<IiiHHIIiiII")
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
PALETTE_BPPS = (1, 4, 8)


class IconError(Exception):
    pass


@dataclass
class Image:
    """One icon image as its directory entry and DIB header describe it."""

    entry_width: int
    entry_height: int
    entry_colours: int
    entry_planes: int
    entry_bpp: int
    size: int
    offset: int
    header_size: int
    width: int
    height: int
    planes: int
    bpp: int
    compression: int
    colours_used: int

    @property
    def palette_entries(self):
        if self.bpp not in PALETTE_BPPS:
            return 0
        return self.colours_used or 1 << self.bpp

    @property
    def pixels_offset(self):
        return self.offset + self.header_size + 4 * self.palette_entries

    @property
    def mask_offset(self):
        return self.pixels_offset + dib_stride(self.width, self.bpp) * self.width


def dib_stride(width, bpp):
    """Bytes per DIB row: rows are padded to 32 bits."""
    return (width * bpp + 31) // 32 * 4


def read_images(data):
    """Parses the directory and every image header; raises IconError on damage."""
    if len(data) < ICONDIR.size:
        raise IconError(f"file is {len(data)} bytes, too short for an icon directory")
    reserved, kind, count = ICONDIR.unpack_from(data)
    if reserved != 0 or kind != 1:
        raise IconError(f"not an icon: reserved={reserved} type={kind}")
    if len(data) < ICONDIR.size + count * ICONDIRENTRY.size:
        raise IconError(f"directory of {count} entries runs past the end of the file")
    images = []
    for index in range(count):
        entry = ICONDIRENTRY.unpack_from(data, ICONDIR.size + index * ICONDIRENTRY.size)
        width, height, colours, _, planes, bpp, size, offset = entry
        if offset + size > len(data):
            raise IconError(f"image {index} runs past the end of the file")
        if data[offset : offset + len(PNG_SIGNATURE)] == PNG_SIGNATURE:
            raise IconError(f"image {index} is PNG-compressed, not a DIB")
        if size < BITMAPINFOHEADER.size:
            raise IconError(f"image {index} is {size} bytes, too short for its header")
        header = BITMAPINFOHEADER.unpack_from(data, offset)
        images.append(
            Image(
                entry_width=width or 256,
                entry_height=height or 256,
                entry_colours=colours,
                entry_planes=planes,
                entry_bpp=bpp,
                size=size,
                offset=offset,
                header_size=header[0],
                width=header[1],
                height=header[2],
                planes=header[3],
                bpp=header[4],
                compression=header[5],
                colours_used=header[9],
            )
        )
    return images


def image_faults(index, image):
    """What is wrong with one image, as readable lines."""
    faults = []

    def expect(what, got, want):
        if got != want:
            faults.append(f"image {index}: {what} is {got}, expected {want}")

    expect("header size", image.header_size, BITMAPINFOHEADER.size)
    expect("header height", image.height, 2 * image.width)
    expect("entry width", image.entry_width, image.width)
    expect("entry height", image.entry_height, image.width)
    expect("header planes", image.planes, 1)
    expect("entry planes", image.entry_planes, 1)
    expect("entry bit count", image.entry_bpp, image.bpp)
    expect("compression", image.compression, 0)
    expect("entry colour count", image.entry_colours, 16 if image.bpp == 4 else 0)
    if image.bpp in PALETTE_BPPS:
        if image.colours_used > 1 << image.bpp:
            faults.append(f"image {index}: {image.colours_used} colours for {image.bpp} bpp")
    elif image.colours_used != 0:
        faults.append(f"image {index}: true-colour image lists {image.colours_used} colours")
    mask_bytes = dib_stride(image.width, 1) * image.width
    expect("entry byte count", image.size, image.mask_offset + mask_bytes - image.offset)
    return faults


def layout_faults(images, file_size):
    """Images that overlap each other, or bytes that belong to no image."""
    faults = []
    end = ICONDIR.size + len(images) * ICONDIRENTRY.size
    for image in sorted(images, key=lambda i: i.offset):
        if image.offset < end:
            faults.append(f"image at offset {image.offset} overlaps what precedes it")
        elif image.offset > end:
            faults.append(f"{image.offset - end} stray bytes before offset {image.offset}")
        end = max(end, image.offset + image.size)
    if end != file_size:
        faults.append(f"{file_size - end} stray bytes after the last image")
    return faults


def parse_image(text):
    match = re.fullmatch(r"([1-9][0-9]*):([1-9][0-9]*)", text)
    if not match:
        raise ValueError(f"bad image '{text}': want SIZE:BPP")
    return int(match.group(1)), int(match.group(2))


def check(data, wanted):
    """All faults of icon bytes DATA against the wanted (size, bpp) list."""
    try:
        images = read_images(data)
    except IconError as error:
        return [str(error)]
    faults = []
    for index, image in enumerate(images):
        faults += image_faults(index, image)
    faults += layout_faults(images, len(data))
    held = Counter((image.width, image.bpp) for image in images)
    asked = Counter(wanted)
    for size, bpp in sorted((asked - held).elements()):
        faults.append(f"missing image {size}:{bpp}")
    for size, bpp in sorted((held - asked).elements()):
        faults.append(f"unrequested image {size}:{bpp}")
    return faults


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip().splitlines()[0], file=sys.stderr)
        return 2
    path = argv[1]
    try:
        wanted = [parse_image(image) for image in argv[2:]]
        with open(path, "rb") as file:
            data = file.read()
    except (OSError, ValueError) as error:
        print(f"{path}: {error}", file=sys.stderr)
        return 2
    faults = check(data, wanted)
    for fault in faults:
        print(f"{path}: {fault}")
    if faults:
        return 1
    print(f"{path}: {len(wanted)} images as requested: {' '.join(argv[2:])}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
