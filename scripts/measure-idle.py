#!/usr/bin/env python3
"""Measures what an idle Vantrel costs, the way a user's session would see it.

usage (X11 needed; xclip for the copy test, xdotool for --dock and --sweep; Release build):
  xvfb-run -a dbus-run-session -- python3 scripts/measure-idle.py build/release/vantrel [--dock] [--sweep]
      [idle seconds] [copies]

--dock starts the profile with onboarding done and the replacement Dock on, rests the pointer in the
middle of the screen, away from the Dock, before the idle window, and makes no copies unless asked.
--sweep (with the Dock, as --dock) then moves the pointer back and forth across the middle of the
screen, 60 moves a second for the length of the idle window, far from the Dock's reveal band and
over none of Vantrel's windows.

Each run starts Vantrel on a fresh profile (HOME and the XDG folders in a temporary folder) and prints
  start-up CPU     CPU time of the process once it has settled (4 s after launch): every thread it
                   ever had, to the nanosecond, and in clock ticks with the children it has reaped;
  idle wake-ups    voluntary context switches of the main thread over the idle window, per minute
                   and per second;
  idle CPU         CPU time of the whole process over the idle window, per minute, threads that
                   started or ended inside the window included; and of the main thread alone;
  sweep CPU        with --sweep, the same over the sweep, and by thread;
  copy latency     from handing a text to xclip until "clipboard.json" holds it, median and maximum.
A window shorter than a minute is scaled to a minute.
"""
import json, os, shutil, signal, statistics, subprocess, sys, tempfile, time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from measuring import private_runtime_dir, process_clock, thread_names  # noqa: E402


def cpu_ms(pid, clock=None):
    """(clock ticks of the process and its reaped children, nanosecond CPU time of the process)
    in milliseconds."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = sum(int(fields[i]) for i in (11, 12, 13, 14))  # utime stime cutime cstime
    precise = time.clock_gettime_ns(process_clock(pid) if clock is None else clock)
    return ticks * 1000 / os.sysconf("SC_CLK_TCK"), precise / 1e6


def run_detached(command, env, data, started):
    """Runs `command` with `data` on its standard input, its output going nowhere: a program that
    leaves a child in the background (xclip serving the selection) must not hold our standard
    output open, or a reader of a pipe from this script would wait for that child. The process
    group is noted in `started` so that `end_detached` can end what is left."""
    proc = subprocess.Popen(command, env=env, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    started.append(proc.pid)
    proc.communicate(data)
    if proc.returncode != 0:
        raise subprocess.CalledProcessError(proc.returncode, command)


def end_detached(started):
    for group in started:
        try:
            os.killpg(group, signal.SIGTERM)
        except ProcessLookupError:
            pass


def parse_arguments(argv):
    """(binary, idle seconds, copies, dock, sweep) from the command line."""
    sweep = "--sweep" in argv[1:]
    dock = sweep or "--dock" in argv[1:]
    rest = [a for a in argv[1:] if a not in ("--dock", "--sweep")]
    binary = rest[0]
    idle_seconds = float(rest[1]) if len(rest) > 1 else 60
    copies = int(rest[2]) if len(rest) > 2 else (0 if dock else 15)
    return binary, idle_seconds, copies, dock, sweep


def prepare_profile(env, dock):
    """Makes the profile's folders; with `dock`, its standard defaults say onboarding is done and
    the replacement Dock is on."""
    os.makedirs(env["XDG_RUNTIME_DIR"], exist_ok=True)
    os.chmod(env["XDG_RUNTIME_DIR"], 0o700)  # whatever the umask: D-Bus and Qt refuse an open one
    if not dock:
        return
    folder = os.path.join(env["XDG_CONFIG_HOME"], "Vantrel", "defaults")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "com.vantrel.mac.json"), "w") as f:
        json.dump({"onboarding.complete": True, "dock.customEnabled": True}, f)


def main_thread_cpu_ms(pid):
    """CPU time of the process's main thread alone, in milliseconds (the scheduler's nanoseconds)."""
    with open(f"/proc/{pid}/task/{pid}/schedstat") as f:
        return int(f.read().split()[0]) / 1e6


def main_thread_switches(pid):
    with open(f"/proc/{pid}/task/{pid}/status") as f:
        return {k: int(v) for k, v in (l.split(":") for l in f if "ctxt_switches" in l)}


def thread_cpu_ms(pid):
    """CPU time of each live thread, in milliseconds, by "name/tid"."""
    found = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/comm") as f:
                name = f.read().strip()
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                found[f"{name}/{tid}"] = int(f.read().split()[0]) / 1e6
        except (FileNotFoundError, ProcessLookupError):
            pass
    return found


def xdotool(env, *arguments):
    return subprocess.run(["xdotool", *arguments], env=env, check=False, capture_output=True, text=True).stdout


def window_spans(env, pid, row):
    """The horizontal spans of the process's visible windows that cross the screen row `row`."""
    spans = []
    for window in xdotool(env, "search", "--onlyvisible", "--pid", str(pid)).split():
        shape = dict(line.split("=", 1) for line in xdotool(env, "getwindowgeometry", "--shell", window).split())
        x, y, w, h = (int(shape[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
        if y <= row + 12 and y + h >= row - 12:
            spans.append((x, x + w))
    return spans


def sweep_moves(env, pid, seconds, rate=60):
    """One xdotool command line that moves the pointer `rate` times a second for `seconds`, back and
    forth across the middle of the screen, a little up and down, never near the bottom edge. It
    keeps to the widest stretch of that row over no window of Vantrel's (the control center opens
    there), so that what is measured is the cost of the pointer's motion, not of a window's hover."""
    width, height = (int(v) for v in xdotool(env, "getdisplaygeometry").split())
    row = height // 2
    free, start = [], 0
    for left, right in sorted(window_spans(env, pid, row)) + [(width, width)]:
        if left > start:
            free.append((start, min(left, width)))
        start = max(start, right)
    left, right = max(free, key=lambda span: span[1] - span[0])
    left, right = left + 20, right - 20
    count = int(seconds * rate)
    command = ["xdotool"]
    for i in range(count):
        phase = (i % 120) / 60  # 0...2: there and back in two seconds
        x = left + int((right - left) * (phase if phase <= 1 else 2 - phase))
        y = row + (i % 7) * 3 - 9
        command += ["mousemove", str(x), str(y), "sleep", f"{1 / rate:.4f}"]
    return command, count, (left, right, row)


def measure_sweep(pid, clock, env, seconds, started):
    command, moves, (left, right, row) = sweep_moves(env, pid, seconds)
    print(f"sweep: x {left}...{right} around y {row}")
    threads_before, cpu_before, main_before = thread_cpu_ms(pid), cpu_ms(pid, clock)[1], main_thread_cpu_ms(pid)
    began = time.perf_counter()
    run_detached(command, env, b"", started)
    took = time.perf_counter() - began
    threads_after, cpu_after, main_after = thread_cpu_ms(pid), cpu_ms(pid, clock)[1], main_thread_cpu_ms(pid)
    print(f"sweep CPU: {cpu_after - cpu_before:.1f} ms over {moves} moves in {took:.1f} s (whole process), "
          f"{main_after - main_before:.1f} ms (main thread)")
    spent = {name: threads_after[name] - threads_before.get(name, 0) for name in threads_after}
    print("sweep CPU by thread (ms):", " ".join(f"{name} {ms:.1f}" for name, ms in
                                              sorted(spent.items(), key=lambda item: -item[1]) if ms >= 0.05),
          flush=True)


def copy_latencies(env, copies, started):
    path = env["XDG_DATA_HOME"] + "/Vantrel/clipboard.json"
    latencies = []
    for i in range(copies):
        text = f"measure-{i}-{time.time_ns()}".encode()
        start = time.perf_counter()
        run_detached(["xclip", "-selection", "clipboard"], env, text, started)
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
    binary, idle_seconds, copies, dock, sweep = parse_arguments(sys.argv)
    home = tempfile.mkdtemp(prefix="vantrel-measure-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config", XDG_DATA_HOME=home + "/.local/share",
               XDG_CACHE_HOME=home + "/.cache", XDG_RUNTIME_DIR=private_runtime_dir(home))
    prepare_profile(env, dock)
    proc = subprocess.Popen([binary], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    started = []
    try:
        pid = proc.pid
        clock = process_clock(pid)
        time.sleep(4)
        ticks, precise = cpu_ms(pid, clock)
        print(f"start-up CPU: {precise:.1f} ms (whole process); {ticks:.0f} ms (clock ticks, with reaped children)")
        print("threads:", " ".join(thread_names(pid)), flush=True)
        if dock:
            # Away from the Dock at the bottom edge; then the hide delay and the slide have run out.
            run_detached(["xdotool", "mousemove", "--polar", "0", "0"], env, b"", started)
            time.sleep(2)

        before, cpu_before, main_before = main_thread_switches(pid), cpu_ms(pid, clock)[1], main_thread_cpu_ms(pid)
        time.sleep(idle_seconds)
        after, cpu_after, main_after = main_thread_switches(pid), cpu_ms(pid, clock)[1], main_thread_cpu_ms(pid)
        scale = 60 / idle_seconds
        woken = after["voluntary_ctxt_switches"] - before["voluntary_ctxt_switches"]
        print(f"idle wake-ups: {woken} in {idle_seconds:g} s = {woken * scale:.1f}/min = "
              f"{woken / idle_seconds:.1f}/s (main thread); idle CPU {(cpu_after - cpu_before) * scale:.2f} ms/min "
              f"(whole process), {(main_after - main_before) * scale:.2f} ms/min (main thread)", flush=True)

        if sweep:
            measure_sweep(pid, clock, env, idle_seconds, started)
            # Back to rest, far from the Dock: the sweep leaves nothing running behind it.
            run_detached(["xdotool", "mousemove", "--polar", "0", "0"], env, b"", started)
            time.sleep(2)
            before, main_before = main_thread_switches(pid), main_thread_cpu_ms(pid)
            cpu_before = cpu_ms(pid, clock)[1]
            time.sleep(idle_seconds)
            after, main_after = main_thread_switches(pid), main_thread_cpu_ms(pid)
            cpu_after = cpu_ms(pid, clock)[1]
            woken = after["voluntary_ctxt_switches"] - before["voluntary_ctxt_switches"]
            print(f"after the sweep, at rest: {woken / idle_seconds:.1f} wake-ups/s (main thread); "
                  f"{(cpu_after - cpu_before) * scale:.2f} ms/min (whole process), "
                  f"{(main_after - main_before) * scale:.2f} ms/min (main thread)", flush=True)

        if copies > 0:
            latencies = copy_latencies(env, copies, started)
            arrived = [l for l in latencies if l is not None]
            print("copy latency (ms):", " ".join(f"{l:.0f}" if l is not None else "lost" for l in latencies))
            if arrived:
                print(f"copy latency: {len(arrived)}/{copies} arrived; median {statistics.median(arrived):.1f} ms, "
                      f"max {max(arrived):.1f} ms")
    finally:
        end_detached(started)
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
