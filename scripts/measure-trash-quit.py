#!/usr/bin/env python3
"""How long Vantrel takes to end when it is told to quit while the Dock's Trash tile empties a
large Trash, and what the Trash holds afterwards.

usage (X11 needed; xdotool and xwininfo drive the Dock as a user would):
  xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- \\
      python3 scripts/measure-trash-quit.py build/release/vantrel [items] [runs]

Each run starts Vantrel on a profile of its own (onboarded, the replacement Dock shown and never
hiding) whose Trash holds `items` trashed files (default 100,000), each with its .trashinfo. It
opens the Trash tile's menu, chooses "Empty Trash…", confirms, sends SIGTERM one second later and
reads
  exit s    seconds from SIGTERM until the process has ended;
  deleted   items gone from the Trash;
  whole     whether every file left has its .trashinfo and every .trashinfo its file.
Medians are printed at the end.
"""
import os, re, shutil, signal, statistics, subprocess, sys, tempfile, time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from measuring import private_runtime_dir  # noqa: E402


def dock_geometry(deadline):
    """The Dock window's x, y, width and height, once it is shown."""
    while time.monotonic() < deadline:
        shown = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
        for line in shown.splitlines():
            if '"Vantrel Dock"' in line:
                m = re.search(r"(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s", line)
                if m:
                    w, h, x, y = map(int, m.groups())
                    return x, y, w, h
        time.sleep(0.2)
    raise RuntimeError("the Dock did not show")


def fill_trash(data_home, items):
    files, info = data_home + "/Trash/files", data_home + "/Trash/info"
    os.makedirs(files)
    os.makedirs(info)
    for i in range(items):
        with open(f"{info}/file-{i}.txt.trashinfo", "w") as f:
            f.write(f"[Trash Info]\nPath=/tmp/file-{i}.txt\nDeletionDate=2026-01-01T00:00:00\n")
        with open(f"{files}/file-{i}.txt", "w") as f:
            f.write("x")
    return files, info


def names(folder):
    return set(os.listdir(folder))


def run(binary, items):
    home = tempfile.mkdtemp(prefix="vantrel-trash-quit-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config", XDG_DATA_HOME=home + "/.local/share",
               XDG_CACHE_HOME=home + "/.cache", XDG_RUNTIME_DIR=private_runtime_dir(home), ASAN_OPTIONS="detect_leaks=0")
    os.makedirs(env["XDG_CONFIG_HOME"] + "/Vantrel/defaults")
    with open(env["XDG_CONFIG_HOME"] + "/Vantrel/defaults/com.vantrel.mac.json", "w") as f:
        f.write('{"onboarding.complete": true, "dock.customEnabled": true, "dock.autoHide": false, '
                '"dock.hideMode": "never"}')
    files, info = fill_trash(env["XDG_DATA_HOME"], items)
    proc = subprocess.Popen([binary], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        x, y, w, h = dock_geometry(time.monotonic() + 30)
        # The row's last tile is the Trash: right of the shelf tile, at the middle of the row.
        time.sleep(1)
        tile_x, tile_y = x + w // 2 + 28, y + h - 47
        subprocess.run(["xdotool", "mousemove", str(tile_x), str(tile_y), "click", "3"], check=True)
        time.sleep(0.5)
        subprocess.run(["xdotool", "key", "Down", "Down", "Return"], check=True)
        time.sleep(0.5)
        subprocess.run(["xdotool", "key", "Return"], check=True)
        time.sleep(1)
        proc.send_signal(signal.SIGTERM)
        told = time.monotonic()
        proc.wait(120)
        exit_seconds = time.monotonic() - told
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    left_files, left_info = names(files), names(info)
    whole = {n + ".trashinfo" for n in left_files} == left_info
    shutil.rmtree(home, ignore_errors=True)
    return {"exit s": exit_seconds, "deleted": items - len(left_files), "whole": whole}


def main():
    binary = sys.argv[1]
    items = int(sys.argv[2]) if len(sys.argv) > 2 else 100_000
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    results = []
    for i in range(runs):
        figures = run(binary, items)
        results.append(figures)
        print(f"run {i + 1}: exit {figures['exit s']:.2f} s, deleted {figures['deleted']} of {items}, "
              f"whole: {figures['whole']}", flush=True)
    print(f"\nmedian of {runs}: exit {statistics.median(r['exit s'] for r in results):.2f} s, "
          f"deleted {statistics.median(r['deleted'] for r in results):.0f}, "
          f"all whole: {all(r['whole'] for r in results)}")


if __name__ == "__main__":
    main()
