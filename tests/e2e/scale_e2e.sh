#!/usr/bin/env bash
# Every window on screen at a larger desktop scale: at 1.5 on a 1366 × 768
# screen and at 2 on a 1920 × 1080 one (QT_SCALE_FACTOR), and with the
# desktop's text at 150% (QT_FONT_DPI 144) on the smaller, each less a 40
# pixel panel and a title bar, the recorder, "我的录音", the launcher, the
# speech window and its training offer lie whole on the screen. The
# launcher is driven through the accessibility bus: its controls move with
# the scale.
set -euo pipefail
BIN=$(dirname "${1:?usage: scale_e2e.sh path/to/Oakhalt}")
HERE=$(cd "$(dirname "$0")" && pwd)
export E2E_SHOT=${E2E_SHOT:-/tmp/scale-e2e-failure.png}
. "$HERE/session.sh"
atspi() { /usr/bin/python3 "$HERE/atspi.py" "$@"; }

export LANG=zh_CN.UTF-8 QTWEBENGINE_DISABLE_SANDBOX=1 XDG_CONFIG_HOME="$E2E_WORK/config"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
mkdir -p "$XDG_CONFIG_HOME/Oakhalt"
printf '[Config]\nShowTips=0\n' >"$XDG_CONFIG_HOME/Oakhalt/Oakhalt.conf"
e2e_start_pulse
e2e_start_dbus
gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
    --method org.a11y.Bus.GetAddress >/dev/null || e2e_fail "no accessibility bus"
e2e_feed_room 300

# The window titled $1 lies inside the screen less the panel and, above
# it, a title bar ($2 device pixels).
on_screen() {
    local id geometry x y w h
    id=$(e2e_wait_window "$1" 30) || e2e_fail "no window \"$1\" at scale $scale"
    sleep 0.5
    geometry=$(xdotool getwindowgeometry --shell "$id")
    eval "$geometry" # X Y WIDTH HEIGHT
    x=$X; y=$Y; w=$WIDTH; h=$HEIGHT
    echo "scale $scale, ${screen}: \"$1\" is ${w} × ${h} at ${x},${y}"
    [ $((w)) -le "$sw" ] || e2e_fail "\"$1\" is wider ($w) than the screen ($sw)"
    [ $((h + $2)) -le $((sh - 40)) ] ||
        e2e_fail "\"$1\" and its title bar ($h + $2) are taller than the screen less its panel ($((sh - 40)))"
}

# The last: the desktop's own text size (fonts at 144 dots per inch).
for setup in "1366x768 1.5" "1920x1080 2" "1366x768 1 144"; do
    set -- $setup
    screen=$1 scale=$2
    if [ -n "${3:-}" ]; then export QT_FONT_DPI=$3; else unset QT_FONT_DPI; fi
    sw=${screen%x*} sh=${screen#*x}
    frame=$(awk -v s="$scale" 'BEGIN { printf "%d", 32 * s }')
    E2E_SCREEN=$screen e2e_start_display
    export QT_SCALE_FACTOR=$scale

    "$BIN/Brevon" oldstart >>"$E2E_WORK/brevon.log" 2>&1 &
    brevon=$!
    E2E_PIDS+=("$brevon")
    on_screen '^录音机标准版$' "$frame"
    xdotool windowfocus --sync "$(e2e_wait_window '^录音机标准版$' 5)" key F6
    on_screen '^我的录音$' "$frame"
    kill "$brevon"

    (cd / && exec "$BIN/Oakhalt") >>"$E2E_WORK/oakhalt.log" 2>&1 &
    oakhalt=$!
    E2E_PIDS+=("$oakhalt")
    on_screen '^Lumeno录音机$' "$frame"
    atspi press Oakhalt 下一步
    atspi press Oakhalt 根据语音识别进行录音
    atspi press Oakhalt 下一步
    on_screen '^语音识别录音机$' "$frame"
    on_screen '^口令训练$' "$frame"
    kill "$oakhalt"
    wait "$brevon" "$oakhalt" 2>/dev/null || true
done
echo "1 passed, 0 failed"
