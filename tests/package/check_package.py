#!/usr/bin/env python3
"""Makes the release packages into a scratch folder and checks them: the zips'
content, the command line's machine type and that it is stripped, each DLL's machine type, exports and imports (scripts/check-dll), its
version resource against the project's version, its size and stripped state,
and the plugin-list entries against the zips."""
import argparse
import hashlib
import json
import os
import struct
import subprocess
import sys
import tempfile
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
MACHINES = {"x86": 0x014C, "x64": 0x8664}
MEMBERS = {"Quorrel.dll", "quorrel.exe", "LICENSE", "THIRD-PARTY.md", "README.txt"}
# The window renderer brings its rasteriser and font library (pixman and
# FreeType, about 0.8 MiB of code): the plugin stays under 4 MiB with them.
MAX_DLL_BYTES = 4 * 1024 * 1024

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def machine_of(image):
    header = struct.unpack_from("<I", image, 0x3C)[0]
    check(image[header:header + 4] == b"PE\0\0", "no PE signature")
    return struct.unpack_from("<H", image, header + 4)[0]


def version_resource(image):
    """(file version numbers from VS_FIXEDFILEINFO, {key: value} of StringFileInfo)."""
    fixed = image.find(struct.pack("<I", 0xFEEF04BD))
    if fixed < 0:
        return None, {}
    ms, ls = struct.unpack_from("<II", image, fixed + 8)
    numbers = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    strings = {}
    for key in ("FileVersion", "ProductVersion", "FileDescription", "LegalCopyright"):
        at = image.find((key + "\0").encode("utf-16-le"), fixed)
        if at < 0:
            continue
        at += len(key + "\0") * 2
        at += (4 - at % 4) % 4  # values start on a 32-bit boundary
        end = at
        while image[end:end + 2] != b"\0\0":
            end += 2
        strings[key] = image[at:end].decode("utf-16-le")
    return numbers, strings


def check_dll(arch, path, version):
    image = open(path, "rb").read()
    check(machine_of(image) == MACHINES[arch], f"{arch}: machine type {machine_of(image):#x}")
    check(len(image) < MAX_DLL_BYTES, f"{arch}: the DLL has {len(image)} bytes")
    listed = subprocess.run(["bash", os.path.join(ROOT, "scripts", "check-dll"), path],
                            capture_output=True, text=True)
    check(listed.returncode == 0, f"{arch}: check-dll: {listed.stdout}{listed.stderr}")
    sections = subprocess.run(["x86_64-w64-mingw32-objdump", "-h", path],
                              capture_output=True, text=True).stdout
    check(".gnu_debuglink" in sections and ".debug_" not in sections,
          f"{arch}: not stripped with a debug link:\n{sections}")
    numbers, strings = version_resource(image)
    expected = tuple(int(n) for n in version.split(".")) + (0,) * (4 - len(version.split(".")))
    check(numbers == expected, f"{arch}: FILEVERSION {numbers}, expected {expected}")
    for key in ("FileVersion", "ProductVersion"):
        check(strings.get(key) == version, f"{arch}: {key} {strings.get(key)!r}, expected {version!r}")
    for key in ("FileDescription", "LegalCopyright"):
        check(strings.get(key), f"{arch}: no {key}")


def check_program(arch, path):
    image = open(path, "rb").read()
    check(machine_of(image) == MACHINES[arch], f"{arch}: quorrel.exe machine type {machine_of(image):#x}")
    sections = subprocess.run(["x86_64-w64-mingw32-objdump", "-h", path], capture_output=True, text=True).stdout
    check(".gnu_debuglink" in sections and ".debug_" not in sections,
          f"{arch}: quorrel.exe not stripped with a debug link:\n{sections}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--version", required=True)
    parser.add_argument("--x86", required=True)
    parser.add_argument("--x64", required=True)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as out:
        made = subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "package"),
                               "--x86", args.x86, "--x64", args.x64, "--out", out],
                              capture_output=True, text=True)
        if made.returncode != 0:
            sys.exit(f"scripts/package failed:\n{made.stdout}{made.stderr}")
        entries = json.load(open(os.path.join(out, "plugin-list-entries.json"), encoding="utf-8"))
        check(set(entries) == set(MACHINES), f"entries for {sorted(entries)}")
        for arch in MACHINES:
            name = f"Quorrel-{args.version}-{arch}.zip"
            path = os.path.join(out, name)
            if not check(os.path.isfile(path), f"{name} was not written"):
                continue
            with zipfile.ZipFile(path) as archive:
                check(set(archive.namelist()) == MEMBERS, f"{name} holds {archive.namelist()}")
                archive.extract("Quorrel.dll", os.path.join(out, arch))
                archive.extract("quorrel.exe", os.path.join(out, arch))
            check_dll(arch, os.path.join(out, arch, "Quorrel.dll"), args.version)
            check_program(arch, os.path.join(out, arch, "quorrel.exe"))

            entry = entries.get(arch, {})
            digest = hashlib.sha256(open(path, "rb").read()).hexdigest()
            check(entry.get("id") == digest, f"{arch}: id {entry.get('id')}, the zip's SHA-256 is {digest}")
            check(entry.get("version") == args.version, f"{arch}: version {entry.get('version')}")
            check(entry.get("folder-name") == "Quorrel", f"{arch}: folder-name {entry.get('folder-name')}")
            check(str(entry.get("repository", "")).endswith("/" + name), f"{arch}: repository {entry.get('repository')}")
            for key in ("display-name", "description", "author", "homepage"):
                check(entry.get(key), f"{arch}: no {key}")

    for failure in failures:
        print("FAIL:", failure)
    print("release packages as expected" if not failures else f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
