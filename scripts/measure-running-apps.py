#!/usr/bin/env python3
"""How the running-applications service copes with a flood of windows and an icon storm, measured
on a private X server through its test driver (build it in Release):

  scripts/measure-running-apps.py build/release/tests/vantrel_running_apps_driver

1. One client maps 2,000 windows, each claiming a process of its own, with a 256 x 256 icon: the
   longest turn of the driver's event loop (a Dock's store of running applications included)
   until everything is read, the tiles shown, and the driver's resident memory before and after.
2. The same flood, SIGTERM a second after it starts: how long the driver takes to end.
3. Beside 200 such windows, one window rewrites an invalid icon 1,000 times a second for 5 s:
   the driver's CPU over those seconds.
4. An icon theme named in the desktop's settings (GTK's, read by Qt's GTK platform theme) that
   lists 10,000 folders, then one whose one folder holds 100,000 files: the longest turn of the
   driver's event loop while ten windows of an installed application come and their icons are
   looked up."""
import os, signal, subprocess, sys, tempfile, time

from measuring import private_runtime_dir, process_clock, xvfb


class Program:
    def __init__(self, command, env):
        self.proc = subprocess.Popen(command, env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, bufsize=1)

    def expect(self, prefix):
        while True:
            line = self.proc.stdout.readline()
            if not line:
                raise RuntimeError(f"ended before saying {prefix!r}")
            if line.startswith(prefix):
                return line[len(prefix):].strip()

    def ask(self, command, prefix):
        self.proc.stdin.write(command + "\n")
        return self.expect(prefix)

    def end(self):
        try:
            self.proc.stdin.close()
        except BrokenPipeError:
            pass
        try:
            self.proc.wait(20)
        except subprocess.TimeoutExpired:
            self.proc.kill()


def environment(display, home):
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", HOME=home, XDG_DATA_HOME=home + "/data",
               XDG_CONFIG_HOME=home + "/config", XDG_RUNTIME_DIR=private_runtime_dir(home), VANTREL_MEASURE="1",
               ASAN_OPTIONS="detect_leaks=0")
    return env


def resident_mib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0


def cpu_seconds(pid):
    return time.clock_gettime(process_clock(pid))


def themes(driver_binary, env, home):
    icons = home + "/.icons"
    folders = [f"f{i}" for i in range(10000)]
    for folder in folders:
        os.makedirs(f"{icons}/Folders/{folder}")
    with open(f"{icons}/Folders/index.theme", "w") as f:
        f.write("[Icon Theme]\nName=Folders\nDirectories=" + ",".join(folders) + "\n")
    os.makedirs(f"{icons}/Wide/all")
    for i in range(100000):
        open(f"{icons}/Wide/all/icon-{i}.png", "w").close()
    with open(f"{icons}/Wide/index.theme", "w") as f:
        f.write("[Icon Theme]\nName=Wide\nDirectories=all\n")
    os.makedirs(home + "/apps", exist_ok=True)
    with open(home + "/apps/flood.desktop", "w") as f:
        f.write("[Desktop Entry]\nType=Application\nName=Flood\nExec=true\nIcon=flood-icon\n"
                "StartupWMClass=Flood\n")
    for label, theme in (("lists 10,000 folders", "Folders"), ("has one folder of 100,000 files", "Wide")):
        os.makedirs(env["XDG_CONFIG_HOME"] + "/gtk-3.0", exist_ok=True)
        with open(env["XDG_CONFIG_HOME"] + "/gtk-3.0/settings.ini", "w") as f:
            f.write(f"[Settings]\ngtk-icon-theme-name={theme}\n")
        subprocess.run(["xprop", "-root", "-remove", "_NET_CLIENT_LIST"], env=env, check=False)
        themed = dict(env, QT_QPA_PLATFORMTHEME="gtk3")
        driver = Program([driver_binary, home + "/apps"], themed)
        driver.expect("ready ")
        driver.ask("stall", "stall ")
        flood = Program([driver_binary, "--flood", "10"], themed)
        flood.expect("flooded")
        longest = 0
        for _ in range(8):
            time.sleep(0.5)
            longest = max(longest, int(driver.ask("stall", "stall ").split()[0]))
        print(f"icon theme that {label}: longest main-thread stall {longest} ms")
        flood.end()
        driver.end()


def main():
    driver_binary = sys.argv[1]
    server, display = xvfb("-screen", "0", "1280x800x24", "-nolisten", "tcp")
    try:
        with tempfile.TemporaryDirectory() as home:
            env = environment(display, home)

            driver = Program([driver_binary, home + "/none"], env)
            driver.expect("ready ")
            driver.ask("stall", "stall ")
            time.sleep(1)
            memory_before = resident_mib(driver.proc.pid)
            flood = Program([driver_binary, "--flood", "2000", "256"], env)
            os.set_blocking(flood.proc.stdout.fileno(), False)
            said = b""
            started = time.monotonic()
            longest, tiles, quiet, flooded = 0, 0, 0, False
            while quiet < 4 and time.monotonic() - started < 180:
                time.sleep(0.5)
                try:
                    said += os.read(flood.proc.stdout.fileno(), 4096)
                except BlockingIOError:
                    pass
                flooded = flooded or b"flooded" in said
                stall, now_tiles = map(int, driver.ask("stall", "stall ").split())
                longest = max(longest, stall)
                quiet = quiet + 1 if flooded and stall < 50 and now_tiles == tiles else 0
                tiles = now_tiles
            print(f"flood of 2,000 windows: longest main-thread stall {longest} ms; {tiles} tiles; "
                  f"settled after {time.monotonic() - started:.1f} s; resident memory "
                  f"{memory_before:.0f} MiB before, {resident_mib(driver.proc.pid):.0f} MiB after")
            flood.end()
            driver.end()

            subprocess.run(["xprop", "-root", "-remove", "_NET_CLIENT_LIST"], env=env, check=False)
            driver = Program([driver_binary, home + "/none"], env)
            driver.expect("ready ")
            flood = Program([driver_binary, "--flood", "2000"], env)
            time.sleep(1)
            asked = time.monotonic()
            driver.proc.send_signal(signal.SIGTERM)
            try:
                driver.proc.wait(60)
                print(f"SIGTERM during the flood: ended after {time.monotonic() - asked:.2f} s")
            except subprocess.TimeoutExpired:
                print("SIGTERM during the flood: not ended after 60 s")
                driver.proc.kill()
            flood.end()

            subprocess.run(["xprop", "-root", "-remove", "_NET_CLIENT_LIST"], env=env, check=False)
            driver = Program([driver_binary, home + "/none"], env)
            driver.expect("ready ")
            others = Program([driver_binary, "--flood", "200"], env)
            others.expect("flooded")
            time.sleep(3)
            storm = Program([driver_binary, "--storm", "5000", "1000"], env)
            before, wall = cpu_seconds(driver.proc.pid), time.monotonic()
            storm.expect("stormed")
            used, wall = cpu_seconds(driver.proc.pid) - before, time.monotonic() - wall
            print(f"invalid icon rewritten 1,000 times a second beside 200 windows: driver CPU "
                  f"{100 * used / wall:.1f} % over {wall:.1f} s")
            storm.end()
            others.end()
            driver.end()

            themes(driver_binary, env, home)
    finally:
        server.terminate()
        server.wait()


if __name__ == "__main__":
    main()
