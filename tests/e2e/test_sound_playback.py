"""The sound buttons under Wine, heard through the ALSA capture: a click plays its clip
completely and exactly, one clip at a time, stop silences, pages do not interrupt playback."""

import subprocess
import time
from pathlib import Path

from harness import SonitraTestCase, main, wait_for
from sound_capture import OverlapWatch, is_silent, locate, matched_length, reference_decode, streams

ROOT = Path(__file__).resolve().parents[2]
MAKE_DEMO_PACK = ROOT / "tools" / "demo_pack" / "make-demo-pack"
SOUND_FOLDER = r"C:\windows\yxwj"  # the prefix's own spelling of the system folder

# Clips the tests use: caption on page 1, file, rate and channel count the device must be opened with.
CLIPS = {
    "DJ搓碟": ("DJ搓碟.mp3", 44100, 2),
    "搞笑3": ("搞笑3.mp3", 44100, 2),
    "Ready go": ("Readygo.mp3", 22050, 1),
    "斗地主胜利": ("斗地主胜利.mp3", 48000, 2),  # carries an ID3v2.3 tag
    "大雨": ("大雨.mp3", 48000, 2),
}
DEMO_CLIPS = ["Readygo.mp3", "斗地主胜利.mp3"]
# The capture runs several times faster than real time, so the clips that must still sound when
# the next click lands are long stretches of noise, each different.
LONG_CLIPS = {"DJ搓碟.mp3": (44100, "j"), "搞笑3.mp3": (44100, "j"), "大雨.mp3": (48000, "s")}
LONG_SECONDS = 20


def make_noise_clip(path, rate, mode):
    wav = path.with_suffix(".wav")
    subprocess.run(["sox", "-n", "-r", str(rate), "-c", "1" if mode == "m" else "2", "-b", "16", str(wav),
                    "synth", str(LONG_SECONDS), "pinknoise", "gain", "-8"], check=True)
    subprocess.run(["lame", "--quiet", "-m", mode, "-b", "128", str(wav), str(path)], check=True)
    wav.unlink()


class SoundBoardCase(SonitraTestCase):
    """A Sonitra with the clips above in its sound folder, and ways to click and listen."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.sound_folder = cls.wine.unix_path(SOUND_FOLDER)
        subprocess.run([str(MAKE_DEMO_PACK), str(cls.sound_folder), *DEMO_CLIPS], check=True)
        for file, (rate, mode) in LONG_CLIPS.items():
            make_noise_clip(cls.sound_folder / file, rate, mode)
        files = sorted({file for file, _, _ in CLIPS.values()})
        cls.references = {file: reference_decode(cls.sound_folder / file) for file in files}

    def setUp(self):
        super().setUp()
        self.clear_capture()
        self.app = self.start_sonitra()
        self.window = self.wine.main_window(self.app)

    # -- clicking -------------------------------------------------------------------------------

    def button(self, caption):
        """The shown button with this caption (captions recur on hidden pages)."""
        window = self.wine.window(self.window.hwnd)
        for control in window.controls:
            if control.text == caption and control.visible and control["class"] == "Button":
                return control
        raise AssertionError(f"no shown button {caption!r}")

    def click(self, caption):
        self.click_at(*self.button(caption).centre)

    def click_at(self, x, y):
        # xdotool's synchronous move waits for the pointer to move, so never ask for the same spot twice.
        if (x, y) == getattr(self, "_pointer", None):
            x += 2
        self._pointer = (x, y)
        self.wine.click(x, y)

    def tabs(self):
        return self.wine.window(self.window.hwnd).control(window_class="SysTabControl32")

    def show_page(self, number):
        """Selects a page the way a user does: a click on its tab."""
        self.click_at(*centre(self.tabs()["items"][number - 1]["rect"]))
        wait_for(lambda: self.tabs().selected == number - 1, what=f"page {number}")

    # -- listening ------------------------------------------------------------------------------

    def clear_capture(self):
        for path in self.wine.capture_dir.glob("wave-*"):
            path.unlink()

    def streams(self):
        return streams(self.wine.capture_dir)

    def total_captured(self):
        return sum(p.stat().st_size for p in self.wine.capture_dir.glob("wave-*"))

    def wait_until_quiet(self, settle=0.8, timeout=30):
        """Waits until nothing more reaches the capture for `settle` seconds."""
        last = [self.total_captured(), time.monotonic()]

        def settled():
            now = self.total_captured()
            if now != last[0]:
                last[:] = [now, time.monotonic()]
            return time.monotonic() - last[1] >= settle

        wait_for(settled, timeout=timeout, interval=0.1, what="the capture to stop growing")

    def wait_until_sounding(self, caption, opening, seconds=0.3):
        """Waits until device opening number `opening` (from 1) holds `seconds` of the clip's loud part."""
        file, rate, channels = CLIPS[caption]
        reference = self.references[file]

        def sounding():
            found = self.streams()
            if len(found) < opening:
                return False
            pcm = found[opening - 1].pcm
            offset = locate(pcm, reference, channels)
            return offset is not None and len(pcm) - offset > first_loud(reference) + seconds * rate * channels

        wait_for(sounding, timeout=15, interval=0.05, what=f"{caption} to sound")

    def assert_streams(self, *expected):
        """The device was opened once per expected (caption, "complete" or "cut"), in that order, in
        the clip's own format, and each opening held that clip from its start, whole or cut short."""
        found = self.streams()
        self.assertEqual(len(found), len(expected), [s.path.name for s in found])
        for stream, (caption, how) in zip(found, expected):
            file, rate, channels = CLIPS[caption]
            reference = self.references[file]
            self.assertEqual(stream.format, (rate, channels), caption)
            pcm = stream.pcm
            offset = locate(pcm, reference, channels)
            self.assertIsNotNone(offset, f"{caption} was not heard")
            length = matched_length(pcm, reference, offset)
            # Before the clip only silence: no noise from a tag or from an earlier clip.
            self.assertTrue(is_silent(pcm, 0, max(offset, 0)), f"sound before {caption}")
            if how == "complete":
                self.assertEqual(length, len(reference), f"{caption} was not heard to its end")
                self.assertTrue(is_silent(pcm, offset + length), f"sound after {caption}")
            else:
                self.assertGreater(length, first_loud(reference), f"{caption} was hardly heard")
                self.assertLess(length, len(reference), f"{caption} played to its end")
                self.assertLessEqual(len(pcm) - offset - length, 4608, f"something else followed {caption}")

    def close_and_expect_clean_exit(self):
        self.wine.close_window(self.window)
        self.assertEqual(self.app.wait(), 0)


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def first_loud(reference):
    return next(i for i, x in enumerate(reference) if abs(x) > 2000)


class PlaybackTests(SoundBoardCase):

    def test_a_click_plays_its_clip_completely_in_the_clips_own_format(self):
        for caption in ("Ready go", "斗地主胜利", "DJ搓碟"):
            with self.subTest(caption):
                self.clear_capture()
                self.click(caption)
                self.wait_until_sounding(caption, 1)
                self.wait_until_quiet()
                self.assert_streams((caption, "complete"))
        tagged = (self.sound_folder / CLIPS["斗地主胜利"][0]).read_bytes()
        self.assertEqual(tagged[:4], b"ID3\x03", "the fixture lost its ID3v2.3 tag")
        self.close_and_expect_clean_exit()

    def test_a_second_clip_cuts_the_first_and_they_never_overlap(self):
        with OverlapWatch(self.wine.capture_dir) as watch:
            self.click("DJ搓碟")
            self.wait_until_sounding("DJ搓碟", 1)
            self.click("搞笑3")
            self.wait_until_sounding("搞笑3", 2)
            self.wait_until_quiet()
        self.assert_streams(("DJ搓碟", "cut"), ("搞笑3", "complete"))
        self.assertEqual(watch.overlaps(), [])
        self.close_and_expect_clean_exit()

    def test_clicking_the_same_button_again_restarts_its_clip(self):
        with OverlapWatch(self.wine.capture_dir) as watch:
            self.click("搞笑3")
            self.wait_until_sounding("搞笑3", 1)
            self.click("搞笑3")
            self.wait_until_sounding("搞笑3", 2)
            self.wait_until_quiet()
        self.assert_streams(("搞笑3", "cut"), ("搞笑3", "complete"))
        self.assertEqual(watch.overlaps(), [])
        self.close_and_expect_clean_exit()

    def test_stop_silences_at_once_and_does_nothing_when_idle(self):
        self.click("停止播放")
        self.wait_until_quiet(settle=1.0)
        self.assert_streams()
        self.click("大雨")
        self.wait_until_sounding("大雨", 1)
        self.click("停止播放")
        self.wait_until_quiet()
        self.assert_streams(("大雨", "cut"))
        # After a clip that ended by itself, stop is quiet and the next click plays normally.
        self.click("Ready go")
        self.wait_until_sounding("Ready go", 2)
        self.wait_until_quiet()
        self.click("停止播放")
        self.click("Ready go")
        self.wait_until_sounding("Ready go", 3)
        self.wait_until_quiet()
        self.assert_streams(("大雨", "cut"), ("Ready go", "complete"), ("Ready go", "complete"))
        self.close_and_expect_clean_exit()

    def test_switching_pages_leaves_the_clip_playing_and_every_page_can_stop_it(self):
        self.click("Ready go")
        self.wait_until_sounding("Ready go", 1, seconds=0.05)
        self.show_page(3)
        self.wait_until_quiet()
        self.assert_streams(("Ready go", "complete"))
        for page in (2, 5):
            with self.subTest(page=page):
                self.clear_capture()
                self.show_page(1)
                self.click("大雨")
                self.wait_until_sounding("大雨", 1)
                self.show_page(page)
                self.click("停止播放")
                self.wait_until_quiet()
                self.assert_streams(("大雨", "cut"))
        self.close_and_expect_clean_exit()

    def test_closing_the_window_while_a_clip_sounds_stops_it_and_exits_with_0(self):
        self.click("大雨")
        self.wait_until_sounding("大雨", 1)
        self.close_and_expect_clean_exit()
        self.wait_until_quiet()
        self.assert_streams(("大雨", "cut"))


if __name__ == "__main__":
    main()
