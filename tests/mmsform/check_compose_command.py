#!/usr/bin/env python3
"""`mmsform compose` run as a person runs it, each test on a device folder of its own: a message
typed, given pictures, sounds and texts in several scripts and sent is an m-send-req that tshark
decodes without complaint and that `inspect` plays back with the same slides; a refused recipient
keeps the message unsent with the form's question printed; --check prints what a send's checks
say and leaves the store as it was; settings and the fixed-dialling list change the next run; a
saved draft opened again keeps what it held; a slide's length is set in the slide sorter; a form
opened for a calendar entry sends the task picked from the imported ones; and the read form's
forward reaches the device's composer program, which keeps the forward in Drafts.

usage: check_compose_command.py MMSFORM CORPUS_DIR"""
import hashlib
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest

MMSFORM = None
CORPUS = None


def pcap_of(pdu):
    """The PDU as the body of an HTTP/1.1 200 response on one TCP stream from port 80, in segments:
    the way tshark's MMS dissector is reached."""
    stream = (b"HTTP/1.1 200 OK\r\nContent-Type: application/vnd.wap.mms-message\r\nContent-Length: "
              + str(len(pdu)).encode() + b"\r\n\r\n" + pdu)
    out = struct.pack("<IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, 65535, 1)
    sequence = 1000
    for record, start in enumerate(range(0, len(stream), 1400)):
        payload = stream[start:start + 1400]
        tcp = struct.pack(">HHIIBBHHH", 80, 40000, sequence, 1, 5 << 4, 0x18, 65535, 0, 0)
        ip = struct.pack(">BBHHHBBH4s4s", 0x45, 0, 20 + len(tcp) + len(payload), 1, 0, 64, 6, 0,
                         bytes([10, 0, 0, 1]), bytes([10, 0, 0, 2]))
        frame = b"\0\0\0\0\0\x02\0\0\0\0\0\x01\x08\x00" + ip + tcp + payload
        out += struct.pack("<IIII", 0, record, len(frame), len(frame)) + frame
        sequence += len(payload)
    return out


def lines_of_kind(out):
    """The first word of each line `contacts import` prints: what kind of item it stored."""
    return [line.split()[0] for line in out.splitlines() if line.strip()]


def lines(out):
    return [json.loads(line) for line in out.splitlines() if line.startswith("{")]


class Compose(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="mmsform-compose-")
        self.device = os.path.join(self.work, "device")

    def tearDown(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def run_command(self, *args):
        environment = dict(os.environ, MMSFORM_DEVICE=self.device)
        done = subprocess.run([MMSFORM, *args], capture_output=True, env=environment, timeout=300)
        return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8", "replace")

    def ok(self, *args):
        status, out, err = self.run_command(*args)
        self.assertEqual(status, 0, f"{' '.join(args)} failed: {out} {err}")
        return out

    def media(self, name):
        return os.path.join(CORPUS, "media", name)

    def picture(self):
        folder = os.path.join(CORPUS, "jpeg")
        return os.path.join(folder, sorted(f for f in os.listdir(folder) if f.lower().endswith(".jpg"))[0])

    def stored(self):
        return json.loads(self.ok("store", "list", "--json"))

    def folders(self):
        return [message["folder"] for message in self.stored()]

    def test_a_sent_message_is_an_m_send_req_others_read_with_every_slide(self):
        out_file = os.path.join(self.work, "sent.mms")
        texts = ["First slide, Latin", "Второй слайд", "第三张幻灯片", "الشريحة الرابعة 😀"]
        args = ["compose", "--to", "+358 40 1234567", "--cc", "ann@example.com", "--subject", "Trip",
                "--text", texts[0], "--picture", self.picture()]
        for text in texts[1:]:
            args += ["--slide", "--text", text]
        args += ["--audio", self.media("amrnb-122-sweep.amr"), "--send", "--out", out_file]
        said = lines(self.ok(*args))
        self.assertTrue(any("sent" in line for line in said), said)
        self.assertEqual(self.folders(), ["Outbox"])

        message = json.loads(self.ok("inspect", out_file, "--slides"))
        self.assertEqual(message["message_type"], "m-send-req")
        self.assertEqual(message["to"], ["+358401234567/TYPE=PLMN"])
        self.assertEqual(message.get("cc"), ["ann@example.com"])
        self.assertEqual(message["subject"], "Trip")
        self.assertEqual(len(message["slides"]), 4)
        self.assertIn("image", message["slides"][0])
        self.assertIn("audio", message["slides"][3])
        shown = [message["parts"][slide["text"]["part"]]["text"] for slide in message["slides"]]
        self.assertEqual(shown, texts)

        if shutil.which("tshark") is None:
            self.skipTest("tshark is not installed")
        capture = os.path.join(self.work, "sent.pcap")
        with open(out_file, "rb") as f, open(capture, "wb") as g:
            g.write(pcap_of(f.read()))
        reading = subprocess.run(["tshark", "-r", capture, "-V", "-O", "mmse", "-Y", "mmse"],
                                 capture_output=True, timeout=120).stdout.decode("utf-8", "replace")
        self.assertIn("m-send-req", reading)
        self.assertNotIn("Malformed", reading)
        self.assertIn("+358401234567/TYPE=PLMN", reading)

    def test_a_refused_recipient_keeps_the_message_unsent_and_says_why(self):
        status, out, _ = self.run_command("compose", "--to", "+12", "--text", "hello", "--send", "--answer", "ok")
        self.assertEqual(status, 1)
        said = lines(out)
        self.assertTrue(any(line.get("refused") == "send" for line in said), said)
        self.assertTrue(any("prompt" in line for line in said), said)
        self.assertEqual(self.folders(), ["Drafts"])

    def test_check_names_a_bad_address_and_keeps_nothing(self):
        before = self.stored()
        status, out, err = self.run_command("compose", "--to", "ann@@example.com", "--text", "hi", "--check")
        self.assertEqual(status, 1, out + err)
        said = lines(out)
        prompts = [line["text"] for line in said if "prompt" in line]
        self.assertEqual(prompts, ["Enter an e-mail address of 5 to 48 characters or a phone number of 3 to 20 digits."])
        self.assertIn({"check": "refused", "recipients": False, "content": True}, said)
        self.assertFalse(any("sent" in line or "saved" in line for line in said), said)
        self.assertEqual(self.stored(), before)

    def test_check_passes_a_good_message_and_keeps_nothing(self):
        before = self.stored()
        status, out, err = self.run_command("compose", "--to", "ann@example.com", "--cc", "+358 40 1234567",
                                            "--text", "hi", "--check")
        self.assertEqual(status, 0, out + err)
        said = lines(out)
        self.assertEqual([line for line in said if "prompt" in line], [])
        self.assertIn({"check": "passed", "recipients": True, "content": True}, said)
        self.assertEqual(self.stored(), before)
        self.assertEqual(err, "")
        # --check ends the run in place of a save or a send.
        status, _, err = self.run_command("compose", "--to", "ann@example.com", "--check", "--send")
        self.assertEqual(status, 2)
        self.assertIn("--check", err)

    def test_settings_and_the_fixed_dialling_list_change_the_next_run(self):
        three = ["--to", "+358401111111", "--to", "+358402222222", "--to", "+358403333333", "--text", "hi"]
        self.assertEqual(self.run_command("compose", *three, "--check")[0], 0)
        self.ok("settings", "set", "numeric", "145", "2")  # MaxRecipients
        status, out, _ = self.run_command("compose", *three, "--check")
        self.assertEqual(status, 1, out)
        self.assertIn("A message can have at most 2 recipients.", [l.get("text") for l in lines(out)])
        # With fixed dialling on, only a number of the SIM's list is sent to.
        self.ok("settings", "set", "numeric", "165", "1")  # SupportFDN
        self.ok("device", "fdn", "add", "+358401111111")
        status, out, _ = self.run_command("compose", "--to", "+358402222222", "--text", "hi", "--send")
        self.assertEqual(status, 1, out)
        said = lines(out)
        self.assertIn({"refused": "send"}, said)
        self.assertIn("A recipient is not on the fixed dialling list of the SIM card.", [l.get("text") for l in said])
        self.assertNotIn("Outbox", self.folders())
        status, out, err = self.run_command("compose", "--to", "+358401111111", "--text", "hi", "--send")
        self.assertEqual(status, 0, out + err)
        self.assertIn("Outbox", self.folders())

    def test_a_saved_draft_opened_again_keeps_what_it_held(self):
        said = lines(self.ok("compose", "--to", "+358401234567", "--subject", "Draft", "--text", "one", "--save"))
        entry = next(line["saved"] for line in said if "saved" in line)
        self.ok("compose", "--reopen", entry, "--slide", "--text", "two", "--duration", "5", "--save")
        exported = os.path.join(self.work, "draft.mms")
        self.ok("store", "export", entry, exported)
        message = json.loads(self.ok("inspect", exported, "--slides"))
        self.assertEqual([m["subject"] for m in self.stored()], ["Draft"])
        self.assertEqual([message["parts"][s["text"]["part"]]["text"] for s in message["slides"]], ["one", "two"])
        self.assertEqual(message["slides"][1]["duration"], 5000)

    def test_a_form_opened_for_a_calendar_entry_sends_the_picked_task_as_a_vcalendar(self):
        calendar = os.path.join(self.work, "diary.vcs")
        with open(calendar, "w", newline="") as f:
            f.write("BEGIN:VCALENDAR\r\nVERSION:1.0\r\n"
                    "BEGIN:VEVENT\r\nSUMMARY:Dentist\r\nDTSTART:20261207T120000Z\r\nDTEND:20261207T123000Z\r\n"
                    "END:VEVENT\r\n"
                    "BEGIN:VTODO\r\nSUMMARY:Water the plants\r\nDUE:20261208T000000Z\r\nEND:VTODO\r\n"
                    "END:VCALENDAR\r\n")
        self.assertEqual(lines_of_kind(self.ok("contacts", "import", calendar)), ["appointment", "task"])
        out_file = os.path.join(self.work, "task.mms")
        said = lines(self.ok("compose", "--create", "VR", "--to", "+358401234567", "--answer", "2", "--send",
                             "--out", out_file))
        asked = [line for line in said if "Water the plants - task, due 2026-12-08" in line.get("text", "")]
        self.assertEqual(len(asked), 1, said)
        message = json.loads(self.ok("inspect", out_file))
        calendars = [part for part in message["parts"] if part["content_type"] == "text/x-vCalendar"]
        self.assertEqual(len(calendars), 1, message["parts"])
        # The part is the task's vCalendar: its bytes in the message file hash as inspect says.
        with open(out_file, "rb") as f:
            pdu = f.read()
        start = pdu.find(b"BEGIN:VCALENDAR")
        self.assertGreaterEqual(start, 0)
        body = pdu[start:start + calendars[0]["size"]]
        self.assertIn(b"SUMMARY:Water the plants", body)
        self.assertTrue(body.endswith(b"END:VCALENDAR\r\n"), body)
        self.assertEqual(hashlib.sha256(body).hexdigest(), calendars[0]["sha256"])
        status, _, err = self.run_command("compose", "--create", "VR", "--answer", "1000")
        self.assertEqual(status, 2, err)

    def test_a_template_gives_its_slides_and_an_unknown_one_is_refused(self):
        made = os.path.join(self.work, "made.mms")
        self.ok("compose", "--to", "+358401234567", "--text", "Sun", "--picture", self.picture(),
                "--slide", "--text", "Sea", "--send", "--out", made)
        self.ok("templates", "add", "Holiday", made, "--preview", self.picture())
        out_file = os.path.join(self.work, "from-template.mms")
        said = lines(self.ok("compose", "--template", "Holiday", "--to", "ann@example.com", "--send",
                             "--out", out_file))
        self.assertIn({"template": "Holiday", "custom": False}, said)
        message = json.loads(self.ok("inspect", out_file, "--slides"))
        self.assertEqual(message["subject"], "Holiday")
        self.assertEqual(message["to"], ["ann@example.com"])
        self.assertEqual(len(message["slides"]), 2)
        self.assertIn("image", message["slides"][0])
        self.assertEqual([message["parts"][s["text"]["part"]]["text"] for s in message["slides"]], ["Sun", "Sea"])

        status, out, err = self.run_command("compose", "--template", "Nope", "--to", "ann@example.com", "--send")
        self.assertEqual(status, 1, out + err)
        self.assertIn("no template named 'Nope'", err)
        self.assertFalse(any("sent" in line for line in lines(out)))
        # Without --template the chooser takes the custom entry, an empty message.
        said = lines(self.ok("compose", "--to", "ann@example.com", "--text", "hi", "--save"))
        self.assertIn({"template": "Templates", "custom": True}, said)
        # A reply opens no chooser, so a template cannot be asked for.
        source = os.path.join(CORPUS, "mms-rich", "rich-01-photo-audio-begin.mms")
        status, _, err = self.run_command("compose", "--reply", source, "--template", "Holiday", "--save")
        self.assertEqual(status, 1)
        self.assertIn("offers no templates", err)

    def test_the_read_forms_forward_reaches_the_composer_program(self):
        source = os.path.join(CORPUS, "mms-rich", "rich-01-photo-audio-begin.mms")
        self.ok("read", source, "--command", "40631")
        deadline = time.time() + 120
        while time.time() < deadline:
            log = self.ok("device", "log", "--json")
            kept = [json.loads(l) for l in log.splitlines() if '"compose"' in l]
            if kept:
                break
            time.sleep(0.5)
        self.assertTrue(kept, "the composer program left no trace")
        self.assertIn("kept in Drafts", kept[-1]["detail"])
        drafts = [m for m in self.stored() if m["folder"] == "Drafts"]
        self.assertEqual(len(drafts), 1)
        self.assertTrue(drafts[0]["subject"].startswith("Fw:"), drafts[0])


if __name__ == "__main__":
    MMSFORM, CORPUS = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
