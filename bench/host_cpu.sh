#!/usr/bin/env bash
# The host side of the idle benchmark, inside the bench:
#   host_cpu.sh LABEL    notes the processor time so far of the prefix's Beamlet.exe process and
#                        of its wineserver, in clock ticks, in $BENCH_DIR/host-cpu.txt
#   host_cpu.sh report   prints RESULT lines for each begin/end pair noted
set -euo pipefail
: "${BENCH_DIR:?run inside scripts/bench}" "${WINEPREFIX:?run inside scripts/bench}"
log="$BENCH_DIR/host-cpu.txt"

# Processes of this bench only: others on the machine run their own prefixes.
pids_in_prefix() { # pids_in_prefix NAME: processes of that name (a Wine program's is its .exe)
    local pid
    for pid in $(pgrep "$1" || true); do
        if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            echo "$pid"
        fi
    done
}

ticks_of() { # ticks_of PID...: utime + stime summed
    local pid total=0 fields
    for pid in "$@"; do
        # The name may hold blanks; the fields after its closing parenthesis do not.
        fields=$(sed 's/^.*) //' "/proc/$pid/stat" 2>/dev/null) || continue
        set -- $fields
        total=$((total + ${12} + ${13}))
    done
    echo $total
}

case "${1:?usage: host_cpu.sh LABEL|report}" in
report)
    [ -f "$log" ] || exit 0
    awk -v hz="$(getconf CLK_TCK)" '
        { split($1, p, "-"); phase = p[1] }
        p[2] == "begin" { t0[phase] = $2; a0[phase] = $3; s0[phase] = $4 }
        p[2] == "end" && (phase in t0) {
            secs = ($2 - t0[phase]) / 1e9
            printf "RESULT|idle-host|%s|%.1f|%.1f|%.3f|%.1f|%.3f\n", phase, secs,
                ($3 - a0[phase]) * 1000 / hz, ($3 - a0[phase]) * 100 / hz / secs,
                ($4 - s0[phase]) * 1000 / hz, ($4 - s0[phase]) * 100 / hz / secs
        }' "$log"
    ;;
*)
    # shellcheck disable=SC2046
    echo "$1 $(date +%s%N) $(ticks_of $(pids_in_prefix '^Beamlet\.exe$')) $(ticks_of $(pids_in_prefix '^wineserver'))" >>"$log"
    ;;
esac
