#!/usr/bin/env python3
"""Builds the release zip of one commit, reproducibly, and checks the program in it.

    tools/make_dist.py <output folder> [<revision>]

The revision (default HEAD: uncommitted changes are not in the release) is
exported with `git archive` into <output folder>/dist-tree, a clean tree of
its own, and built there for 32-bit Windows without the tests. Writes, in
the output folder:
- jumbla-<version>.zip: the stripped jumbla.exe and README-Windows.txt,
  which names the commit and the toolchain that built it;
- jumbla-<version>.zip.sha256: its checksum, as `sha256sum -c` reads it;
- jumbla.exe.debug: the program's debug information, which the stripped
  program names in its .gnu_debuglink section (a debugger finds it there,
  or beside the program).
Then tools/check_imports.py checks the program inside the zip, the bytes
users get; a fault removes the zip and fails.

The same commit built with the same toolchain gives the same bytes: the
version comes from VERSION, every time in the zip is SOURCE_DATE_EPOCH (by
default the commit's time), the files go in a fixed order with fixed
permissions, and nothing depends on the time zone, the locale or the
folder built in.
"""
import hashlib
import io
import os
import pathlib
import re
import shlex
import shutil
import subprocess
import sys
import tarfile
import time
import zipfile
import zlib

ROOT = pathlib.Path(__file__).resolve().parent.parent


def output(command, **kwargs):
    return subprocess.run(command, check=True, capture_output=True, text=True, **kwargs).stdout.strip()


def export(revision, tree):
    """The files of the revision, and nothing else, in a fresh folder."""
    if tree.exists():
        shutil.rmtree(tree)
    tree.mkdir(parents=True)
    archive = subprocess.run(["git", "-C", str(ROOT), "archive", "--format=tar", revision],
                             check=True, capture_output=True).stdout
    with tarfile.open(fileobj=io.BytesIO(archive)) as files:
        files.extractall(tree)


def build(tree, env):
    """Builds the program alone in tree/build/win32 and returns that folder."""
    folder = tree / "build" / "win32"
    subprocess.run(["cmake", "-S", str(tree), "-B", str(folder), "-G", "Unix Makefiles",
                    "-DCMAKE_BUILD_TYPE=Release", f"-DCMAKE_TOOLCHAIN_FILE={tree}/cmake/mingw-w64-i686.cmake",
                    "-DJUMBLA_TESTS=OFF"], check=True, env=env, stdout=subprocess.DEVNULL)
    jobs = os.environ.get("JOBS") or str(os.cpu_count() or 1)
    subprocess.run(["cmake", "--build", str(folder), "--target", "jumbla", "-j", jobs],
                   check=True, env=env, stdout=subprocess.DEVNULL)
    return folder


def debian_package(path):
    """'<package> <version>' of the Debian package that installed path, or None."""
    path = shutil.which(path) or path  # a tool may be named without its folder
    real = os.path.realpath(path)
    # With /usr merged, dpkg may know a library by its name outside /usr.
    for name in dict.fromkeys([path, real, re.sub(r"^/usr(?=/)", "", real)]):
        found = subprocess.run(["dpkg-query", "-S", name], capture_output=True, text=True)
        if found.returncode == 0:
            package = found.stdout.split(": ")[0]
            return output(["dpkg-query", "-W", "-f", "${Package} ${Version}", package])
    return None


def cmake_tool(folder, name):
    """The tool CMake found for the build in folder: CMAKE_OBJCOPY, CMAKE_CXX_COMPILER, ..."""
    files = [folder / "CMakeCache.txt", *sorted(folder.glob("CMakeFiles/*/CMake*Compiler.cmake"))]
    for f in files:
        found = re.search(rf'^(?:{name}:\w+=(.*)|set\({name} "(.*)"\))$', f.read_text(), re.M)
        if found:
            return found.group(1) or found.group(2)
    raise KeyError(f"{name} is not in {folder}")


def toolchain(folder):
    """Lines naming what made the release: the Debian packages of the files
    the build used, or, off Debian, the tools' own versions."""
    compiler, objcopy = cmake_tool(folder, "CMAKE_CXX_COMPILER"), cmake_tool(folder, "CMAKE_OBJCOPY")
    # The program's link command up to its compiler: a launcher there may
    # link another thread model's runtime, so the linked files are asked of it.
    commands = (folder / "app" / "CMakeFiles" / "jumbla.dir" / "link.txt").read_text().splitlines()
    link = next(words for words in map(shlex.split, commands) if compiler in words)
    linker = link[:link.index(compiler) + 1]

    def ask(driver, question):
        return output(driver + [question])

    # The zip is written by Python's zipfile, compressed by this process's zlib.
    libz = [line.split()[-1] for line in open("/proc/self/maps") if "/libz.so" in line][:1]
    mingw = subprocess.run([compiler, "-E", "-P", "-x", "c", "-"], input="#include <_mingw.h>\n__MINGW64_VERSION_STR\n",
                           check=True, capture_output=True, text=True).stdout.split()[-1].strip('"')
    components = [
        ("gcc", [compiler, ask([compiler], "-print-prog-name=cc1plus"), ask(linker, "-print-file-name=libstdc++.a"),
                 ask(linker, "-print-libgcc-file-name")], output([compiler, "--version"]).splitlines()[0]),
        ("binutils", [objcopy, cmake_tool(folder, "CMAKE_RC_COMPILER"), ask(linker, "-print-prog-name=ld")],
         output([objcopy, "--version"]).splitlines()[0]),
        ("mingw-w64", [ask(linker, "-print-file-name=libmingw32.a")], mingw),
        ("zlib", libz, zlib.ZLIB_RUNTIME_VERSION),
        ("Python", [sys.executable], sys.version.split()[0]),
    ]
    system = re.search(r'^PRETTY_NAME="?(.*?)"?$', pathlib.Path("/etc/os-release").read_text(), re.M)
    lines = [f"  {'system:':11}{system.group(1) if system else sys.platform}"]
    for name, files, version in components:
        packages = dict.fromkeys(package for package in map(debian_package, files) if package)
        lines.append(f"  {name + ':':11}{', '.join(packages) or version}")
    return lines


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
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    out = pathlib.Path(sys.argv[1]).resolve()
    asked = sys.argv[2] if len(sys.argv) == 3 else "HEAD"
    revision = output(["git", "-C", str(ROOT), "rev-parse", "--verify", f"{asked}^{{commit}}"])
    if asked == "HEAD" and output(["git", "-C", str(ROOT), "status", "--porcelain", "--untracked-files=no"]):
        print(f"make_dist: uncommitted changes are not in the release, built from {revision}", file=sys.stderr)
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH") or output(["git", "-C", str(ROOT), "log", "-1", "--format=%ct", revision]))
    # The compiler and objcopy stamp what they write with SOURCE_DATE_EPOCH,
    # or else with the current time.
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))

    tree = out / "dist-tree"
    export(revision, tree)
    folder = build(tree, env)
    version = (tree / "VERSION").read_text(encoding="ascii").split()[0]

    debug = out / "jumbla.exe.debug"
    stripped = out / "jumbla.exe.stripped"
    program = str(folder / "app" / "jumbla.exe")
    objcopy = cmake_tool(folder, "CMAKE_OBJCOPY")
    subprocess.run([objcopy, "--only-keep-debug", program, str(debug)], check=True, env=env)
    # The link holds the debug file's name and CRC, not its folder.
    subprocess.run([objcopy, "--strip-all", f"--add-gnu-debuglink={debug}", program, str(stripped)],
                   check=True, env=env)
    readme = (tree / "dist" / "README-Windows.txt").read_text(encoding="utf-8")
    readme = readme.replace("@VERSION@", version).replace("@COMMIT@", revision)
    readme = readme.replace("@TOOLCHAIN@", "\n".join(toolchain(folder)))
    # Windows users read the text in Notepad: CRLF line ends, and a byte
    # order mark, without which XP's Notepad reads UTF-8 as the ANSI code page.
    readme = readme.replace("\n", "\r\n").encode("utf-8-sig")

    name = f"jumbla-{version}.zip"
    (out / f"{name}.sha256").unlink(missing_ok=True)
    write_zip(out / name, epoch, [("jumbla.exe", stripped.read_bytes()), ("README-Windows.txt", readme)])
    stripped.unlink()
    checked = subprocess.run([sys.executable, str(tree / "tools" / "check_imports.py"), str(out / name),
                              str(tree / "tools" / "windows-imports.txt")])
    if checked.returncode != 0:
        (out / name).unlink()
        sys.exit(f"make_dist: the program in {name} fails its checks; no release written")
    digest = hashlib.sha256((out / name).read_bytes()).hexdigest()
    (out / f"{name}.sha256").write_text(f"{digest}  {name}\n", encoding="ascii")
    print(out / name)
    print(f"{digest}  {name}")


if __name__ == "__main__":
    main()
