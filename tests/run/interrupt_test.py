#!/usr/bin/env python3
"""Ctrl+C on an interactive `make run`, as a terminal sends it: the run says one
line, leaves nothing running and gives the terminal back in its normal mode.

make run runs in a pseudo-terminal of its own (a session whose foreground
process group gets the interrupt from the line discipline), with a private
X display so that it takes the interactive road: vremote reads the terminal.
"""
import os
import pty
import select
import signal
import subprocess
import sys
import termios
import time

ROOT = os.environ["VEXA_SOURCE"]
PREFIX = os.environ["VEXA_RUN_PREFIX"]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def read_until(fd, text, seconds, out):
    """Reads output into out until text shows or the time is up; False at EOF or time-out."""
    end = time.time() + seconds
    while text.encode() not in out:
        ready, _, _ = select.select([fd], [], [], max(0, end - time.time()))
        if not ready:
            return False
        try:
            chunk = os.read(fd, 4096)
        except OSError:
            return False
        if not chunk:
            return False
        out.extend(chunk)
    return True


def left_running():
    """Processes that carry the run's prefix in their environment."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/environ", "rb") as f:
                if f"WINEPREFIX={PREFIX}".encode() in f.read().split(b"\0"):
                    with open(f"/proc/{pid}/cmdline", "rb") as c:
                        command = c.read().replace(b"\0", b" ").decode(errors="replace")
                    found.append(f"{pid} {command}")
        except OSError:
            pass
    return found


def main():
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-nolisten", "tcp"], stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    display = xvfb.stdout.readline().decode().strip()
    env = {k: v for k, v in os.environ.items() if k not in ("MAKEFLAGS", "MFLAGS", "MAKELEVEL")}
    env.update(DISPLAY=f":{display}", TERM="xterm")
    env.pop("VEXA_RUN_KEYS", None)
    log = os.path.join(ROOT, "build", os.environ.get("VEXA_RUN_ARCH", "win64"), "vexa-status.log")
    if os.path.exists(log):
        os.remove(log)
    pid, fd = pty.fork()  # the child leads a new session with the pty as its terminal
    if pid == 0:
        os.chdir(ROOT)
        os.execvpe("make", ["make", "--no-print-directory", "run"], env)
    out = bytearray()
    try:
        started = read_until(fd, "q quits.", 240, out)
        check(started, "vremote did not start in the terminal")
        # Vexa has started once the status log has its first text.
        end = time.time() + 60
        while started and time.time() < end and not (os.path.exists(log) and os.path.getsize(log) > 0):
            read_until(fd, "\0", 0.5, out)
        check(os.path.exists(log) and os.path.getsize(log) > 0, "Vexa showed no status text")
        before = len(out)
        os.write(fd, b"\x03")  # Ctrl+C: the line discipline signals the foreground group
        read_until(fd, "\0", 60, out)  # until the run closes the terminal
        _, status = os.waitpid(pid, 0)
        pid = 0
    finally:
        if pid:
            os.killpg(pid, signal.SIGKILL)
            os.waitpid(pid, 0)
        after = out[before:].decode(errors="replace") if "before" in locals() else ""
        print("--- make run printed:\n" + out.decode(errors="replace"))
        xvfb.terminate()
        xvfb.wait()
    lines = [line for line in after.replace("\r", "").split("\n") if line.strip() and line.strip() != "^C"]
    check(len(lines) <= 2, f"{len(lines)} lines after Ctrl+C: {lines[:10]}")
    check(any("Stopped Vexa." in line for line in lines), "no 'Stopped Vexa.' after Ctrl+C")
    attributes = termios.tcgetattr(fd)
    check(attributes[3] & termios.ECHO and attributes[3] & termios.ICANON, "the terminal was left in raw mode")
    os.close(fd)
    time.sleep(1)
    left = left_running()
    check(not left, f"left running: {left}")
    if not failures:
        print("interrupted run: all checks passed (exit status %d)" % os.waitstatus_to_exitcode(status))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
