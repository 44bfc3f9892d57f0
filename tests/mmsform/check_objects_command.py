#!/usr/bin/env python3
"""`mmsform objects` run as a person runs it, each test on a device folder of its own: the objects of
real messages are listed with the names and sizes an independent decoder found (the corpus's expected
files), saved files carry the bytes of the parts by their SHA-256 (texts as UTF-8 after a byte order
mark), every object of every rich corpus message is saved with its part's data, name conflicts take
the numbered name, replace or cancel, a full device is told and leaves no file behind, a stored
message is found by its entry identifier, a destination outside the device is refused, and
`mmsform read --save-objects` puts each object into the folder of its kind.

usage: check_objects_command.py MMSFORM CORPUS_DIR"""
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

MMSFORM = None
CORPUS = None
USAGE = 2
BOM = b"\xef\xbb\xbf"


def expected(name):
    with open(os.path.join(CORPUS, "mms-rich", "expected", name + ".json"), encoding="utf-8") as f:
        return json.load(f)


def part_name(part):
    return part["name"] or part["filename"] or part["content_location"]


class Objects(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="mmsform-objects-")
        self.device = os.path.join(self.work, "device")

    def tearDown(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def run_command(self, *args, env=None):
        environment = dict(os.environ, MMSFORM_DEVICE=self.device, **(env or {}))
        done = subprocess.run([MMSFORM, *args], capture_output=True, env=environment, timeout=300)
        return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8", "replace")

    def ok(self, *args, env=None):
        status, out, err = self.run_command(*args, env=env)
        self.assertEqual(status, 0, f"{' '.join(args)} failed: {out} {err}")
        return out

    def message(self, name):
        return os.path.join(CORPUS, "mms-rich", name + ".mms")

    def listed(self, target):
        return json.loads(self.ok("objects", target, "--json"))["objects"]

    def host(self, *parts):
        return os.path.join(self.device, *parts)

    def saved(self, folder):
        path = self.host(*folder.strip("\\").split("\\"))
        return sorted(os.listdir(path)) if os.path.isdir(path) else []

    def read(self, folder, name):
        with open(os.path.join(self.host(*folder.strip("\\").split("\\")), name), "rb") as f:
            return f.read()

    def temporary_files(self):
        found = []
        for root, _, files in os.walk(self.device):
            found += [os.path.join(root, f) for f in files if ".tmp-" in f]
        return found

    def test_listing_names_every_object_with_its_size(self):
        for name in ("rich-11-mixed-no-smil", "rich-10-vcard-vcalendar", "rich-02-video-then-text"):
            parts = [p for p in expected(name)["parts"] if p["content_type"] != "application/smil"]
            objects = self.listed(self.message(name))
            self.assertEqual(len(objects), len(parts), name)
            for obj, part in zip(objects, parts):
                self.assertFalse(obj["protected"])
                self.assertTrue(obj["present"])
                if part["content_type"].startswith("text/plain"):
                    continue  # texts are kept converted, under a name of their own when they had none
                self.assertEqual(obj["name"], part_name(part), name)
                self.assertEqual(obj["size"], part["size"], obj["name"])
        kinds = [o["kind"] for o in self.listed(self.message("rich-10-vcard-vcalendar"))]
        self.assertEqual(kinds, ["Picture", "Text", "Contact card", "Calendar entry"])
        lines = self.ok("objects", self.message("rich-11-mixed-no-smil")).splitlines()
        self.assertEqual(len(lines), 3)
        self.assertTrue(lines[0].startswith("photo.jpg ") and lines[0].rstrip().endswith("128037"), lines[0])
        # Listing stores nothing and leaves no work folder behind.
        self.assertEqual(self.temporary_files(), [])
        self.assertFalse(os.path.exists(self.host("Temp")) and any("objects" in f for f in os.listdir(self.host("Temp"))))

    def test_saving_all_writes_the_parts_bytes_and_texts_as_utf8(self):
        name = "rich-11-mixed-no-smil"
        out = json.loads(self.ok("objects", "save", self.message(name), "--all", "\\My Documents\\Kept", "--json"))
        self.assertEqual(out["folder"], "\\My Documents\\Kept\\")
        self.assertTrue(all(r["saved"] for r in out["saved"]), out)
        files = self.saved("\\My Documents\\Kept")
        self.assertEqual(files, ["note.txt", "photo.jpg", "song.mp3"])
        for part in expected(name)["parts"]:
            data = self.read("\\My Documents\\Kept", part_name(part))
            if part["content_type"].startswith("text/"):
                self.assertTrue(data.startswith(BOM))
                data = data[len(BOM):]
                candidates = {hashlib.sha256(data).hexdigest(), hashlib.sha256(data.replace(b"\r\n", b"\n")).hexdigest()}
                self.assertIn(part["sha256"], candidates, part_name(part))
            else:
                self.assertEqual(hashlib.sha256(data).hexdigest(), part["sha256"], part_name(part))

    def test_every_object_of_every_corpus_message_is_saved_with_the_parts_data(self):
        codecs = {"utf-8": "utf-8", "iso-10646-ucs-2": "utf-16-be", "iso-8859-1": "latin-1"}
        for path in sorted(os.listdir(os.path.join(CORPUS, "mms-rich", "expected"))):
            name = path[:-len(".json")]
            with self.subTest(message=name):
                folder = "\\Kept\\" + name
                status, out, err = self.run_command("objects", "save", self.message(name), "--all", folder, "--json")
                self.assertEqual(status, 0, f"{out} {err}")
                reports = {r["name"]: r for r in json.loads(out)["saved"]}
                for part in expected(name)["parts"]:
                    if part["role"] == "smil":
                        continue
                    report = reports.get(part_name(part))
                    self.assertIsNotNone(report, f"{part_name(part)} was not offered: {sorted(reports)}")
                    self.assertTrue(report["saved"], report)
                    if part["content_type"].lower() in ("text/x-vcard", "text/x-vcalendar"):
                        self.assertIn("shell", report["message"])
                        continue
                    # "NAME was saved in FOLDER." names the file the object became.
                    saved_as = report["message"].split(" was saved in ")[0]
                    data = self.read(folder, saved_as)
                    if part["content_type"] == "text/plain":
                        self.assertTrue(data.startswith(BOM), saved_as)
                        text = data[len(BOM):].decode("utf-8")
                        codec = codecs[part["charset"]]
                        candidates = {hashlib.sha256(text.encode(codec)).hexdigest(),
                                      hashlib.sha256(text.replace("\r\n", "\n").encode(codec)).hexdigest()}
                        self.assertIn(part["sha256"], candidates, saved_as)
                    else:
                        self.assertEqual(hashlib.sha256(data).hexdigest(), part["sha256"], saved_as)
                self.assertEqual(self.temporary_files(), [])

    def test_read_save_objects_puts_each_into_the_folder_of_its_kind(self):
        name = "rich-11-mixed-no-smil"
        folders = {"photo.jpg": "\\My Documents\\My Pictures\\", "song.mp3": "\\My Documents\\My Sounds\\",
                   "note.txt": "\\My Documents\\"}
        for turn, saved_as in ((1, "{}"), (2, "{}_0")):
            out = self.ok("read", self.message(name), "--save-objects")
            lines = [json.loads(l) for l in out.splitlines() if l.startswith('{"object"')]
            self.assertEqual(sorted(l["object"] for l in lines), sorted(folders), out)
            for line in lines:
                stem, extension = os.path.splitext(line["object"])
                file = saved_as.format(stem) + extension
                self.assertTrue(line["saved"], line)
                self.assertEqual(line["message"], f"{file} was saved in {folders[line['object']]}.")
                data = self.read(folders[line["object"]], file)
                part = next(p for p in expected(name)["parts"] if part_name(p) == line["object"])
                if line["object"].endswith(".txt"):
                    data = data[len(BOM):]
                self.assertEqual(hashlib.sha256(data).hexdigest(), part["sha256"], f"turn {turn}: {file}")
        self.assertEqual(self.temporary_files(), [])
        # A message with nothing to save says so and fails.
        status, _, err = self.run_command("read", os.path.join(CORPUS, "mms", "me-delivery-1.mms"), "--save-objects")
        self.assertEqual((status, "no object" in err), (1, True), err)

    def test_a_second_save_takes_the_numbered_name_replaces_or_cancels(self):
        message = self.message("rich-11-mixed-no-smil")
        dest = "\\My Documents\\Twice"
        self.ok("objects", "save", message, "photo.jpg", dest)
        self.assertIn("photo_0.jpg was saved", self.ok("objects", "save", message, "photo.jpg", dest))
        self.assertIn("photo_1.jpg was saved", self.ok("objects", "save", message, "photo.jpg", dest))
        self.ok("objects", "save", message, "photo.jpg", dest, "--conflict", "replace")
        status, out, _ = self.run_command("objects", "save", message, "photo.jpg", dest, "--conflict", "cancel")
        self.assertEqual(status, 1)
        self.assertIn("not saved photo.jpg: cancelled", out)
        self.assertEqual(self.saved(dest), ["photo.jpg", "photo_0.jpg", "photo_1.jpg"])

    def test_a_full_device_is_told_and_leaves_nothing_half_written(self):
        message = self.message("rich-11-mixed-no-smil")
        # The smallest budget the message still loads with (it converts its text), found by trying.
        budget = 0
        for _ in range(64):
            status, _, _ = self.run_command("objects", message, env={"MMSFORM_WRITE_LIMIT": str(budget)})
            if status == 0:
                break
            budget += 64
        self.assertEqual(status, 0, "the message never loaded")
        status, out, _ = self.run_command("objects", "save", message, "photo.jpg", "\\My Documents\\Full",
                                          env={"MMSFORM_WRITE_LIMIT": str(budget + 512)})
        self.assertEqual(status, 1)
        self.assertIn("The storage is full. The item was not saved.", out)
        self.assertEqual(self.saved("\\My Documents\\Full"), [])
        self.assertEqual(self.temporary_files(), [])

    def test_a_stored_message_is_found_by_its_entry_identifier(self):
        entry = self.ok("store", "import", self.message("rich-02-video-then-text")).strip()
        objects = self.listed(entry)
        self.assertEqual([o["name"] for o in objects][0], "clip.3gp")
        self.ok("objects", "save", entry, "clip.3gp", "\\My Documents\\Clips")
        part = expected("rich-02-video-then-text")["parts"][1]
        self.assertEqual(hashlib.sha256(self.read("\\My Documents\\Clips", "clip.3gp")).hexdigest(), part["sha256"])

    def test_a_contact_card_is_imported_not_copied(self):
        out = self.ok("objects", "save", self.message("rich-10-vcard-vcalendar"), "contacts.vcf", "\\My Documents\\Cards")
        self.assertIn("opened through the shell", out)
        self.assertEqual(self.saved("\\My Documents\\Cards"), [])
        self.assertNotEqual(self.ok("contacts", "list").strip(), "")

    def test_refusals(self):
        message = self.message("rich-11-mixed-no-smil")
        outside = os.path.join(self.work, "outside")
        status, _, err = self.run_command("objects", "save", message, "--all", "..\\..\\outside")
        self.assertEqual(status, 1)
        self.assertIn("no folder of the device", err)
        self.assertFalse(os.path.exists(outside))
        status, _, err = self.run_command("objects", "save", message, "nothing.jpg", "\\My Documents\\X")
        self.assertEqual(status, 1)
        self.assertIn("no object 'nothing.jpg'", err)
        status, _, err = self.run_command("objects", "0011")
        self.assertEqual(status, 1)
        self.assertIn("no stored message", err)
        for args in (["objects"], ["objects", "a", "b"], ["objects", "save", message], ["objects", "x", "--xml"],
                     ["objects", "save", message, "a", "b", "--conflict", "maybe"]):
            status, _, err = self.run_command(*args)
            self.assertEqual(status, USAGE, args)
            self.assertIn("usage", err)


if __name__ == "__main__":
    MMSFORM, CORPUS = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
