#!/usr/bin/env python3
"""Mutation check of the test suites: a developer tool, not part of CI.

Each entry of the mutant list (tools/mutants.txt) is one realistic single fault: a file, an exact
piece of its text and what replaces it. The tool keeps a copy of the source tree in its own build
folder (build/mutate/src, rebuilt from the working tree at every start, so an interrupted run
never leaves a fault behind and the working tree is never written), builds it once, runs the
suites on it unmutated, then for each mutant: applies it to the copy, rebuilds incrementally,
runs the suites, puts the file back. A mutant is killed when a test fails or times out, survives
when every test passes, and is a build error when it does not compile. The score per area and
overall is killed / (killed + survived). A failing test kills a mutant only when it fails twice
more when run alone, so that an end-to-end test that fails now and then on a loaded machine does
not count as a kill.

The suites are the default preset's ctest (start Xvfb and set DISPLAY first: the x11 backend's
tests need a display) less the end-to-end tests that drive the demo and the picture-button example
with xdotool (X11DemoTest.*, picture_buttons_e2e): they are the slowest third of the run, and on a
machine shared with other builds one of them fails now and then for want of time, which would
make every mutant cost minutes of reruns. Scores without them are a lower bound.

Usage: nice tools/mutate.py [--list FILE] [--only ID_OR_AREA ...] [--jobs N] [--source DIR]
  e.g. the score of the last commit's tests: git archive HEAD | tar -x -C /tmp/tree, then
  tools/mutate.py --source /tmp/tree
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = SRC = BUILD = ""


def set_work(work):
    global WORK, SRC, BUILD
    WORK = os.path.abspath(work)
    SRC, BUILD = os.path.join(WORK, "src"), os.path.join(WORK, "build")

# Areas grouped by subsystem, as the score is reported.
GROUPS = {
    "entry": "entry, scene, frame, lifecycle", "scene": "entry, scene, frame, lifecycle",
    "frame": "entry, scene, frame, lifecycle", "lifecycle": "entry, scene, frame, lifecycle",
    "winmodel": "entry, scene, frame, lifecycle", "x11window": "entry, scene, frame, lifecycle",
    "msgbox": "entry, scene, frame, lifecycle",
    "pump": "pump, navigation, status bar, button", "x11input": "pump, navigation, status bar, button",
    "queue": "pump, navigation, status bar, button",
    "navigation": "pump, navigation, status bar, button",
    "statusbar": "pump, navigation, status bar, button",
    "button": "pump, navigation, status bar, button",
    "texture": "textures, ramp, palettes, regions", "ramp": "textures, ramp, palettes, regions",
    "palette": "textures, ramp, palettes, regions", "region": "textures, ramp, palettes, regions",
    "bmpfile": "textures, ramp, palettes, regions", "textfile": "textures, ramp, palettes, regions",
    "projection": "render, cartoon, fog, text, geometry",
    "lights": "render, cartoon, fog, text, geometry",
    "cartoon": "render, cartoon, fog, text, geometry", "fog": "render, cartoon, fog, text, geometry",
    "text": "render, cartoon, fog, text, geometry", "geometry": "render, cartoon, fog, text, geometry",
}


class Mutant:
    def __init__(self, mid, area, what, path):
        self.id, self.area, self.what, self.path = mid, area, what, path
        self.old, self.new = [], []


def parse(list_file):
    """Entries: '[area] id: description', 'file: path', '- old line'..., '+ new line'..."""
    mutants, cur = [], None
    with open(list_file, encoding="utf-8") as f:
        for n, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            m = re.match(r"^\[(\w+)\] ([\w.-]+): (.*)$", line)
            if m:
                cur = Mutant(m.group(2), m.group(1), m.group(3), None)
                mutants.append(cur)
            elif line.startswith("file: ") and cur:
                cur.path = line[6:].strip()
            elif line.startswith("-") and cur:
                cur.old.append(line[2:] if line.startswith("- ") else line[1:])
            elif line.startswith("+") and cur:
                cur.new.append(line[2:] if line.startswith("+ ") else line[1:])
            else:
                sys.exit(f"{list_file}:{n}: cannot read '{line}'")
    ids = [m.id for m in mutants]
    dup = {i for i in ids if ids.count(i) > 1}
    if dup:
        sys.exit(f"duplicate mutant ids: {sorted(dup)}")
    for m in mutants:
        if not m.path or not m.old:
            sys.exit(f"mutant {m.id}: needs a file and an original text")
        if m.area not in GROUPS:
            sys.exit(f"mutant {m.id}: unknown area {m.area}")
    return mutants


def tree_files(source):
    """The files of a git working tree (tracked, or untracked and not ignored), or of a plain
    folder (all of them, for a tree exported with git archive)."""
    if not os.path.exists(os.path.join(source, ".git")):
        return [os.path.relpath(os.path.join(b, n), source)
                for b, _, names in os.walk(source) for n in names]
    out = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=source,
                         check=True, capture_output=True).stdout.decode()
    return [p for p in out.split("\0") if p and os.path.isfile(os.path.join(source, p))]


def sync_copy(source):
    """Makes SRC equal to SOURCE; files already equal keep their time stamps."""
    wanted = set(tree_files(source))
    for rel in wanted:
        src, dst = os.path.join(source, rel), os.path.join(SRC, rel)
        with open(src, "rb") as f:
            data = f.read()
        if os.path.exists(dst):
            with open(dst, "rb") as f:
                if f.read() == data:
                    continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copy2(src, dst)
    for base, _, files in os.walk(SRC):
        for name in files:
            rel = os.path.relpath(os.path.join(base, name), SRC)
            if rel not in wanted:
                os.remove(os.path.join(base, name))


CHILD = {}


def run(cmd, timeout, log, mode="w"):
    """Runs CMD in its own process group (ended with it on a timeout or an interrupt)."""
    with open(log, mode) as out:
        p = subprocess.Popen(cmd, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
        CHILD["p"] = p
        try:
            return p.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(p.pid, signal.SIGKILL)
            p.wait()
            return "timeout"
        finally:
            CHILD.clear()


def build(jobs, log):
    return run(["cmake", "--build", BUILD, "-j", str(jobs)], 1800, log)


LEFT_OUT = "^X11DemoTest\\.|^picture_buttons_e2e$"


def ctest(jobs, log, *extra):
    return run(["ctest", "--test-dir", BUILD, "-j", str(jobs), "--timeout", "120", "-E", LEFT_OUT,
                "--output-on-failure", *extra], 1200, log, "a")


def failures(log):
    """The tests that failed in the ctest run whose output ends LOG, in the order reported."""
    with open(log, errors="replace") as f:
        text = f.read().split("Test project")[-1]
    return re.findall(r"^\s*\d+ - (\S+) \(", text.split("The following tests FAILED:")[-1],
                      re.M) if "The following tests FAILED:" in text else []


def test(jobs, log):
    """Which test kills the mutant, or None. The run stops at its first failure; a failing test
    counts only when it fails twice more on its own, so a test that fails now and then under
    load does not kill anything (the rest are then run to the end)."""
    open(log, "w").close()
    rc = ctest(jobs, log, "--stop-on-failure")
    if rc == 0:
        return None

    def confirmed(name):
        return all(ctest(1, log, "-R", "^" + re.escape(name) + "$") not in (0,)
                   for _ in range(2))

    failed = failures(log)
    if failed and confirmed(failed[0]):
        return failed[0]
    if rc == "timeout":
        return "timeout"
    ctest(jobs, log)
    for name in failures(log):
        if confirmed(name):
            return name
    return None


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--list", default=os.path.join(ROOT, "tools", "mutants.txt"))
    ap.add_argument("--only", nargs="*", help="mutant ids or areas")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--work", default=os.path.join(ROOT, "build", "mutate"),
                    help="folder for the copy, its build and the logs")
    ap.add_argument("--results", help="table of the outcomes (default: WORK/results.tsv)")
    ap.add_argument("--source", default=ROOT,
                    help="tree to mutate (default: this working tree; for an earlier commit, "
                         "a folder made with git archive)")
    args = ap.parse_args()
    set_work(args.work)
    args.results = args.results or os.path.join(WORK, "results.tsv")

    mutants = parse(args.list)
    if args.only:
        mutants = [m for m in mutants if m.id in args.only or m.area in args.only]
    os.makedirs(SRC, exist_ok=True)
    os.makedirs(os.path.join(WORK, "logs"), exist_ok=True)
    sync_copy(os.path.abspath(args.source))
    if not os.path.exists(os.path.join(BUILD, "CMakeCache.txt")):
        subprocess.run(["cmake", "-S", SRC, "-B", BUILD, "-DCMAKE_BUILD_TYPE=RelWithDebInfo"],
                       check=True, stdout=subprocess.DEVNULL)

    # Every mutant must apply exactly once, checked before anything is built.
    for m in mutants:
        with open(os.path.join(SRC, m.path), encoding="utf-8") as f:
            count = f.read().count("\n".join(m.old))
        if count != 1:
            sys.exit(f"mutant {m.id}: its text occurs {count} times in {m.path}")

    logs = os.path.join(WORK, "logs")
    print("baseline: building and testing the unmutated copy", flush=True)
    if build(args.jobs, os.path.join(logs, "baseline-build.log")) != 0:
        sys.exit("the unmutated tree does not build; see " + logs)
    if test(args.jobs, os.path.join(logs, "baseline-test.log")) is not None:
        sys.exit("the unmutated tree fails its tests; see " + logs)

    results, current = [], {}

    def restore():
        if current:
            with open(current["path"], "w", encoding="utf-8") as f:
                f.write(current["text"])
            current.clear()

    def interrupted(signum, _frame):
        if "p" in CHILD:
            os.killpg(CHILD["p"].pid, signal.SIGKILL)
        restore()
        sys.exit(f"interrupted by signal {signum}; the copy is restored")

    signal.signal(signal.SIGINT, interrupted)
    signal.signal(signal.SIGTERM, interrupted)

    for i, m in enumerate(mutants, 1):
        path = os.path.join(SRC, m.path)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        current.update(path=path, text=text)
        t0 = time.time()
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(text.replace("\n".join(m.old), "\n".join(m.new), 1))
            blog = os.path.join(logs, f"{m.id}-build.log")
            tlog = os.path.join(logs, f"{m.id}-test.log")
            failed = ""
            if build(args.jobs, blog) != 0:
                status = "build-error"
            else:
                failed = test(args.jobs, tlog) or ""
                status = "killed" if failed else "survived"
        finally:
            restore()
        secs = time.time() - t0
        results.append((m, status, failed))
        print(f"[{i}/{len(mutants)}] {m.id:28} {status:11} {secs:5.0f}s  {failed}", flush=True)

    # The copy holds the unmutated sources again; rebuild it so the next run starts clean.
    build(args.jobs, os.path.join(logs, "final-build.log"))

    with open(args.results, "w") as f:
        f.write("id\tarea\tstatus\tfirst failing test\tdescription\n")
        for m, status, failed in results:
            f.write(f"{m.id}\t{m.area}\t{status}\t{failed}\t{m.what}\n")

    def score(rows):
        k = sum(1 for _, s, _ in rows if s == "killed")
        s = sum(1 for _, st, _ in rows if st == "survived")
        e = sum(1 for _, st, _ in rows if st == "build-error")
        pct = 100.0 * k / (k + s) if k + s else 0.0
        return f"{k:3} killed {s:3} survived {e:2} build errors  {pct:5.1f} %"

    print("\nby area:")
    for area in sorted({m.area for m, _, _ in results}):
        print(f"  {area:12} {score([r for r in results if r[0].area == area])}")
    print("by group:")
    for group in sorted(set(GROUPS.values())):
        rows = [r for r in results if GROUPS[r[0].area] == group]
        if rows:
            print(f"  {group:40} {score(rows)}")
    print(f"overall: {score(results)}")
    survivors = [r for r in results if r[1] == "survived"]
    if survivors:
        print("survivors:")
        for m, _, _ in survivors:
            print(f"  {m.id:28} [{m.area}] {m.what}")
    print(f"results: {args.results}")


if __name__ == "__main__":
    main()
