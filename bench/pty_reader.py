#!/usr/bin/env python3
"""Host-side ends of a bench cable, for the throughput benchmark: what the cable gives a Linux
program, without Wine on the reading side (and, with both ends here, without Wine at all).

  pty_reader.py read PTY WARMUP SECONDS LABEL ROUND
      reads the pty in 64 KiB blocks; counts from WARMUP seconds after the first byte, for
      SECONDS; prints RESULT|throughput|LABEL|ROUND|<bytes per second>
  pty_reader.py write PTY SECONDS
      writes 64 KiB blocks as fast as the pty takes them, for SECONDS
"""
import os
import select
import sys
import termios
import time
import tty

BLOCK = 64 * 1024
FIRST_BYTE_WAIT = 30.0


def open_raw(path, flags):
    fd = os.open(path, flags | os.O_NOCTTY | os.O_NONBLOCK)
    # Now, not after a flush: with a flush here the cable was seen to stall for good when its
    # far end was already waiting to write.
    tty.setraw(fd, termios.TCSANOW)
    return fd


def read(path, warmup, seconds, label, round_):
    fd = open_raw(path, os.O_RDONLY)
    ready, _, _ = select.select([fd], [], [], FIRST_BYTE_WAIT)
    if not ready:
        sys.exit(f"pty_reader: nothing came on {path}")
    start = time.monotonic() + warmup
    end = start + seconds
    counted = 0
    while True:
        now = time.monotonic()
        if now >= end:
            break
        ready, _, _ = select.select([fd], [], [], min(0.1, end - now))
        if not ready:
            continue
        data = os.read(fd, BLOCK)
        if time.monotonic() >= start:
            counted += len(data)
    os.close(fd)
    print(f"RESULT|throughput|{label}|{round_}|{counted / seconds:.0f}", flush=True)


def write(path, seconds):
    fd = open_raw(path, os.O_WRONLY)
    block = bytes(ord("a") + i % 26 for i in range(BLOCK))
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        _, ready, _ = select.select([], [fd], [], 0.1)
        if ready:
            try:
                os.write(fd, block)
            except BlockingIOError:
                pass
    os.close(fd)


def main(argv):
    if len(argv) == 6 and argv[0] == "read":
        read(argv[1], float(argv[2]), float(argv[3]), argv[4], argv[5])
    elif len(argv) == 3 and argv[0] == "write":
        write(argv[1], float(argv[2]))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
