#!/usr/bin/env python3
"""Spoken-command recognition figures, measured as a microphone would feed
the recogniser: every utterance of a set is joined into one continuous
stream (quiet between them), mixed with a room's noise, and run through
speechcheck in one go, so segmentation is the window's own.

Voices, speeds, pitches and phrases are split three ways: tuning (settings
are chosen on it), validation (choices are checked on it) and held-out
(only reported). The test speech is espeak-ng's; the recogniser's own
spellings are never made with it.

    bench/speech_eval.py [--split tuning,validation,heldout] [--cond quiet,floor,...]
                         [--set NAME=VALUE ...] [--tv MINUTES] [--trained]

Conditions: zeros (exact digital zeros between the words), floor (a -64
dBFS pink noise floor, as any microphone has), snrN or pinkN, brownN and
humN (steady pink or brown noise, or a fan's hum, N dB below the voice). --trained enrols each voice with three
sayings of every word (its own speeds, pitch 50) and measures the matcher,
also across pitch, speed, level, microphone colour and reverberation.
"""

import argparse
import concurrent.futures as cf
import hashlib
import json
import os
import random
import re
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
WORDS = ["录音", "暂停", "继续", "停止", "播放", "试听", "保存", "停止识别"]

SPLITS = {
    "tuning": {
        "voices": ["", "+m3", "+f2", "+m2", "+f5", "+klatt"],
        "speeds": [100, 140, 170],
        "pitches": [40, 55],
        "others": ["保住", "播报", "放音", "记住", "停下", "事情", "早点", "试一试", "保温", "停电",
                   "继承", "录取", "你好", "谢谢", "吃饭了吗", "我要回家", "电话", "多少钱",
                   "明天见", "开始"],
        "text": "今天早上我去公园散步，看见很多老人在打太极拳。天气很好，阳光照在湖面上，"
                "几只小鸟在树上唱歌。我的老朋友老王也来了，他说他的孙子考上了大学，"
                "全家人都很高兴。我们坐在长椅上聊天，说起年轻时候的事情，"
                "那时候生活很苦，可是大家都很快乐。中午我回到家里，做了一碗面条，"
                "吃完饭以后睡了一会儿。下午女儿打来电话，问我身体怎么样，"
                "我告诉她一切都好，让她不要担心。晚上看了一会儿电视新闻，"
                "新闻里说明天会下雨，出门要记得带伞。",
    },
    "validation": {
        "voices": ["+m1", "+f1", "+m6", "+aunty"],
        "speeds": [120, 160],
        "pitches": [45, 60],
        "others": ["暂且", "保护", "播种", "停靠", "试卷", "继而", "路上", "好的", "几点了",
                   "老师好", "今天天气很好", "打开", "孙子", "晚安", "菜市场"],
        "text": "下面请看天气预报。明天北方大部分地区天气晴朗，气温回升，"
                "南方地区有小到中雨，局部地区有大雨，请大家注意出行安全。"
                "接下来是一条社会新闻，本市新建的社区医院今天正式开门，"
                "附近的居民可以在家门口看病拿药，不用再跑到市中心的大医院排队。"
                "医院的院长说，他们特别为老年人准备了绿色通道，还有专人帮助老人挂号。"
                "一位七十多岁的老奶奶高兴地说，这下方便多了。",
    },
    "heldout": {
        "voices": ["+m4", "+m5", "+f3", "+f4", "+m8", "+grandma", "+edward"],
        "speeds": [110, 150, 180],
        "pitches": [35, 50, 65],
        "others": ["暂时", "保证", "播音", "停车", "试试", "停止吧", "记录", "放心", "拼音",
                   "几点", "晚饭", "我想喝水", "医生来了", "外面下雨了", "孩子们", "电视机",
                   "休息一下", "慢慢走", "银行", "超市"],
        "text": "各位观众朋友们，大家晚上好，欢迎收看今天的健康节目。"
                "今天我们请来了一位有名的医生，和大家谈一谈老年人怎样吃得健康。"
                "医生说，老年人每天要多吃蔬菜和水果，少吃油腻的东西，"
                "饭菜要清淡一些，盐也不要放得太多。早饭一定要吃，"
                "可以喝一碗小米粥，再吃一个鸡蛋。每天还要多喝水，"
                "适当地出去走一走，晒晒太阳，对身体很有好处。"
                "如果觉得哪里不舒服，要早一点去医院检查，不要拖着。"
                "好了，今天的节目就到这里，我们下周同一时间再见。",
    },
}
# Letters read aloud while a take runs: everyday sentences, some with a
# command word inside, some short and close in sound to a command. None is
# a command word said on its own.
LETTERS = {
    "tuning": "亲爱的女儿，你好。最近天气变冷了，我每天早上还是去公园散步。"
              "昨天我用你买的录音机给你说了几句话，可是按错了按钮，只好暂停了一会儿再继续说。"
              "邻居王阿姨说，她孙子的手机也能播放歌曲。停一下。"
              "我们小区的电梯停止运行了三天，上下楼很不方便。"
              "医生让我按时吃药，还要保存好病历。你寄来的衣服很合身，我试了试，很暖和。"
              "下个星期社区有健康讲座，我想先去试听一下。录一点儿歌给你听吧。"
              "家里一切都好，你爸爸身体也不错。他每天下午听广播，还学会了播放视频。"
              "保重身体。继续努力工作，有空就回家看看。停一停再说吧。想你的妈妈。",
    "validation": "老张，好久不见。上个月我搬了新家，离菜市场很近。"
                  "每天早上我都录音练习唱歌，录完了再播放给自己听。"
                  "唱得不好的地方，我就暂停一下，想一想再继续。路上慢点。"
                  "前几天下大雨，公交车停止营业了一整天。保温杯别忘了带。"
                  "孙子教我用手机，他说照片要保存在相册里。停电了。"
                  "我们社区开了一个合唱团，我去试听了两次，觉得挺好。"
                  "播报天气的时候，你记得听一听。继续锻炼身体，比什么都重要。"
                  "暂时就写到这里。有空来家里坐坐，我给你做饺子。祝你全家平安。",
    "heldout": "小李，你好。收到你的信，我很高兴。"
               "我现在每天用录音的方法记日记，比写字方便多了。"
               "有时候说着说着忘了词，就暂停下来，喝口水再继续。"
               "你上次说的那个收音机，我已经播放过好几遍了。停车场在楼下。"
               "上周末社区停止供水半天，大家都提前保存了一些水。"
               "试试看吧。我去医院试听了一种新的助听器，声音清楚多了。"
               "放心吧，我身体还行。记录血压的本子我一直保存着。"
               "天冷了，继续多穿点衣服。停止抽烟以后，我咳嗽好多了。"
               "播音员的声音真好听。就说到这儿吧，祝你万事如意。",
}
READ_SPEEDS = {"tuning": [130, 150, 175], "validation": [140, 160, 180], "heldout": [135, 155, 170]}
SLOW_SPEEDS = [80, 90]
PAUSES = [0.25, 0.4]
GAP = 1.5  # quiet after each command or phrase, seconds
LEVEL = -6  # every utterance's peak, dBFS


def run(cmd, **kw):
    # sox dithers what it writes with a new random seed each time unless
    # told not to; the recogniser's figures then move by a point or two from
    # run to run with no change in what is measured.
    if cmd[0] == "sox":
        cmd = ["sox", "-R", *cmd[1:]]
    return subprocess.run(cmd, check=True, capture_output=True, text=True, **kw)


def sox_len(path):
    return float(run(["soxi", "-D", path]).stdout)


class Corpus:
    """Synthesised utterances, cached by what they are."""

    def __init__(self, cache):
        self.cache = cache
        os.makedirs(cache, exist_ok=True)

    def path(self, key):
        return os.path.join(self.cache, hashlib.sha1(key.encode()).hexdigest()[:16] + ".wav")

    def say(self, text, voice, speed, pitch):
        out = self.path(f"say|{text}|{voice}|{speed}|{pitch}")
        if not os.path.exists(out):
            raw = out + ".raw.wav"
            run(["espeak-ng", "-v", "cmn-latn-pinyin" + voice, "-s", str(speed), "-p", str(pitch),
                 "-w", raw, text])
            # 16 kHz mono at a fixed peak, the synthesiser's own quiet cut off.
            run(["sox", raw, "-r", "16000", "-c", "1", "-b", "16", out, "silence", "1", "0.02",
                 "0.3%", "reverse", "silence", "1", "0.02", "0.3%", "reverse", "gain", "-n",
                 str(LEVEL)])
            os.remove(raw)
        return out

    def paused(self, word, voice, speed, pitch, gap):
        """The word said a syllable at a time, with `gap` seconds between."""
        out = self.path(f"paused|{word}|{voice}|{speed}|{pitch}|{gap}")
        if not os.path.exists(out):
            parts = [self.say(ch, voice, speed, pitch) for ch in word]
            cmd = ["sox"]
            for i, p in enumerate(parts):
                cmd.append(p)
            cmd += [out]
            # sox joins files; the gaps are padded onto each part but the last.
            padded = []
            for i, p in enumerate(parts):
                if i + 1 < len(parts):
                    q = out + f".{i}.wav"
                    run(["sox", p, q, "pad", "0", str(gap)])
                    padded.append(q)
                else:
                    padded.append(p)
            run(["sox", *padded, out, "gain", "-n", str(LEVEL)])
            for q in padded[:-1]:
                os.remove(q)
        return out

    def effect(self, src, name, args):
        out = self.path(f"fx|{src}|{name}")
        if not os.path.exists(out):
            run(["sox", src, "-r", "16000", "-c", "1", "-b", "16", out, *args])
        return out


def items_for(split, corpus, kinds):
    """(kind, label, file) for the split's commands, slow and paused
    commands, unrelated phrases and television-like speech."""
    s = SPLITS[split]
    jobs = []
    if "cmd" in kinds:
        for v in s["voices"]:
            for sp in s["speeds"]:
                for p in s["pitches"]:
                    for w in WORDS:
                        jobs.append(("cmd", w, (w, v, sp, p)))
    if "slow" in kinds:
        for v in s["voices"]:
            p = s["pitches"][len(s["pitches"]) // 2]
            for sp in SLOW_SPEEDS:
                for w in WORDS:
                    jobs.append(("slow", w, (w, v, sp, p)))
            for g in PAUSES:
                for w in WORDS:
                    jobs.append(("paused", w, (w, v, s["speeds"][0], p, g)))
    if "oov" in kinds:
        for i, v in enumerate(s["voices"]):
            sp = s["speeds"][i % len(s["speeds"])]
            for o in s["others"]:
                jobs.append(("oov", o, (o, v, sp, s["pitches"][0])))

    def make(job):
        kind, label, a = job
        f = corpus.paused(*a) if kind == "paused" else corpus.say(*a)
        return (kind, label, f)

    with cf.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        return list(pool.map(make, jobs))


def tv_items(split, corpus, minutes):
    """Clauses of the split's text read by its voices in turn, with the
    pauses of real speech between them, until `minutes` are filled."""
    s = SPLITS[split]
    clauses = [c for c in re.split(r"[，。！？、]", s["text"]) if c]
    rnd = random.Random(split)
    jobs, total = [], 0.0
    while total < minutes * 60:
        for c in clauses:
            v = rnd.choice(s["voices"])
            sp = rnd.choice(s["speeds"])
            jobs.append((c, v, sp, s["pitches"][0]))
            total += len(c) * 60.0 / sp / 1.6 + 1.0
            if total >= minutes * 60:
                break
    with cf.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        files = list(pool.map(lambda a: corpus.say(*a), jobs))
    return [("tv", "", f) for f in files], rnd


def letter_items(split, corpus, minutes, voices=None, seed=""):
    """The split's letter read clause by clause, again and again by the
    split's voices (or only `voices`) at reading speeds, with a reader's
    pauses: short between clauses, longer between sentences. Returns the
    items and their gaps."""
    s = SPLITS[split]
    voices = voices or s["voices"]
    sentences = [x for x in re.split(r"(?<=[。！？])", LETTERS[split]) if x]
    rnd = random.Random(split + "letter" + seed)
    jobs, gaps, total, reading = [], [], 0.0, 0
    while total < minutes * 60:
        v = voices[reading % len(voices)]
        sp = READ_SPEEDS[split][reading % len(READ_SPEEDS[split])]
        p = s["pitches"][reading % len(s["pitches"])]
        reading += 1
        for sentence in sentences:
            clauses = [c for c in re.split(r"[，。！？、]", sentence) if c]
            for i, c in enumerate(clauses):
                jobs.append((c, v, sp, p))
                gap = rnd.uniform(0.3, 0.7) if i + 1 < len(clauses) else rnd.uniform(0.9, 1.8)
                gaps.append(gap)
                total += len(c) * 60.0 / sp + gap
    # Each clause once (a reading repeats some), then in reading order.
    unique = list(dict.fromkeys(jobs))
    with cf.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        made = dict(zip(unique, pool.map(lambda a: corpus.say(*a), unique)))
    return [("letter", c[0], made[c]) for c in jobs], gaps


def build_stream(items, out, gaps):
    """Joins the items with quiet; returns [(kind, label, start, end)]."""
    layout, t = [], 0.0
    padded = []
    for (kind, label, f), gap in zip(items, gaps):
        n = sox_len(f)
        layout.append((kind, label, t, t + n))
        t += n + gap
        padded.append((f, gap))
    # sox takes a file list; pad each in a temporary copy in chunks.
    listing = out + ".parts"
    os.makedirs(listing, exist_ok=True)
    parts = []

    def pad(i):
        f, gap = padded[i]
        q = os.path.join(listing, f"{i:06d}.wav")
        run(["sox", f, q, "pad", "0", f"{gap:.3f}"])
        return q

    with cf.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        parts = list(pool.map(pad, range(len(padded))))
    # Joined in batches: the command line has limits.
    batch = []
    for i in range(0, len(parts), 200):
        b = os.path.join(listing, f"batch{i:06d}.wav")
        run(["sox", *parts[i:i + 200], b])
        batch.append(b)
    run(["sox", *batch, out])
    for p in parts + batch:
        os.remove(p)
    os.rmdir(listing)
    return layout, t


NOISES = {
    # A fan, traffic, a refrigerator: steady noises of different colours.
    "pink": [["synth", "{s}", "pinknoise", "vol", "0.3"]],
    "brown": [["synth", "{s}", "brownnoise", "vol", "0.3"]],
    # A fan's hum: its motor's tone and harmonics over a soft rush of air.
    "hum": [["synth", "{s}", "sine", "100", "vol", "0.3"],
            ["synth", "{s}", "sine", "200", "vol", "0.15"],
            ["synth", "{s}", "sine", "300", "vol", "0.08"],
            ["synth", "{s}", "brownnoise", "vol", "0.1"]],
}


def noise_file(work, name, rms_db, seconds, colour="pink"):
    """Steady noise of `colour` at `rms_db` dBFS RMS."""
    out = os.path.join(work, f"noise_{name}.wav")
    if not os.path.exists(out):
        raw = out + ".raw.wav"
        parts = []
        for i, fx in enumerate(NOISES[colour]):
            part = f"{raw}.{i}.wav"
            run(["sox", "-n", "-r", "16000", "-c", "1", "-b", "16", part,
                 *[x.format(s=seconds) for x in fx]])
            parts.append(part)
        if len(parts) == 1:
            os.rename(parts[0], raw)
        else:
            run(["sox", "-m", *parts, raw])
            for part in parts:
                os.remove(part)
        stats = run(["sox", raw, "-n", "stats"]).stderr
        have = float(re.search(r"RMS lev dB\s+(-?[\d.]+)", stats).group(1))
        run(["sox", raw, out, "gain", f"{rms_db - have:.2f}"])
        os.remove(raw)
    return out


def room_for(work, cond, level):
    """The room a condition names: floor (a faint pink floor), snrN (pink N
    dB under the voice), or pinkN, brownN, humN."""
    if cond == "floor":
        return noise_file(work, "floor", -64, 30)
    m = re.fullmatch(r"(snr|pink|brown|hum)(\d+)", cond)
    if not m:
        return None
    colour = "pink" if m.group(1) == "snr" else m.group(1)
    return noise_file(work, cond, level - float(m.group(2)), 30, colour)


def speech_rms(files):
    vals = []
    for f in files[:: max(1, len(files) // 40)]:
        stats = run(["sox", f, "-n", "stats"]).stderr
        vals.append(float(re.search(r"RMS lev dB\s+(-?[\d.]+)", stats).group(1)))
    return statistics.mean(vals)


def letter_flags(a):
    """How the recogniser is set while the letter is read: as during a take."""
    return [] if a.letter_idle else ["--during-take"]


FLAGS = []  # speechcheck flags for every run


def speechcheck(exe, stream, room, settings, profile=None, extra=()):
    extra = list(dict.fromkeys([*FLAGS, *extra]))
    cmd = [exe, "--times", "--gap", "0", *extra]
    if room:
        cmd += ["--room", room]
    for s in settings:
        cmd += ["--set", s]
    if profile:
        cmd += ["--profile", profile]
    out = run(cmd + [stream]).stdout
    heard = []
    for line in out.splitlines():
        f = line.split("\t")
        if len(f) == 3:
            heard.append((f[1], float(f[2])))
    return heard


def score(layout, heard):
    """Each phrase belongs to the last utterance that began before it."""
    starts = [l[2] for l in layout]
    got = [[] for _ in layout]
    import bisect
    for phrase, t in heard:
        i = bisect.bisect_right(starts, t) - 1
        if i >= 0:
            got[i].append((phrase, t))
    r = {"n": {}, "ok": {}, "wrong": {}, "acc": {}, "lat": [], "perword": {}, "fired": [],
         "confused": {}}
    for (kind, label, start, end), g in zip(layout, got):
        r["n"][kind] = r["n"].get(kind, 0) + 1
        phrases = [p for p, _ in g]
        if label in WORDS:
            pw = r["perword"].setdefault(f"{kind}:{label}", [0, 0])
            pw[1] += 1
            if phrases == [label]:
                r["ok"][kind] = r["ok"].get(kind, 0) + 1
                pw[0] += 1
                if kind == "cmd":
                    r["lat"].append(g[0][1] - end)
                r["ok"][kind] = r["ok"].get(kind, 0) + 0
            elif any(p != label for p in phrases):
                r["wrong"][kind] = r["wrong"].get(kind, 0) + 1
                for p in phrases:
                    if p != label:
                        pair = f"{label}→{p}" + ("" if kind == "cmd" else f" ({kind})")
                        r["confused"][pair] = r["confused"].get(pair, 0) + 1
            if label == "停止识别" and "停止" in phrases:
                r["heard_as_stop"] = r.get("heard_as_stop", 0) + 1
        else:
            if phrases:
                r["acc"][kind] = r["acc"].get(kind, 0) + 1
                r["fired"].append((label, phrases))
            if kind in ("tv", "letter"):
                r["tvfired"] = r.get("tvfired", 0) + len(phrases)
    return r


def summary(name, r, tv_seconds):
    n, ok, wrong, acc = r["n"], r["ok"], r["wrong"], r["acc"]
    pct = lambda a, b: 100.0 * a / b if b else float("nan")
    out = {"name": name}
    if n.get("cmd"):
        out["correct"] = pct(ok.get("cmd", 0), n["cmd"])
        out["wrong"] = pct(wrong.get("cmd", 0), n["cmd"])
    if n.get("slow"):
        out["slow"] = pct(ok.get("slow", 0), n["slow"])
    if n.get("paused"):
        out["paused"] = pct(ok.get("paused", 0), n["paused"])
    for kind in n:
        if kind not in ("cmd", "slow", "paused", "oov", "tv"):
            out[kind] = pct(ok.get(kind, 0), n[kind])
    if n.get("oov"):
        out["unrelated"] = pct(acc.get("oov", 0), n["oov"])
    if tv_seconds:
        out["tv_per_hour"] = r.get("tvfired", 0) * 3600.0 / tv_seconds
    if r.get("letter_seconds"):
        out["dictation_minutes"] = r["letter_seconds"] / 60.0
        out["dictation_per_hour"] = r.get("letterfired", 0) * 3600.0 / r["letter_seconds"]
    if n.get("cmd"):
        out["stop_listening_as_stop"] = r.get("heard_as_stop", 0)
    if r["lat"]:
        lat = sorted(r["lat"])
        out["delay_median"] = lat[len(lat) // 2]
        out["delay_p90"] = lat[int(len(lat) * 0.9)]
    out["perword"] = {k: round(100.0 * a / b) for k, (a, b) in sorted(r["perword"].items())
                      if k.startswith("cmd:")}
    out["fired"] = r["fired"][:30]
    # Which command was taken for which, commonest first (every kind of saying).
    out["confused"] = sorted(r["confused"].items(), key=lambda kv: -kv[1])
    out["letter_fired"] = r.get("letter_fired", [])
    return out


def print_heard_wrong(res):
    if res["confused"]:
        print("   taken for another:", " ".join(f"{k} {v}" for k, v in res["confused"]))
    if res["fired"]:
        print("   fired:", "; ".join(f"{l}→{'/'.join(p)}" for l, p in res["fired"][:15]))
    if res["letter_fired"]:
        print("   in dictation:",
              "; ".join(f"{l}→{'/'.join(p)}" for l, p in res["letter_fired"]))


TRAIN_SPEEDS = [105, 130, 150]
# How a trained voice may differ from its training: (speed, pitch, sox effect).
VARIANTS = {
    "pitch35": (130, 35, []),
    "pitch65": (130, 65, []),
    "speed0.7": (91, 50, []),
    "speed1.4": (182, 50, []),
    "louder12": (130, 50, ["gain", "12"]),
    "softer12": (130, 50, ["gain", "-12"]),
    "telephone": (130, 50, ["sinc", "300-3400"]),
    "treble": (130, 50, ["treble", "+12"]),
    "reverb": (130, 50, ["reverb", "40", "50", "60"]),
}


def trained_jobs(split, corpus, work, a):
    """One job per voice of the split: its profile from three sayings of
    each word, then its commands (the split's speeds and pitches and every
    variant) and unrelated phrases."""
    s = SPLITS[split]
    jobs = []
    floor = noise_file(work, "floor", -64, 30)
    for vi, v in enumerate(s["voices"]):
        prof = os.path.join(work, f"profile_{split}_{vi}")
        for w in WORDS:
            takes = [corpus.say(w, v, sp, 50) for sp in TRAIN_SPEEDS]
            run([a.speechcheck, "--room", floor, "--enrol", prof, w, *takes])
        items = []
        for sp in s["speeds"]:
            for p in s["pitches"]:
                items += [("cmd", w, corpus.say(w, v, sp, p)) for w in WORDS]
        for name, (sp, p, fx) in ({} if a.no_variants else VARIANTS).items():
            for w in WORDS:
                f = corpus.say(w, v, sp, p)
                items.append((name, w, corpus.effect(f, name, fx) if fx else f))
        for sp in [] if a.no_variants else SLOW_SPEEDS:
            items += [("slow", w, corpus.say(w, v, sp, 50)) for w in WORDS]
        items += [("oov", o, corpus.say(o, v, s["speeds"][0], 50)) for o in s["others"]]
        jobs.append((v, prof, items))
    return jobs


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--speechcheck", default=os.path.join(HERE, "../build/release/bin/speechcheck"))
    ap.add_argument("--split", default="tuning,validation,heldout")
    ap.add_argument("--cond", default="floor")
    ap.add_argument("--kinds", default="cmd,slow,oov")
    ap.add_argument("--set", action="append", default=[])
    ap.add_argument("--commands", help="the command words' only spellings (a file)")
    ap.add_argument("--tv", type=float, default=0, help="minutes of television-like speech")
    ap.add_argument("--letter", type=float, default=0,
                    help="minutes of the split's letter read aloud while a take runs")
    ap.add_argument("--flag", action="append", default=[],
                    help="a speechcheck flag for every run (--no-conditions)")
    ap.add_argument("--during-take", action="store_true",
                    help="hear the commands and phrases too as while a take runs")
    ap.add_argument("--letter-idle", action="store_true",
                    help="read the letter to the recogniser as when no take runs")
    ap.add_argument("--cache", default=os.path.join(tempfile.gettempdir(), "speech-eval-cache"))
    ap.add_argument("--json", action="store_true")
    ap.add_argument("--trained", action="store_true")
    ap.add_argument("--no-variants", action="store_true",
                    help="trained: only the split's commands and other phrases (no pitch, "
                         "speed, level, microphone or room variants, no slow words)")
    ap.add_argument("--voices", help="the split's voices replaced by these (comma-separated "
                    "espeak-ng variants outside every split, to probe unseen voices)")
    ap.add_argument("--stop-listening", action="store_true",
                    help="停止识别 alone, by voices outside every split: how often it is 停止")
    a = ap.parse_args()
    if a.voices:
        for split in a.split.split(","):
            SPLITS[split]["voices"] = ["+" + v.lstrip("+") for v in a.voices.split(",")]
    FLAGS.extend(a.flag)
    corpus = Corpus(a.cache)
    work = tempfile.mkdtemp(prefix="speech-eval-")
    jobs = []
    if a.trained:
        return trained_main(a, corpus, work)
    if a.stop_listening:
        return stop_listening_main(a, corpus, work)
    for split in a.split.split(","):
        items = items_for(split, corpus, a.kinds.split(","))
        rnd = random.Random(split + "gaps")
        gaps = [GAP + rnd.uniform(0, 0.5) for _ in items]
        stream = os.path.join(work, f"{split}.wav")
        layout, _ = build_stream(items, stream, gaps)
        tv = None
        if a.tv > 0:
            tvi, trnd = tv_items(split, corpus, a.tv)
            tgaps = [trnd.uniform(0.6, 1.5) for _ in tvi]
            tstream = os.path.join(work, f"{split}_tv.wav")
            tlayout, tlen = build_stream(tvi, tstream, tgaps)
            tv = (tstream, tlayout, tlen)
        letter = None
        if a.letter > 0:
            li, lg = letter_items(split, corpus, a.letter)
            lstream = os.path.join(work, f"{split}_letter.wav")
            llayout, llen = build_stream(li, lstream, lg)
            letter = (lstream, llayout, llen)
        level = speech_rms([f for _, _, f in items])
        for cond in a.cond.split(","):
            room = room_for(work, cond, level)
            jobs.append((split, cond, stream, layout, room, tv, letter))

    def one(job):
        split, cond, stream, layout, room, tv, letter = job
        extra = ["--commands", a.commands] if a.commands else []
        if a.during_take:
            extra.append("--during-take")
        r = score(layout, speechcheck(a.speechcheck, stream, room, a.set, extra=extra))
        tvsec = 0
        if tv:
            tr = score(tv[1], speechcheck(a.speechcheck, tv[0], room, a.set, extra=extra))
            r["n"]["tv"] = tr["n"].get("tv", 0)
            r["tvfired"] = tr.get("tvfired", 0)
            r["fired"] += tr["fired"]
            tvsec = tv[2]
        if letter:
            lr = score(letter[1], speechcheck(a.speechcheck, letter[0], room, a.set,
                                              extra=extra + letter_flags(a)))
            r["letterfired"] = lr.get("tvfired", 0)
            r["letter_seconds"] = letter[2]
            r["letter_fired"] = lr["fired"]
        return summary(f"{split}/{cond}", r, tvsec)

    with cf.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        results = list(pool.map(one, jobs))
    for res in results:
        if a.json:
            print(json.dumps(res, ensure_ascii=False))
            continue
        line = [res["name"]]
        for k in ("correct", "wrong", "slow", "paused", "unrelated", "stop_listening_as_stop",
                  "tv_per_hour",
                  "dictation_minutes", "dictation_per_hour", "delay_median",
                  "delay_p90", *[k for k in res if k in VARIANTS]):
            if k in res:
                line.append(f"{k} {res[k]:.1f}" if "delay" not in k else f"{k} {res[k]:.2f}")
        print("  ".join(line))
        print("   per word:", " ".join(f"{k[4:]} {v}" for k, v in res["perword"].items()))
        print_heard_wrong(res)
    subprocess.run(["rm", "-rf", work])


# Voices none of the splits uses, for the one word whose first two syllables
# are a command of their own.
OUTSIDE_VOICES = ["+Annie", "+belinda", "+linda", "+m7", "+iven", "+john", "+max", "+adam",
                  "+david", "+grandpa"]


def stop_listening_main(a, corpus, work):
    items = [("cmd", "停止识别", corpus.say("停止识别", v, sp, p))
             for v in OUTSIDE_VOICES for sp in (110, 150, 175) for p in (38, 62)]
    stream = os.path.join(work, "stop_listening.wav")
    layout, _ = build_stream(items, stream, [GAP + 0.3] * len(items))
    room = noise_file(work, "floor", -64, 30)
    r = score(layout, speechcheck(a.speechcheck, stream, room, a.set))
    n = r["n"]["cmd"]
    print(f"停止识别 said {n} times by {len(OUTSIDE_VOICES)} voices outside the splits: "
          f"heard {r['ok'].get('cmd', 0)}, heard as 停止 {r.get('heard_as_stop', 0)}, "
          f"as another command {r['wrong'].get('cmd', 0) - r.get('heard_as_stop', 0)}")
    subprocess.run(["rm", "-rf", work])


def trained_main(a, corpus, work):
    """Per split and condition, the figures over all its voices."""
    for split in a.split.split(","):
        jobs = trained_jobs(split, corpus, work, a)
        level = speech_rms([f for _, _, items in jobs for _, _, f in items])
        streams = []
        for i, (v, prof, items) in enumerate(jobs):
            rnd = random.Random(split + v)
            stream = os.path.join(work, f"trained_{split}_{i}.wav")
            layout, _ = build_stream(items, stream, [GAP + rnd.uniform(0, 0.5) for _ in items])
            streams.append((prof, stream, layout))
        tv = None
        if a.tv > 0:
            tvi, trnd = tv_items(split, corpus, a.tv)
            tstream = os.path.join(work, f"trained_{split}_tv.wav")
            tlayout, tlen = build_stream(tvi, tstream, [trnd.uniform(0.6, 1.5) for _ in tvi])
            tv = (tstream, tlayout, tlen)
        letters = []
        if a.letter > 0:
            for i, (v, prof, _) in enumerate(jobs):
                li, lg = letter_items(split, corpus, a.letter / len(jobs), voices=[v], seed=v)
                lstream = os.path.join(work, f"trained_{split}_{i}_letter.wav")
                llayout, llen = build_stream(li, lstream, lg)
                letters.append((lstream, llayout, llen))
        for cond in a.cond.split(","):
            room = room_for(work, cond, level) or noise_file(work, "floor", -64, 30)

            def one(i):
                prof, stream, layout = streams[i]
                r = score(layout, speechcheck(a.speechcheck, stream, room, a.set, profile=prof))
                if letters:
                    lstream, llayout, llen = letters[i]
                    lr = score(llayout, speechcheck(a.speechcheck, lstream, room, a.set,
                                                    profile=prof, extra=letter_flags(a)))
                    r["letterfired"] = lr.get("tvfired", 0)
                    r["letter_seconds"] = llen
                    r["letter_fired"] = lr["fired"]
                if tv:
                    # The television heard by this voice's profile.
                    tr = score(tv[1], speechcheck(a.speechcheck, tv[0], room, a.set, profile=prof))
                    r["tvfired"] = tr.get("tvfired", 0)
                    r["fired"] += tr["fired"]
                return r

            with cf.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
                parts = list(pool.map(one, range(len(streams))))
            total = {"n": {}, "ok": {}, "wrong": {}, "acc": {}, "lat": [], "perword": {},
                     "fired": [], "confused": {}}
            for r in parts:
                for key in ("n", "ok", "wrong", "acc", "confused"):
                    for k, val in r[key].items():
                        total[key][k] = total[key].get(k, 0) + val
                total["lat"] += r["lat"]
                total["tvfired"] = total.get("tvfired", 0) + r.get("tvfired", 0)
                total["heard_as_stop"] = total.get("heard_as_stop", 0) + r.get("heard_as_stop", 0)
                total["letterfired"] = total.get("letterfired", 0) + r.get("letterfired", 0)
                total["letter_seconds"] = total.get("letter_seconds", 0) + r.get("letter_seconds", 0)
                total["letter_fired"] = total.get("letter_fired", []) + r.get("letter_fired", [])
                total["fired"] += r["fired"]
                for k, (x, y) in r["perword"].items():
                    pw = total["perword"].setdefault(k, [0, 0])
                    pw[0] += x
                    pw[1] += y
            res = summary(f"trained {split}/{cond}", total, tv[2] * len(streams) if tv else 0)
            voices = [100.0 * r["ok"].get("cmd", 0) / r["n"]["cmd"] for r in parts]
            line = [res["name"]] + [f"{k} {res[k]:.1f}" for k in
                                    ("correct", "wrong", "slow", "unrelated",
                                     "stop_listening_as_stop", "tv_per_hour",
                                     "dictation_minutes", "dictation_per_hour", *VARIANTS)
                                    if k in res]
            line += [f"{k} {res[k]:.2f}" for k in ("delay_median", "delay_p90") if k in res]
            print("  ".join(line))
            print("   per voice:", " ".join(f"{v or 'default'} {c:.0f}"
                                           for (v, _, _), c in zip(jobs, voices)))
            print_heard_wrong(res)
    subprocess.run(["rm", "-rf", work])


if __name__ == "__main__":
    main()
