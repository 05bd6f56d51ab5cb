#!/usr/bin/env python3
"""Runs the same small programs with zr5run, lua5.4 and duk and prints the
times and the ratios. Each figure is the best of several runs, minus the
time the interpreter takes to start on an empty program."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

RUNS = 5

PROGRAMS = {
    "counting loop (3M)": {
        "zrs": "i = 0; while (i < 3000000) i++;",
        "lua": "i = 0 while i < 3000000 do i = i + 1 end",
        "js": "var i = 0; while (i < 3000000) i++;",
    },
    "function calls (500k)": {
        "zrs": "function f(x) { return x + 1; } i = 0; s = 0; while (i < 500000) { s = f(s); i++; }",
        "lua": "function f(x) return x + 1 end i = 0 s = 0 while i < 500000 do s = f(s) i = i + 1 end",
        "js": "function f(x) { return x + 1; } var i = 0, s = 0; while (i < 500000) { s = f(s); i++; }",
    },
    "member access (1M)": {
        "zrs": "o = new { v: 0 }; i = 0; while (i < 1000000) { o.v = o.v + 1; i++; }",
        "lua": "o = { v = 0 } i = 0 while i < 1000000 do o.v = o.v + 1 i = i + 1 end",
        "js": "var o = { v: 0 }, i = 0; while (i < 1000000) { o.v = o.v + 1; i++; }",
    },
    "string concatenation (40k)": {
        "zrs": "s = ''; i = 0; while (i < 40000) { s = s + 'x'; i++; }",
        "lua": "s = '' i = 0 while i < 40000 do s = s .. 'x' i = i + 1 end",
        "js": "var s = '', i = 0; while (i < 40000) { s = s + 'x'; i++; }",
    },
}

EMPTY = {"zrs": ";", "lua": "", "js": ""}


def best_time(command, path):
    best = None
    for _ in range(RUNS):
        start = time.perf_counter()
        subprocess.run(command + [path], check=True, stdout=subprocess.DEVNULL)
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
    return best


def measure(engines, folder, name, sources):
    times = {}
    for key, (command, ext) in engines.items():
        path = os.path.join(folder, f"{abs(hash(name))}.{ext}")
        with open(path, "w") as file:
            file.write(sources[ext])
        empty = os.path.join(folder, f"empty.{ext}")
        with open(empty, "w") as file:
            file.write(EMPTY[ext])
        times[key] = max(best_time(command, path) - best_time(command, empty), 1e-6)
    return times


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: compare_engines.py ZR5RUN")
    engines = {"zr5": ([sys.argv[1]], "zrs")}
    for tool, key, ext in (("lua5.4", "lua", "lua"), ("duk", "duk", "js")):
        if shutil.which(tool):
            engines[key] = ([tool], ext)
    header = f"{'program':28}" + "".join(f"{k + ' s':>10}" for k in engines)
    header += "".join(f"{'zr5/' + k:>10}" for k in engines if k != "zr5")
    print(header)
    with tempfile.TemporaryDirectory() as folder:
        for name, sources in PROGRAMS.items():
            times = measure(engines, folder, name, sources)
            line = f"{name:28}" + "".join(f"{times[k]:10.3f}" for k in engines)
            line += "".join(f"{times['zr5'] / times[k]:10.1f}" for k in engines if k != "zr5")
            print(line, flush=True)


if __name__ == "__main__":
    main()
