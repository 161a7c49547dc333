#!/usr/bin/env python3
"""Chooses the everyday words that sound nearly like a command, by a rule
over a pinyin input method's word list, and writes them as the recogniser's
table of words that do nothing (speech/recogniser/Decoys.cpp).

The rule: a two-character word is a command's near neighbour when its
reading (without tones, which the acoustic model does not hear) is the
two-syllable command's with one syllable changed in exactly its initial or
exactly its final. A word that reads exactly as the command is never one:
to the model it is the command. The commonest few of each command are
kept, commonest first.

Needs the Debian packages rime-data-luna-pinyin (readings), rime-essay (how
often each word is written) and opencc (the words in Simplified script).
The table is committed: building the program does not need them.
"""
import argparse
import subprocess
import sys

RIME = "/usr/share/rime-data"
COMMANDS = {"录音": "lu yin", "停止": "ting zhi", "暂停": "zan ting", "继续": "ji xu",
            "播放": "bo fang", "试听": "shi ting", "保存": "bao cun"}
INITIALS = ["zh", "ch", "sh", "b", "p", "m", "f", "d", "t", "n", "l", "g", "k", "h", "j", "q",
            "x", "r", "z", "c", "s", "y", "w"]


def split(syllable):
    for i in INITIALS:
        if syllable.startswith(i) and len(syllable) > len(i):
            return i, syllable[len(i):]
    return "", syllable


def one_part_apart(a, b):
    (ia, fa), (ib, fb) = split(a), split(b)
    return (ia == ib) != (fa == fb)


def readings():
    """Each character's likeliest reading, and the words the list spells out."""
    chars, words = {}, {}
    with open(f"{RIME}/luna_pinyin.dict.yaml", encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) < 2 or line.startswith("#"):
                continue
            text, reading = fields[0], fields[1]
            share = float(fields[2].rstrip("%")) if len(fields) > 2 and fields[2] else 100.0
            if len(text) == 1:
                if share > chars.get(text, ("", -1))[1]:
                    chars[text] = (reading, share)
            else:
                words.setdefault(text, reading)
    return {c: r for c, (r, _) in chars.items()}, words


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--per-command", type=int, default=6)
    ap.add_argument("--min-count", type=int, default=300,
                    help="how often a word must be written in the essay to count as common")
    ap.add_argument("--out", default="speech/recogniser/Decoys.cpp")
    a = ap.parse_args()
    chars, words = readings()
    common = []
    with open(f"{RIME}/essay.txt", encoding="utf-8") as f:
        for line in f:
            text, _, count = line.rstrip("\n").partition("\t")
            if len(text) == 2 and count.isdigit() and int(count) >= a.min_count:
                reading = words.get(text) or " ".join(chars.get(c, "?") for c in text)
                if "?" not in reading:
                    common.append((int(count), text, reading))
    common.sort(key=lambda w: (-w[0], w[1]))
    simplified = subprocess.run(["opencc", "-c", "t2s.json"], input="\n".join(t for _, t, _ in common),
                                capture_output=True, text=True, check=True).stdout.split("\n")
    chosen = []
    for command, said in COMMANDS.items():
        cs = said.split()
        near, seen = [], set()
        for (count, _, reading), text in zip(common, simplified):
            ws = reading.split()
            # One word for each sound: to the model the others are the same.
            if reading == said or text in COMMANDS or text in seen or reading in seen:
                continue
            same = [i for i in range(2) if ws[i] == cs[i]]
            if len(same) != 1:
                continue
            other = 1 - same[0]
            if one_part_apart(ws[other], cs[other]):
                near.append((text, reading))
                seen.update((text, reading))
            if len(near) == a.per_command:
                break
        chosen += [(text, reading, command) for text, reading in near]
    with open(a.out, "w", encoding="utf-8") as out:
        out.write("// Made by speech/tool/choose_decoys.py from a pinyin input method's word\n"
                  "// list; run it again rather than editing this table.\n\n"
                  "#include \"CommandLexicon.h\"\n\nnamespace speech {\n\n"
                  "const std::vector<Decoy>& decoyWords() {\n"
                  "    static const std::vector<Decoy> words = {\n")
        for text, reading, command in chosen:
            out.write(f"        {{\"{text}\", \"{reading}\", \"{command}\"}},\n")
        out.write("    };\n    return words;\n}\n\n} // namespace speech\n")
    for text, reading, command in chosen:
        print(command, text, reading, file=sys.stderr)


if __name__ == "__main__":
    main()
