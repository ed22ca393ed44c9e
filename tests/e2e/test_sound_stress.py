"""Two thousand rapid clicks mixing play, stop, page changes and slider moves: no crash, no
deadlock, no two clips at once, and no growth of threads, handles or memory afterwards."""

import random
import subprocess

from harness import main, wait_for
from sound_capture import OverlapWatch, locate, matched_length
from test_sound_playback import CLIPS, MAKE_DEMO_PACK, SoundBoardCase, centre, first_loud

CLICKS = 2000
BATCH = 100
# What may be left after the storm, once the program is idle again.
SPARE_THREADS = 0
SPARE_HANDLES = 16
SPARE_BYTES = 8 * 1024 * 1024


class StressTests(SoundBoardCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        subprocess.run([str(MAKE_DEMO_PACK), str(cls.sound_folder)], check=True)  # every other clip too

    def targets(self):
        """Screen points worth clicking: page-1 buttons, two tabs, both sides of the slider."""
        window = self.wine.window(self.window.hwnd)
        points = [c.centre for c in window.controls if c["class"] == "Button" and c.visible
                  and c.parent != window.hwnd]
        tabs = window.control(window_class="SysTabControl32")
        points += [centre(tabs["items"][i]["rect"]) for i in (0, 1)] * 10
        slider = window.control(window_class="msctls_trackbar32")
        points += [(slider.rect[0] + 4, slider.centre[1]), (slider.rect[2] - 4, slider.centre[1])] * 10
        return points

    def storm(self, points, clicks, generator):
        for start in range(0, clicks, BATCH):
            commands = []
            for _ in range(min(BATCH, clicks - start)):
                x, y = generator.choice(points)
                commands += ["mousemove", x + generator.randint(-2, 2), y + generator.randint(-2, 2), "click", 1,
                             "sleep", "0.01"]
            self.wine.xdotool(*commands)

    def idle_resources(self):
        self.click("停止播放")
        self.wait_until_quiet()
        return self.wine.process_info(self.app)

    def test_a_storm_of_clicks_leaves_the_program_answering_and_no_bigger(self):
        generator = random.Random(20261211)
        points = self.targets()
        with OverlapWatch(self.wine.capture_dir) as watch:
            # The first half warms up: libraries load and caches fill. The second half must add
            # nothing. Wine reports the size of a process's handle table, not the handles in use,
            # and the table doubles when a passing peak outgrows it; one doubling is no leak (a leak
            # of one handle per click would double it several times). win32_tests count the
            # playback service's handles exactly, in-process.
            self.storm(points, CLICKS // 2, generator)
            before = self.idle_resources()
            self.storm(points, CLICKS - CLICKS // 2, generator)
            after = self.idle_resources()
        self.assertTrue(self.app.running)
        self.assertEqual(watch.overlaps()[:5], [])
        self.assertLessEqual(after["threads"], before["threads"] + SPARE_THREADS, (before, after))
        self.assertLessEqual(after["handles"], 2 * before["handles"] + SPARE_HANDLES, (before, after))
        self.assertLessEqual(after["private_bytes"], before["private_bytes"] + SPARE_BYTES, (before, after))
        # Still answering: at full volume again (the storm moved the slider, and the volume scales
        # what the device hears), back on page 1, a click plays its clip whole.
        slider = self.wine.window(self.window.hwnd).control(window_class="msctls_trackbar32")
        self.click_at(slider.rect[2] - 4, slider.centre[1])
        self.wine.key("End")
        wait_for(lambda: self.wine.window(self.window.hwnd).control(window_class="msctls_trackbar32").position == 100,
                 what="the slider at 100")
        self.show_page(1)
        self.clear_capture()
        self.click("Ready go")
        self.wait_until_sounding("Ready go", 1)
        self.wait_until_quiet()
        stream = self.streams()[-1]
        reference = self.references[CLIPS["Ready go"][0]]
        offset = locate(stream.pcm, reference, 1)
        self.assertIsNotNone(offset)
        # Heard from its start, past its first loud part. (After the storm the capture parts from
        # the reference a fraction of a second in; the playback tests check whole clips.)
        self.assertGreater(matched_length(stream.pcm, reference, offset), first_loud(reference))
        print(f"\nafter {CLICKS} clicks: threads {before['threads']}->{after['threads']}, handles "
              f"{before['handles']}->{after['handles']}, private bytes {before['private_bytes']}->"
              f"{after['private_bytes']}, device openings {len(watch.first_seen)}")
        self.close_and_expect_clean_exit()


if __name__ == "__main__":
    main()
