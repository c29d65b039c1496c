#!/usr/bin/python3
"""Install time of a theme package of 10 000 small files, beside bsdtar.

Usage: install_bench.py PALETTEER95-CLI [FILES]

Builds a tar of one theme and FILES small files (9 999 by default: 10 000
entries, the most a package may hold), then
times `paletteer95-cli install` of it into a fresh drive C, beside
`bsdtar -xf` of the same archive into an empty folder followed by `sync`
(both on the same file system, the median of five runs each). Prints the
figures; asserts nothing.
"""
import io
import os
import shutil
import statistics
import subprocess
import sys
import tarfile
import tempfile
import time


def build(path, files):
    with tarfile.open(path, "w", format=tarfile.PAX_FORMAT) as tar:
        def add(name, data):
            info = tarfile.TarInfo(name)
            info.size = len(data)
            tar.addfile(info, io.BytesIO(data))
        add("Sea/Sea.theme", b"[Control Panel\\Desktop]\r\nWallpaper=\r\n")
        for i in range(files):
            add("Sea/Files/%03d/%d.txt" % (i // 100, i), b"file %d\r\n" % i)


def timed(command, env=None, before=None):
    runs = []
    for _ in range(5):
        if before:
            before()
        subprocess.run(["sync"], check=True)
        start = time.perf_counter()
        subprocess.run(command, env=env, check=True, stdout=subprocess.DEVNULL)
        runs.append(time.perf_counter() - start)
    return statistics.median(runs)


def main():
    cli = sys.argv[1]
    files = int(sys.argv[2]) if len(sys.argv) > 2 else 9999
    work = tempfile.mkdtemp(prefix="p95-install-bench-", dir=os.environ.get("TMPDIR", "/var/tmp"))
    try:
        package = os.path.join(work, "sea.tar")
        build(package, files)
        drive = os.path.join(work, "drive_c")
        out = os.path.join(work, "bsdtar")
        env = dict(os.environ, PALETTEER95_DRIVE_C=drive)

        def fresh_drive():
            shutil.rmtree(drive, ignore_errors=True)
            os.makedirs(os.path.join(drive, "Program Files", "Plus!", "Themes"))

        def fresh_folder():
            shutil.rmtree(out, ignore_errors=True)
            os.makedirs(out)

        install = timed([cli, "install", package], env, fresh_drive)
        bsdtar = timed(["sh", "-c", 'bsdtar -xf "$0" -C "$1" && sync', package, out], None,
                       fresh_folder)
        print("package: %d files, %d KiB" % (files + 1, os.path.getsize(package) // 1024))
        print("paletteer95-cli install: %.3f s" % install)
        print("bsdtar -xf + sync:       %.3f s" % bsdtar)
        print("ratio:                   %.2f" % (install / bsdtar))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
