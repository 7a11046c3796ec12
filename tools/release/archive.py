#!/usr/bin/env python3
"""Writes a release archive whose bytes depend only on the files put in it: entries in
name order, each with the same time (SOURCE_DATE_EPOCH, else the commit's time), owner
root and plain permissions (0755 for programs, 0644 for the rest).

    archive.py zip|tar.gz ARCHIVE FOLDER NAME=FILE...
    archive.py time

Each NAME=FILE puts FILE into the archive as FOLDER/NAME. "time" prints the release's time
(for the Debian package's files)."""

import gzip
import io
import os
import subprocess
import sys
import tarfile
import time
import zipfile

SourceFolder = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def ReleaseTime():
    """Seconds since 1970 of the release: SOURCE_DATE_EPOCH, else the checkout's last
    commit, else 1980-01-01 (the earliest time a ZIP entry can hold)."""
    earliest = 315532800
    value = os.environ.get("SOURCE_DATE_EPOCH")
    if value is None:
        try:
            value = subprocess.run(["git", "-C", SourceFolder, "log", "-1", "--format=%ct"],
                                   capture_output=True, text=True, check=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            value = ""
    return max(int(value), earliest) if value.isdigit() else earliest


def Mode(path):
    return 0o755 if os.access(path, os.X_OK) else 0o644


def WriteZip(archive, entries, seconds):
    stamp = time.gmtime(seconds)[:6]
    with zipfile.ZipFile(archive, "w") as output:
        folder = zipfile.ZipInfo(entries[0][0].split("/")[0] + "/", stamp)
        folder.external_attr = (0o40755 << 16) | 0x10
        output.writestr(folder, b"")
        for name, path in entries:
            info = zipfile.ZipInfo(name, stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the permissions below count
            info.external_attr = (0o100000 | Mode(path)) << 16
            with open(path, "rb") as source:
                output.writestr(info, source.read(), compresslevel=9)


def WriteTarGz(archive, entries, seconds):
    def Info(name, kind, mode, size=0):
        info = tarfile.TarInfo(name)
        info.type, info.mode, info.size, info.mtime = kind, mode, size, seconds
        info.uid = info.gid = 0
        info.uname = info.gname = "root"
        return info
    data = io.BytesIO()
    with tarfile.open(fileobj=data, mode="w", format=tarfile.GNU_FORMAT) as output:
        output.addfile(Info(entries[0][0].split("/")[0], tarfile.DIRTYPE, 0o755))
        for name, path in entries:
            with open(path, "rb") as source:
                output.addfile(Info(name, tarfile.REGTYPE, Mode(path), os.path.getsize(path)),
                               source)
    # No file name and the release's time in the gzip header.
    with open(archive, "wb") as raw, \
            gzip.GzipFile(filename="", mode="wb", fileobj=raw, mtime=seconds,
                          compresslevel=9) as output:
        output.write(data.getvalue())


def Main(arguments):
    if arguments == ["time"]:
        print(ReleaseTime())
        return 0
    if len(arguments) < 4 or arguments[0] not in ("zip", "tar.gz"):
        print(__doc__, file=sys.stderr)
        return 2
    kind, archive, folder = arguments[:3]
    entries = []
    for argument in arguments[3:]:
        name, _, path = argument.partition("=")
        if not name or not path:
            print(f"archive.py: not NAME=FILE: {argument}", file=sys.stderr)
            return 2
        entries.append((f"{folder}/{name}", path))
    entries.sort()
    (WriteZip if kind == "zip" else WriteTarGz)(archive, entries, ReleaseTime())
    return 0


if __name__ == "__main__":
    sys.exit(Main(sys.argv[1:]))
