"""Start-up and ending: exit codes, the run-time error box, the working folder, odd places to start from."""

import os
import tempfile
import unittest

from harness import SONITRA_EXE, SonitraTestCase, WineSession, install_sonitra, main, wait_for

CAPTION = "Orvane辅助音效"
WM_SYSCOMMAND, SC_CLOSE = 0x0112, 0xF060
UNSIGNED_MINUS_ONE = 4294967295


def same_folder(a, b):
    return a.rstrip("\\").lower() == b.rstrip("\\").lower()


class Ending(SonitraTestCase):
    def test_closing_the_window_ends_with_exit_code_zero(self):
        requests = {
            "WM_CLOSE, as the close box sends": lambda window: self.wine.close_window(window),
            "Close from the system menu": lambda window: self.wine.send_message(window, WM_SYSCOMMAND, SC_CLOSE),
        }
        for name, request in requests.items():
            with self.subTest(name):
                app = self.start_sonitra()
                request(self.wine.main_window(app))
                self.assertEqual(app.wait(), 0)
                self.assertNotIn("Sonitra.exe", self.wine.process_names(), "no process is left behind")

    def test_a_foreign_skin_engine_file_ends_in_the_error_box_and_minus_one(self):
        # An empty SkinH_EL.dll is left alone by the deployment and cannot be loaded.
        program = self.wine.install(r"C:\Broken")
        self.wine.unix_path(r"C:\Broken\SkinH_EL.dll").write_bytes(b"")
        app = self.wine.run_program(program)

        def error_box():
            return next((w for w in self.wine.windows(app.pid) if w.visible and w.text != CAPTION), None)

        box = wait_for(error_box, what="the run-time error box")
        self.assertIn("SkinH_EL.dll", " ".join(c.text for c in box.controls))
        self.assertFalse(any(w.text == CAPTION and w.visible for w in self.wine.windows(app.pid)),
                         "the main window is never shown")
        self.wine.screenshot("error box")
        buttons = [c for c in box.controls if c["class"].lower() == "button"]
        self.assertEqual(len(buttons), 1, "a single OK button")
        self.wine.click_control(buttons[0])
        self.assertEqual(app.wait(), UNSIGNED_MINUS_ONE)


class WorkingFolder(SonitraTestCase):
    # (folder of the program, working folder it is started with)
    PLACES = [
        (r"C:\Sonitra", r"C:\windows"),
        (r"C:\Program Files\轻松 音效", r"C:\windows\system32"),
        (r"C:\音效 工具\新建 文件夹", "C:\\"),
    ]

    def test_current_folder_is_the_programs_and_settings_land_beside_it(self):
        for folder, cwd in self.PLACES:
            with self.subTest(folder=folder, cwd=cwd):
                app = self.start_sonitra(folder, cwd=cwd)
                window = self.wine.main_window(app)
                self.assertEqual(window.text, CAPTION)
                self.assertTrue(same_folder(self.wine.process_info(app)["cwd"], folder))
                # A skin step writes settings.ini through a relative name.
                self.wine.click_control(window.control(text="切换》"))
                settings = self.wine.unix_path(folder + r"\settings.ini")
                wait_for(settings.exists, what=f"{settings} to be written")
                self.assertFalse(self.wine.unix_path(cwd + r"\settings.ini").exists())
                self.wine.close_window(window)
                self.assertEqual(app.wait(), 0)

    def test_starts_from_a_working_folder_that_no_longer_exists(self):
        program = install_sonitra(self.wine, r"C:\Gone")
        # Wine takes the inherited working folder from the Unix one, deleted here just before the start.
        vanishing = tempfile.mkdtemp(dir=self.wine.root)
        app = self.wine.run_program(program, unix_cwd=vanishing, remove_unix_cwd=True)
        window = self.wine.main_window(app)
        self.assertFalse(os.path.exists(vanishing))
        self.assertTrue(same_folder(self.wine.process_info(app)["cwd"], r"C:\Gone"))
        self.wine.close_window(window)
        self.assertEqual(app.wait(), 0)


class Locales(unittest.TestCase):
    """Under code page 1252 the program shows the same window and the same Chinese texts. The stock
    GUI font follows the locale, on Windows as under Wine, so only the caption bar is compared pixel
    for pixel."""

    def test_english_locale_shows_the_same_window(self):
        if not SONITRA_EXE.exists():
            self.skipTest(f"{SONITRA_EXE} is not built")
        seen = {}
        for locale in ("zh_CN.UTF-8", "en_US.UTF-8"):
            with WineSession((1024, 768), locale, name=f"Locales.{locale}") as wine:
                app = wine.run_program(install_sonitra(wine))
                window = wine.main_window(app)
                shot = wine.settled_screenshot(locale, region=window.rect)
                controls = sorted((c["class"], c.text, c.left - window.left, c.top - window.top, c.width, c.height)
                                  for c in window.controls if c["class"] != "msctls_updown32")
                tabs = window.control(window_class="SysTabControl32")
                seen[locale] = dict(caption=window.text, rect=window.rect, controls=controls,
                                    titles=[item["text"] for item in tabs["items"]],
                                    caption_bar=shot.crop(window.left, window.top, window.rect[2], window.client[1]),
                                    third_tab=shot.crop(*tabs["items"][2]["rect"]),
                                    fourth_tab=shot.crop(*tabs["items"][3]["rect"]))
                wine.close_window(window)
                self.assertEqual(app.wait(), 0)
        chinese, english = seen["zh_CN.UTF-8"], seen["en_US.UTF-8"]
        for key in ("caption", "rect", "controls", "titles"):
            self.assertEqual(english[key], chinese[key], key)
        self.assertLess(english["caption_bar"].differing_fraction(chinese["caption_bar"], tolerance=24), 0.01)
        # Missing glyphs would draw as identical boxes.
        third, fourth = english["third_tab"], english["fourth_tab"]
        width = min(third.width, fourth.width)
        self.assertGreater(third.crop(0, 0, width, third.height).differing_fraction(
            fourth.crop(0, 0, width, fourth.height), tolerance=60), 0.03)


if __name__ == "__main__":
    main()
