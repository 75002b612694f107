"""What the measuring scripts share: the kernel's CPU clock of a whole process, the names of its
threads, a private runtime folder and a private X server."""
import ctypes, os, subprocess, threading


def process_clock(pid):
    """The kernel's CPU-time clock of the whole process: every thread, those that already ended
    included (the kernel adds a thread's time to its process when it exits)."""
    clock = ctypes.c_int()
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.clock_getcpuclockid(pid, ctypes.byref(clock)) != 0:
        raise OSError(ctypes.get_errno(), f"no CPU clock for process {pid}")
    return clock.value


def thread_names(pid):
    """The names of the process's live threads, in the order they started. A thread that ends
    while they are read is left out."""
    names = []
    for tid in sorted(os.listdir(f"/proc/{pid}/task"), key=int):
        try:
            with open(f"/proc/{pid}/task/{tid}/comm") as f:
                names.append(f.read().strip())
        except (FileNotFoundError, ProcessLookupError):
            pass
    return names


def private_runtime_dir(home):
    """A runtime folder (XDG_RUNTIME_DIR) of the profile's own under `home`, open to its owner
    only: D-Bus and Qt refuse or warn about one that is not, and the user's own is not the
    profile's."""
    path = os.path.join(home, "run")
    os.makedirs(path, exist_ok=True)
    os.chmod(path, 0o700)
    return path


def xvfb(*arguments):
    """Starts Xvfb with `arguments` on the first free display and returns the server and the
    display's name. The server writes its display number to the pipe again each time its last
    client leaves and it resets, and ends when it cannot ("Cannot write display number to fd"):
    the pipe is drained for as long as the server lives."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), *arguments], pass_fds=(write,),
                              stderr=subprocess.DEVNULL)
    os.close(write)
    said = b""
    while not said.endswith(b"\n"):
        chunk = os.read(read, 64)
        if not chunk:
            os.close(read)
            server.wait()
            raise RuntimeError(f"Xvfb ended (status {server.returncode}) before naming its display")
        said += chunk

    def drain():
        while os.read(read, 64):
            pass
        os.close(read)

    threading.Thread(target=drain, daemon=True).start()
    return server, ":" + said.decode().split()[0]
