#!/usr/bin/env python3
"""Measures what an idle Vantrel costs, the way a user's session would see it.

usage (X11 needed; xclip for the copy test; Release build):
  xvfb-run -a dbus-run-session -- python3 scripts/measure-idle.py build/release/vantrel [idle seconds] [copies]

Each run starts Vantrel on a fresh profile (HOME and the XDG folders in a temporary folder) and prints
  start-up CPU     CPU time of the process once it has settled (4 s after launch): every live thread,
                   to the nanosecond, and in clock ticks with the children it has reaped;
  idle wake-ups    voluntary context switches of the main thread over the idle window, per minute;
  idle CPU         CPU time of the whole process over the idle window, per minute;
  copy latency     from handing a text to xclip until "clipboard.json" holds it, median and maximum.
A window shorter than a minute is scaled to a minute.
"""
import os, shutil, signal, statistics, subprocess, sys, tempfile, time


def cpu_ms(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = sum(int(fields[i]) for i in (11, 12, 13, 14))  # utime stime cutime cstime
    precise = 0
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                precise += int(f.read().split()[0])
        except OSError:
            pass  # the thread ended meanwhile
    return ticks * 1000 / os.sysconf("SC_CLK_TCK"), precise / 1e6


def main_thread_switches(pid):
    with open(f"/proc/{pid}/task/{pid}/status") as f:
        return {k: int(v) for k, v in (l.split(":") for l in f if "ctxt_switches" in l)}


def thread_names(pid):
    names = []
    for tid in sorted(os.listdir(f"/proc/{pid}/task"), key=int):
        with open(f"/proc/{pid}/task/{tid}/comm") as f:
            names.append(f.read().strip())
    return names


def copy_latencies(env, copies):
    path = env["XDG_DATA_HOME"] + "/Vantrel/clipboard.json"
    latencies = []
    for i in range(copies):
        text = f"measure-{i}-{time.time_ns()}".encode()
        start = time.perf_counter()
        subprocess.run(["xclip", "-selection", "clipboard"], input=text, env=env, check=True)
        arrived = None
        while arrived is None and time.perf_counter() - start < 2.0:
            try:
                with open(path, "rb") as f:
                    if text in f.read():
                        arrived = (time.perf_counter() - start) * 1000
            except OSError:
                pass
            time.sleep(0.0005)
        latencies.append(arrived)
        time.sleep(0.3)
    return latencies


def main():
    binary = sys.argv[1]
    idle_seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 60
    copies = int(sys.argv[3]) if len(sys.argv) > 3 else 15
    home = tempfile.mkdtemp(prefix="vantrel-measure-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config", XDG_DATA_HOME=home + "/.local/share",
               XDG_CACHE_HOME=home + "/.cache", XDG_RUNTIME_DIR=home + "/run")
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
    proc = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        pid = proc.pid
        time.sleep(4)
        ticks, precise = cpu_ms(pid)
        print(f"start-up CPU: {precise:.1f} ms (live threads); {ticks:.0f} ms (clock ticks, with reaped children)")
        print("threads:", " ".join(thread_names(pid)))

        before, cpu_before = main_thread_switches(pid), cpu_ms(pid)[1]
        time.sleep(idle_seconds)
        after, cpu_after = main_thread_switches(pid), cpu_ms(pid)[1]
        scale = 60 / idle_seconds
        woken = after["voluntary_ctxt_switches"] - before["voluntary_ctxt_switches"]
        print(f"idle wake-ups: {woken} in {idle_seconds:g} s = {woken * scale:.1f}/min (main thread); "
              f"idle CPU {(cpu_after - cpu_before) * scale:.2f} ms/min")

        if copies > 0:
            latencies = copy_latencies(env, copies)
            arrived = [l for l in latencies if l is not None]
            print("copy latency (ms):", " ".join(f"{l:.0f}" if l is not None else "lost" for l in latencies))
            if arrived:
                print(f"copy latency: {len(arrived)}/{copies} arrived; median {statistics.median(arrived):.1f} ms, "
                      f"max {max(arrived):.1f} ms")
    finally:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
