#!/usr/bin/env python3
"""The compose form in the live window under Xvfb, written as a person writes a message: clicks on
the fields, text typed with xdotool (a recipient with "+", capitals, spaces), a slide added with the
Right key on the picture item, Send on the soft key and the form's question answered with Escape.
The store then holds the message with those values in the Outbox; the window showed the very
picture that `mmsform compose` draws headless for the same message; and "New" in the inbox opens
the same form, after which the inbox shows the folder the message went to. A message saved with
the menu's Close is a draft in Drafts, and a tap on its row there opens it in the compose form
again to be changed and sent.

The devices say AlwaysChooseCustom 1, so that a new empty message opens on its first slide rather
than in the template chooser.

Exits 77 (skipped) only when xvfb-run is not installed.

usage: check_live_compose.py MMSFORM CORPUS"""
import json
import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_live_window as live  # noqa: E402

ALWAYS_CHOOSE_CUSTOM = "99"
RECIPIENT = "+14255550100"
SUBJECT = "Lunch at One"
TEXT = "See you there"
MORE_TEXT = " at noon"


def centre(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


class LiveCompose(live.LiveWindowCase):
    def ok(self, device, *args):
        environment = dict(os.environ, MMSFORM_DEVICE=device)
        done = subprocess.run([live.MMSFORM, *args], capture_output=True, env=environment, timeout=120)
        self.assertEqual(done.returncode, 0, f"{args}: {done.stdout!r} {done.stderr!r}")
        return done.stdout.decode("utf-8")

    def composing_device(self, name):
        device = self.device(name)
        self.ok(device, "settings", "set", "numeric", ALWAYS_CHOOSE_CUSTOM, "1")
        return device

    def click(self, window, point):
        x, y = point
        subprocess.run(["xdotool", "mousemove", "--window", window, str(x), str(y), "click", "1"], check=True,
                       timeout=10)
        time.sleep(0.3)

    def type_text(self, window, text):
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=10)
        subprocess.run(["xdotool", "type", "--delay", "80", text], check=True, timeout=30)
        time.sleep(0.3)

    def fill_in(self, window, form):
        """Recipient, subject and slide text typed into their fields, then back to the subject, where
        the headless run leaves the caret."""
        for field, text in (("to", RECIPIENT), ("subject", SUBJECT), ("text", TEXT)):
            self.click(window, centre(form[field]))
            self.type_text(window, text)
        self.click(window, centre(form["subject"]))

    def add_slide_and_send(self, program, window, form):
        # On the last slide, with something on it, Right on the picture item appends a slide.
        self.click(window, centre(form["picture"]))
        self.press(window, "Right")
        left, top, right, bottom = form["soft_keys"]
        self.click(window, ((left * 3 + right) // 4, (top + bottom) // 2))
        # The form asks whether a message without pictures or sounds goes as a text message
        # instead; Escape answers No, and the message goes as it is.
        time.sleep(1.0)
        self.press(window, "Escape")

    def headless_compose_picture(self, device_name):
        """What `mmsform compose` shows once the same three values are in."""
        device = self.composing_device(device_name)
        out = os.path.join(self.work, "headless-" + device_name)
        self.ok(device, "compose", "--to", RECIPIENT, "--subject", SUBJECT, "--text", TEXT, "--png", out)
        names = sorted(n for n in os.listdir(out) if n.endswith("_text.png"))
        self.assertTrue(names, os.listdir(out))
        return live.png_pixels(os.path.join(out, names[-1]))

    def tap_menu_item(self, program, window, soft_keys, item):
        """Opens the menu on the right soft key and taps one of its items."""
        left, top, right, bottom = soft_keys
        self.click(window, ((left + right * 3) // 4, (top + bottom) // 2))
        menu = program.wait_for(lambda r: r.get("menu") == "open" and item in r["items"], f"the menu with {item}")
        self.click(window, centre(menu["items"][item]))

    def assertStoredAsTyped(self, device, entry, folder, text=TEXT, slides=2):
        stored = json.loads(self.ok(device, "store", "list", "--json"))
        self.assertEqual([(m["folder"], m["subject"]) for m in stored if m["entry_id"] == entry], [(folder, SUBJECT)])
        # The header values are the stored message's properties: its subject and its To list.
        properties = self.ok(device, "store", "show", entry).splitlines()
        self.assertIn(f'0x0037001F\t"{SUBJECT}"', properties)
        self.assertIn(f'0x800C001F\t"{RECIPIENT}"', properties)
        # The body is its data file: the typed text on the first slide, and the slide added after it.
        exported = os.path.join(self.work, "stored-" + os.path.basename(device) + ".mms")
        self.ok(device, "store", "export", entry, exported)
        message = json.loads(self.ok(device, "inspect", exported, "--slides"))
        self.assertEqual(len(message["slides"]), slides)
        self.assertEqual(message["parts"][message["slides"][0]["text"]["part"]]["text"], text)
        for later in message["slides"][1:]:
            self.assertNotIn("text", later)

    def test_a_message_typed_in_the_window_is_sent_with_what_was_typed(self):
        expected = self.headless_compose_picture("headless")
        device = self.composing_device("live")
        program = self.start(["window", "compose"], device)
        form = program.wait_for(lambda r: r.get("compose_form") == "open", "compose form")
        window = self.window_id("MMSForm compose")
        self.fill_in(window, form)
        typed = self.settled_capture(window)
        self.assertSamePicture(typed, expected, "message typed in the window")
        self.add_slide_and_send(program, window, form)
        program.finish(self, timeout=30)
        sent = next(json.loads(line) for line in program.seen if '"sent"' in line)
        self.assertEqual(sent["folder"], "Outbox")
        self.assertStoredAsTyped(device, sent["sent"], "Outbox")

    def test_new_in_the_inbox_writes_a_message_and_the_inbox_then_shows_where_it_went(self):
        device = self.composing_device("inbox")
        self.ok(device, "store", "import", os.path.join(live.CORPUS, live.MESSAGE))
        program = self.start(["window"], device)
        inbox = program.wait_for(lambda r: r.get("inbox") == "shown" and r.get("messages") == 1, "inbox")
        self.assertEqual(inbox["folder"], "Inbox")
        window = self.window_id("MMSForm inbox")
        before = self.settled_capture(window)
        left, top, right, bottom = inbox["soft_keys"]
        self.click(window, ((left * 3 + right) // 4, (top + bottom) // 2))  # "New"
        form = program.wait_for(lambda r: r.get("compose_form") == "open", "compose form from the inbox")
        self.fill_in(window, form)
        self.add_slide_and_send(program, window, form)
        sent = program.wait_for(lambda r: "sent" in r, "the message sent")
        self.assertStoredAsTyped(device, sent["sent"], "Outbox")
        shown = program.wait_for(lambda r: r.get("inbox") == "shown", "the inbox again")
        self.assertEqual((shown["folder"], shown["messages"]), ("Outbox", 1))
        self.assertNotEqual(self.settled_capture(window, away_from=before), before, "the inbox shows the Outbox")
        program.process.send_signal(live.signal.SIGTERM)
        program.finish(self)
        stored = json.loads(self.ok(device, "store", "list", "--json"))
        self.assertEqual(sorted(m["folder"] for m in stored), ["Inbox", "Outbox"])

    def test_a_message_saved_in_the_window_reopens_from_drafts_and_is_sent_changed(self):
        device = self.composing_device("drafts")
        program = self.start(["window"], device)
        inbox = program.wait_for(lambda r: r.get("inbox") == "shown", "inbox")
        window = self.window_id("MMSForm inbox")
        self.settled_capture(window)
        left, top, right, bottom = inbox["soft_keys"]
        self.click(window, ((left * 3 + right) // 4, (top + bottom) // 2))  # "New"
        form = program.wait_for(lambda r: r.get("compose_form") == "open", "compose form")
        self.fill_in(window, form)
        # Close asks whether to keep the changes; Enter takes the focused first answer, Yes.
        self.tap_menu_item(program, window, form["soft_keys"], "Close")
        time.sleep(1.0)
        self.press(window, "Return")
        saved = program.wait_for(lambda r: "saved" in r, "the message saved")
        self.assertEqual(saved["folder"], "Drafts")
        self.assertStoredAsTyped(device, saved["saved"], "Drafts", slides=1)
        drafts = program.wait_for(lambda r: r.get("inbox") == "shown", "the inbox again")
        self.assertEqual((drafts["folder"], drafts["messages"]), ("Drafts", 1))

        # The draft's row opens the compose form on it, not the read form.
        self.click(window, centre(drafts["first_row"]))
        form = program.wait_for(lambda r: r.get("compose_form") == "open" or r.get("read_view") == "open",
                                "the draft opened")
        self.assertEqual(form.get("compose_form"), "open", "a draft opens in the compose form")
        self.click(window, centre(form["text"]))
        self.press(window, "End")
        self.type_text(window, MORE_TEXT)
        left, top, right, bottom = form["soft_keys"]
        self.click(window, ((left * 3 + right) // 4, (top + bottom) // 2))  # "Send"
        time.sleep(1.0)
        self.press(window, "Escape")  # not as a text message
        sent = program.wait_for(lambda r: "sent" in r, "the draft sent")
        self.assertEqual((sent["sent"], sent["folder"]), (saved["saved"], "Outbox"))
        self.assertStoredAsTyped(device, sent["sent"], "Outbox", text=TEXT + MORE_TEXT, slides=1)
        shown = program.wait_for(lambda r: r.get("inbox") == "shown", "the inbox after sending")
        self.assertEqual((shown["folder"], shown["messages"]), ("Outbox", 1))
        program.process.send_signal(live.signal.SIGTERM)
        program.finish(self)
        stored = json.loads(self.ok(device, "store", "list", "--json"))
        self.assertEqual([m["folder"] for m in stored], ["Outbox"])

    def test_options_only_a_headless_run_has_are_refused(self):
        device = self.device("refused")
        for args in (["--send"], ["--answer", "yes"], ["--png", self.work], ["--check"]):
            done = subprocess.run([live.MMSFORM, "window", "compose", *args], capture_output=True,
                                  env=live.live_environment(device), timeout=60)
            self.assertEqual(done.returncode, 2, args)
            self.assertIn(b"not in a live window", done.stderr)


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    if os.environ.get("MMSFORM_UNDER_XVFB") != "1":
        if live.shutil.which("xvfb-run") is None:
            print("SKIP: xvfb-run is not installed (Debian package xvfb): the live window cannot be tested")
            return live.SKIPPED
        environment = dict(os.environ, MMSFORM_UNDER_XVFB="1")
        return subprocess.run(["xvfb-run", "-a", "-s", f"-screen 0 {live.SCREEN}", sys.executable, *sys.argv],
                              env=environment).returncode
    live.MMSFORM, live.CORPUS = sys.argv[1], sys.argv[2]
    del sys.argv[1:3]
    result = unittest.main(exit=False, verbosity=2).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
