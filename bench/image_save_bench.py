#!/usr/bin/env python3
"""Disk-image save benchmark: the time paletteer95-cli takes to save a theme
of 40 files (14 pointers, 20 sounds, 6 icons; about 2 MB) into a 2 GiB FAT32
image (sparse, partition at sector 2048), with every guarantee (locks, the
consistency check, the undo journal, the read-back, the flushes), beside a
bare `mcopy -s` of the same theme folder into the same image followed by
`sync` of the image. Each run saves under a new theme name. Prints figures;
asserts nothing.

    image_save_bench.py PATH/TO/paletteer95-cli [--runs N]
"""

import argparse
import json
import os
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import math

OFFSET = 2048 * 512


def run(args, **kw):
    return subprocess.run(args, check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kw)


def wave(hz, frames=22050):
    data = b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * hz * i / 22050)))
                    for i in range(frames))
    return (b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt " +
            struct.pack("<IHHIIHH", 16, 1, 1, 22050, 44100, 2, 16) + b"data" +
            struct.pack("<I", len(data)) + data)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def document(src, name):
    os.makedirs(src, exist_ok=True)
    cur = bytes.fromhex("0000020001001010000003000400") + bytes(300)
    pointers, sounds, icons = [], [], []
    for i in range(14):
        write(f"{src}/p{i}.cur", cur + bytes([i]))
        pointers.append(f"{src}/p{i}.cur")
    for i in range(20):
        write(f"{src}/s{i}.wav", wave(300 + 20 * i, 22050 if i < 19 else 11025))
        sounds.append(f"{src}/s{i}.wav")
    write(f"{src}/wall.bmp", b"BM" + bytes(200000))
    icons.append(f"{src}/wall.bmp")
    for i in range(4):
        write(f"{src}/i{i}.ico", bytes.fromhex("000001000100") + bytes(700) + bytes([i]))
        icons.append(f"{src}/i{i}.ico")
    write(f"{src}/saver.scr", b"MZ" + bytes(20000))
    icons.append(f"{src}/saver.scr")
    doc = {"name": name, "pointers": pointers, "sounds": sounds, "icons": icons,
           "includeReadMe": False}
    path = f"{src}/{name}.json"
    write(path, json.dumps(doc).encode())
    return path


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="p95-image-bench-", dir=os.getcwd()) as tmp:
        env = dict(os.environ, XDG_DATA_HOME=f"{tmp}/xdg", MTOOLSRC="/dev/null")
        image = f"{tmp}/win95.img"
        run(["truncate", "-s", "2G", image])
        run(["sfdisk", "-q", image], input=b"label: dos\nstart=2048, type=c\n")
        run(["mkfs.fat", "-F", "32", "--offset", "2048", "-n", "WIN95", image,
             str((2 << 20) - 1024)])
        at = f"{image}@@{OFFSET}"
        run(["mmd", "-i", at, "::/Program Files", "::/Program Files/Plus!",
             "::/Program Files/Plus!/Themes", "::/Windows"], env=env)
        # The theme folder as a save makes it, on a drive C folder, for mcopy.
        folder = f"{tmp}/folder_c"
        os.makedirs(f"{folder}/Program Files/Plus!/Themes")
        ours, bare, folder_saves = [], [], []
        for r in range(args.runs):
            name = f"Ocean {r}"
            doc = document(f"{tmp}/src{r}", name)
            start = time.monotonic()
            run([args.cli, "save", doc, "--drive-c", folder], env=env)
            folder_saves.append(time.monotonic() - start)
            start = time.monotonic()
            run([args.cli, "save", doc, "--drive-c", image], env=env)
            ours.append(time.monotonic() - start)
            local = f"{folder}/Program Files/Plus!/Themes/{name}"
            os.rename(local, f"{tmp}/Bare {r}")
            start = time.monotonic()
            run(["mcopy", "-s", "-D", "o", "-i", at, f"{tmp}/Bare {r}",
                 "::/Program Files/Plus!/Themes/"], env=env)
            run(["sync", image])
            bare.append(time.monotonic() - start)
        files = len(os.listdir(f"{tmp}/Bare 0"))
        size = sum(os.path.getsize(f"{tmp}/Bare 0/{f}") for f in os.listdir(f"{tmp}/Bare 0"))
        ms = lambda xs: statistics.median(xs) * 1000
        print(f"theme of {files} files, {size / 1e6:.1f} MB, into a 2 GiB FAT32 image; "
              f"median of {args.runs} runs")
        print(f"  paletteer95-cli save --drive-c IMAGE   {ms(ours):8.1f} ms")
        print(f"  mcopy -s + sync IMAGE                  {ms(bare):8.1f} ms")
        print(f"  (paletteer95-cli save --drive-c FOLDER {ms(folder_saves):8.1f} ms: the same save "
              "into a folder)")
        print(f"  ratio                                  {ms(ours) / ms(bare):8.2f}x (goal <= 3x)")
        print("  each run (save / mcopy+sync, ms): " +
              ", ".join(f"{a * 1000:.0f}/{b * 1000:.0f}" for a, b in zip(ours, bare)))


if __name__ == "__main__":
    sys.exit(main())
