#!/usr/bin/env python3
"""`mmsform contacts` run as a person runs it, each test on a device folder of its own: contacts
added and imported from real-world vCards show the fields worked out by hand, an export reads back
equal, a photo and a ring tone assigned on the device show in `show`, and hostile files are refused
with nothing imported. The photo is checked against Python's own base64 decoding of the card.

usage: check_contacts_command.py MMSFORM"""
import base64
import json
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import unittest

MMSFORM = None
USAGE = 2

GIF = bytes.fromhex("47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b")

PHONE_21 = (
    "BEGIN:VCARD\r\nVERSION:2.1\r\n"
    "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen\r\n"
    "TEL;CELL;VOICE:+49 170 1234567\r\nTEL;HOME:030 1234\r\nEMAIL;INTERNET:j@example.de\r\nEND:VCARD\r\n")

BOOK_30 = (
    "BEGIN:VCARD\nVERSION:3.0\nN:Nakamura;Yuko;;;\nFN:Yuko Nakamura\nTEL;TYPE=work:+81 3 1234 5678\n"
    "PHOTO;ENCODING=b;TYPE=GIF:" + base64.b64encode(GIF).decode()[:40] + "\n "
    + base64.b64encode(GIF).decode()[40:] + "\nEND:VCARD\n")


class Contacts(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="mmsform-contacts-")
        self.device = os.path.join(self.work, "device")

    def tearDown(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def run_command(self, *args, env=None):
        environment = dict(os.environ, MMSFORM_DEVICE=self.device, **(env or {}))
        done = subprocess.run([MMSFORM, "contacts", *args], capture_output=True, env=environment, timeout=120)
        return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8", "replace")

    def ok(self, *args):
        status, out, err = self.run_command(*args)
        self.assertEqual(status, 0, f"contacts {' '.join(args)} failed: {err}")
        return out

    def fails(self, *args, status=1):
        got, out, err = self.run_command(*args)
        self.assertEqual(got, status, f"contacts {' '.join(args)}: {out} {err}")
        self.assertIn("usage" if status == USAGE else "mmsform contacts", err)
        return err

    def scratch(self, name, data=None):
        path = os.path.join(self.work, name)
        if data is not None:
            with open(path, "wb") as out:
                out.write(data if isinstance(data, bytes) else data.encode("latin-1"))
        return path

    def listed(self):
        return [json.loads(line) for line in self.ok("list", "--json").splitlines()]

    def test_add_import_list_and_show(self):
        self.assertEqual(self.ok("add", "Anna Maria Berg", "--mobile", "+4917012345", "--email", "anna@example.org"),
                         "1\n")
        self.assertEqual(self.ok("import", self.scratch("phone.vcf", PHONE_21)), "contact 2\n")
        self.assertEqual(self.ok("import", self.scratch("book.vcf", BOOK_30)), "contact 3\n")
        anna, juergen, yuko = self.listed()
        self.assertEqual((anna["given_name"], anna["family_name"], anna["file_as"]),
                         ("Anna Maria", "Berg", "Berg, Anna Maria"))
        self.assertEqual((anna["mobile"], anna["email"]), ("+4917012345", ["anna@example.org"]))
        self.assertEqual((juergen["family_name"], juergen["given_name"]), ("Müller", "Jürgen"))
        self.assertEqual((juergen["mobile"], juergen["home"]), ("+49 170 1234567", "030 1234"))
        self.assertEqual((yuko["work"], yuko["photo"]), ("+81 3 1234 5678", {"type": "GIF", "bytes": len(GIF)}))
        photo = self.scratch("photo.gif")
        self.assertIn("photo:       GIF, 43 bytes", self.ok("show", "3", "--photo", photo))
        with open(photo, "rb") as got:
            self.assertEqual(got.read(), GIF)
        self.assertIn("photo:       none", self.ok("show", "2"))
        self.fails("show", "2", "--photo", self.scratch("none.gif"))
        self.assertFalse(os.path.exists(self.scratch("none.gif")))

    def test_plain_list_lines_up_in_a_terminal(self):
        # Chinese and Korean characters take two columns of a terminal, accents and marks none.
        for name in ("Berg Anna", "李 小龙", "김 민준", "Zoë Åström"):
            self.ok("add", name, "--mobile", "+3581234")
        columns = set()
        for line in self.ok("list").splitlines():
            before = line[:line.index("+3581234")]
            columns.add(sum(2 if "\u1100" <= c <= "\ud7a3" or "\u4e00" <= c <= "\u9fff" else 1 for c in before))
        self.assertEqual(len(columns), 1, self.ok("list"))

    def test_exports_read_back_equal(self):
        self.ok("import", self.scratch("phone.vcf", PHONE_21))
        self.ok("import", self.scratch("book.vcf", BOOK_30))
        before = self.listed()
        for version in ("2.1", "3.0"):
            for contact in before:
                out = self.scratch(f"{contact['id']}-{version}.vcf")
                self.ok("export", str(contact["id"]), out, "--version", version)
                with open(out, "rb") as card:
                    self.assertIn(f"VERSION:{version}\r\n".encode(), card.read())
                added = int(self.ok("import", out).split()[1])
                again = next(c for c in self.listed() if c["id"] == added)
                self.assertEqual({**again, "id": 0}, {**contact, "id": 0})
        self.fails("export", "99", self.scratch("missing.vcf"))
        self.assertFalse(os.path.exists(self.scratch("missing.vcf")))

    def test_photo_and_ring_tone_assigned_on_the_device_show(self):
        self.ok("add", "Bo")
        # What the chooser and the save-objects window store, written as the store keeps it.
        tone = "\\Application Data\\Contacts\\ring tone 1.mid"
        with sqlite3.connect(os.path.join(self.device, "pim.db")) as db:
            db.execute("BEGIN IMMEDIATE")
            db.execute("UPDATE contacts SET photo=?, ring_tone=? WHERE id=1", (GIF, tone))
        shown = self.ok("show", "1")
        self.assertIn("photo:       GIF, 43 bytes", shown)
        self.assertIn("ring tone:   " + tone, shown)
        self.assertEqual(json.loads(self.ok("show", "1", "--json"))["ring_tone"], tone)

    def test_hostile_files_import_nothing(self):
        broken_qp = "BEGIN:VCARD\r\nN;ENCODING=QUOTED-PRINTABLE:M=ZZller\r\nEND:VCARD\r\n"
        broken_b64 = "BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\nBEGIN:VCARD\r\nPHOTO;ENCODING=b:R0lG*\r\nEND:VCARD\r\n"
        many = "BEGIN:VCARD\r\n" + "".join(f"X-F:{i}\r\n" for i in range(10000)) + "END:VCARD\r\n"
        cases = {
            "qp.vcf": (broken_qp, "line 2: N: broken quoted-printable"),
            "b64.vcf": (broken_b64, "line 5: PHOTO: broken base64"),
            "many.vcf": (many, "more than 500 properties"),
            "huge.vcf": ("BEGIN:VCARD\r\nNOTE:" + "n" * (10 << 20) + "\r\nEND:VCARD\r\n", "larger than 4 MB"),
            "binary.vcf": (bytes(range(256)) * 4, "line"),
        }
        for name, (text, why) in cases.items():
            err = self.fails("import", self.scratch(name, text))
            self.assertIn(why, err, name)
            self.assertIn("nothing was imported", err, name)
        self.fails("import", self.scratch("absent.vcf"))
        self.assertEqual(self.listed(), [])
        # A photo that is no picture: the contact comes in without it, and the person is told.
        not_picture = ("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Lee\r\nPHOTO;ENCODING=b;TYPE=JPEG:"
                       + base64.b64encode(b"<html>no picture</html>").decode() + "\r\nEND:VCARD\r\n")
        status, out, err = self.run_command("import", self.scratch("np.vcf", not_picture))
        self.assertEqual((status, out), (0, "contact 1\n"), err)
        self.assertIn("line 4: PHOTO is not a JPEG, PNG, GIF or BMP picture", err)
        self.assertIsNone(self.listed()[0]["photo"])

    def test_processes_adding_at_once_get_their_own_identifiers(self):
        self.ok("list")  # the device is made once, before the race
        environment = dict(os.environ, MMSFORM_DEVICE=self.device)
        runs = [subprocess.Popen([MMSFORM, "contacts", "add", f"Person {i}"], stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE, env=environment) for i in range(6)]
        ids = []
        for run in runs:
            out, err = run.communicate(timeout=120)
            self.assertEqual(run.returncode, 0, err.decode("utf-8", "replace"))
            ids.append(int(out))
        self.assertEqual(sorted(ids), list(range(1, 7)))
        self.assertEqual(sorted(c["family_name"] for c in self.listed()), [str(i) for i in range(6)])

    def test_usage(self):
        for args in (["frob"], [], ["list", "--xml"], ["add"], ["add", "--mobile", "1"], ["add", "A", "--mobile"],
                     ["export", "x", "out.vcf"], ["export", "1"], ["export", "1", "o.vcf", "--version", "4.0"],
                     ["show"], ["show", "0"], ["import"]):
            self.fails(*args, status=USAGE)


if __name__ == "__main__":
    MMSFORM = sys.argv[1]
    unittest.main(argv=sys.argv[:1], verbosity=2)
