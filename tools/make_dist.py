#!/usr/bin/env python3
"""Packs the release zip from a built 32-bit tree, reproducibly.

    tools/make_dist.py <build tree> <output folder>

Writes, in the output folder:
- jumbla-<version>.zip: the stripped jumbla.exe and README-Windows.txt;
- jumbla-<version>.zip.sha256: its checksum, as `sha256sum -c` reads it;
- jumbla.exe.debug: the program's debug information, which the stripped
  program names in its .gnu_debuglink section (a debugger finds it there,
  or beside the program).

The same commit gives the same bytes: the version comes from VERSION, every
time in the zip is SOURCE_DATE_EPOCH (by default the last commit's time),
the files go in a fixed order with fixed permissions, and nothing depends on
the time zone, the locale or the checkout's folder.
"""
import hashlib
import os
import pathlib
import subprocess
import sys
import time
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
OBJCOPY = "i686-w64-mingw32-objcopy"


def source_date_epoch():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    return int(subprocess.run(["git", "-C", str(ROOT), "log", "-1", "--format=%ct"],
                              check=True, capture_output=True, text=True).stdout)


def write_zip(path, epoch, members):
    """members: (name in the zip, bytes), stored in the order given."""
    # A zip keeps local times without a zone; the UTC time makes it the same
    # everywhere. Zip times start in 1980.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(path, "w") as archive:
        for name, data in members:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.create_system = 3  # Unix, whatever machine packs it
            info.external_attr = 0o100644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    tree, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    version = (ROOT / "VERSION").read_text(encoding="ascii").split()[0]
    epoch = source_date_epoch()
    out.mkdir(parents=True, exist_ok=True)

    debug = out / "jumbla.exe.debug"
    stripped = out / "jumbla.exe.stripped"
    # objcopy stamps the PE header it writes with SOURCE_DATE_EPOCH, or else
    # with the current time.
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))
    program = str(tree / "app" / "jumbla.exe")
    subprocess.run([OBJCOPY, "--only-keep-debug", program, str(debug)], check=True, env=env)
    # The link holds the debug file's name and CRC, not its folder.
    subprocess.run([OBJCOPY, "--strip-all", f"--add-gnu-debuglink={debug}", program, str(stripped)],
                   check=True, env=env)
    readme = (ROOT / "dist" / "README-Windows.txt").read_text(encoding="utf-8")
    # Windows users read the text in Notepad: CRLF line ends, and a byte
    # order mark, without which XP's Notepad reads UTF-8 as the ANSI code page.
    readme = readme.replace("@VERSION@", version).replace("\n", "\r\n").encode("utf-8-sig")

    name = f"jumbla-{version}.zip"
    write_zip(out / name, epoch, [("jumbla.exe", stripped.read_bytes()), ("README-Windows.txt", readme)])
    stripped.unlink()
    digest = hashlib.sha256((out / name).read_bytes()).hexdigest()
    (out / f"{name}.sha256").write_text(f"{digest}  {name}\n", encoding="ascii")
    print(out / name)
    print(f"{digest}  {name}")


if __name__ == "__main__":
    main()
