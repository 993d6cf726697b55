#!/usr/bin/env python3
"""Checks that a built jumbla.exe runs on the oldest Windows we declare.

    tools/check_imports.py <program.exe or release zip> <imports list>

Given a zip (make dist's), it checks every program in it, as users get it.

The list (tools/windows-imports.txt) names that Windows for each width on
its `oldest` lines and every DLL function the program may import, each with
the oldest Windows version that has it. The check fails when the program
- imports a function the list does not name: a new import is a reviewed
  change, made by adding it to the list with its version;
- imports a function by ordinal: ordinals differ between DLL versions;
- imports a function listed as newer than the oldest Windows;
- declares another OS or subsystem version in its PE header (an older
  Windows must refuse to load it, not fail on a missing function), or is
  not a GUI program.
"""
import struct
import sys
import zipfile


def read_list(path):
    oldest = {}
    allowed = {}
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.split("#", 1)[0].split()
            if not line:
                continue
            if line[0] == "oldest" and len(line) == 3 and line[1] in ("32-bit", "64-bit"):
                oldest[line[1]] = parse_version(line[2])
            elif len(line) == 3:
                allowed[(line[0].upper(), line[1])] = parse_version(line[2])
            else:
                sys.exit(f"{path}:{number}: expected 'DLL Function Version' or 'oldest 32-bit|64-bit Version'")
    if len(oldest) != 2:
        sys.exit(f"{path}: needs an 'oldest' line for 32-bit and one for 64-bit")
    return oldest, allowed


def parse_version(text):
    major, minor = text.split(".")
    return int(major), int(minor)


class Image:
    """The parts of a PE file the check reads."""

    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        sections, optional_size = struct.unpack_from("<2xH12xH", data, pe + 4)
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        self.wide = magic == 0x20B  # PE32+: 64-bit thunks
        self.os_version = struct.unpack_from("<HH", data, opt + 40)
        self.subsystem_version = struct.unpack_from("<HH", data, opt + 48)
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        directories = opt + (112 if self.wide else 96)
        self.import_rva = struct.unpack_from("<I", data, directories + 8)[0]
        table = opt + optional_size
        self.sections = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def offset(self, rva):
        for virtual_size, address, raw_size, raw_offset in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_offset + rva - address
        raise ValueError(f"RVA {rva:#x} is in no section")

    def string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """(DLL, function name or None, ordinal or None) for every import."""
        descriptor = self.offset(self.import_rva)
        thunk_size, ordinal_flag = (8, 1 << 63) if self.wide else (4, 1 << 31)
        while True:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, descriptor)
            if name == 0:
                return
            dll = self.string(name).upper()
            thunk = self.offset(lookup or first)
            while True:
                value = int.from_bytes(self.data[thunk:thunk + thunk_size], "little")
                if value == 0:
                    break
                if value & ordinal_flag:
                    yield dll, None, value & 0xFFFF
                else:
                    yield dll, self.string((value & 0x7FFFFFFF) + 2), None
                thunk += thunk_size
            descriptor += 20


def programs(path):
    """(name, bytes) of the program at path, or of each .exe in the zip at path."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] == b"MZ":  # a program; a zip starts with "PK"
        return [(path, data)]
    with zipfile.ZipFile(path) as archive:
        return [(f"{path}:{name}", archive.read(name)) for name in archive.namelist() if name.lower().endswith(".exe")]


def check(program, image, oldest_by_width, allowed, list_path):
    """Prints the faults of one program and a closing line; returns their number."""
    oldest = oldest_by_width["64-bit" if image.wide else "32-bit"]
    faults = []
    for what, found in (("OS", image.os_version), ("subsystem", image.subsystem_version)):
        if found != oldest:
            faults.append(f"{what} version {found[0]}.{found[1]} in the PE header, not {oldest[0]}.{oldest[1]}")
    if image.subsystem != 2:
        faults.append(f"subsystem {image.subsystem}, not 2 (Windows GUI)")
    count = 0
    for dll, name, ordinal in image.imports():
        count += 1
        if name is None:
            faults.append(f"{dll} ordinal {ordinal}: imported by ordinal")
        elif (dll, name) not in allowed:
            faults.append(f"{dll} {name}: not in {list_path}; check its oldest Windows and add it")
        elif allowed[(dll, name)] > oldest:
            version = allowed[(dll, name)]
            faults.append(f"{dll} {name}: needs Windows {version[0]}.{version[1]}")

    for fault in faults:
        print(f"{program}: {fault}")
    print(f"{program}: {count} imports, {len(faults)} faults (oldest Windows {oldest[0]}.{oldest[1]})")
    return len(faults)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    path, list_path = sys.argv[1:]
    oldest_by_width, allowed = read_list(list_path)
    found = programs(path)
    if not found:
        print(f"{path}: no program in it")
        return 1
    faults = sum(check(name, Image(data), oldest_by_width, allowed, list_path) for name, data in found)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
