#!/usr/bin/env python3
"""Runs `mmsform inspect --slides` and `--save` on every corpus message with a body and checks:
1. the slides' part indices point at parts the model loaded, and text parts carry their text;
2. the message saved from the model loads again with the same slides, layout and texts;
3. tshark (required) decodes the saved message without a malformed-packet report.
Exit status 0 when every check holds."""
import json
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "mm1"))
from check_inspect_corpus import tshark_verdict  # noqa: E402


def inspect(mmsform, *args):
    done = subprocess.run([mmsform, "inspect", *args], capture_output=True, timeout=120)
    text = done.stdout.decode("utf-8")
    return done.returncode, json.loads(text) if text.strip() else None


def summary(message):
    """What must survive a save: layout, and per slide its duration and each medium's text or type."""
    parts = message.get("parts", [])
    slides = []
    for slide in message.get("slides", []):
        entry = [slide["duration"]]
        for kind in ("image", "text", "audio", "video"):
            if kind in slide:
                part = parts[slide[kind]["part"]]
                entry.append((kind, part.get("type"), part.get("text")))
        slides.append(entry)
    return message.get("layout"), slides


def main():
    mmsform, corpus = sys.argv[1], sys.argv[2]
    if shutil.which("tshark") is None:
        # The independent decoder is the point of this check: without it the check fails.
        print("tshark is not installed (Debian package tshark, listed in scripts/packages.txt)")
        return 1
    problems = []
    checked = 0
    with tempfile.TemporaryDirectory() as work:
        for name in sorted(os.listdir(os.path.join(corpus, "mms"))):
            path = os.path.join(corpus, "mms", name)
            status, first = inspect(mmsform, path, "--slides")
            if status != 0 or first is None or "parts" not in first or not first["parts"]:
                continue
            checked += 1
            for slide in first.get("slides", []):
                for kind in ("image", "text", "audio", "video"):
                    if kind in slide:
                        index = slide[kind].get("part")
                        if index is None or not 0 <= index < len(first["parts"]) or "file" not in first["parts"][index]:
                            problems.append(f"{name}: slide {kind} names part {index}, which the model does not hold")
            for part in first["parts"]:
                if part.get("type") == "0x30001" and "text" not in part:
                    problems.append(f"{name}: text part {part.get('file')} has no text")
            saved = os.path.join(work, name)
            status, _ = inspect(mmsform, path, "--save", saved)
            if status != 0:
                problems.append(f"{name}: --save failed")
                continue
            status, second = inspect(mmsform, saved, "--slides")
            if status != 0 or second is None:
                problems.append(f"{name}: the saved message does not load")
                continue
            if summary(second) != summary(first):
                problems.append(f"{name}: slides differ after saving:\n  {summary(first)}\n  {summary(second)}")
            malformed, dissected = tshark_verdict(saved, work)
            if malformed or not dissected:
                problems.append(f"{name}: tshark finds the saved message malformed")
    for problem in problems:
        print(problem)
    print(f"{checked} messages checked, {len(problems)} problems")
    return 1 if problems or checked < 40 else 0


if __name__ == "__main__":
    sys.exit(main())
