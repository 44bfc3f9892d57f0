#!/usr/bin/env python3
"""The host program's `store`, `picture`, `settings` and `type` commands run as a user runs them,
each on a device folder of its own: exit status, the essential output, and what the command leaves
behind. Expected values come from the corpus's independent records (corpus/expected), from
exiftool and ImageMagick's identify, and from Python's own table of media types. Failures are
checked by status and by what was (not) written, not by their wording.

usage: check_host_commands.py MMSFORM CORPUS"""
import json
import mimetypes
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

MMSFORM = CORPUS = None
USAGE = 2  # the exit status of a malformed command line


def tool(name, package):
    if shutil.which(name) is None:
        raise AssertionError(f"{name} is not installed (Debian package {package}, listed in scripts/packages.txt)")
    return name


class Device(unittest.TestCase):
    """Each test gets a fresh device folder and a scratch folder for files it writes."""

    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="mmsform-commands-")
        self.device = os.path.join(self.work, "device")
        os.mkdir(self.device)

    def tearDown(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def run_command(self, *args):
        environment = dict(os.environ, MMSFORM_DEVICE=self.device)
        done = subprocess.run([MMSFORM, *args], capture_output=True, env=environment, timeout=300)
        return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode("utf-8", "replace")

    def ok(self, *args):
        status, out, err = self.run_command(*args)
        self.assertEqual(status, 0, f"mmsform {' '.join(args)} failed: {err}")
        return out

    def fails(self, *args, status=None):
        got, out, err = self.run_command(*args)
        if status is None:
            self.assertNotEqual(got, 0, f"mmsform {' '.join(args)} succeeded: {out}")
        else:
            self.assertEqual(got, status, f"mmsform {' '.join(args)}: {err}")
        self.assertTrue(err.strip(), f"mmsform {' '.join(args)} failed without saying why")
        return err

    def scratch(self, name):
        return os.path.join(self.work, name)

    @staticmethod
    def corpus(relative):
        return os.path.join(CORPUS, relative)

    @staticmethod
    def expected(relative):
        with open(os.path.join(CORPUS, "expected", relative), encoding="utf-8") as f:
            return json.load(f)


class Store(Device):
    def listed(self):
        return json.loads(self.ok("store", "list", "--json"))

    def test_import_list_show_and_export_give_back_the_message(self):
        message = "mms/me-retrieve-2.mms"
        record = self.expected("me-retrieve-2.mms.json")
        self.assertEqual(self.listed(), [])
        entry = self.ok("store", "import", self.corpus(message)).strip()
        self.assertRegex(entry, r"^[0-9a-f]+$")
        listed = self.listed()
        self.assertEqual(len(listed), 1)
        self.assertEqual(listed[0]["entry_id"], entry)
        self.assertEqual(listed[0]["folder"], "Inbox")
        self.assertEqual(listed[0]["subject"], record["subject"]["text"])
        self.assertEqual(listed[0]["from"], record["from"]["text"])
        self.assertEqual(listed[0]["date"], record["date_epoch"])
        self.assertEqual(listed[0]["size"], os.path.getsize(self.corpus(message)))
        # The plain listing carries the same entry.
        self.assertIn(entry, self.ok("store", "list"))
        shown = self.ok("store", "show", entry)
        with open(self.corpus(message), "rb") as f:
            pars = f.read().count(b"<par")
        self.assertIn(f"slides: {pars},", shown)
        self.assertIn(record["subject"]["text"], shown)
        out = self.scratch("out.mms")
        self.ok("store", "export", entry, out)
        with open(out, "rb") as a, open(self.corpus(message), "rb") as b:
            self.assertEqual(a.read(), b.read())

    def test_folders_and_kinds_of_message(self):
        draft = self.ok("store", "import", self.corpus("mms/me-send-req-1.mms"), "--folder", "Drafts").strip()
        sent = self.ok("store", "import", self.corpus("mms/pm-simple.mms"), "--folder", "sent items").strip()
        listed = {m["entry_id"]: m for m in self.listed()}
        self.assertEqual({entry: m["folder"] for entry, m in listed.items()}, {draft: "Drafts", sent: "Sent Items"})
        self.assertEqual(listed[draft]["subject"], self.expected("me-send-req-1.mms.json")["subject"]["text"])

    def test_failures_leave_the_store_as_it_was(self):
        kept = self.ok("store", "import", self.corpus("mms/pm-simple.mms")).strip()
        self.fails("store", "import", self.scratch("missing.mms"))
        self.fails("store", "import", self.corpus("jpeg/canon-ixus.jpg"))  # not a message
        self.fails("store", "import", self.corpus("mms/pm-simple.mms"), "--folder", "Nowhere", status=USAGE)
        self.assertEqual([m["entry_id"] for m in self.listed()], [kept])
        out = self.scratch("never.mms")
        unknown = "00" * 28
        self.fails("store", "show", unknown)
        self.fails("store", "export", unknown, out)
        self.assertFalse(os.path.exists(out))
        for args in (["store"], ["store", "nothing"], ["store", "show", "xyz"], ["store", "show"],
                     ["store", "list", "--yaml"], ["store", "export", kept], ["store", "import"]):
            with self.subTest(args=args):
                self.fails(*args, status=USAGE)


class Picture(Device):
    def test_info_agrees_with_exiftool(self):
        exiftool = tool("exiftool", "libimage-exiftool-perl")
        for name in ("jpeg/canon-ixus.jpg", "jpeg/fujifilm-finepix40i.jpg", "png/basn3p04.png", "bmp/pal8v5.bmp"):
            with self.subTest(name=name):
                info = json.loads(self.ok("picture", "info", self.corpus(name)))
                tags = json.loads(subprocess.run([exiftool, "-j", "-n", self.corpus(name)], capture_output=True,
                                                 check=True).stdout)[0]
                self.assertEqual((info["width"], info["height"]), (tags["ImageWidth"], tags["ImageHeight"]))
                if "Make" in tags:
                    self.assertEqual(info["exif"]["Make"], tags["Make"])
                    self.assertEqual(info["exif"]["Orientation"], tags["Orientation"])

    def test_animated_gif_frames_and_play_time(self):
        record = self.expected("mmsd-con-224-p2-animated.gif.image.json")
        info = json.loads(self.ok("picture", "info", self.corpus("gif/mmsd-con-224-p2-animated.gif")))
        self.assertEqual(info["frames"], record["header"]["FrameCount"])
        self.assertEqual(info["duration"], round(record["header"]["Duration"] * 1000))

    def dimensions(self, path):
        identify = tool("identify", "imagemagick")
        done = subprocess.run([identify, "-format", "%m %w %h", path], capture_output=True, check=True)
        kind, width, height = done.stdout.decode().split()
        return kind, int(width), int(height)

    def test_resize_and_fit_write_pictures_of_the_asked_size(self):
        out = self.scratch("small.jpg")
        self.ok("picture", "resize", self.corpus("jpeg/canon-ixus.jpg"), out, "320", "240", "--quality", "80")
        self.assertEqual(self.dimensions(out), ("JPEG", 320, 240))
        fitted = self.scratch("fitted.png")
        self.ok("picture", "fit", self.corpus("jpeg/canon-ixus.jpg"), fitted, "100", "100")
        self.assertEqual(self.dimensions(fitted), ("PNG", 100, 75))  # 640 x 480 kept in proportion
        shown = self.scratch("shown.bmp")
        self.ok("picture", "fit", self.corpus("gif/pm-projekt-exempel-p2.gif"), shown, "1000", "1000")
        self.assertEqual(self.dimensions(shown)[1:], (101, 80))  # never enlarged

    def test_failures_write_nothing(self):
        out = self.scratch("out.jpg")
        self.fails("picture", "info", self.scratch("missing.jpg"))
        self.fails("picture", "info", self.corpus("mms/pm-simple.mms"))
        self.fails("picture", "resize", self.scratch("missing.jpg"), out, "10", "10")
        # A picture that already fits is not rewritten.
        self.fails("picture", "resize", self.corpus("png/basn3p04.png"), self.scratch("out.png"), "64", "64")
        self.assertFalse(os.path.exists(out) or os.path.exists(self.scratch("out.png")))
        for args in (["picture"], ["picture", "info"], ["picture", "resize", "a.jpg", out, "x", "10"],
                     ["picture", "resize", self.corpus("jpeg/canon-ixus.jpg"), out, "10", "10", "--quality", "0"],
                     ["picture", "fit", self.corpus("jpeg/canon-ixus.jpg"), self.scratch("out.gif"), "10", "10"],
                     ["picture", "fit", self.corpus("jpeg/canon-ixus.jpg"), self.scratch("out.png"), "0", "10"]):
            with self.subTest(args=args):
                self.fails(*args, status=USAGE)
        self.assertEqual(sorted(os.listdir(self.work)), ["device"])


class Settings(Device):
    def rows(self):
        lines = self.ok("settings").splitlines()
        self.assertEqual(lines[0].split()[:4], ["TABLE", "NO", "NAME", "VALUE"])
        return [line.split() for line in lines[1:]]

    def row(self, table, number):
        return next(r for r in self.rows() if r[0] == table and r[1] == str(number))

    def test_every_table_is_listed(self):
        tables = {r[0] for r in self.rows()}
        self.assertTrue({"numeric", "string", "folder", "list"} <= tables, tables)

    def test_set_values_are_listed_as_set_and_kept(self):
        number = next(r for r in self.rows() if r[0] == "numeric")[1]
        for text, shown in (("777", "777"), ("0x1092", "4242"), ("-3", "-3")):
            with self.subTest(value=text):
                self.ok("settings", "set", "numeric", number, text)
                row = self.row("numeric", number)
                self.assertIn(shown, row)
                self.assertIn("set", row)
        string = next(r for r in self.rows() if r[0] == "string")[1]
        self.ok("settings", "set", "string", string, "hello there")
        self.assertIn('"hello there"', " ".join(self.row("string", string)))

    def test_bad_settings_change_nothing(self):
        before = self.ok("settings")
        for args in (["settings", "set", "numeric", "99999", "1"], ["settings", "set", "numeric", "1", "abc"],
                     ["settings", "set", "numeric", "1", "4294967296"], ["settings", "set", "folder", "1", "x"],
                     ["settings", "set", "numeric", "1"], ["settings", "bogus"]):
            with self.subTest(args=args):
                self.fails(*args, status=USAGE)
        self.assertEqual(self.ok("settings"), before)


class Type(Device):
    def test_file_names_give_the_media_types_others_know(self):
        names = ["photo.jpg", "anim.GIF", "logo.png", "icon.wbmp", "note.txt", "voice.amr", "song.mp3"]
        lines = self.ok("type", *names).splitlines()
        self.assertEqual(len(lines), len(names))
        codes = {}
        for name, line in zip(names, lines):
            with self.subTest(name=name):
                fields = line.split()
                self.assertEqual(fields[0], name)
                expected = mimetypes.guess_type(name.lower())[0]
                self.assertEqual(fields[2].split(";")[0].lower(), expected.lower())
                self.assertEqual(fields[3], os.path.splitext(name)[1].lower())
                codes[expected.lower()] = fields[1]
        # The content type's own look-up gives the same code.
        for content_type, code in codes.items():
            self.assertEqual(self.ok("type", "--content-type", content_type).strip(), code)

    def test_unknown_names_and_bad_calls(self):
        fields = self.ok("type", "archive.zzz").split()
        self.assertEqual(fields[2:], ["-", "-"])
        for args in (["type"], ["type", "--content-type"], ["type", "--content-type", "a/b", "c", "d"]):
            with self.subTest(args=args):
                self.fails(*args, status=USAGE)


class StartUp(Device):
    """A command that draws nothing starts without the drawing libraries and the ones they bring, as
    the dynamic loader itself reports (LD_DEBUG=files); a command that draws still finds them."""
    DRAWING = {"libfreetype", "libharfbuzz", "libfontconfig", "libfribidi", "libgumbo", "libglib-2.0", "libSDL2-2.0"}

    def loaded(self, *args):
        environment = dict(os.environ, MMSFORM_DEVICE=self.device, LD_DEBUG="files")
        done = subprocess.run([MMSFORM, *args], capture_output=True, env=environment, timeout=300)
        err = done.stderr.decode("utf-8", "replace")
        self.assertEqual(done.returncode, 0, f"mmsform {' '.join(args)} failed: {err[-2000:]}")
        return {os.path.basename(name).split(".so")[0] for name in re.findall(r"\bfile=(\S+)\s+\[", err)}

    def test_commands_that_draw_nothing_load_no_drawing_library(self):
        self.ok("settings")  # the device made once, as a person's is
        for args in (["--help"], ["type", "photo.jpg", "note.txt"], ["settings"]):
            with self.subTest(args=args):
                libraries = self.loaded(*args)
                self.assertIn("libsqlite3", libraries)  # the report is read at all
                self.assertEqual(libraries & self.DRAWING, set())

    def test_a_read_with_pictures_loads_the_text_libraries_and_draws(self):
        out = self.scratch("pictures")
        libraries = self.loaded("read", self.corpus(ReadKeys.MESSAGE), "--png", out)
        self.assertLessEqual({"libfreetype", "libharfbuzz"}, libraries)
        pictures = [name for name in os.listdir(out) if name.endswith(".png")]
        self.assertTrue(pictures)
        for name in pictures:
            with open(os.path.join(out, name), "rb") as f:
                self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n", name)


class ReadKeys(Device):
    """`mmsform read --keys` presses the keys as the live window does, once the view is open: a
    reading they leave paused is pictured as it stands."""
    MESSAGE = "mms-rich/rich-01-photo-audio-begin.mms"  # three photo slides of 3, 4 and 2 s

    def read(self, keys):
        out = self.scratch("pictures-" + keys.replace(",", "-"))
        printed = self.ok("read", self.corpus(self.MESSAGE), "--png", out, "--keys", keys)
        records = [json.loads(line) for line in printed.splitlines() if line.startswith("{")]
        summary = next(r for r in records if "slides_seen" in r)
        return summary, records, sorted(os.listdir(out))

    def test_space_pauses_and_the_arrows_move_within_the_slides(self):
        for keys, slide in (("space", 1), ("space,right", 2), ("space,right,right,left", 2), ("space,left", 1),
                            ("space,right,right,right", 3)):
            with self.subTest(keys=keys):
                summary, _, pictures = self.read(keys)
                self.assertEqual(pictures, ["end_0000000ms.png", f"slide{slide:02d}_0000000ms.png"])
                self.assertEqual((summary["slides_seen"], summary["slides"], summary["ended"], summary["ms"]),
                                 (1, 3, False, 0))

    def test_space_again_plays_on_to_the_end(self):
        summary, _, pictures = self.read("space,space")
        self.assertEqual([p[:7] for p in pictures], ["end_000", "slide01", "slide02", "slide03"])
        self.assertTrue(summary["ended"])
        # 3 + 4 + 2 s of slides, give or take the 30 ms steps of the clock.
        self.assertAlmostEqual(summary["ms"], 9000, delta=100)

    def test_escape_is_done_at_once(self):
        summary, records, pictures = self.read("escape")
        self.assertEqual(summary["slides_seen"], 0)
        self.assertEqual(pictures, ["end_0000000ms.png"])
        self.assertIn({"callback": "FormClosed", "flags": 0}, records)

    def test_unknown_or_missing_keys_are_usage_errors(self):
        for keys in ("", "space,,right", "tab", "space,"):
            with self.subTest(keys=keys):
                self.fails("read", self.corpus(self.MESSAGE), "--keys", keys, status=USAGE)
        self.fails("read", self.corpus(self.MESSAGE), "--keys", status=USAGE)


class FixedDialling(Device):
    """`mmsform device fdn`: the SIM card's fixed-dialling list, added to, listed and taken off."""

    def test_add_list_and_clear(self):
        self.assertEqual(self.ok("device", "fdn", "list").strip(), "The SIM card has no fixed-dialling list.")
        self.ok("device", "fdn", "add", "+358401111111")
        self.ok("device", "fdn", "add", "040 222 2222")
        lines = self.ok("device", "fdn", "list").splitlines()
        self.assertEqual(lines[0], "Fixed dialling: 2 of 32 numbers")
        self.assertEqual([line.split(None, 1) for line in lines[1:]], [["1", "+358401111111"], ["2", "040 222 2222"]])
        self.ok("device", "fdn", "clear")
        self.assertEqual(self.ok("device", "fdn", "list").strip(), "The SIM card has no fixed-dialling list.")

    def test_a_full_list_and_bad_calls(self):
        for n in range(32):
            self.ok("device", "fdn", "add", f"+3584000000{n:02d}")
        self.assertIn("full", self.fails("device", "fdn", "add", "+358409999999", status=1))
        for args in (["device", "fdn"], ["device", "fdn", "add"], ["device", "fdn", "list", "x"],
                     ["device", "fdn", "remove", "1"], ["device", "fdn", "add", ""]):
            with self.subTest(args=args):
                self.fails(*args, status=USAGE)


class Wallpaper(Device):
    """`mmsform device wallpaper`: one file per orientation in \\windows, sized to the screen."""

    def wallpapers(self):
        folder = os.path.join(self.device, "windows")
        return {name: open(os.path.join(folder, name), "rb").read() for name in sorted(os.listdir(folder))
                if name.startswith(("tdywater_", "stwater_"))}

    def test_a_photo_becomes_both_wallpapers_and_a_bad_picture_keeps_them(self):
        out = self.ok("device", "wallpaper", self.corpus("jpeg/ricoh-rdc5300.jpg"))
        self.assertEqual(out.split(), ["\\windows\\tdywater_240_320.jpg", "\\windows\\tdywater_320_240.jpg"])
        identify = tool("identify", "imagemagick")
        folder = os.path.join(self.device, "windows")
        for name, size in (("tdywater_240_320.jpg", "240x320"), ("tdywater_320_240.jpg", "320x240")):
            got = subprocess.run([identify, "-format", "%m %wx%h", os.path.join(folder, name)], capture_output=True,
                                 text=True, check=True).stdout
            self.assertEqual(got, f"JPEG {size}")
        self.assertIn("wallpaper", self.ok("device", "log"))
        before = self.wallpapers()
        cut = self.scratch("cut.jpg")
        with open(self.corpus("jpeg/ricoh-rdc5300.jpg"), "rb") as f, open(cut, "wb") as g:
            g.write(f.read(400))
        self.fails("device", "wallpaper", cut, status=1)
        self.assertEqual(self.wallpapers(), before)
        self.assertFalse([n for n in os.listdir(folder) if n.startswith("newwall_")])

    def test_bad_calls(self):
        for args in (["device", "wallpaper"], ["device", "wallpaper", "a.jpg", "--transparency"],
                     ["device", "wallpaper", "a.jpg", "--transparency", "256"],
                     ["device", "wallpaper", "a.jpg", "--fade", "3"]):
            with self.subTest(args=args):
                self.fails(*args, status=USAGE)
        self.fails("device", "wallpaper", self.scratch("none.jpg"), status=1)


if __name__ == "__main__":
    MMSFORM, CORPUS = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=[sys.argv[0], "-v"])
