# Bench functions shared by scripts/bench and scripts/run. Every process started here is
# recorded by PID and stopped by bench_stop.

BENCH_CABLES="COM1:COM11 COM3:COM13"
bench_pids=()

bench_say() { echo "bench: $*" >&2; }

bench_require() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            bench_say "'$tool' is not installed; run scripts/test once (it installs what the bench needs)."
            exit 3
        fi
    done
}

bench_wait_for() { # bench_wait_for SECONDS COMMAND...: polls until COMMAND succeeds
    local tries=$(($1 * 20)); shift
    while ! "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ $tries -gt 0 ] || return 1
        sleep 0.05
    done
}

bench_start_display() {
    local headless=$1 n
    if [ -n "${DISPLAY:-}" ] && [ -z "$headless" ]; then
        if command -v xdpyinfo >/dev/null 2>&1 && ! xdpyinfo >/dev/null 2>&1; then
            bench_say "the display $DISPLAY cannot be opened; unset DISPLAY to use a private one (scripts/run then tours the programs)."
            exit 3
        fi
        return 0
    fi
    bench_require Xvfb xdpyinfo
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$BENCH_DIR/xvfb.log" 2>&1 9>&- &
    bench_pids+=($!)
    export DISPLAY=":$n"
    bench_wait_for 10 xdpyinfo || { bench_say "Xvfb did not start (see $BENCH_DIR/xvfb.log)"; exit 3; }
    BENCH_HEADLESS_DISPLAY=1
}

bench_prepare_prefix() {
    export WINEPREFIX="$BENCH_DIR/prefix"
    export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL=C.UTF-8
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        bench_say "making a Wine prefix in $WINEPREFIX (once, about 10 s)"
        wineboot -i >"$BENCH_DIR/wineboot.log" 2>&1
        wineserver -w
    fi
    # Settings the prefix needs on every run: no crash dialog; a virtual desktop when the display
    # is our own Xvfb (without a window manager, hiding a window stalls); the COM port map.
    local reg="$BENCH_DIR/bench.reg" cable port
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
        if [ -n "${BENCH_HEADLESS_DISPLAY:-}" ]; then
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Bench"\r\n\r\n'
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Bench"="1024x768"\r\n\r\n'
        else
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"=-\r\n\r\n'
        fi
        printf '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
        for cable in $BENCH_CABLES; do
            for port in ${cable%%:*} ${cable##*:}; do
                printf '"%s"="%s"\r\n' "$port" "$BENCH_DIR/${port,,}"
            done
        done
    } >"$reg"
    if ! cmp -s "$reg" "$BENCH_DIR/bench.reg.applied" 2>/dev/null; then
        wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
        wineserver -w
        cp "$reg" "$BENCH_DIR/bench.reg.applied"
    fi
}

bench_start_cable() { # bench_start_cable PORT PEER
    local a="$BENCH_DIR/${1,,}" b="$BENCH_DIR/${2,,}"
    rm -f "$a" "$b"
    socat "pty,raw,echo=0,link=$a" "pty,raw,echo=0,link=$b" >>"$BENCH_DIR/socat.log" 2>&1 9>&- &
    echo $! >"$BENCH_DIR/cable-$1.pid"
    bench_pids+=($!)
    disown $! 2>/dev/null || true # a cable may outlive the shell that plugged it in
    bench_wait_for 5 test -e "$a" -a -e "$b" || { bench_say "cable $1-$2 did not come up"; exit 3; }
    ln -sfn "$a" "$WINEPREFIX/dosdevices/${1,,}"
    ln -sfn "$b" "$WINEPREFIX/dosdevices/${2,,}"
}

bench_stop_cable() { # bench_stop_cable PORT
    local pidfile="$BENCH_DIR/cable-$1.pid"
    [ -f "$pidfile" ] || return 0
    kill "$(cat "$pidfile")" 2>/dev/null || true
    rm -f "$pidfile"
}

# One run at a time per build: a second would take over the first one's cables and prefix.
bench_lock() {
    exec 9>"$BENCH_DIR/lock"
    if ! flock -n 9; then
        bench_say "another run is using $BENCH_DIR (PID $(cat "$BENCH_DIR/lock.pid" 2>/dev/null || echo '?')); wait for it to end, or stop it, then try again."
        exit 4
    fi
    echo $$ >"$BENCH_DIR/lock.pid"
}

bench_start() { # bench_start DIR HEADLESS
    export BENCH_DIR=$1
    if [ ! -d "$(dirname "$BENCH_DIR")/bin" ]; then
        bench_say "nothing is built in $(dirname "$BENCH_DIR") yet; run scripts/test or scripts/run first."
        exit 3
    fi
    mkdir -p "$BENCH_DIR" "$BENCH_DIR/missing-device"
    bench_lock
    export BENCH_PORT_TOOL="$root/scripts/bench-port"
    bench_start_display "$2"
    bench_prepare_prefix
    # A persistent server keeps every wine start in the run fast.
    wineserver -f -p >/dev/null 2>&1 9>&- &
    bench_pids+=($!)
    # Wine's own services start with the first program and keep its standard streams; start
    # them here, away from the command's pipes, or a test runner would wait on them for ever.
    wine cmd /c exit </dev/null >/dev/null 2>&1 9>&-
    local cable
    for cable in $BENCH_CABLES; do
        bench_start_cable "${cable%%:*}" "${cable##*:}"
    done
}

bench_stop() {
    trap - EXIT INT TERM
    set +e # stop everything, whatever has already gone
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
    local pid
    for pid in "${bench_pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    for pid in "${bench_pids[@]}"; do
        wait "$pid" 2>/dev/null
    done
    bench_pids=()
    # Cables plugged in again during the run belong to no shell of ours; their PIDs are on file.
    local cable
    for cable in $BENCH_CABLES; do
        bench_stop_cable "${cable%%:*}"
    done
}
