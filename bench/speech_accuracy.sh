#!/usr/bin/env bash
# Recognition figures for the eight command words, with voices, speeds and
# pitches that the recogniser was not tuned on (it was tuned on the plain
# pinyin voice and its +m3 and +f2 variants at 100 and 130 words a minute):
# accuracy per word, wrong commands, unrelated phrases and silence accepted,
# slow speech (110 words a minute), and decoding time per utterance.
set -euo pipefail
SPEECHCHECK=${1:-$(dirname "$0")/../build/release/bin/speechcheck}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

words=(录音 暂停 继续 停止 播放 试听 保存 停止识别)
others=(你好 谢谢 保证 播音 打开 暂时 吃饭了吗 我要回家 今天天气很好 电话 明天见 多少钱 老师好 停车 开始)
voices=(+m1 +m5 +f1 +f3 +f4)
speeds=(110 150 180)
pitches=(35 65)

n=0
for v in "${voices[@]}"; do for s in "${speeds[@]}"; do for p in "${pitches[@]}"; do
    for w in "${words[@]}"; do
        espeak-ng -v "cmn-latn-pinyin$v" -s "$s" -p "$p" -w "$work/cmd_${w}_${s}_${p}${v}.wav" "$w"
        n=$((n + 1))
    done
done; done; done
for v in "${voices[@]}"; do for s in 110 150; do
    for o in "${others[@]}"; do
        espeak-ng -v "cmn-latn-pinyin$v" -s "$s" -w "$work/oov_${o}_${s}${v}.wav" "$o"
    done
done; done
sox -n -r 16000 -c 1 -b 16 "$work/silence.wav" trim 0 3

start=$(date +%s.%N)
SPEECH_TIMING=1 "$SPEECHCHECK" "$work"/cmd_*.wav "$work"/oov_*.wav "$work/silence.wav" \
    >"$work/out.tsv" 2>"$work/timing.txt"
end=$(date +%s.%N)
files=$(ls "$work"/*.wav | wc -l)

awk -F'\t' -v n="$n" -v files="$files" -v secs="$(awk -v a="$start" -v b="$end" 'BEGIN{print b-a}')" '
{
    f = $1; sub(/.*\//, "", f)
    split(f, part, "_")
    if (part[1] == "cmd") {
        said = part[2]
        if ($2 == said) { ok[said]++; okAll++; if (part[3] == 110) slowOk++ }
        else { wrong++ }
    } else if (part[1] == "oov") { oovAccepted++ }
    else { silenceAccepted++ }
}
END {
    per = n / 8
    printf "commands: %d utterances (%d per word)\n", n, per
    split("录音 暂停 继续 停止 播放 试听 保存 停止识别", w, " ")
    for (i = 1; i <= 8; i++) printf "  %s\t%.1f%% recognised\n", w[i], 100 * ok[w[i]] / per
    printf "recognised %.1f%%, wrong command %.1f%%, rejected %.1f%%\n",
           100 * okAll / n, 100 * wrong / n, 100 * (n - okAll - wrong) / n
    printf "slow speech (110 words a minute) recognised %.1f%%\n", 100 * slowOk / (n / 3)
    printf "unrelated phrases accepted as a command: %d of 150 (%.1f%%)\n", oovAccepted, 100 * oovAccepted / 150
    printf "silence accepted: %d\n", silenceAccepted + 0
    printf "decoding: %.3f s for %d files (%.1f ms per file, incl. model load)\n", secs, files, 1000 * secs / files
}' "$work/out.tsv"
sort -n -k2 "$work/timing.txt" | awk -F'\t' '$1 == "latency" { v[n++] = $2 }
END { if (n) printf "end of speech to phrase (audio time): median %.2f s, 90%% %.2f s, max %.2f s\n", v[int(n/2)], v[int(n*0.9)], v[n-1] }'
