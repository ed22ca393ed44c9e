"""The volume slider under Wine: every slider notification reaches waveOutSetVolume of winmm.dll
with the right word, seen by a stand-in winmm.dll beside the program; a winmm.dll without the
export, or no winmm.dll at all, ends the program through the run-time error box."""

import contextlib
import subprocess
from pathlib import Path

import harness
from harness import SonitraTestCase, main, wait_for

ROOT = Path(__file__).resolve().parents[2]
PROGRAM_FOLDER = r"C:\Sonitra"
ERROR_EXIT = 0xFFFFFFFF

# Key, and the word it must set: from position 95, End, Home, Right to 2, Left to 1, End, Left to
# 99, Page Down to 100 (capped), Page Up to 95, to 90. (Wine's track bar sends nothing for a key
# that cannot move the thumb, so a repeated Home is not among them; the drag test covers a
# notification that leaves the position where it was.)
KEY_STEPS = [
    ("End", "FFFFFFFF"), ("Home", "03FC03FC"), ("Right", "06F906F9"), ("Left", "03FC03FC"),
    ("End", "FFFFFFFF"), ("Left", "FE01FE01"), ("Next", "FFFFFFFF"), ("Prior", "F40BF40B"), ("Prior", "E718E718"),
]


class VolumeTests(SonitraTestCase):

    @contextlib.contextmanager
    def dll_overrides(self, extra):
        saved = self.wine.env["WINEDLLOVERRIDES"]
        self.wine.env["WINEDLLOVERRIDES"] = saved + ";" + extra
        try:
            yield
        finally:
            self.wine.env["WINEDLLOVERRIDES"] = saved

    def start_with_winmm(self, standin, test_folder):
        """Sonitra in its own folder, with the stand-in (or nothing) as winmm.dll beside it."""
        folder = PROGRAM_FOLDER + "\\" + test_folder
        if standin:
            self.wine.install(folder, "winmm.dll", harness.HELPERS_DIR / f"{standin}.dll")
        app = self.start_sonitra(folder)
        return app, self.wine.main_window(app), self.wine.unix_path(folder) / "volume_calls.txt"

    def slider(self, window):
        return self.wine.window(window.hwnd).control(window_class="msctls_trackbar32")

    @staticmethod
    def calls(log):
        return log.read_text().split("\n")[:-1] if log.exists() else []

    def wait_for_calls(self, log, count):
        return wait_for(lambda: len(self.calls(log)) >= count and self.calls(log), timeout=10,
                        what=f"{count} volume calls")

    def focus_slider(self, window, log):
        """A click on the channel left of the thumb focuses the slider and pages it down to 95."""
        slider = self.slider(window)
        self.wine.click(slider.rect[0] + 5, slider.centre[1])
        self.assertEqual(self.wait_for_calls(log, 1), ["0 F40BF40B"])

    def test_keys_set_the_word_of_the_new_position_once_each(self):
        with self.dll_overrides("winmm=n,b"):
            app, window, log = self.start_with_winmm("winmm_volume_recorder", "keys")
        self.focus_slider(window, log)
        for number, (key, word) in enumerate(KEY_STEPS, start=2):
            self.wine.key(key)
            calls = self.wait_for_calls(log, number)
            self.assertEqual(calls[number - 1:], [f"0 {word}"], f"after {key}")
        self.assertEqual(self.slider(window).position, 90)
        self.wine.close_window(window)
        self.assertEqual(app.wait(), 0)

    def test_a_drag_sets_every_reported_position_and_once_more_on_release(self):
        with self.dll_overrides("winmm=n,b"):
            app, window, log = self.start_with_winmm("winmm_volume_recorder", "drag")
        slider = self.slider(window)
        y = slider.centre[1]
        x = slider.rect[2] - 8  # the thumb sits at the right end at position 100
        self.wine.xdotool("mousemove", "--sync", x, y, "mousedown", 1)
        # Toward the middle in a few moves, then a pixel at a time until the slider shows 50.
        for step in (10, 20, 30, 40, 50, 60):
            self.wine.xdotool("mousemove", x - step, y)
        x -= 60
        for _ in range(40):
            position = self.slider(window).position
            if position == 50:
                break
            x += 1 if position < 50 else -1
            self.wine.xdotool("mousemove", x, y)
        self.wine.xdotool("mouseup", 1)
        self.assertEqual(self.slider(window).position, 50)
        calls = wait_for(lambda: (c := self.calls(log)) and len(c) >= 2 and c[-1] == "0 807F807F" and c,
                         what="the release to set 0x807F807F")
        words = [int(line.split()[1], 16) for line in calls]
        self.assertGreaterEqual(len(set(words)), 4, f"too few intermediate positions: {calls}")
        self.assertEqual(words[-2:], [0x807F807F, 0x807F807F], "the last drag step and the release")
        self.assertTrue(all(line.startswith("0 ") for line in calls))
        self.wine.close_window(window)
        self.assertEqual(app.wait(), 0)

    def test_start_up_and_playing_a_clip_leave_the_volume_alone(self):
        with self.dll_overrides("winmm=n,b"):
            app, window, log = self.start_with_winmm("winmm_volume_recorder", "untouched")
        sound_folder = self.wine.unix_path(r"C:\windows\yxwj")
        subprocess.run([str(ROOT / "tools" / "demo_pack" / "make-demo-pack"), str(sound_folder), "Readygo.mp3"],
                       check=True)
        button = next(c for c in window.controls if c.text == "Ready go" and c.visible)
        self.wine.click_control(button)
        wait_for(lambda: any(self.wine.capture_dir.glob("wave-22050-1.raw*")), what="the clip to play")
        self.wine.close_window(window)
        self.assertEqual(app.wait(), 0)
        self.assertFalse(log.exists(), self.calls(log))

    def test_a_winmm_without_the_export_or_no_winmm_at_all_is_a_fatal_error(self):
        for standin, overrides in (("winmm_without_volume", "winmm=n,b"), (None, "winmm=")):
            with self.subTest(standin or "no winmm.dll"):
                with self.dll_overrides(overrides):
                    app, window, _ = self.start_with_winmm(standin, standin or "none")
                slider = self.slider(window)
                self.wine.click(slider.rect[0] + 10, slider.centre[1])

                def error_box():
                    return next((w for w in self.wine.windows(app.pid) if w.visible and w["class"] == "#32770"), None)

                box = wait_for(error_box, what="the run-time error box")
                text = " ".join(c.text for c in box.controls)
                self.assertIn("winmm.dll", text)
                self.assertIn("waveOutSetVolume", text)
                self.wine.close_window(box)
                self.assertEqual(app.wait(), ERROR_EXIT)


if __name__ == "__main__":
    main()
