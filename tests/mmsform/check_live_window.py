#!/usr/bin/env python3
"""The live window under Xvfb, driven with the keyboard as a person drives it: `mmsform window read`
paused and moved on with Space and Right shows the very picture that `mmsform read --keys` writes
headless for the same moment; the inbox of `mmsform window` opens its message with Enter or a tap,
and Escape brings the inbox back as it was. The X screen is captured with ImageMagick's import and cut
to the SDL window; the headless pictures are read with netpbm's pngtopnm.

Pausing makes the moment exact: after Space and Right the view shows slide 2 at its start and
nothing moves on the clock, so both pictures show the same slide at the same position. The pixels
are still compared with a tolerance of a few levels a channel, because the X server receives the
frame through SDL's renderer, which may scale colour channels through a texture format of its own
choosing; a wrong slide, a missing picture or another toolbar face differs by far more.

Exits 77 (skipped) only when xvfb-run is not installed.

usage: check_live_window.py MMSFORM CORPUS"""
import json
import os
import queue
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

SKIPPED = 77
SCREEN = "640x480x24"
MESSAGE = "mms-rich/rich-01-photo-audio-begin.mms"  # three photo slides of 3, 4 and 2 s with captions
CHANNEL_TOLERANCE = 8  # levels of 255 a channel may differ by
MMSFORM = CORPUS = None


def tool(name, package):
    if shutil.which(name) is None:
        raise AssertionError(f"{name} is not installed (Debian package {package}, listed in scripts/packages.txt)")
    return name


def read_ppm(data):
    """Width, height and the RGB bytes of a binary PPM (P6, maxval 255)."""
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            position = data.index(b"\n", position) + 1
            continue
        start = position
        while not data[position:position + 1].isspace():
            position += 1
        fields.append(data[start:position])
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise AssertionError(f"not an 8-bit PPM: {fields}")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[position + 1:position + 1 + width * height * 3]
    if len(pixels) != width * height * 3:
        raise AssertionError("PPM cut short")
    return width, height, pixels


def cut(picture, rect):
    """The part of a picture inside [left, top, right, bottom]."""
    width, _, pixels = picture
    left, top, right, bottom = rect
    rows = [pixels[(y * width + left) * 3:(y * width + right) * 3] for y in range(top, bottom)]
    return right - left, bottom - top, b"".join(rows)


def png_pixels(path):
    done = subprocess.run([tool("pngtopnm", "netpbm"), path], capture_output=True, check=True)
    return read_ppm(done.stdout)


def live_environment(device, without=()):
    """The environment of a live program on `device`, less the variables named in `without`."""
    environment = {k: v for k, v in os.environ.items() if k not in without}
    # The live window's SDL2, and the X and D-Bus libraries it loads and unloads again, keep blocks
    # until the process ends; by the leak check those libraries are gone and their blocks cannot be
    # told from ours, so the live programs run without it. The headless reads keep it.
    sanitizer = environment.get("ASAN_OPTIONS", "")
    environment.update(MMSFORM_DEVICE=device, SDL_AUDIODRIVER="dummy",
                       ASAN_OPTIONS=(sanitizer + ":" if sanitizer else "") + "detect_leaks=0")
    return environment


class LiveProgram:
    """An mmsform command in the live window, its output read line by line as it comes."""

    def __init__(self, args, device):
        environment = live_environment(device)
        self.process = subprocess.Popen([MMSFORM, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        env=environment)
        self.lines = queue.Queue()
        self.seen = []
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for raw in self.process.stdout:
            self.lines.put(raw.decode("utf-8", "replace").strip())
        self.lines.put(None)

    def wait_for(self, predicate, what, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                line = self.lines.get(timeout=max(0.05, deadline - time.monotonic()))
            except queue.Empty:
                break
            if line is None:
                break
            self.seen.append(line)
            try:
                record = json.loads(line)
            except ValueError:
                continue
            if predicate(record):
                return record
        raise AssertionError(f"no {what} within {timeout} s; printed: {self.seen}; "
                             f"errors: {self._errors()}")

    def _errors(self):
        if self.process.poll() is None:
            return "(still running)"
        return self.process.stderr.read().decode("utf-8", "replace")

    def finish(self, test, timeout=20):
        """Waits for the program to end, which it must do with status 0."""
        status = self.process.wait(timeout=timeout)
        while True:
            line = self.lines.get(timeout=timeout)
            if line is None:
                break
            self.seen.append(line)
        test.assertEqual(status, 0, f"exit status {status}; printed: {self.seen}; errors: {self._errors()}")

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.process.stdout.close()
        self.process.stderr.close()


class LiveWindowCase(unittest.TestCase):
    """What every live-window test stands on: devices of its own, programs it starts and ends, the
    window's pictures and how they are compared."""

    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="mmsform-live-")
        self.programs = []

    def tearDown(self):
        for program in self.programs:
            program.kill()
        shutil.rmtree(self.work, ignore_errors=True)

    def device(self, name):
        path = os.path.join(self.work, name)
        os.mkdir(path)
        return path

    def start(self, args, device):
        program = LiveProgram(args, device)
        self.programs.append(program)
        return program

    def headless_picture(self, keys, slide):
        """The screen `mmsform read --keys` pictures for that slide, on a device of its own."""
        out = os.path.join(self.work, "headless-" + keys.replace(",", "-"))
        environment = dict(os.environ, MMSFORM_DEVICE=self.device("device-" + os.path.basename(out)))
        done = subprocess.run([MMSFORM, "read", os.path.join(CORPUS, MESSAGE), "--keys", keys, "--png", out],
                              capture_output=True, env=environment, timeout=120)
        self.assertEqual(done.returncode, 0, done.stderr.decode("utf-8", "replace"))
        names = sorted(n for n in os.listdir(out) if n.startswith(f"slide{slide:02d}_"))
        self.assertTrue(names, f"headless read pictured no slide {slide}: {os.listdir(out)}")
        return png_pixels(os.path.join(out, names[0]))

    def window_id(self, title):
        done = subprocess.run([tool("xdotool", "xdotool"), "search", "--sync", "--onlyvisible", "--name", title],
                              capture_output=True, timeout=30)
        ids = done.stdout.decode().split()
        self.assertTrue(ids, f"no window named {title!r} on the X screen")
        return ids[0]

    def press(self, window, *keys):
        # XTEST key events go to the window with the input focus.
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=10)
        for key in keys:
            subprocess.run(["xdotool", "key", key], check=True, timeout=10)
            time.sleep(0.15)

    def capture(self, window):
        """The SDL window's pixels, cut from a picture of the whole X screen."""
        done = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], capture_output=True, check=True,
                              timeout=10)
        geometry = dict(line.split("=", 1) for line in done.stdout.decode().split())
        crop = f"{geometry['WIDTH']}x{geometry['HEIGHT']}+{geometry['X']}+{geometry['Y']}"
        shot = subprocess.run([tool("import", "imagemagick"), "-window", "root", "-crop", crop, "+repage", "-depth", "8",
                               "ppm:-"],
                              capture_output=True, check=True, timeout=30)
        return read_ppm(shot.stdout)

    def settled_capture(self, window, timeout=10, away_from=None):
        """A capture that two looks 0.3 s apart agree on: the frame has been drawn and stays (a window
        of one flat colour has not been drawn yet). With
        `away_from`, a still screen that is still that picture does not count: a paused view that is
        about to be replaced looks settled until the next frame is presented."""
        deadline = time.monotonic() + timeout
        previous = self.capture(window)
        while time.monotonic() < deadline:
            time.sleep(0.3)
            current = self.capture(window)
            # A window that X has mapped but SDL has not presented to yet is one flat colour.
            blank = current[2] == current[2][:3] * (len(current[2]) // 3)
            if current == previous and current != away_from and not blank:
                return current
            previous = current
        raise AssertionError(f"the window did not settle within {timeout} s")

    def keep(self, picture, name):
        """Writes a picture as a PPM into $MMSFORM_LIVE_PICTURES, when set, for a person to look at."""
        folder = os.environ.get("MMSFORM_LIVE_PICTURES")
        if folder:
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, name + ".ppm"), "wb") as f:
                f.write(b"P6\n%d %d\n255\n" % picture[:2] + picture[2])

    def assertSamePicture(self, got, expected, what):
        self.keep(got, what.replace(" ", "-").replace(",", "") + "-window")
        self.keep(expected, what.replace(" ", "-").replace(",", "") + "-expected")
        self.assertEqual(got[:2], expected[:2], f"{what}: window and picture differ in size")
        a, b = got[2], expected[2]
        worst = 0
        off = 0
        for i in range(0, len(a), 3):
            d = max(abs(a[i] - b[i]), abs(a[i + 1] - b[i + 1]), abs(a[i + 2] - b[i + 2]))
            worst = max(worst, d)
            if d > CHANNEL_TOLERANCE:
                off += 1
        self.assertEqual(off, 0, f"{what}: {off} of {len(a) // 3} pixels differ by more than {CHANNEL_TOLERANCE} "
                                 f"levels (worst {worst})")

    def assertDifferentPicture(self, a, b, what):
        changed = sum(1 for i in range(0, len(a[2]), 3) if a[2][i:i + 3] != b[2][i:i + 3])
        self.assertGreater(changed, len(a[2]) // 3 // 4, f"{what}: the screen hardly changed ({changed} pixels)")


class LiveWindow(LiveWindowCase):
    def test_paused_slide_two_in_the_window_is_the_headless_picture_and_escape_closes_the_form(self):
        expected = self.headless_picture("space,right", slide=2)
        program = self.start(["window", "read", os.path.join(CORPUS, MESSAGE)], self.device("live"))
        program.wait_for(lambda r: r.get("read_view") == "open", "read view")
        window = self.window_id("MMSForm read")
        # Slide 1 lasts 3 s: Space pauses well inside it, Right shows slide 2 at its start.
        self.press(window, "space", "Right")
        self.assertSamePicture(self.settled_capture(window), expected, "slide 2, paused")
        self.press(window, "Escape")
        program.finish(self)
        self.assertIn('{"callback": "FormClosed", "flags": 0}', program.seen)

    def test_without_a_display_the_reading_fails_and_says_why(self):
        environment = live_environment(self.device("no-display"), without=("DISPLAY", "WAYLAND_DISPLAY"))
        environment["SDL_VIDEODRIVER"] = "x11"
        done = subprocess.run([MMSFORM, "window", "read", os.path.join(CORPUS, MESSAGE)], capture_output=True,
                              env=environment, timeout=60)
        self.assertEqual(done.returncode, 1, done.stderr.decode("utf-8", "replace"))
        self.assertIn(b"window: ", done.stderr)
        # The form that was opened is closed again: the host hears of it.
        self.assertIn(b'{"callback": "FormClosed", "flags": 0}', done.stdout)

    def test_inbox_opens_its_message_with_enter_and_is_back_after_escape(self):
        device = self.device("inbox")
        environment = dict(os.environ, MMSFORM_DEVICE=device)
        subprocess.run([MMSFORM, "store", "import", os.path.join(CORPUS, MESSAGE)], check=True, env=environment,
                       capture_output=True, timeout=60)
        reading = self.headless_picture("space,right,left", slide=1)
        program = self.start(["window"], device)
        self.first_row = program.wait_for(lambda r: r.get("inbox") == "shown" and r.get("messages") == 1,
                                          "inbox with one message")["first_row"]
        window = self.window_id("MMSForm inbox")
        inbox = self.settled_capture(window)
        self.press(window, "Return")
        view = program.wait_for(lambda r: r.get("read_view") == "open", "read view")["rect"]
        # Back from slide 2 is slide 1 at its start, paused: the same moment as headless. Where the
        # view leaves the screen uncovered, the inbox shows here and the bare screen headless.
        self.press(window, "space", "Right", "Left")
        read = self.settled_capture(window)
        self.assertSamePicture(cut(read, view), cut(reading, view), "message read from the inbox")
        self.assertDifferentPicture(read, inbox, "inbox to read view")
        self.press(window, "Escape")
        program.wait_for(lambda r: r.get("callback") == "FormClosed", "form closed")
        program.wait_for(lambda r: r.get("inbox") == "shown", "inbox shown again")
        self.assertSamePicture(self.settled_capture(window, away_from=read), inbox, "inbox after reading")
        # A tap on the row reads it as well.
        left, top, right, bottom = self.first_row
        subprocess.run(["xdotool", "mousemove", "--window", window, str((left + right) // 2), str((top + bottom) // 2),
                        "click", "1"], check=True, timeout=10)
        program.wait_for(lambda r: r.get("read_view") == "open", "read view after a tap")
        self.press(window, "Escape")
        program.wait_for(lambda r: r.get("inbox") == "shown", "inbox shown after the tapped reading")
        # SDL turns the terminate signal into the window's close.
        program.process.send_signal(signal.SIGTERM)
        program.finish(self)


def main():
    global MMSFORM, CORPUS
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    if os.environ.get("MMSFORM_UNDER_XVFB") != "1":
        if shutil.which("xvfb-run") is None:
            print("SKIP: xvfb-run is not installed (Debian package xvfb): the live window cannot be tested")
            return SKIPPED
        environment = dict(os.environ, MMSFORM_UNDER_XVFB="1")
        return subprocess.run(["xvfb-run", "-a", "-s", f"-screen 0 {SCREEN}", sys.executable, *sys.argv],
                              env=environment).returncode
    MMSFORM, CORPUS = sys.argv[1], sys.argv[2]
    del sys.argv[1:3]
    result = unittest.main(exit=False, verbosity=2).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
