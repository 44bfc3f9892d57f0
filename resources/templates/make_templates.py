#!/usr/bin/env python3
"""Makes the bundled templates: three messages of one slide each (a picture drawn here with
ImageMagick's convert, and a text), written as MMS encapsulation files (m-send-req, multipart
related with a SMIL presentation), their 100 x 80 previews, the custom entry's picture and the
template index that lists them. The results are kept in the repository in "set", which a new
device gets as its template folder."""
import os
import struct
import subprocess
import tempfile

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "set")
DEVICE_FOLDER = "\\My Documents\\UAContents\\Templates\\"
INDEX_NAME = "MMSTemplates0409.inf"

SMIL = """<smil><head><layout><root-layout width="100%" height="100%"/>
<region id="Image" left="0%" top="0%" width="100%" height="70%" fit="meet"/>
<region id="Text" left="0%" top="70%" width="100%" height="30%" fit="scroll"/></layout></head>
<body><par dur="5000ms"><img src="picture.jpg" region="Image"/><text src="text.txt" region="Text"/></par></body></smil>"""


def convert(args, out):
    subprocess.run(["convert"] + args + [out], check=True)


def draw(fill, stroke, width, primitive):
    return ["-fill", fill, "-stroke", stroke, "-strokewidth", str(width), "-draw", primitive]


# The pictures, 160 x 120, by their template.
PICTURES = {
    "birthday": ["-size", "160x120", "xc:#FFF1D6"] +
    draw("#F6B0C8", "#8A3050", 2, "roundrectangle 40,60 120,104 6,6") +
    draw("#FFFFFF", "#8A3050", 2, "roundrectangle 48,44 112,64 5,5") +
    draw("#6EC6F0", "none", 1, "rectangle 58,26 62,44") + draw("#9BE07A", "none", 1, "rectangle 78,26 82,44") +
    draw("#F0D060", "none", 1, "rectangle 98,26 102,44") +
    draw("#FF8C1A", "none", 1, "ellipse 60,20 3,5 0,360") + draw("#FF8C1A", "none", 1, "ellipse 80,20 3,5 0,360") +
    draw("#FF8C1A", "none", 1, "ellipse 100,20 3,5 0,360") + draw("none", "#D0406A", 3, "line 40,82 120,82"),
    "meeting": ["-size", "160x120", "xc:#E6F0FA"] +
    draw("#FFFFFF", "#2F4F7F", 2, "rectangle 28,22 104,104") + draw("#D04040", "#2F4F7F", 2, "rectangle 28,22 104,40") +
    draw("#2F4F7F", "none", 1, "circle 44,31 44,28") + draw("#2F4F7F", "none", 1, "circle 88,31 88,28") +
    draw("#9FB4D0", "none", 1, "rectangle 38,50 50,60") + draw("#9FB4D0", "none", 1, "rectangle 60,50 72,60") +
    draw("#D04040", "none", 1, "rectangle 82,50 94,60") + draw("#9FB4D0", "none", 1, "rectangle 38,70 50,80") +
    draw("#9FB4D0", "none", 1, "rectangle 60,70 72,80") + draw("#9FB4D0", "none", 1, "rectangle 82,70 94,80") +
    draw("#FFFFFF", "#2F4F7F", 3, "circle 124,84 124,62") + draw("none", "#2F4F7F", 3, "line 124,84 124,70") +
    draw("none", "#2F4F7F", 3, "line 124,84 134,88"),
    "late": ["-size", "160x120", "xc:#FDF6E3"] +
    draw("#FFFFFF", "#7A4A10", 4, "circle 92,60 92,18") + draw("none", "#7A4A10", 4, "line 92,60 92,30") +
    draw("none", "#C03020", 4, "line 92,60 114,70") + draw("#7A4A10", "none", 1, "circle 92,60 92,56") +
    draw("none", "#E0A040", 4, "line 10,44 40,44") + draw("none", "#E0A040", 4, "line 4,60 36,60") +
    draw("none", "#E0A040", 4, "line 12,76 42,76"),
    "custom": ["-size", "160x120", "xc:#FFFFFF"] +
    draw("#FFFFFF", "#808080", 3, "rectangle 46,14 114,106") + draw("none", "#B0B0B0", 3, "line 58,40 102,40") +
    draw("none", "#B0B0B0", 3, "line 58,56 102,56") + draw("none", "#B0B0B0", 3, "line 58,72 90,72") +
    draw("#40A040", "none", 1, "circle 110,98 110,84") + draw("none", "#FFFFFF", 4, "line 110,90 110,106") +
    draw("none", "#FFFFFF", 4, "line 102,98 118,98"),
}

# (number, name, picture, text)
TEMPLATES = [
    (0, "Birthday", "birthday", "Happy birthday! Have a wonderful day."),
    (1, "Meeting", "meeting", "Can we meet tomorrow at 10:00?"),
    (2, "Running late", "late", "Sorry, I am running late. I will be there in 15 minutes."),
]


def uintvar(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def text_string(text):
    data = text.encode("utf-8")
    return (b"\x7f" if data and data[0] >= 0x80 else b"") + data + b"\0"


def value_length(data):
    return (bytes([len(data)]) if len(data) < 31 else b"\x1f" + uintvar(len(data))) + data


def part(content_type, name, data):
    headers = b"\x8e" + text_string(name) + b"\xc0\x22" + ("<%s>" % name).encode("ascii") + b"\0"
    return uintvar(len(content_type) + len(headers)) + uintvar(len(data)) + content_type + headers + data


def message(subject, picture, text):
    smil_type = text_string("application/smil")
    picture_type = b"\x9e"  # image/jpeg
    text_type = value_length(b"\x83\x81\xea")  # text/plain; charset=utf-8
    parts = [part(smil_type, "mms.smil", SMIL.encode("ascii")), part(picture_type, "picture.jpg", picture),
             part(text_type, "text.txt", text.encode("utf-8"))]
    related = value_length(b"\xb3" + b"\x8a" + text_string("<mms.smil>") + b"\x89" + text_string("application/smil"))
    head = (b"\x8c\x80" + b"\x98" + text_string("template") + b"\x8d\x92" + b"\x89\x01\x81" +
            b"\x96" + text_string(subject) + b"\x84" + related)
    return head + uintvar(len(parts)) + b"".join(parts)


def utf16(text):
    return (text + "\0").encode("utf-16-le") if text else b""


def index_record(message_file, preview, name, flag):
    strings = utf16(message_file) + utf16(preview) + utf16(name)
    counts = struct.pack("<III", len(utf16(message_file)), len(utf16(preview)), len(utf16(name)))
    return struct.pack("<I", 16 + len(strings) + 4) + counts + strings + struct.pack("<I", flag)


def main():
    os.makedirs(HERE, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        for key, drawing in PICTURES.items():
            convert(drawing + ["-quality", "85"], os.path.join(work, key + ".jpg"))
        # The custom entry's picture is shown as it is, so it is made at the preview size.
        convert([os.path.join(work, "custom.jpg"), "-resize", "100x80", "-background", "white", "-gravity",
                 "center", "-extent", "100x80", "-quality", "90"], os.path.join(HERE, "custom.jpg"))
        records = [index_record("", DEVICE_FOLDER + "custom.jpg", "Templates", 1)]
        for number, name, key, text in TEMPLATES:
            with open(os.path.join(work, key + ".jpg"), "rb") as picture:
                data = message(name, picture.read(), text)
            with open(os.path.join(HERE, "%d.dat" % number), "wb") as out:
                out.write(data)
            convert([os.path.join(work, key + ".jpg"), "-resize", "100x80", "-background", "white", "-gravity",
                     "center", "-extent", "100x80", "-quality", "90"], os.path.join(HERE, "%d.jpg" % number))
            records.append(index_record(DEVICE_FOLDER + "%d.dat" % number, DEVICE_FOLDER + "%d.jpg" % number,
                                        name, 0))
    head = struct.pack("<IIII", 1, len(records), len(TEMPLATES), 16)
    with open(os.path.join(HERE, INDEX_NAME), "wb") as out:
        out.write(head + b"".join(records))


if __name__ == "__main__":
    main()
