#!/usr/bin/env bash
# The window thread's longest busy stretch for F1, F1 (stop), F4, a new
# take over an unsaved one and 开始识别, with a private PulseAudio whose
# null sink's monitor is the microphone, the desktop trash of a home of
# its own, and the recogniser's real model.
#   bench/window_waits.sh build/release/bin/window_waits [rounds]
set -euo pipefail
BENCH=$(readlink -f "${1:?usage: window_waits.sh path/to/window_waits [rounds]}")
. "$(dirname "$0")/../tests/e2e/session.sh"
e2e_start_pulse
e2e_feed_tone 600
export QT_QPA_PLATFORM=offscreen LANG=zh_CN.UTF-8
"$BENCH" "${2:-5}"
