#!/usr/bin/env python3
"""Draws the bundled emoticon set: ten faces, each a two-frame animated GIF on white, drawn on a
64-pixel canvas and scaled down for each screen's folder, with the index file of that folder.
Needs ImageMagick's convert. The results are kept in the repository in "set", which a new device gets as its emoticon folder."""
import os
import subprocess
import tempfile

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "set")
INK = "#2A1A00"


def draw(fill, stroke, width, primitive):
    return ["-fill", fill, "-stroke", stroke, "-strokewidth", str(width), "-draw", primitive]


FACE = draw("#FFD23C", "#5A3C00", 3, "circle 32,32 32,4")
RED_FACE = draw("#F0643C", "#5A1E00", 3, "circle 32,32 32,4")
OPEN_EYES = draw(INK, "none", 1, "ellipse 22,24 4,6 0,360") + draw(INK, "none", 1, "ellipse 42,24 4,6 0,360")
SHUT_EYES = draw("none", INK, 3, "line 17,25 27,25") + draw("none", INK, 3, "line 37,25 47,25")
WINK_EYES = draw(INK, "none", 1, "ellipse 22,24 4,6 0,360") + draw("none", INK, 3, "line 37,25 47,25")
SMILE = draw("none", INK, 3, "arc 16,26 48,50 20,160")
WIDE_SMILE = draw("none", INK, 3, "arc 14,22 50,52 15,165")
FROWN = draw("none", INK, 3, "arc 18,40 46,60 200,340")
GRIN = draw("#FFFFFF", INK, 2, "path 'M 16,36 L 48,36 Q 32,62 16,36 Z'")
OPEN_MOUTH = draw("#7A1F1F", INK, 2, "ellipse 32,44 7,9 0,360")
SMALL_MOUTH = draw("#7A1F1F", INK, 2, "ellipse 32,44 4,5 0,360")
TONGUE = draw("#E0506E", INK, 2, "ellipse 36,46 6,7 0,180")
SHADES = (draw("#101010", "#101010", 2, "roundrectangle 12,18 29,30 4,4") +
          draw("#101010", "#101010", 2, "roundrectangle 35,18 52,30 4,4") + draw("none", "#101010", 2, "line 29,22 35,22"))
BROWS = draw("none", INK, 3, "line 14,12 28,18") + draw("none", INK, 3, "line 50,12 36,18")
KISS = draw("#D0204A", INK, 1, "ellipse 32,44 5,4 0,360")
TEAR = draw("#4AA0FF", "none", 1, "ellipse 20,36 3,5 0,360")
SMALL_HEART = draw("#E0203C", "none", 1, "circle 54,40 54,35")
HEART = draw("#E0203C", "#7A0010", 2, "path 'M 32,56 C 4,36 6,10 22,10 C 28,10 32,16 32,20 C 32,16 36,10 42,10 C 58,10 60,36 32,56 Z'")
HEART_BEAT = draw("#E0203C", "#7A0010", 2, "path 'M 32,50 C 12,36 14,16 25,16 C 29,16 32,20 32,24 C 32,20 35,16 39,16 C 50,16 52,36 32,50 Z'")

# (text typed, picture name, first frame, second frame), in the order the picker shows them.
EMOTICONS = [
    (":-)", "smile", FACE + OPEN_EYES + SMILE, FACE + SHUT_EYES + SMILE),
    (";-)", "wink", FACE + OPEN_EYES + SMILE, FACE + WINK_EYES + WIDE_SMILE),
    (":-(", "sad", FACE + OPEN_EYES + FROWN, FACE + SHUT_EYES + FROWN + TEAR),
    (":-D", "laugh", FACE + SHUT_EYES + GRIN, FACE + SHUT_EYES + WIDE_SMILE),
    (":-P", "tongue", FACE + OPEN_EYES + SMILE + TONGUE, FACE + WINK_EYES + SMILE + TONGUE),
    (":-O", "surprise", FACE + OPEN_EYES + SMALL_MOUTH, FACE + OPEN_EYES + OPEN_MOUTH),
    ("8-)", "cool", FACE + SHADES + SMILE, FACE + SHADES + WIDE_SMILE),
    (">:-(", "angry", FACE + BROWS + OPEN_EYES + FROWN, RED_FACE + BROWS + OPEN_EYES + FROWN),
    (":-*", "kiss", FACE + OPEN_EYES + KISS, FACE + SHUT_EYES + KISS + SMALL_HEART),
    ("<3", "heart", HEART, HEART_BEAT),
]

# Screen folder and the picture size for its text lines.
SCREENS = [("240x320", 16), ("240x240", 16), ("320x320", 20), ("480x640", 32), ("480x800", 32)]


def write_index(path, prefix):
    lines = ["; The bundled emoticons: the text typed, and the picture shown for it.", "[GENERAL]",
             "COUNT=%d" % len(EMOTICONS)]
    for number, (text, name, _, _) in enumerate(EMOTICONS, 1):
        lines += ["[EMOTICON%d]" % number, "EMOTION=" + text, "DYNICON=%s%s.gif" % (prefix, name)]
    with open(path, "wb") as out:
        out.write(("\r\n".join(lines) + "\r\n").encode("ascii"))


def main():
    with tempfile.TemporaryDirectory() as work:
        for _, name, first, second in EMOTICONS:
            for index, drawing in ((1, first), (2, second)):
                subprocess.run(["convert", "-size", "64x64", "xc:white"] + drawing +
                               [os.path.join(work, "%s-%d.png" % (name, index))], check=True)
        for screen, size in SCREENS:
            folder = os.path.join(HERE, "Emoticon_" + screen)
            os.makedirs(folder, exist_ok=True)
            for _, name, _, _ in EMOTICONS:
                subprocess.run(["convert", "-delay", "70", os.path.join(work, name + "-1.png"), "-delay", "50",
                                os.path.join(work, name + "-2.png"), "-resize", "%dx%d" % (size, size),
                                "-colors", "32", "-loop", "0", "+set", "date:create", "+set", "date:modify",
                                os.path.join(folder, name + ".gif")], check=True)
            write_index(os.path.join(folder, "Emoticon_%s.ini" % screen), "")
    # The small screen has no folder of its own: its index, in the emoticon folder itself, names
    # the smallest pictures.
    write_index(os.path.join(HERE, "Emoticon_176x220.ini"), "Emoticon_240x320\\")


if __name__ == "__main__":
    main()
