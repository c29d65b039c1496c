#!/usr/bin/env python3
"""Launch benchmark: time from starting the program to its first window
painted, and the program's resident memory once the window is up, for
paletteer95 (the Tip of the Day window, with the editor loaded behind it) and
a bare Qt Widgets window, alternately, on one virtual X server in the same
run. Prints figures; asserts nothing.

    launch_bench.py PATH/TO/paletteer95 PATH/TO/p95_bare_window [--runs N]
                    [--also LABEL=PATH/TO/paletteer95 ...]

--also adds another build of the program (an earlier one, say) to the same
alternating runs, so that builds are compared on the same server and load.

The programs write the monotonic time of their first paint to
$P95_LAUNCH_PROBE. The date is pinned with libfaketime where it is installed
(preloaded into both programs alike, the monotonic clock left alone), so no run
on 12 January plays the birthday tune.
"""

import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

SETTLE_SECONDS = 0.3  # after the first paint, before memory is read
TIMEOUT_SECONDS = 30


def start_xvfb(work):
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stderr=open(os.path.join(work, "xvfb.log"), "w"))
    os.close(write_end)
    with os.fdopen(read_end) as display:
        number = display.readline().strip()
    if not number:
        xvfb.kill()
        xvfb.wait()
        sys.exit("Xvfb did not start")
    return xvfb, ":" + number


FAKETIME_LIBRARY = "/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1"


def pinned_date(env):
    if not os.path.exists(FAKETIME_LIBRARY):
        return env, False
    return dict(env, LD_PRELOAD=FAKETIME_LIBRARY, FAKETIME="@2026-03-03 12:00:00",
                FAKETIME_DONT_FAKE_MONOTONIC="1"), True


def memory_kib(pid):
    figures = {}
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            key, _, value = line.partition(":")
            if key in ("VmRSS", "VmHWM"):
                figures[key] = int(value.split()[0])
    return figures


def launch_once(program, env, probe):
    if os.path.exists(probe):
        os.remove(probe)
    started = time.monotonic_ns()
    process = subprocess.Popen([program], env=dict(env, P95_LAUNCH_PROBE=probe),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + TIMEOUT_SECONDS
        shown = None
        while time.monotonic() < deadline:
            if os.path.exists(probe):
                with open(probe) as f:
                    text = f.read().strip()
                if text:
                    shown = int(text)
                    break
            if process.poll() is not None:
                sys.exit(f"{program} ended before showing its window")
            time.sleep(0.002)
        if shown is None:
            sys.exit(f"{program} showed no window within {TIMEOUT_SECONDS} s")
        time.sleep(SETTLE_SECONDS)
        memory = memory_kib(process.pid)
        return (shown - started) / 1e6, memory["VmRSS"] / 1024, memory["VmHWM"] / 1024
    finally:
        process.send_signal(signal.SIGKILL)
        process.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("program")
    parser.add_argument("bare")
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--also", action="append", default=[], metavar="LABEL=PATH",
                        help="another build of the program, measured in the same runs")
    args = parser.parse_args()
    for tool in ("Xvfb",):
        if not shutil.which(tool):
            sys.exit(f"{tool} is not installed")

    with tempfile.TemporaryDirectory(prefix="p95-launch-") as work:
        home = os.path.join(work, "home")
        runtime = os.path.join(work, "runtime")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        xvfb, display = start_xvfb(work)
        try:
            env = {k: v for k, v in os.environ.items()
                   if k not in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "QT_STYLE_OVERRIDE")}
            env.update(DISPLAY=display, HOME=home, XDG_RUNTIME_DIR=runtime,
                       XDG_CONFIG_HOME=os.path.join(home, ".config"),
                       XDG_CACHE_HOME=os.path.join(home, ".cache"),
                       XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                       PALETTEER95_DRIVE_C=os.path.join(work, "drive_c"),
                       PULSE_SERVER="unix:" + os.path.join(work, "no-sound-server"))
            env, pinned = pinned_date(env)
            probe = os.path.join(work, "probe")
            programs = [("paletteer95 (Tip of the Day)", args.program)]
            for also in args.also:
                label, _, path = also.partition("=")
                programs.append((f"paletteer95 ({label})", path))
            programs.append(("bare Qt Widgets window", args.bare))
            # One run each first, not counted: it fills the program directory
            # and the font cache.
            for _, program in programs:
                launch_once(program, env, probe)
            results = {name: [] for name, _ in programs}
            for _ in range(args.runs):
                for name, program in programs:
                    results[name].append(launch_once(program, env, probe))
        finally:
            xvfb.terminate()
            xvfb.wait()

    print(f"Launch to first window painted, {args.runs} runs each, alternating, on Xvfb"
          f" ({os.cpu_count()} CPUs; date pinned: {'yes' if pinned else 'no'})")
    print(f"{'program':32} {'median ms':>10} {'min ms':>8} {'max ms':>8}"
          f" {'RSS MiB':>8} {'peak MiB':>9}")
    bare = results["bare Qt Widgets window"]
    bare_time = statistics.median(r[0] for r in bare)
    bare_rss = statistics.median(r[1] for r in bare)
    for name, runs in results.items():
        times = [r[0] for r in runs]
        print(f"{name:32} {statistics.median(times):10.1f} {min(times):8.1f} {max(times):8.1f}"
              f" {statistics.median(r[1] for r in runs):8.1f}"
              f" {statistics.median(r[2] for r in runs):9.1f}"
              f"   x{statistics.median(times) / bare_time:.2f} time,"
              f" x{statistics.median(r[1] for r in runs) / bare_rss:.2f} RSS")


if __name__ == "__main__":
    main()
