#!/usr/bin/env python3
"""Packs a Windows release zip: both executables and the Japanese user guide in one folder,
and beside it NAME.zip.sha256 (sha256sum's form), for users to check their download.

The guide is stored for Windows' Notepad: UTF-8 with a byte order mark, CR LF.
"""
import hashlib
import os
import sys
import time
import zipfile

USAGE = "usage: make_release_zip.py NAME OUTPUT_FOLDER GUI_EXE DRIVER_EXE GUIDE\n" \
        "writes OUTPUT_FOLDER/NAME.zip holding the folder NAME/ and prints its path"
GUIDE_NAME = "Talvoren-guide-ja.txt"


def guide_for_windows(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    return "\ufeff" + text.replace("\r\n", "\n").replace("\n", "\r\n")


def entry(name, source, mode):
    info = zipfile.ZipInfo(name, time.localtime(os.path.getmtime(source))[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = mode << 16
    return info


def main():
    if len(sys.argv) != 6:
        sys.exit(USAGE)
    name, output, gui_exe, driver_exe, guide = sys.argv[1:]
    os.makedirs(output, exist_ok=True)
    target = os.path.join(output, name + ".zip")
    partial = target + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        for source, stored in ((gui_exe, "Talvoren.exe"), (driver_exe, "talvoren-convert.exe")):
            with open(source, "rb") as f:
                archive.writestr(entry(f"{name}/{stored}", source, 0o755), f.read())
        archive.writestr(entry(f"{name}/{GUIDE_NAME}", guide, 0o644),
                         guide_for_windows(guide).encode("utf-8"))
    # Put in place only when whole, so a failed run never leaves a truncated release.
    os.replace(partial, target)
    with open(target, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    with open(partial, "w", newline="\n") as f:
        f.write(f"{digest}  {name}.zip\n")
    os.replace(partial, target + ".sha256")
    print(target)


if __name__ == "__main__":
    main()
