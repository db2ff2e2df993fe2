#!/usr/bin/env python3
"""Turns the RESULT lines of a benchmark run (bench/run_all.sh's output) into the small table
that scripts/benchmark prints.

  summarise.py LOG
"""
import statistics
import sys
from collections import defaultdict

LINE_RATE = 1920.0  # the card reader: 19200 baud, 10 bits a byte
THROUGHPUT_GOAL = 50.0  # times the line rate
IDLE_GOAL = 0.5  # percent of one core
TICK_MS = 1000.0
CAPTURE = "capture loop"
PROGRAMS = ("Swipelet.exe", "Beamlet.exe")
# The readers that the capture's figures are set beside.
YARDSTICKS = ("Win32 1-byte overlapped", "Win32 1-byte synchronous", "Win32 64 KiB overlapped",
              "Linux read() 64 KiB, Wine writer")


def read_results(path):
    results = defaultdict(list)
    with open(path, encoding="utf-8", errors="replace") as log:
        for line in log:
            line = line.strip()
            if line.startswith("RESULT|"):
                fields = line.split("|")[1:]
                results[fields[0]].append(fields[1:])
    return results


def spread(values):
    return f"{min(values):,.0f}-{max(values):,.0f}" if len(values) > 1 else "-"


def tag_of(reader):
    """The run's condition, from a name like "capture loop [busy core]"; "" for none."""
    return reader[reader.rfind(" [") + 2:-1] if reader.endswith("]") else ""


def tagged(reader, tag):
    return f"{reader} [{tag}]" if tag else reader


def throughput(rows):
    rates = defaultdict(list)
    for reader, _round, rate in rows:
        rates[reader].append(float(rate))
    if not rates:
        return
    medians = {reader: statistics.median(values) for reader, values in rates.items()}
    print(f"Throughput: bytes/s taken off a flooded cable (line rate {LINE_RATE:.0f} B/s)")
    print(f"  {'reader':48} {'runs':>4} {'median':>12} {'min-max':>23} {'x line':>9}")
    for reader, values in rates.items():
        print(f"  {reader:48} {len(values):>4} {medians[reader]:>12,.0f} {spread(values):>23}"
              f" {medians[reader] / LINE_RATE:>9.1f}")
    tags = sorted({tag_of(reader) for reader in medians})
    for tag in tags:
        for ours in (CAPTURE,) + PROGRAMS:
            ours = tagged(ours, tag)
            if ours not in medians:
                continue
            verdict = "met" if medians[ours] >= THROUGHPUT_GOAL * LINE_RATE else "NOT met"
            shares = ", ".join(f"{other} {100 * medians[ours] / medians[tagged(other, tag)]:.3g}%"
                               for other in YARDSTICKS if tagged(other, tag) in medians)
            print(f"  {ours}: {medians[ours] / LINE_RATE:.1f}x line rate (goal"
                  f" {THROUGHPUT_GOAL:.0f}x: {verdict})")
            if shares:
                print(f"    as a share of the native readers: {shares}")


def latency(rows):
    for count, median, p99, low, high, mean, period, late, lost in rows:
        print(f"Latency: peer to log box, {count} samples at random phases of the"
              f" {TICK_MS:.0f} ms tick")
        print(f"  median {median} ms, p99 {p99} ms, min {low} ms, max {high} ms, mean {mean} ms"
              f" (uniform 0..{TICK_MS:.0f} ms would give {TICK_MS / 2:.0f} / {TICK_MS * .99:.0f})")
        print(f"  tick period as seen {period} ms; {late} samples missed a tick, {lost} lost")


def idle(rows, host_rows):
    host = {row[0]: row for row in host_rows}
    if not rows:
        return
    print(f"Processor time of Beamlet.exe (goal under {IDLE_GOAL}% of one core when idle)")
    print(f"  {'phase':20} {'seconds':>8} {'GetProcessTimes':>16} {'host process':>13}"
          f" {'wineserver':>11} {'bytes/s read':>13}")
    for phase, seconds, _ms, percent, rate in rows:
        h = host.get(phase)
        own = f"{float(h[3]):.3f}%" if h else "-"
        server = f"{float(h[5]):.3f}%" if h else "-"
        print(f"  {phase.replace('_', ' '):20} {seconds:>8} {float(percent):>15.3f}% {own:>13}"
              f" {server:>11} {float(rate):>13,.0f}")
        if h and float(rate) > 0:
            print(f"  {'':20} per byte read: {1e4 * float(h[3]) / float(rate):.1f} us of the"
                  f" program's processor time, {1e4 * float(h[5]) / float(rate):.1f} us of"
                  f" wineserver's")
    open_row = host.get("open")
    if open_row:
        verdict = "met" if float(open_row[3]) < IDLE_GOAL else "NOT met"
        print(f"  port open, no data: {float(open_row[3]):.3f}% of one core on the host side,"
              f" goal {verdict}")


def startup(rows):
    if not rows:
        return
    print("Start-up: CreateProcess to visible dialog window")
    for program, count, median, low, high in rows:
        print(f"  {program:20} {count} starts: median {median} ms, min {low} ms, max {high} ms")


def main(argv):
    if len(argv) != 1:
        sys.exit(__doc__)
    results = read_results(argv[0])
    throughput(results["throughput"])
    latency(results["latency"])
    idle(results["idle"], results["idle-host"])
    startup(results["startup"])


if __name__ == "__main__":
    main(sys.argv[1:])
