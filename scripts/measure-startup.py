#!/usr/bin/env python3
"""Measures what starting Vantrel costs: CPU until it settles, threads, and where its memory goes.

usage (X11 needed; RelWithDebInfo build without sanitizers):
  xvfb-run -a dbus-run-session -- python3 scripts/measure-startup.py build/release/vantrel [--dock-items N] [runs] [settle seconds]

Each run starts Vantrel on a profile of its own (HOME and the XDG folders in a temporary folder),
alternating a fresh profile with one whose onboarding is completed, so that both see the same
load on the machine. With --dock-items N the two profiles are instead both onboarded with the
replacement Dock on: one with an empty Dock, one with N pinned items (applications, folders and
websites in turn). After `settle seconds` (default 4) it reads
  CPU      CPU time of the whole process, every thread it ever had;
  threads  the threads alive and their names;
  memory   RSS, PSS, private and anonymous memory (heap, anonymous mappings and stacks: what the
           process itself allocated), and PSS by kind of mapping: heap, anonymous mappings
           (large allocations: images and pixel buffers), stacks, Qt libraries, other libraries,
           the executable, fonts, shared memory (window buffers) and the rest.
then ends the process with SIGTERM. Medians of every figure per profile are printed at the end.
"""
import json, os, re, shutil, signal, statistics, subprocess, sys, tempfile, time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from measuring import private_runtime_dir, process_clock, thread_names  # noqa: E402

PROFILES = {
    "fresh": None,
    "completed": '{"onboarding.complete": true}',
}
DOCK = '{"onboarding.complete": true, "dock.customEnabled": true}'


def dock_items(count, home):
    """`count` Dock items: the installed applications, folders in the profile and websites, in turn."""
    apps = sorted(os.path.join("/usr/share/applications", n) for n in os.listdir("/usr/share/applications")
                  if n.endswith(".desktop"))
    items = []
    for i in range(count):
        kind = ("application", "folder", "website")[i % 3] if apps else ("folder", "website")[i % 2]
        if kind == "application":
            target = apps[(i // 3) % len(apps)]
        elif kind == "folder":
            target = os.path.join(home, f"folder-{i}")
            os.makedirs(target)
        else:
            target = f"https://site-{i}.example.org"
        items.append({"id": f"00000000-0000-4000-8000-{i:012X}", "title": f"Item {i}", "target": target,
                      "kind": kind})
    return items


def kind(path, binary):
    if path == "[heap]":
        return "heap"
    if path == "":
        return "anonymous"
    if path.startswith("[stack"):
        return "stacks"
    if path.startswith("["):
        return "other"
    if os.path.realpath(path) == os.path.realpath(binary):
        return "executable"
    name = os.path.basename(path)
    if name.startswith("libQt6"):
        return "Qt libraries"
    if ".so" in name:
        return "other libraries"
    if re.search(r"\.(ttf|otf|ttc|pfb|pcf(\.gz)?)$", name, re.I) or "/fonts/" in path:
        return "fonts"
    if path.startswith("/SYSV") or path.startswith("/dev/shm") or "memfd:" in path:
        return "shared memory"
    return "other"


def smaps(pid, binary):
    """PSS in kB by kind of mapping, and the rollup's totals."""
    by_kind, path = {}, None
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            head = line.split()
            if re.match(r"^[0-9a-f]+-[0-9a-f]+ ", line):
                path = line.split(None, 5)[5].strip() if len(head) > 5 else ""
                if path.endswith("(deleted)"):
                    path = path[: -len("(deleted)")].strip()
            elif head[0] == "Pss:":
                k = kind(path, binary)
                by_kind[k] = by_kind.get(k, 0) + int(head[1])
    totals = {}
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            head = line.split()
            if head[0] in ("Rss:", "Pss:", "Private_Clean:", "Private_Dirty:", "Anonymous:"):
                totals[head[0][:-1]] = int(head[1])
    totals["Private"] = totals.pop("Private_Clean", 0) + totals.pop("Private_Dirty", 0)
    return by_kind, totals


def run(binary, profile, settle, defaults, items=0):
    home = tempfile.mkdtemp(prefix="vantrel-startup-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config", XDG_DATA_HOME=home + "/.local/share",
               XDG_CACHE_HOME=home + "/.cache", XDG_RUNTIME_DIR=private_runtime_dir(home))
    if defaults is not None:
        folder = env["XDG_CONFIG_HOME"] + "/Vantrel/defaults"
        os.makedirs(folder)
        with open(folder + "/com.vantrel.mac.json", "w") as f:
            f.write(defaults)
    if items:
        data = env["XDG_DATA_HOME"] + "/Vantrel"
        os.makedirs(data)
        with open(data + "/dock-shortcuts.json", "w") as f:
            json.dump(dock_items(items, home), f)
    proc = subprocess.Popen([binary], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        clock = process_clock(proc.pid)
        time.sleep(settle)
        cpu = time.clock_gettime_ns(clock) / 1e6
        threads = thread_names(proc.pid)
        by_kind, totals = smaps(proc.pid, binary)
    finally:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
        shutil.rmtree(home, ignore_errors=True)
    figures = {"CPU ms": cpu, "threads": len(threads)}
    figures.update({f"{k} MB": v / 1024 for k, v in totals.items()})
    figures.update({f"PSS {k} MB": v / 1024 for k, v in by_kind.items()})
    return figures, threads


def main():
    args = sys.argv[1:]
    items = 0
    if "--dock-items" in args:
        at = args.index("--dock-items")
        items = int(args[at + 1])
        del args[at : at + 2]
    binary = args[0]
    runs = int(args[1]) if len(args) > 1 else 5
    settle = float(args[2]) if len(args) > 2 else 4
    profiles = {p: (d, 0) for p, d in PROFILES.items()}
    if items:
        profiles = {"empty Dock": (DOCK, 0), f"{items} items": (DOCK, items)}
    results = {p: [] for p in profiles}
    for i in range(runs):
        for profile, (defaults, count) in profiles.items():
            figures, threads = run(binary, profile, settle, defaults, count)
            results[profile].append(figures)
            print(f"run {i + 1} {profile}: CPU {figures['CPU ms']:.1f} ms, PSS {figures['Pss MB']:.1f} MB, "
                  f"anonymous {figures['Anonymous MB']:.1f} MB, "
                  f"threads: {' '.join(threads)}", flush=True)
    keys = sorted({k for rs in results.values() for r in rs for k in r},
                  key=lambda k: (not k.startswith(("CPU", "threads", "Rss", "Pss", "Private", "Anonymous")), k))
    print(f"\nmedian of {runs}" + "".join(f"{p:>12}" for p in profiles))
    for key in keys:
        values = [statistics.median(r.get(key, 0) for r in results[p]) for p in profiles]
        print(f"{key:<28}" + "".join(f"{v:12.1f}" for v in values))


if __name__ == "__main__":
    main()
