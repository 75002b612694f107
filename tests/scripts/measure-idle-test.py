#!/usr/bin/env python3
"""The idle measurement counts a thread that ends inside the window, a program that leaves a child
holding the output behind does not keep a pipe from the script open, and both measuring scripts
read the process clock and the thread names through their shared module.

usage: measure-idle-test.py <repository root>"""
import importlib.util, os, select, subprocess, sys, tempfile, textwrap

root = sys.argv[1]
module_spec = importlib.util.spec_from_file_location("measure_idle", os.path.join(root, "scripts", "measure-idle.py"))
measure = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(measure)
failures = []

# A process whose second thread burns 300 ms of CPU and ends, all between the two readings. The
# steps are driven by lines on its pipes, so nothing here waits on the wall clock.
BURNER = textwrap.dedent("""
    import os, sys, threading, time
    def burn():
        start = time.thread_time()
        while time.thread_time() - start < 0.3:
            pass
    print("ready", flush=True)
    sys.stdin.readline()
    worker = threading.Thread(target=burn)
    worker.start()
    worker.join()
    # join() returns as the thread lets go of Python; the kernel drops the task a moment later.
    deadline = time.monotonic() + 10
    while len(os.listdir("/proc/self/task")) > 1 and time.monotonic() < deadline:
        os.sched_yield()
    print("done", flush=True)
    sys.stdin.readline()
""")
proc = subprocess.Popen([sys.executable, "-c", BURNER], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
try:
    assert proc.stdout.readline().strip() == "ready"
    clock = measure.process_clock(proc.pid)
    before = measure.cpu_ms(proc.pid, clock)[1]
    proc.stdin.write("go\n")
    proc.stdin.flush()
    assert proc.stdout.readline().strip() == "done"
    threads = os.listdir(f"/proc/{proc.pid}/task")
    after = measure.cpu_ms(proc.pid, clock)[1]
    if len(threads) != 1:
        failures.append(f"the burning thread is still there: {threads}")
    if not 300 <= after - before < 2000:
        failures.append(f"a thread that ended in the window counted {after - before:.1f} ms, not its 300 ms")
    # The readings only ever grow: the old sum over live threads fell when a thread ended.
    if measure.cpu_ms(proc.pid)[1] < after:
        failures.append("the process's CPU time went down")
finally:
    proc.stdin.write("end\n")
    proc.stdin.close()
    proc.wait(30)

# A stand-in for xclip that forks into the background, as xclip does to serve the selection, and
# whose child would keep any inherited output open for a minute.
with tempfile.TemporaryDirectory() as folder:
    marker = os.path.join(folder, "received")
    fake = os.path.join(folder, "xclip")
    with open(fake, "w") as f:
        f.write(f"#!/bin/sh\ncat > {marker}\n(echo serving; exec sleep 60) &\nexit 0\n")
    os.chmod(fake, 0o755)
    driver = textwrap.dedent(f"""
        import importlib.util
        module_spec = importlib.util.spec_from_file_location("m", {os.path.join(root, "scripts", "measure-idle.py")!r})
        m = importlib.util.module_from_spec(module_spec)
        module_spec.loader.exec_module(m)
        started = []
        m.run_detached([{fake!r}], None, b"copied text", started)
        print("handed over", flush=True)
        import os
        with open({marker!r} + ".groups", "w") as f:
            f.write(" ".join(map(str, started)))
    """)
    # Piped, as `measure-idle.py | tee log` is: the reader must see the end of the output at once.
    try:
        piped = subprocess.run([sys.executable, "-c", driver], stdout=subprocess.PIPE, text=True, timeout=20)
        if piped.stdout.strip() != "handed over":
            failures.append(f"the piped output was {piped.stdout!r}")
    except subprocess.TimeoutExpired:
        failures.append("reading the piped output hung on the background child")
    with open(marker, "rb") as f:
        if f.read() != b"copied text":
            failures.append("the program did not get the text on its standard input")
    with open(marker + ".groups") as f:
        groups = [int(g) for g in f.read().split()]
    if len(groups) != 1:
        failures.append(f"started groups: {groups}")
    # The background child is ended with its group, and that may be asked twice. Its end is
    # awaited on a process descriptor, which becomes readable when the process has ended.
    members = []
    for group in groups:
        listed = subprocess.run(["pgrep", "-g", str(group)], stdout=subprocess.PIPE, text=True).stdout.split()
        members += [int(p) for p in listed]
    if not members:
        failures.append("the background child was not found")
    handles = []
    for pid in members:
        try:
            handles.append((pid, os.pidfd_open(pid)))
        except ProcessLookupError:
            pass
    measure.end_detached(groups)
    measure.end_detached(groups)
    for pid, handle in handles:
        readable, _, _ = select.select([handle], [], [], 10)
        if not readable:
            failures.append(f"process {pid} of the group was left running")
        os.close(handle)

# Both measuring scripts take the process clock and the thread names from the one shared module.
startup_spec = importlib.util.spec_from_file_location("measure_startup", os.path.join(root, "scripts", "measure-startup.py"))
startup = importlib.util.module_from_spec(startup_spec)
startup_spec.loader.exec_module(startup)
for name in ("process_clock", "thread_names"):
    if getattr(startup, name) is not getattr(measure, name):
        failures.append(f"the start-up and idle scripts have different {name}")

# The names are the kernel's, in the order the threads started: a thread named "k-measured" shows
# after the main thread while it lives, and not once it has ended.
import ctypes, threading
named, finish = threading.Event(), threading.Event()


def named_thread():
    ctypes.CDLL(None).prctl(15, b"k-measured", 0, 0, 0)  # PR_SET_NAME
    named.set()
    finish.wait()


worker = threading.Thread(target=named_thread)
worker.start()
named.wait()
names = measure.thread_names(os.getpid())
if names[-1:] != ["k-measured"] or names[0] == "k-measured":
    failures.append(f"thread names while the thread runs: {names}")
finish.set()
worker.join()
import time
deadline = time.monotonic() + 10
while "k-measured" in measure.thread_names(os.getpid()) and time.monotonic() < deadline:
    os.sched_yield()
if "k-measured" in measure.thread_names(os.getpid()):
    failures.append("an ended thread is still named")

# --dock: a profile that has done the onboarding and has the replacement Dock on, and no copies
# unless asked; without it the profile holds no settings.
if measure.parse_arguments(["m", "bin"]) != ("bin", 60, 15, False, False):
    failures.append(f"plain arguments: {measure.parse_arguments(['m', 'bin'])}")
if measure.parse_arguments(["m", "bin", "--dock", "30"]) != ("bin", 30.0, 0, True, False):
    failures.append(f"dock arguments: {measure.parse_arguments(['m', 'bin', '--dock', '30'])}")
if measure.parse_arguments(["m", "--dock", "bin", "20", "3"]) != ("bin", 20.0, 3, True, False):
    failures.append(f"dock arguments with copies: {measure.parse_arguments(['m', '--dock', 'bin', '20', '3'])}")
# A sweep measures the Dock, so it turns the Dock on by itself.
if measure.parse_arguments(["m", "bin", "--sweep", "10"]) != ("bin", 10.0, 0, True, True):
    failures.append(f"sweep arguments: {measure.parse_arguments(['m', 'bin', '--sweep', '10'])}")
with tempfile.TemporaryDirectory() as folder:
    for dock in (False, True):
        home = os.path.join(folder, str(dock))
        env = {"XDG_CONFIG_HOME": home + "/.config", "XDG_RUNTIME_DIR": home + "/run"}
        measure.prepare_profile(env, dock)
        defaults = os.path.join(home, ".config", "Vantrel", "defaults", "com.vantrel.mac.json")
        if not os.path.isdir(env["XDG_RUNTIME_DIR"]) or os.stat(env["XDG_RUNTIME_DIR"]).st_mode & 0o777 != 0o700:
            failures.append("the runtime folder is missing or open to others")
        if not dock and os.path.exists(defaults):
            failures.append("a plain profile holds settings")
        if dock:
            import json
            with open(defaults) as f:
                written = json.load(f)
            if written != {"onboarding.complete": True, "dock.customEnabled": True}:
                failures.append(f"dock profile: {written}")

# The main thread's own CPU time: 200 ms burnt there counts; the same burnt on a second thread
# does not. Steps are driven by lines on the pipes.
MAIN_BURNER = textwrap.dedent("""
    import sys, threading, time
    def burn():
        start = time.thread_time()
        while time.thread_time() - start < 0.2:
            pass
    print("ready", flush=True)
    sys.stdin.readline()
    burn()
    print("main done", flush=True)
    sys.stdin.readline()
    worker = threading.Thread(target=burn)
    worker.start()
    worker.join()
    print("worker done", flush=True)
    sys.stdin.readline()
""")
proc = subprocess.Popen([sys.executable, "-c", MAIN_BURNER], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
try:
    assert proc.stdout.readline().strip() == "ready"
    start = measure.main_thread_cpu_ms(proc.pid)
    proc.stdin.write("go\n")
    proc.stdin.flush()
    assert proc.stdout.readline().strip() == "main done"
    main_burnt = measure.main_thread_cpu_ms(proc.pid) - start
    proc.stdin.write("go\n")
    proc.stdin.flush()
    assert proc.stdout.readline().strip() == "worker done"
    worker_burnt = measure.main_thread_cpu_ms(proc.pid) - start - main_burnt
    if not 200 <= main_burnt < 1500:
        failures.append(f"200 ms on the main thread counted {main_burnt:.1f} ms")
    if worker_burnt >= 100:
        failures.append(f"a second thread's 200 ms counted {worker_burnt:.1f} ms on the main thread")
finally:
    proc.stdin.write("end\n")
    proc.stdin.close()
    proc.wait(30)

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("measure-idle: ok")
