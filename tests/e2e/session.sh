# Sourced by the end-to-end tests: a private X display and a private
# PulseAudio daemon whose null sink's monitor is the default microphone.
# Everything started here is stopped when the test exits.

E2E_WORK=$(mktemp -d)
E2E_PIDS=()
# The programs' data (unsaved takes, voice training) stays inside the test:
# a take one test leaves unsaved must not be offered to the next.
export XDG_DATA_HOME="$E2E_WORK/data"
# So do the recordings folder and the settings: a home of the test's own.
export HOME="$E2E_WORK/home"
mkdir -p "$HOME"

# Ends a process and everything it started (a pipeline's members too).
e2e_kill_tree() {
    local child
    for child in $(pgrep -P "$1" 2>/dev/null); do e2e_kill_tree "$child"; done
    kill "$1" 2>/dev/null || true
}

e2e_cleanup() {
    local i
    # Newest first: programs go before the display and sound server they use.
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do e2e_kill_tree "${E2E_PIDS[i]}"; done
    wait 2>/dev/null || true
    rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT

e2e_fail() {
    echo "FAIL: $*" >&2
    # The programs' own output, for whoever looks into the failure.
    for log in "$E2E_WORK"/*.log; do
        [ -s "$log" ] && { echo "--- $(basename "$log")"; tail -n 40 "$log"; } >&2
    done
    if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
        import -window root "${E2E_SHOT:-/tmp/e2e-failure.png}" 2>/dev/null &&
            echo "screenshot: ${E2E_SHOT:-/tmp/e2e-failure.png}" >&2
    fi
    exit 1
}

# The screen is 1280 × 1024 unless E2E_SCREEN says otherwise ("1366x768").
e2e_start_display() {
    local fdfile="$E2E_WORK/display.$RANDOM"
    # -noreset: the server would otherwise reset when its last client leaves,
    # refusing the next program's connection for a moment.
    Xvfb -displayfd 3 -noreset -screen 0 "${E2E_SCREEN:-1280x1024}x24" -nolisten tcp 3>"$fdfile" \
        2>"$E2E_WORK/xvfb.log" &
    E2E_PIDS+=($!)
    for _ in $(seq 100); do
        [ -s "$fdfile" ] && break
        sleep 0.1
    done
    [ -s "$fdfile" ] || e2e_fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$fdfile")" XDG_SESSION_TYPE=x11
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
}

# The launcher under a display of its own: the Chinese locale, the web
# view's sandbox off (the tests run as root), its settings in the work folder.
e2e_start_launcher_display() {
    export LANG=zh_CN.UTF-8 QTWEBENGINE_DISABLE_SANDBOX=1 XDG_CONFIG_HOME="$E2E_WORK/config"
    mkdir -p "$XDG_CONFIG_HOME/Oakhalt"
    e2e_start_display
}

# Starts the launcher ($1: its path) from another folder and goes on to
# page two, where the modes are chosen; sets $launcher (its process) and
# $main (its window).
e2e_launcher_page_two() {
    (cd / && exec "$1") >>"$E2E_WORK/oakhalt.log" 2>&1 &
    launcher=$!
    E2E_PIDS+=("$launcher")
    main=$(e2e_wait_window '^Lumeno录音机$' 30) || e2e_fail "no launcher window"
    xdotool windowfocus --sync "$main"
    sleep 0.5
    xdotool mousemove --window "$main" 464 468 click 1 # page one: 下一步
    sleep 1
}

# Waits up to ten seconds for the sound server ($1 names it) to answer.
e2e_wait_server() {
    for _ in $(seq 100); do
        pactl info >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    e2e_fail "$1 did not start"
}

e2e_start_pulse() {
    case "${E2E_SOUND:-pulseaudio}" in
    pipewire) e2e_start_pipewire; return ;;
    pulseaudio) ;;
    *) e2e_fail "E2E_SOUND is pulseaudio or pipewire, not $E2E_SOUND" ;;
    esac
    local d="$E2E_WORK/pulse"
    mkdir -p "$d/run" "$d/state"
    chmod 700 "$d/run"
    export PULSE_RUNTIME_PATH="$d/run" PULSE_STATE_PATH="$d/state" XDG_RUNTIME_DIR="$d/run"
    export PULSE_SERVER="unix:$d/native"
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --system=false --disallow-exit \
        --use-pid-file=no \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$d/native" \
        -L "module-null-sink sink_name=nullsink rate=44100 channels=2" \
        -L module-always-sink </dev/null >"$E2E_WORK/pulse.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait_server PulseAudio
    pactl set-default-sink nullsink
    pactl set-default-source nullsink.monitor
    export SDL_AUDIODRIVER=pulseaudio
}

# A private D-Bus session bus, as a desktop session has one.
e2e_start_dbus() {
    [ -n "${E2E_DBUS:-}" ] && return 0
    local fdfile="$E2E_WORK/bus"
    dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$fdfile" \
        >"$E2E_WORK/dbus.log" 2>&1 &
    E2E_PIDS+=($!)
    for _ in $(seq 50); do [ -s "$fdfile" ] && break; sleep 0.1; done
    [ -s "$fdfile" ] || e2e_fail "no D-Bus session"
    export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$fdfile") E2E_DBUS=1
}

# PipeWire as Debian's desktop runs it: the server, its session manager
# (which links streams to devices, and needs a D-Bus session) and its
# PulseAudio server, which the programs talk to. Started with E2E_SOUND=pipewire.
e2e_start_pipewire() {
    local d="$E2E_WORK/pipewire"
    mkdir -p "$d"
    chmod 700 "$d"
    export XDG_RUNTIME_DIR="$d" PIPEWIRE_RUNTIME_DIR="$d" PULSE_RUNTIME_PATH="$d/pulse"
    export PULSE_SERVER="unix:$d/pulse/native"
    e2e_start_dbus
    pipewire >"$E2E_WORK/pipewire.log" 2>&1 &
    E2E_PIDS+=($!)
    sleep 0.5
    wireplumber >"$E2E_WORK/wireplumber.log" 2>&1 &
    E2E_PIDS+=($!)
    pipewire-pulse >"$E2E_WORK/pipewire-pulse.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait_server "PipeWire's PulseAudio server"
    pactl load-module module-null-sink sink_name=nullsink rate=44100 channels=2 >/dev/null
    # The session manager takes a moment to see the new sink, and a moment
    # more to make it the default after it accepted the request.
    for _ in $(seq 50); do
        pactl set-default-sink nullsink 2>/dev/null &&
            pactl set-default-source nullsink.monitor 2>/dev/null &&
            [ "$(pactl get-default-source 2>/dev/null)" = nullsink.monitor ] && break
        sleep 0.2
    done
    [ "$(pactl get-default-source)" = nullsink.monitor ] ||
        e2e_fail "PipeWire's null sink is not the default source"
    export SDL_AUDIODRIVER=pulseaudio
}

# The display and the sound server, in the users' locale: what a recorder
# needs to run as a person uses it.
e2e_start_desktop() {
    export LANG=zh_CN.UTF-8
    e2e_start_display
    e2e_start_pulse
}

# Plays a tone into the null sink for $1 seconds: the "microphone" hears it.
# With $2 = 0 the tone is silent: an idle null sink's monitor falls behind
# the clock (seconds behind after a while), which a real microphone never
# does, so tests that need a quiet microphone feed silence.
# An idle null sink's monitor sends its first sound seconds after it is
# opened, so a take opened then loses its start: a feed is only under way
# once the sink runs (a loaded machine can take a second to start sox and
# pacat).
e2e_wait_sink_running() {
    for _ in $(seq 100); do
        pactl list short sinks 2>/dev/null | grep -q "nullsink.*RUNNING" && return 0
        sleep 0.1
    done
    echo "the null sink is not running: $(pactl list short sinks 2>&1 | grep nullsink)" >&2
}

# The feed asks for E2E_FEED_LATENCY_MS (20 by default) of latency, which
# sets the pace at which the monitor sends its blocks unless a recorder asks
# for smaller ones.
e2e_feed_tone() {
    (sox -q -n -r 44100 -c 2 -b 16 -e signed -L -t raw - synth "$1" sine 1000 vol "${2:-0.5}" |
        pacat --latency-msec="${E2E_FEED_LATENCY_MS:-20}" --raw --format=s16le --rate=44100 --channels=2 -d nullsink) \
        </dev/null >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait_sink_running
}

# Waits up to $2 seconds for a visible window whose title matches the
# extended regular expression $1; prints its id. Titles are compared through
# getwindowname: xdotool's own --name search misses Chinese titles.
e2e_wait_window() {
    local id name
    for _ in $(seq $(( ${2:-10} * 10 ))); do
        for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
            name=$(xdotool getwindowname "$id" 2>/dev/null || true)
            if printf '%s\n' "$name" | LC_ALL=C.UTF-8 grep -qE "$1"; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

# Whether a visible window's title matches the extended regular
# expression $1 now.
e2e_window_shown() {
    local id
    for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        xdotool getwindowname "$id" 2>/dev/null | LC_ALL=C.UTF-8 grep -qE "$1" && return 0
    done
    return 1
}

# Evaluates the shell condition $2 every 0.1 s until it holds, for at most
# $1 seconds; fails if it never does.
e2e_until() {
    local end
    end=$(awk -v s="$1" 'BEGIN { printf "%d", s * 10 }')
    for _ in $(seq "$end"); do
        eval "$2" && return 0
        sleep 0.1
    done
    eval "$2"
}

# Feeds faint noise for $1 seconds, like the room a real microphone hears;
# the recogniser adapts to its level (digital silence is no room at all).
e2e_feed_room() {
    (sox -q -n -r 44100 -c 2 -b 16 -e signed -L -t raw - synth "$1" pinknoise vol 0.003 |
        pacat --latency-msec=20 --raw --format=s16le --rate=44100 --channels=2 -d nullsink) \
        </dev/null >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait_sink_running
}

e2e_capture_streams() { pactl list short source-outputs | wc -l; }

# Waits up to $3 seconds until the take that $1 (Brevon, Tamsel, Oakhalt)
# records holds $2 seconds of sound, read from its recovery copy. A test
# that ends a take after so many seconds of the clock can find it empty on
# a machine where the sound server is slow to send the first block.
e2e_wait_heard() {
    local dir="$XDG_DATA_HOME/$1/recovery" want size f
    want=$(awk -v s="$2" 'BEGIN { printf "%d", 44 + s * 176400 }')
    for _ in $(seq $(( ${3:-10} * 10 ))); do
        f=$(ls -t "$dir"/*.wav 2>/dev/null | head -n1)
        size=$( [ -n "$f" ] && stat -c %s "$f" 2>/dev/null || echo 0)
        [ "$size" -ge "$want" ] && return 0
        sleep 0.1
    done
    echo "$1 heard $size bytes, not $2 s, in ${3:-10} s" >&2
    return 1
}

# Answers the open save dialog with the file name $1 (typed as a person
# would, Chinese included) and waits for the file to appear.
e2e_save_as() {
    local dialog
    dialog=$(e2e_wait_window '^保存' 15) || e2e_fail "no save dialog"
    xdotool windowfocus --sync "$dialog"
    sleep 0.5
    # A dialog still settling (a slow build, a loaded machine) can miss the
    # first characters: the name is read back and typed again until whole,
    # more slowly each time (xdotool types a character outside the keymap
    # by remapping a key, and a busy client can miss a quick remapping).
    local typed="" delay
    for delay in 20 80 200 400; do
        xdotool key ctrl+a
        LC_ALL=C.UTF-8 xdotool type --delay "$delay" "$1"
        sleep 0.2
        xdotool key ctrl+a ctrl+c
        typed=$(xclip -o -selection clipboard 2>/dev/null || true)
        [ "$typed" = "$1" ] && break
        echo "typed \"$typed\" into the save dialog; typing again" >&2
        sleep 0.5
    done
    xdotool key Return
    for _ in $(seq 100); do [ -f "$1" ] && break; sleep 0.1; done
    [ -f "$1" ] || e2e_fail "no file was saved"
    sleep 0.3
}

# A saved take: at least $2 seconds long and not silent.
e2e_check_take() {
    local dur rms
    dur=$(soxi -D "$1")
    rms=$(sox "$1" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
    echo "saved ${dur} s, RMS ${rms}"
    awk -v d="$dur" -v m="$2" 'BEGIN { exit !(d > m) }' || e2e_fail "the take is too short (${dur} s)"
    awk -v r="$rms" 'BEGIN { exit !(r > 0.01) }' || e2e_fail "the take is silent"
}
