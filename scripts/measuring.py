"""What the measuring scripts share: the kernel's CPU clock of a whole process and the names of
its threads."""
import ctypes, os


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
