#!/usr/bin/env python3
"""make-drivers.py SYSTEMDIR WINDOWSDIR: the card's driver set for the demo machine.

The four drivers are minimal 16-bit NE images, each holding one VERSIONINFO resource in the
16-bit layout that Windows 95/98 drivers carry; KESTRO.EXE is a bare DOS program. All get the date
of a 1999 driver release."""
import os
import struct
import sys
import time


def version_block(file_major, file_minor, struc_major=1, struc_minor=0):
    block = bytearray(72)
    struct.pack_into("<HH16s", block, 0, len(block), 52, b"VS_VERSION_INFO")
    struct.pack_into("<IIIIII", block, 20, 0xFEEF04BD, struc_major << 16 | struc_minor,
                     file_major << 16 | file_minor, 0, file_major << 16 | file_minor, 0)
    # flags mask, flags, VOS_DOS_WINDOWS16, VFT_DRV, VFT2_DRV_SOUND
    struct.pack_into("<IIIII", block, 44, 0x3F, 0, 0x00010001, 3, 9)
    return bytes(block)


def ne_image(resource, module):
    ne, restab, shift, data = 0x40, 0x40, 4, 0x100
    names = restab + 2 + 8 + 12 + 2
    units = (len(resource) + 15) >> shift
    image = bytearray(data + (units << shift))
    image[0:2] = b"MZ"
    struct.pack_into("<H", image, 0x18, 0x40)
    struct.pack_into("<I", image, 0x3C, ne)
    image[ne:ne + 3] = b"NE\x05"
    for offset, value in ((0x04, names + 16), (0x22, restab), (0x24, restab), (0x26, names),
                          (0x28, names + 16), (0x2A, names + 16), (0x32, shift)):
        struct.pack_into("<H", image, ne + offset, value)
    image[ne + 0x36] = 2  # Windows
    struct.pack_into("<HHHI", image, ne + restab, shift, 0x8000 | 16, 1, 0)
    struct.pack_into("<HHHHI", image, ne + restab + 10, data >> shift, units, 0x30, 0x8001, 0)
    name = module.encode()[:8]
    image[ne + names] = len(name)
    image[ne + names + 1:ne + names + 1 + len(name)] = name
    image[data:data + len(resource)] = resource
    return bytes(image)


def main():
    system_dir, windows_dir = sys.argv[1], sys.argv[2]
    drivers = {"VTESSAN.VXD": (4, 0), "TESSAN.DRV": (4, 10), "VKELDA.VXD": (4, 0), "KELDA.DRV": (4, 10)}
    release = time.mktime((1999, 9, 17, 12, 0, 0, 0, 0, -1))
    for name, (major, minor) in drivers.items():
        path = os.path.join(system_dir, name)
        with open(path, "wb") as f:
            f.write(ne_image(version_block(major, minor), name.split(".")[0]))
        os.utime(path, (release, release))
    tool = os.path.join(windows_dir, "KESTRO.EXE")
    with open(tool, "wb") as f:
        f.write(b"MZ" + bytes(62))
    os.utime(tool, (release, release))


if __name__ == "__main__":
    main()
