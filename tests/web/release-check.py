#!/usr/bin/env python3
"""The page's release archive: every page file is in it, and each compressed copy (.br,
.gz) holds exactly its file's bytes, the gzip ones with no name and no time in them.

Usage: release-check.py ARCHIVE FILE..."""
import gzip
import subprocess
import sys
import tarfile


def main():
    archive, names = sys.argv[1], sys.argv[2:]
    with tarfile.open(archive) as tar:
        files = {member.name.split("/", 1)[1]: tar.extractfile(member).read()
                 for member in tar.getmembers() if member.isfile()}
    failures = [f"{name}: not in the archive" for name in names if name not in files]
    for name, data in files.items():
        if name.endswith(".gz"):
            # The header: magic, method, flags (no name), four bytes of time.
            plain = gzip.decompress(data)
            if data[3] != 0 or data[4:8] != b"\0\0\0\0" or plain != files.get(name[:-3]):
                failures.append(f"{name}: not {name[:-3]} alone, without name and time")
        elif name.endswith(".br"):
            plain = subprocess.run(["brotli", "--decompress", "--stdout"], input=data,
                                   capture_output=True, check=True).stdout
            if plain != files.get(name[:-3]):
                failures.append(f"{name}: not the bytes of {name[:-3]}")
        elif not name.endswith((".png", ".txt")) and not {name + ".br", name + ".gz"} <= set(files):
            failures.append(f"{name}: no compressed copies")
    for failure in failures:
        print("FAIL " + failure)
    print(f"{len(files)} files checked")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
