#!/usr/bin/env python3
"""A video in the live window under Xvfb: `mmsform window media FILE` shows the frames as it plays.
Space pauses it; the window, captured from the X screen, then shows the picture that headless
playback (`mmsform media play FILE --png-at MS OUT.png`) writes for the moment the pause reports;
Space resumes, and the playback runs to its end notice and closes the window.

The pause makes the moment exact: a paused video holds the frame due at the position it reports.
The pictures are compared by PSNR, since the X server receives the frame through SDL's renderer.

Exits 77 (skipped) only when xvfb-run is not installed.

usage: check_live_media.py MMSFORM CORPUS"""
import math
import os
import subprocess
import sys
import time

import check_live_window as live

MIN_PSNR_DB = 35.0
# Each video's sound goes to SDL's dummy device, which takes it at the real rate.
VIDEOS = ["h264-qvga-aac.mp4", "h264-rotate90cw-aac.mp4", "h263-qcif-amrnb.3gp"]


def psnr(a, b):
    if len(a) != len(b):
        raise AssertionError("pictures of different sizes")
    error = sum((x - y) * (x - y) for x, y in zip(a, b)) / len(a)
    return math.inf if error == 0 else 10 * math.log10(255 * 255 / error)


class LiveMedia(live.LiveWindowCase):
    def headless_frame(self, path, position):
        out = os.path.join(self.work, f"headless-{os.path.basename(path)}-{position}.png")
        environment = dict(os.environ, MMSFORM_DEVICE=self.device(os.path.basename(out) + ".device"))
        done = subprocess.run([live.MMSFORM, "media", "play", path, "--png-at", str(position), out],
                              capture_output=True, env=environment, timeout=120)
        self.assertEqual(done.returncode, 0, done.stderr.decode("utf-8", "replace"))
        return live.png_pixels(out)

    def test_a_paused_video_in_the_window_shows_the_frame_headless_playback_shows_then(self):
        for name in VIDEOS:
            with self.subTest(name):
                path = os.path.join(live.CORPUS, "media", name)
                program = self.start(["window", "media", path], self.device("live-" + name))
                program.wait_for(lambda r: r.get("media") == "playing", "playback start")
                window = self.window_id("MMSForm media")
                time.sleep(0.4)
                self.press(window, "space")
                position = program.wait_for(lambda r: r.get("media") == "paused", "pause")["position_ms"]
                self.assertGreater(position, 0)
                shot = self.settled_capture(window)
                expected = self.headless_frame(path, position)
                self.keep(shot, f"{name}-{position}-window")
                self.keep(expected, f"{name}-{position}-expected")
                self.assertEqual(shot[:2], expected[:2], "window and screen differ in size")
                self.assertGreaterEqual(psnr(shot[2], expected[2]), MIN_PSNR_DB, f"the frame at {position} ms")
                # The frame held is a picture of the video, not a bare screen.
                self.assertGreater(len(set(shot[2][i:i + 3] for i in range(0, len(shot[2]), 3 * 97))), 8)
                self.press(window, "space")
                program.wait_for(lambda r: r.get("media") == "resumed" and r.get("position_ms") == position,
                                 "resume where it paused")
                report = program.wait_for(lambda r: "played_ms" in r, "end of playback")
                program.finish(self)
                self.assertEqual(report["state_at_end"], 3)
                self.assertGreaterEqual(report["played_ms"], report["duration_ms"] - 30)

    def test_escape_stops_the_playback_and_closes_the_window(self):
        program = self.start(["window", "media", os.path.join(live.CORPUS, "media", VIDEOS[0])], self.device("stop"))
        program.wait_for(lambda r: r.get("media") == "playing", "playback start")
        self.press(self.window_id("MMSForm media"), "Escape")
        report = program.wait_for(lambda r: "played_ms" in r, "report")
        program.finish(self)
        self.assertEqual(report["played_ms"], -1)


if __name__ == "__main__":
    sys.exit(live.main())
