#!/usr/bin/env python3
"""Runs `mmsform draw-text ... --glyphs` on a text of several scripts and checks what it prints:
one JSON object a line with the documented keys, no missing glyph, the faces a person expects for
each script, the Hebrew word in right-to-left order, the lines inside the width, and a PNG of the
drawn size."""
import json
import os
import shutil
import struct
import subprocess
import sys

tool, work = sys.argv[1], sys.argv[2]
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
text = "Hi 안녕 שלום 😀 नमस्ते"
png = os.path.join(work, "out.png")
env = dict(os.environ, MMSFORM_DEVICE=os.path.join(work, "device"))
result = subprocess.run([tool, "draw-text", text, "--width", "120", "--font-size", "16", "--png", png, "--glyphs"],
                        env=env, capture_output=True, text=True, timeout=120)
assert result.returncode == 0, result.stderr
glyphs = [json.loads(line) for line in result.stdout.splitlines()]
assert glyphs, "no glyphs printed"
for g in glyphs:
    assert set(g) == {"cluster", "font", "glyph", "x", "y"}, g
    assert g["glyph"] != 0, g
    assert 0 <= g["x"] <= 120, g

def font_of(cluster):
    return [g["font"] for g in glyphs if g["cluster"] == cluster]

index = {ch: len(text[:text.index(ch)].encode("utf-16-le")) // 2 for ch in "H안ש😀न"}
assert font_of(index["H"]) == ["DejaVuSans.ttf"], font_of(index["H"])
assert all("wqy" in f or "CJK" in f for f in font_of(index["안"])), font_of(index["안"])
assert all("Emoji" in f for f in font_of(index["😀"])), font_of(index["😀"])
assert all("Devanagari" in f for f in font_of(index["न"])), font_of(index["न"])
# שלום: its first letter is drawn right of its last.
shin = [g for g in glyphs if g["cluster"] == index["ש"]][0]
mem = [g for g in glyphs if g["cluster"] == index["ש"] + 3][0]
assert shin["y"] == mem["y"] and shin["x"] > mem["x"], (shin, mem)
assert len({g["y"] for g in glyphs}) > 1, "a text wider than 120 pixels must wrap"

with open(png, "rb") as f:
    header = f.read(24)
assert header[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
width, height = struct.unpack(">II", header[16:24])
assert width == 120 and height >= 2 * 16, (width, height)

bad = subprocess.run([tool, "draw-text", text, "--width", "0", "--png", png], env=env, capture_output=True, text=True)
assert bad.returncode == 2 and "--width" in bad.stderr, bad.stderr
print("ok:", len(glyphs), "glyphs")
