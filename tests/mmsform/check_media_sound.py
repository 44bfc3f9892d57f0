#!/usr/bin/env python3
"""`mmsform media play FILE --real-clock` is heard through SDL2 audio when there is a device: with
SDL's "disk" driver as the device (it writes the raw samples it is given to SDL_DISKAUDIOFILE), the
samples written are those the null sink writes for the same file on the virtual clock. With --wav
as well, the sound is heard and written to the WAV file both.

The device plays silence while it waits for samples: before the first, after the last (it takes its
queue in blocks of 1024 frames), and wherever a loaded machine let the queue run dry. So the frames
are compared with the silent ones left out on both sides: every frame of sound the null sink wrote
must be there, in order, in the sound's own rate and layout, and nothing else but silence.

Exits 77 (skipped) only when the SDL2 library on this machine has no disk driver.

usage: check_media_sound.py MMSFORM CORPUS"""
import array
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


def sounding_frames(data, channels):
    """The frames of 16-bit samples that are not all zero, as tuples."""
    samples = array.array("h", data[:len(data) // (2 * channels) * 2 * channels])
    frames = zip(*(samples[i::channels] for i in range(channels)))
    return [frame for frame in frames if any(frame)]


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
    mmsform = corpus = None

    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="mmsform-sound-")

    def tearDown(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def play(self, name, extra, environment):
        device = tempfile.mkdtemp(prefix="device-", dir=self.work)
        environment = dict(environment, MMSFORM_DEVICE=device)
        done = subprocess.run([self.mmsform, "media", "play", os.path.join(self.corpus, "media", name), *extra],
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
                self.assertGreaterEqual(len(heard), len(expected), "SDL was given less than the null sink")
                heard_sound, expected_sound = sounding_frames(heard, channels), sounding_frames(expected, channels)
                self.assertEqual(len(heard_sound), len(expected_sound), "SDL heard more or fewer frames of sound")
                self.assertTrue(heard_sound == expected_sound, "what SDL wrote differs from the null sink's samples")

    def test_sound_played_aloud_is_also_written_to_the_wav_asked_for(self):
        for name, rate, channels in CASES[:2]:
            with self.subTest(name):
                quiet = os.path.join(self.work, name + ".quiet.wav")
                self.play(name, ["--wav", quiet], os.environ)
                _, _, expected = wav_samples(quiet)
                raw, wav = os.path.join(self.work, name + ".raw"), os.path.join(self.work, name + ".loud.wav")
                environment = dict(os.environ, SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=raw)
                self.play(name, ["--real-clock", "--wav", wav], environment)
                self.assertEqual(wav_samples(wav), (rate, channels, expected))
                with open(raw, "rb") as f:
                    heard = f.read()
                self.assertTrue(sounding_frames(heard, channels) == sounding_frames(expected, channels),
                                "the device did not hear what the WAV holds")


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    if not sdl_has_disk_driver():
        print("SKIP: this SDL2 has no disk audio driver")
        return SKIPPED
    MediaSound.mmsform, MediaSound.corpus = sys.argv[1], sys.argv[2]
    result = unittest.main(argv=sys.argv[:1] + sys.argv[3:], exit=False, verbosity=2).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
