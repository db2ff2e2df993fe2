#!/usr/bin/env bash
# Runs every benchmark of the capture inside a running bench (scripts/benchmark starts one) and
# prints what they print: RESULT lines for the table, and commentary.
#
#   bench/run_all.sh BIN_DIR [--quick]
set -euo pipefail
: "${BENCH_DIR:?run inside scripts/bench}"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bin=$1
if [ "${2:-}" = --quick ]; then
    rounds=1 seconds=2 program_rounds=1 program_seconds=6 samples=20 idle=10 flood=3 runs=3
else
    rounds=3 seconds=5 program_rounds=3 program_seconds=8 samples=120 idle=60 flood=10 runs=10
fi

host_pids=()
spinner=
stop_host_side() {
    local pid
    for pid in "${host_pids[@]}" $spinner; do
        kill "$pid" 2>/dev/null || true
    done
}
trap stop_host_side EXIT

# Keeps one processor from idling, at the lowest priority, so that it takes nothing that
# anyone else wants. A thread woken on an idle virtual processor starts late, and the capture's
# reads wait on such wake-ups; the figures are taken both ways.
start_spinner() {
    nice -n 19 bash -c 'while :; do :; done' &
    spinner=$!
}
stop_spinner() {
    kill "$spinner"
    wait "$spinner" 2>/dev/null || true
    spinner=
}

say() { echo "benchmark: $*" >&2; }
show() { # show COMMAND...: runs it, first naming it as the figures' source; all it says goes
    # to standard output (the programs' debug lines among it)
    local line
    printf -v line ' %q' "$@"
    printf '$%s\n' "$line" # in one write: a command in the background may be printing too
    "$@" 2>&1
}

throughput_runs() { # throughput_runs [--tag TAG]
    say "throughput: the capture loop and Win32 readers of the card reader's cable" \
        "($rounds x ${seconds}s each) $*"
    show wine "$bin/capture_throughput.exe" --mode readers --rounds "$rounds" \
        --seconds "$seconds" "$@"
    say "throughput: the capture programs with their ports open on flooded cables" \
        "($program_rounds x ${program_seconds}s each) $*"
    show wine "$bin/capture_throughput.exe" --mode program --rounds "$program_rounds" \
        --seconds "$program_seconds" "$@"
}
throughput_runs
start_spinner
throughput_runs --tag "busy core"
stop_spinner

say "throughput: Linux readers of the same pty"
for round in $(seq "$rounds"); do
    show python3 "$here/pty_reader.py" read "$BENCH_DIR/com3" 1 "$seconds" \
        "Linux read() 64 KiB, Wine writer" "$round" &
    host_pids=($!)
    show wine "$bin/capture_throughput.exe" --mode flood --seconds $((seconds + 3))
    wait "${host_pids[0]}"

    show python3 "$here/pty_reader.py" read "$BENCH_DIR/com3" 1 "$seconds" \
        "Linux read() 64 KiB, Linux writer" "$round" &
    host_pids=($!)
    show python3 "$here/pty_reader.py" write "$BENCH_DIR/com13" $((seconds + 3))
    wait "${host_pids[0]}"
    host_pids=()
done

say "latency: $samples bytes to Beamlet's log box (about one second each)"
show wine "$bin/capture_latency.exe" --samples "$samples"

say "idle cost: Beamlet.exe, ${idle}s with the port closed, ${idle}s open, ${flood}s flooded"
rm -f "$BENCH_DIR/host-cpu.txt"
show wine "$bin/idle_cost.exe" --seconds "$idle" --flood-seconds "$flood" \
    --host-probe "$here/host_cpu.sh"
say "idle cost: the flooded window again, with a busy core"
start_spinner
show wine "$bin/idle_cost.exe" --seconds 0 --flood-seconds "$flood" \
    --flood-phase flooded_busy_core --host-probe "$here/host_cpu.sh"
stop_spinner
show "$here/host_cpu.sh" report

say "start-up: Beamlet.exe and a minimal dialog program, $runs starts each"
show wine "$bin/startup_time.exe" --runs "$runs"
