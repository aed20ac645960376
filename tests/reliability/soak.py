#!/usr/bin/python3
"""Soak: a long replay of random keys, watched while it runs.

Usage: soak.py REPLAY ROUTE FRAMES   (needs an X display)
Fails when the replay's resident memory grows after its first frames, when
the same poses stop giving the same pictures as the frame stamp wraps, or
when any frame line is out of order or outside its sector.
"""
import os
import subprocess
import sys
import tempfile
import threading

WARM_UP = 1000          # frames before memory counts as settled
SAMPLE_EVERY = 1000
GROWTH_ALLOWED_KB = 64  # a page or two of slack for the C library's heap
POSES = 6


def resident_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS")


def main():
    replay, route, frames = sys.argv[1], sys.argv[2], int(sys.argv[3])
    with tempfile.TemporaryDirectory() as tmp:
        script = subprocess.run([route, "soak", "1", str(frames), tmp], check=True,
                                capture_output=True).stdout
        proc = subprocess.Popen([replay], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        check = subprocess.Popen([route, "check"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        # stdin stays open until the last sample, so the process is still there.
        done = threading.Event()

        def feed():
            proc.stdin.write(script)
            proc.stdin.flush()
            done.wait()
            proc.stdin.close()

        threading.Thread(target=feed, daemon=True).start()
        expected = sum(1 for line in script.splitlines() if line.startswith(b"frame"))
        samples = {}
        total = 0
        for line in proc.stdout:
            try:
                check.stdin.write(line)
            except BrokenPipeError:
                pass  # the check has stopped at a bad line and says so
            total += 1
            if total % SAMPLE_EVERY == 0:
                samples[total] = resident_kb(proc.pid)
            if total == expected:
                break
        done.set()
        status = proc.wait()
        try:
            check.stdin.close()
        except BrokenPipeError:
            pass
        check_report = check.stdout.read().decode().strip()
        check_status = check.wait()

        faults = []
        if status != 0:
            faults.append(f"replay exit status {status}")
        if check_status != 0:
            faults.append("frame lines failed the route check")
        settled = samples.get(WARM_UP, 0)
        peak = max(v for n, v in samples.items() if n >= WARM_UP) if samples else 0
        if peak - settled > GROWTH_ALLOWED_KB:
            faults.append(f"resident memory grew from {settled} kB to {peak} kB")
        checks = sorted(f for f in os.listdir(tmp) if f.endswith(".pcx"))
        for name in checks:
            first = name.split("-")[0] + "-check00.pcx"
            if open(os.path.join(tmp, name), "rb").read() != open(os.path.join(tmp, first), "rb").read():
                faults.append(f"{name} differs from {first}")

        print(f"soak: {total} frames, the frame stamp wrapped {total // 256} times; "
              f"resident memory {settled} kB at frame {WARM_UP}, at most {peak} kB later; "
              f"{len(checks)} snapshots of {POSES} poses compared")
        print(check_report)
        for fault in faults:
            print("FAIL " + fault, file=sys.stderr)
        if len(checks) < 2 * POSES:
            print("FAIL too few snapshots to compare", file=sys.stderr)
            return 1
        return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
