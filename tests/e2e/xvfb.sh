# Sourced by the end-to-end tests and the screenshot script: a private X server at
# 96 DPI and the real program started in a folder of its own, with a faked clock.

for tool in Xvfb xdotool faketime; do
    command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/test, which installs it" >&2; exit 1; }
done

start_x() {
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset -br >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    return 1
}

# start_program DIR 'YYYY-MM-DD hh:mm:ss' [CWD]: runs DIR/suelvan with the clock starting
# there, in the folder CWD (DIR unless given). $BIN_DIR (or DIR/bin) comes first on PATH.
start_program() {
    (cd "${3:-$1}" && TZ=UTC LANG=de_DE.UTF-8 LC_ALL= FAKETIME_DONT_FAKE_MONOTONIC=1 PATH="${BIN_DIR:-$1/bin}:$PATH" \
        faketime -f "@$2" "$1/suelvan" >"$1/program.log" 2>&1) &
    PROGRAM_PID=$!
    PROGRAM_EXE="$1/suelvan"
    WINDOW=$(timeout 20 xdotool search --sync --onlyvisible --name '^S.*lvan Logger$' | head -n 1)
    [ -n "$WINDOW" ] || { echo "the window did not appear" >&2; cat "$1/program.log" >&2; return 1; }
    eval "$(xdotool getwindowgeometry --shell "$WINDOW")"  # X, Y, WIDTH, HEIGHT
}

# Ends the program and waits until its window is gone, so the next one is not confused with it.
stop_program() {
    pkill -f -x -- "$PROGRAM_EXE" 2>/dev/null || true  # faketime runs it as a grandchild
    kill "$PROGRAM_PID" 2>/dev/null || true
    wait "$PROGRAM_PID" 2>/dev/null || true
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name '^S.*lvan Logger$' >/dev/null || break
        sleep 0.1
    done
    PROGRAM_PID=
}

stop_all() {
    [ -n "${PROGRAM_PID:-}" ] && kill "$PROGRAM_PID" 2>/dev/null
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    return 0
}

# click LEFT TOP: a point in the window's client area, in pixels.
click() {
    # No --sync: it waits for a motion that never comes when the pointer is already there.
    xdotool mousemove $((X + $1)) $((Y + $2)) sleep 0.1 click 1
    sleep 0.2
}

# record_loud_landing NOTE MINUTES: loudness 3, landing, the note, that many minutes ago,
# then "Eintrag erstellen", clicked where the form places them.
record_loud_landing() {
    click $((166 + 7)) $((136 + 14))
    click $((42 + 7)) $((129 + 9))
    click $((42 + 100)) $((182 + 12))
    xdotool type --delay 30 "$1"
    click $((107 + 10)) $((224 + 11))
    xdotool key ctrl+a BackSpace
    xdotool type "$2"
    click $((42 + 44)) $((58 + 25))
}

# wait_for 'test expression' [seconds]
wait_for() {
    local tries=$(( ${2:-10} * 10 ))
    for _ in $(seq "$tries"); do
        eval "$1" && return 0
        sleep 0.1
    done
    echo "timed out waiting for: $1" >&2
    return 1
}
