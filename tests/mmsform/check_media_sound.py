#!/usr/bin/env python3
"""`mmsform media play FILE --real-clock` is heard through SDL2 audio when there is a device: with
SDL's "disk" driver as the device (it writes the raw samples it is given to SDL_DISKAUDIOFILE), the
samples written are those the null sink writes for the same file on the virtual clock.

The device takes its queue in blocks of 1024 frames and plays silence while it waits for the first
samples, so the disk file may start and end with up to a few blocks of silence around the sound; the
sound itself must be there whole, sample for sample, in the sound's own rate and layout.

Exits 77 (skipped) only when the SDL2 library on this machine has no disk driver.

usage: check_media_sound.py MMSFORM CORPUS"""
import ctypes
import ctypes.util
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SKIPPED = 77
BLOCK_FRAMES = 1024
# The null sink's file and SDL's stay within this many blocks of silence of each other.
MAX_SILENT_BLOCKS = 4
MMSFORM = CORPUS = None

# A sound of each decoding path, mono and stereo, and a video's sound track.
CASES = [
    ("pcm16-8k-mono.wav", 8000, 1),
    ("mp3-cbr-44k-stereo.mp3", 44100, 2),
    ("amrnb-122-sweep.amr", 8000, 1),
    ("h264-qvga-aac.mp4", 44100, 2),
]


def sdl_has_disk_driver():
    name = ctypes.util.find_library("SDL2-2.0") or "libSDL2-2.0.so.0"
    try:
        sdl = ctypes.CDLL(name)
    except OSError:
        return False
    sdl.SDL_GetAudioDriver.restype = ctypes.c_char_p
    return any(sdl.SDL_GetAudioDriver(i) == b"disk" for i in range(sdl.SDL_GetNumAudioDrivers()))


def wav_samples(path):
    """The data of a 44-byte-header PCM WAV as the null sink writes it, with its rate and channels."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:16] != b"WAVEfmt " or data[36:40] != b"data":
        raise AssertionError(f"{path} is not the null sink's WAV")
    channels = int.from_bytes(data[22:24], "little")
    rate = int.from_bytes(data[24:28], "little")
    return rate, channels, data[44:]


class MediaSound(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="mmsform-sound-")

    def tearDown(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def play(self, name, extra, environment):
        device = tempfile.mkdtemp(prefix="device-", dir=self.work)
        environment = dict(environment, MMSFORM_DEVICE=device)
        done = subprocess.run([MMSFORM, "media", "play", os.path.join(CORPUS, "media", name), *extra],
                              capture_output=True, env=environment, timeout=120)
        self.assertEqual(done.returncode, 0, done.stderr.decode("utf-8", "replace"))
        report = json.loads(done.stdout.decode().splitlines()[-1])
        self.assertEqual(report["state_at_end"], 3)
        return report

    def test_sdl_audio_hears_what_the_null_sink_writes(self):
        for name, rate, channels in CASES:
            with self.subTest(name):
                wav = os.path.join(self.work, name + ".wav")
                self.play(name, ["--wav", wav], os.environ)
                null_rate, null_channels, expected = wav_samples(wav)
                self.assertEqual((null_rate, null_channels), (rate, channels))
                self.assertTrue(expected.strip(b"\0"), "the null sink heard only silence")

                raw = os.path.join(self.work, name + ".raw")
                environment = dict(os.environ, SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=raw)
                report = self.play(name, ["--real-clock"], environment)
                with open(raw, "rb") as f:
                    heard = f.read()
                # The real clock ran the whole length before the end notice.
                self.assertGreaterEqual(report["played_ms"], report["duration_ms"] - 30)
                block = BLOCK_FRAMES * 2 * channels
                start = heard.find(expected[:4096])
                self.assertGreaterEqual(start, 0, f"the sound's start is not in what SDL wrote ({len(heard)} bytes)")
                self.assertEqual(heard[start:start + len(expected)], expected,
                                 "what SDL wrote differs from the null sink's samples")
                before, after = heard[:start], heard[start + len(expected):]
                self.assertFalse(before.strip(b"\0"), "SDL played something before the sound")
                self.assertFalse(after.strip(b"\0"), "SDL played something after the sound")
                self.assertLessEqual(len(before) + len(after), MAX_SILENT_BLOCKS * block)


def main():
    global MMSFORM, CORPUS
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    if not sdl_has_disk_driver():
        print("SKIP: this SDL2 has no disk audio driver")
        return SKIPPED
    MMSFORM, CORPUS = sys.argv[1], sys.argv[2]
    del sys.argv[1:3]
    result = unittest.main(exit=False, verbosity=2).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
