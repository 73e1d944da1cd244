#!/usr/bin/env python3
"""Puts single-line faults into the code one at a time and reports which ones
the test suite catches. Not run by CI: it rebuilds once per fault.

Each fault in scripts/mutants.txt is a block of three lines: a comment line
("# what goes wrong"), the file, then "- old text" and "+ new text" (the old
text must occur exactly once in the file). Blocks are separated by blank lines.

Usage: scripts/mutate.py [--build DIR] [--only SUBSTRING] [--tests REGEX] [--list FILE]
--only keeps the faults whose file or description holds the text; --tests runs
only the CTest tests whose names match.
"""
import argparse
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent


def read_mutants(path):
    mutants = []
    for block in path.read_text(encoding="utf-8").split("\n\n"):
        lines = [line for line in block.strip().splitlines() if line.strip()]
        if not lines:
            continue
        if len(lines) != 4 or not lines[0].startswith("#") or not lines[2].startswith("- ") \
                or not lines[3].startswith("+ "):
            sys.exit(f"malformed block in {path}:\n{block}")
        mutants.append({"what": lines[0][1:].strip(), "file": lines[1].strip(),
                        "old": lines[2][2:], "new": lines[3][2:]})
    return mutants


def run(command, **kwargs):
    return subprocess.run(command, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, **kwargs)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build-mutate")
    parser.add_argument("--only", default="")
    parser.add_argument("--tests", default="")
    parser.add_argument("--list", default="scripts/mutants.txt")
    args = parser.parse_args()
    build = ROOT / args.build
    mutants = [m for m in read_mutants(ROOT / args.list) if args.only in m["file"] + m["what"]]

    if not (build / "CMakeCache.txt").exists():
        run(["cmake", "-S", ".", "-B", str(build), "-G", "Ninja",
             "-DCMAKE_BUILD_TYPE=RelWithDebInfo"], check=True)
    if run(["cmake", "--build", str(build)]).returncode != 0:
        sys.exit("the unchanged tree does not build")

    caught = 0
    survivors = []
    for number, mutant in enumerate(mutants, 1):
        path = ROOT / mutant["file"]
        original = path.read_text(encoding="utf-8")
        if original.count(mutant["old"]) != 1:
            print(f"{number:3} SKIPPED  {mutant['file']}: old text found "
                  f"{original.count(mutant['old'])} times: {mutant['old']}")
            survivors.append(mutant)
            continue
        start = time.time()
        try:
            path.write_text(original.replace(mutant["old"], mutant["new"]), encoding="utf-8")
            built = run(["cmake", "--build", str(build)]).returncode == 0
            ctest = ["ctest", "--test-dir", str(build), "-LE", "long", "--timeout", "300",
                     "--parallel", "2"] + (["-R", args.tests] if args.tests else [])
            tested = built and run(ctest).returncode == 0
        finally:
            path.write_text(original, encoding="utf-8")
        killed = not tested
        verdict = "caught " if killed else "SURVIVED"
        if not built:
            verdict = "caught (build)"
        caught += killed
        if not killed:
            survivors.append(mutant)
        print(f"{number:3} {verdict:9} {time.time() - start:5.0f} s  {mutant['file']}: "
              f"{mutant['what']}", flush=True)
    run(["cmake", "--build", str(build)])
    print(f"\n{caught} of {len(mutants)} faults caught")
    for mutant in survivors:
        print(f"  survived: {mutant['file']}: {mutant['what']}")


if __name__ == "__main__":
    main()
