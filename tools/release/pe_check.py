#!/usr/bin/env python3
"""Checks a release lumetta.exe in its own headers, and prints what it found.

  pe_check.py FILE x64|x86 true|false [MAX_BYTES]

The machine, no link time stamp, no symbol table (stripped), ASLR with its relocations (and
high-entropy VA on x64), DEP, the stack protector, terminal-server awareness, file version 3.2.0.0, the manifest's
uiAccess, and that GDI+ and the common controls are not load-time imports. Exits 1 on a miss.
"""
import struct
import sys

MACHINES = {"x64": 0x8664, "x86": 0x14C}
FLAGS = {"DYNAMIC_BASE": 0x40, "HIGH_ENTROPY_VA": 0x20, "NX_COMPAT": 0x100,
         "TERMINAL_SERVER_AWARE": 0x8000}
NOT_AT_LOAD = ("gdiplus.dll", "comctl32.dll")  # loaded by name, delay-loaded


def main(path, arch, ui_access, max_bytes=None):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
    machine, sections, stamp, symbols_at, symbols = struct.unpack_from("<HHIII", data, pe + 4)
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    opt = pe + 24
    is64 = struct.unpack_from("<H", data, opt)[0] == 0x20B
    dll_characteristics = struct.unpack_from("<H", data, opt + 70)[0]
    directories = opt + (112 if is64 else 96)
    table = opt + optional_size

    def rva_to_offset(rva):
        for i in range(sections):
            size, address, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            if address <= rva < address + max(size, raw_size):
                return rva - address + raw
        raise ValueError("RVA %#x outside the sections" % rva)

    def directory(index):
        return struct.unpack_from("<II", data, directories + 8 * index)

    imports = []
    import_rva, _ = directory(1)
    at = rva_to_offset(import_rva)
    while struct.unpack_from("<I", data, at + 12)[0]:
        name = rva_to_offset(struct.unpack_from("<I", data, at + 12)[0])
        imports.append(data[name:data.index(b"\0", name)].decode().lower())
        at += 20
    wanted = [f for f in FLAGS if f != "HIGH_ENTROPY_VA" or arch == "x64"]
    found = [f for f in wanted if dll_characteristics & FLAGS[f]]
    version_at = data.find(struct.pack("<I", 0xFEEF04BD))
    version_ms, version_ls = struct.unpack_from("<II", data, version_at + 8)
    version = (version_ms >> 16, version_ms & 0xFFFF, version_ls >> 16, version_ls & 0xFFFF)
    checks = {
        "machine " + arch: machine == MACHINES[arch],
        "no time stamp": stamp == 0,
        "stripped": symbols_at == 0 and symbols == 0,
        "relocations": directory(5)[1] > 0,
        "version 3.2.0.0": version_at > 0 and version == (3, 2, 0, 0),
        'uiAccess="%s"' % ui_access: ('uiAccess="%s"' % ui_access).encode() in data,
        "GDI+ and comctl32 not loaded at start": not set(NOT_AT_LOAD) & set(imports),
        "stack protector": b"stack smashing detected" in data,
        # operator new brings in the C++ runtime's exceptions (and some 100 KiB with them).
        "no C++ exception runtime": b"St9bad_alloc" not in data,
    }
    checks.update({f: f in found for f in wanted})
    if max_bytes:
        checks["%d bytes <= %s" % (len(data), max_bytes)] = len(data) <= int(max_bytes)
    missed = [c for c, ok in checks.items() if not ok]
    print("%s (%s, %d bytes): %s; imports %s" % (path, arch, len(data), ", ".join(
        c for c, ok in checks.items() if ok), " ".join(imports)))
    if missed:
        print("MISSING in %s: %s" % (path, ", ".join(missed)))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
