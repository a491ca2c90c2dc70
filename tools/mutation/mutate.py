#!/usr/bin/env python3
"""Mutation check: plants each fault of a list in the module, one at a time, rebuilds, runs the
tests of the fault's area and reports which test caught it, or that it survived. The test the
list expects to catch a fault runs first, alone; the rest of the area only if it passes.

It works on a copy of the source tree (build/mutation/tree) with builds and a Wine prefix of
its own, so the working tree is never left changed and other builds and test runs go on.

Usage: scripts/mutation.sh [--only M01,M07] [--list FILE] [--timeout SECONDS] [--commit REV]
                           [--work FOLDER]
The list is always the working tree's; --commit checks the module and tests of an earlier
commit against it (the before-and-after comparison of a change to the tests).
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass, field

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
# Each architecture's build has its own tests, named "<arch>.<suite>.<test>"; tests that only
# read files run once, in the x64 build, without the prefix.
ARCHES = ("x64", "x86")
DPIS = (96, 120, 144, 192)
WORK = os.path.join(ROOT, "build", "mutation")
TREE = os.path.join(WORK, "tree")


@dataclass
class Hunk:
    path: str
    original: list
    replacement: list


@dataclass
class Mutant:
    ident: str
    title: str
    labels: str = ""
    expect: str = ""
    arch: str = "x64"
    hunks: list = field(default_factory=list)


def parse_list(path):
    """Mutants in the list's format (see the head of mutants.txt)."""
    mutants = []
    current = None
    hunk = None
    path_of_hunks = None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            where = f"{path}:{number}"
            if line.startswith("## "):
                ident, _, title = line[3:].partition(" ")
                current = Mutant(ident, title.strip())
                mutants.append(current)
                hunk = None
                path_of_hunks = None
            elif not line.strip() or line.startswith("#"):
                continue
            elif current is None:
                sys.exit(f"{where}: text before the first mutant")
            elif line.startswith("labels:"):
                current.labels = line.split(":", 1)[1].strip()
            elif line.startswith("expect:"):
                current.expect = line.split(":", 1)[1].strip()
            elif line.startswith("arch:"):
                current.arch = line.split(":", 1)[1].strip()
                if current.arch not in ARCHES:
                    sys.exit(f"{where}: arch is one of {', '.join(ARCHES)}")
            elif line.startswith("file:"):
                path_of_hunks = line.split(":", 1)[1].strip()
                hunk = None
            elif line.startswith("@@"):
                hunk = None
            elif line[:1] in "-+":
                if path_of_hunks is None:
                    sys.exit(f"{where}: a change before its file: line")
                text = line[1:]
                if text.startswith(" "):
                    text = text[1:]
                if line[0] == "-":
                    if hunk is None or hunk.replacement:
                        hunk = Hunk(path_of_hunks, [], [])
                        current.hunks.append(hunk)
                    hunk.original.append(text)
                else:
                    if hunk is None:
                        sys.exit(f"{where}: an added line without the lines it replaces")
                    hunk.replacement.append(text)
            else:
                sys.exit(f"{where}: cannot read this line")
    idents = [m.ident for m in mutants]
    for m in mutants:
        if not m.hunks or not m.labels:
            sys.exit(f"{path}: {m.ident} needs labels and at least one change")
        if idents.count(m.ident) > 1:
            sys.exit(f"{path}: {m.ident} is listed twice")
    return mutants


def apply_hunk(text, hunk):
    """The file's text with the hunk applied; lines are compared without their indentation."""
    lines = text.split("\n")
    wanted = [s.strip() for s in hunk.original]
    found = [
        i
        for i in range(len(lines) - len(wanted) + 1)
        if all(lines[i + k].strip() == wanted[k] for k in range(len(wanted)))
    ]
    if len(found) != 1:
        how = "not found" if not found else f"found {len(found)} times"
        raise ValueError(f"{hunk.path}: '{wanted[0]}' {how}")
    at = found[0]
    indent = lines[at][: len(lines[at]) - len(lines[at].lstrip())]
    new = [indent + r if r.strip() else r for r in hunk.replacement]
    return "\n".join(lines[:at] + new + lines[at + len(wanted) :])


def source_files(commit):
    """The files of the working tree (tracked and new), or of `commit`:
    path -> (bytes, executable)."""
    def git(*args):
        return subprocess.run(["git", *args], cwd=ROOT, check=True, capture_output=True).stdout

    files = {}
    if commit:
        for entry in git("ls-tree", "-r", "-z", commit).decode().split("\0"):
            if not entry:
                continue
            meta, path = entry.split("\t", 1)
            # As a checkout has it: with the line ends .gitattributes asks for.
            files[path] = (git("cat-file", "--filters", f"{commit}:{path}"),
                           meta.split()[0] == "100755")
        return files
    for path in git("ls-files", "-z", "-co", "--exclude-standard").decode().split("\0"):
        full = os.path.join(ROOT, path)
        if path and os.path.isfile(full):
            with open(full, "rb") as f:
                files[path] = (f.read(), os.access(full, os.X_OK))
    return files


def sync_tree(commit):
    """Copies the working tree (or a commit of it) into TREE, touching only files that differ,
    so that builds stay warm."""
    files = source_files(commit)
    keep = set(files)
    for path, (data, executable) in files.items():
        target = os.path.join(TREE, path)
        if os.path.exists(target):
            with open(target, "rb") as f:
                if f.read() == data:
                    continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data)
        os.chmod(target, 0o755 if executable else 0o644)
    for folder, dirs, names in os.walk(TREE):
        relative = os.path.relpath(folder, TREE)
        if relative == "build" or relative.startswith("build" + os.sep) or relative.startswith(".git"):
            dirs[:] = []
            continue
        if relative == ".":
            dirs[:] = [d for d in dirs if d not in ("build", ".git")]
        for name in names:
            path = os.path.normpath(os.path.join(relative, name))
            if path not in keep:
                os.remove(os.path.join(folder, name))


def run(command, log, **kwargs):
    with open(log, "w") as out:
        return subprocess.run(command, cwd=TREE, stdout=out, stderr=subprocess.STDOUT, **kwargs).returncode


def name_pattern(names):
    """A CTest regex that matches exactly these test names, with or without their
    architecture (a parameterised test's name goes on with a comment after a blank)."""
    return ("^(" + "|".join(a + r"\." for a in ARCHES) + ")?(" +
            "|".join(re.escape(name) for name in names) + ")( |$)")


def without_arch(name):
    for arch in ARCHES:
        if name.startswith(arch + "."):
            return name[len(arch) + 1:]
    return name


def arch_targets(arch, labels, only=None):
    """The targets of the architecture's build that the labels' tests (`only` among them) run:
    the module, the stand-ins, the host and its configuration, and the test programs named in
    the tests' commands. Asked of the build folder after the unchanged tree's full build, when
    its targets and tests are current."""
    build_dir = os.path.join(TREE, "build", arch)
    known = subprocess.run(["cmake", "--build", build_dir, "--target", "help"],
                           capture_output=True, text=True).stdout
    known = set(re.findall(r"^\.\.\. (\S+)", known, re.M))
    query = ["ctest", "--test-dir", build_dir, "-N", "-L", labels, "--show-only=json-v1"]
    if only:
        query += ["-R", name_pattern(only)]
    tests = subprocess.run(query, capture_output=True, text=True).stdout
    wanted = {"Setting", "SettingHost", "standins", "setting_config"}
    for test in json.loads(tests or "{}").get("tests", []):
        for word in test.get("command", []):
            stem = os.path.splitext(os.path.basename(word))[0]
            if word.startswith(build_dir) and stem in known:
                wanted.add(stem)
    return sorted(wanted & known)


# Warnings stay warnings: a fault is to be caught by a test, not by the compiler's strictness.
# No debug information: the same code, compiled and above all linked in a fraction of the time.
# Through ccache (its cache in the work folder): when a fault's source is put back, what
# includes it is not compiled a second time, and a fault planted again compiles from the cache.
CMAKE_ARGS = ["-DSETTING_WERROR=OFF", "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2",
              "-DCMAKE_C_COMPILER_LAUNCHER=ccache", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"]


def configure_builds():
    """Builds of the copy configured before keep their cache: the options are set again."""
    for arch in ARCHES:
        folder = os.path.join(TREE, "build", arch)
        if os.path.exists(os.path.join(folder, "CMakeCache.txt")):
            run(["cmake", "-S", ".", "-B", folder, *CMAKE_ARGS],
                os.path.join(WORK, "logs", f"configure-{arch}.log"))


def build(log, arch, labels, targets=None, both=True):
    """The architecture's build (only `targets` when given), the native tables of the
    settings model, and, unless `both` is false, the other architecture's module where the
    tests read it (the binaries' tables)."""
    env = dict(os.environ, SETTING_CMAKE_ARGS=" ".join(CMAKE_ARGS))
    if run(["scripts/build.sh", "native"], f"{log}.native", env=env) != 0:
        return False
    if targets:
        command = ["cmake", "--build", f"build/{arch}", "-j", str(os.cpu_count()), "--target",
                   *targets]
        if run(command, f"{log}.{arch}", env=env) != 0:
            return False
    elif run(["scripts/build.sh", arch], f"{log}.{arch}", env=env) != 0:
        return False
    if not both or "records" not in labels.split("|"):
        return True
    other = "x86" if arch == "x64" else "x64"
    return run(["scripts/build.sh", other], f"{log}.{other}", env=env) == 0


# "  12 - Suite.Test (Failed)"; a parameterised test's name is followed by "# GetParam() = ...".
FAILED = re.compile(r"^\s*\d+ - (\S+).* \((Failed|Timeout|Exception|Not Run|SEGFAULT|Subprocess aborted)[^)]*\)\s*$")


def run_tests(arch, labels, timeout, log, stop_on_failure=True, only=None, besides=None):
    """The names of the failed tests of the architecture's build with the labels (of `only`
    among them, one at a time; all but `besides`), without the architecture; None when no
    test matched."""
    command = ["scripts/with-display", "--all-prefixes", "ctest", "--test-dir", f"build/{arch}",
               "-L", labels,
               "--timeout", str(timeout), "--output-on-failure"]
    if only:
        command += ["-R", name_pattern(only)]
    else:
        command += ["-j", str(os.cpu_count())]
    if besides:
        command += ["-E", name_pattern(besides)]
    if stop_on_failure:
        command.append("--stop-on-failure")
    env = dict(os.environ, SETTING_WINEPREFIX=os.path.join(TREE, "build", "wineprefix"))
    run(command, log, env=env)
    with open(log, errors="replace") as f:
        text = f.read()
    if "No tests were found" in text:
        return None
    return [without_arch(m.group(1)) for m in map(FAILED.match, text.splitlines()) if m]


def check(mutant, timeout, log):
    """("caught", by what) or ("survived", why) for a planted fault. The test the list expects
    to catch it runs first, alone, with only what it needs built; the rest of the area's tests
    run only when it does not catch the fault, and a failure among them counts only if it
    happens again when the test runs alone. Each step builds only what its tests run: a
    fault in a shared header would otherwise rebuild the benchmark and the tools too."""
    arch = mutant.arch
    expected = [mutant.expect] if mutant.expect else []
    if expected:
        targets = arch_targets(arch, mutant.labels, expected)
        if not build(log + "-build.log", arch, mutant.labels, targets, both=False):
            return "caught", "the build"
        failed = run_tests(arch, mutant.labels, timeout, log + "-expected.log", only=expected)
        if failed:
            return "caught", failed[0]
        if failed is None:
            print(f"{mutant.ident}: no test {mutant.expect} labelled {mutant.labels}", flush=True)
    if not build(log + "-build-all.log", arch, mutant.labels, arch_targets(arch, mutant.labels)):
        return "caught", "the build"
    failed = run_tests(arch, mutant.labels, timeout, log + "-tests.log", stop_on_failure=False,
                       besides=expected)
    if failed:
        # What fails here must fail again alone: a test that failed only because the machine
        # was busy has not caught anything.
        failed = run_tests(arch, mutant.labels, timeout, log + "-again.log", only=failed)
    if failed:
        return "caught", failed[0] + (" (not the expected test)" if expected else "")
    if failed is None and not expected:
        return "survived", f"(no test labelled {mutant.labels})"
    return "survived", ""


def prepare_prefixes(arches):
    """The copy's Wine prefixes: its own project prefix (a copy of the working tree's when that
    is ready) and the tests' prefixes of each architecture, made before the X servers start so
    that each gets one of its own."""
    prefix = os.path.join(TREE, "build", "wineprefix")
    main = os.path.join(ROOT, "build", "wineprefix")
    ready = ".setting-prefix-ready"
    if not os.path.exists(os.path.join(prefix, ready)) and os.path.exists(os.path.join(main, ready)):
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=main),
                       stderr=subprocess.DEVNULL)
        shutil.rmtree(prefix, ignore_errors=True)
        shutil.copytree(main, prefix, symlinks=True)
    env = dict(os.environ, SETTING_WINEPREFIX=prefix)
    subprocess.run(["scripts/setup.sh", "prefix"], cwd=TREE, check=True, env=env)
    for arch in arches:
        for dpi in DPIS:
            subprocess.run(["scripts/setup.sh", "prefix-for", arch, str(dpi)], cwd=TREE,
                           check=True, env=env)


def main():
    global WORK, TREE
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--list", default=os.path.join(ROOT, "tools", "mutation", "mutants.txt"))
    parser.add_argument("--only", default="", help="comma-separated mutant ids")
    parser.add_argument("--timeout", type=int, default=60, help="seconds per test")
    parser.add_argument("--work", default=WORK,
                        help="folder of the copy of the tree, its builds and logs (two checks "
                             "can run side by side in two folders)")
    parser.add_argument("--commit", default="",
                        help="check the tests of this commit instead of the working tree")
    args = parser.parse_args()
    WORK = os.path.abspath(args.work)
    TREE = os.path.join(WORK, "tree")
    os.environ["CCACHE_DIR"] = os.path.join(WORK, "ccache")

    mutants = parse_list(args.list)
    if args.only:
        chosen = set(args.only.split(","))
        mutants = [m for m in mutants if m.ident in chosen]
    os.makedirs(os.path.join(TREE, "build"), exist_ok=True)
    logs = os.path.join(WORK, "logs")
    os.makedirs(logs, exist_ok=True)
    sync_tree(args.commit)
    arches = sorted({m.arch for m in mutants})
    prepare_prefixes(arches)

    # Every mutant must apply to the tree as it is, before anything is built.
    for m in mutants:
        texts = {}
        try:
            for h in m.hunks:
                if h.path not in texts:
                    with open(os.path.join(TREE, h.path), encoding="utf-8") as f:
                        texts[h.path] = f.read()
                texts[h.path] = apply_hunk(texts[h.path], h)
        except (ValueError, OSError) as error:
            sys.exit(f"{m.ident}: {error}")

    start = time.time()
    print(f"mutation check: {len(mutants)} faults; building the unchanged tree", flush=True)
    configure_builds()
    for arch in arches:
        labels = "|".join(sorted({l for m in mutants if m.arch == arch
                                  for l in m.labels.split("|")}))
        if not build(os.path.join(logs, "baseline-build.log"), arch, labels + "|records"):
            sys.exit(f"the unchanged tree does not build: {logs}/baseline-build.log.* and build/logs/ of the copy")
        log = os.path.join(logs, f"baseline-tests-{arch}.log")
        failed = run_tests(arch, labels, args.timeout, log, False)
        if failed:
            # Once more, alone: a test that failed only because the machine was busy passes now.
            failed = run_tests(arch, labels, args.timeout,
                               os.path.join(logs, f"baseline-tests-{arch}-again.log"), False,
                               only=failed)
        if failed:
            sys.exit(f"{arch} tests fail without any fault planted: {', '.join(failed)}")

    caught = survived = 0
    for m in mutants:
        originals = {}
        for h in m.hunks:
            full = os.path.join(TREE, h.path)
            if h.path not in originals:
                with open(full, encoding="utf-8") as f:
                    originals[h.path] = f.read()
        changed = dict(originals)
        for h in m.hunks:
            changed[h.path] = apply_hunk(changed[h.path], h)
        began = time.time()
        try:
            for path, text in changed.items():
                with open(os.path.join(TREE, path), "w", encoding="utf-8") as f:
                    f.write(text)
            verdict, by = check(m, args.timeout, os.path.join(logs, m.ident))
        finally:
            for path, text in originals.items():
                with open(os.path.join(TREE, path), "w", encoding="utf-8") as f:
                    f.write(text)
        if verdict == "caught":
            caught += 1
        else:
            survived += 1
        seconds = int(time.time() - began)
        print(f"{m.ident:<5} {verdict:<8} {by:<60} {seconds:>4}s  {m.title}", flush=True)

    minutes = (time.time() - start) / 60
    print(f"caught {caught} of {len(mutants)}, survived {survived} ({minutes:.0f} min)")
    # The tree is left unchanged; the next build of it rebuilds what the last fault touched.


if __name__ == "__main__":
    main()
