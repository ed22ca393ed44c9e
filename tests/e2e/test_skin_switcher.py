"""The skin engine's deployment, the skin switcher and settings.ini, on the real Sonitra.exe under Wine."""

import os
import re
import shutil

from harness import BUILD_DIR, HELPERS_DIR, SonitraTestCase, main, wait_for

BUILT_ENGINE = BUILD_DIR / "bin" / "SkinH_EL.dll"
RECORDER = HELPERS_DIR / "skin_engine_recorder.dll"
FILE_ATTRIBUTE_HIDDEN = 0x2
ERROR_EXIT = 0xFFFFFFFF
PACKAGE_HEAD = "2E5348450003"
# Besides these, a program folder may hold only the recording engine's log.
PROGRAM_FILES = {"SkinH_EL.dll", "Sonitra.exe", "settings.ini"}
RECORDER_LOG = "skin_engine_calls.txt"


def dos_attributes(path):
    """The attributes Wine keeps for a file: its DOSATTRIB extended attribute, plus read-only from the mode."""
    try:
        stored = int(os.getxattr(path, "user.DOSATTRIB").split(b"\0")[0], 16)
    except OSError:
        stored = 0
    return stored | (0x1 if path.is_file() and not os.access(path, os.W_OK) else 0)


def file_state(path):
    """What must not change about a file the program has to leave alone."""
    if path.is_dir():
        return ("directory", sorted(os.listdir(path)))
    stat = path.stat()
    return (path.read_bytes(), dos_attributes(path), stat.st_mode, stat.st_mtime_ns)


class SkinSwitcherTests(SonitraTestCase):
    def folder(self, name):
        """A fresh program folder in the prefix: its Windows path and its Unix path."""
        windows = "C:\\skins\\" + name
        unix = self.wine.unix_path(windows)
        shutil.rmtree(unix, ignore_errors=True)
        unix.mkdir(parents=True)
        return windows, unix

    def start(self, folder):
        app = self.start_sonitra(folder)
        return app, self.wine.main_window(app)

    def label(self, window):
        """The skin-number label, read afresh."""
        fresh = self.wine.window(window.hwnd)
        return fresh.control(window_class="SonitraTransparentLabel").text

    def press(self, window, caption):
        self.wine.click_control(window.control(caption, "Button"))

    def wait_for_label_and_file(self, window, settings, text):
        wait_for(lambda: self.label(window) == text, what=f"the label to show {text!r}")
        wait_for(lambda: settings.exists() and settings.read_bytes() == text.encode(), what=f"settings.ini to hold {text!r}")

    def close(self, app, window):
        self.wine.close_window(window)
        self.assertEqual(app.wait(), 0)

    def test_first_start_deploys_the_hidden_engine_and_the_choice_survives_a_restart(self):
        folder, unix = self.folder("first")
        app, window = self.start(folder)
        engine = unix / "SkinH_EL.dll"
        self.assertEqual(engine.read_bytes(), BUILT_ENGINE.read_bytes(), "the deployed engine is not the built one")
        self.assertEqual(dos_attributes(engine), FILE_ATTRIBUTE_HIDDEN)
        self.assertEqual(self.label(window), "")
        self.assertFalse((unix / "settings.ini").exists(), "start-up wrote settings.ini")

        self.press(window, "切换》")
        self.wait_for_label_and_file(window, unix / "settings.ini", "1")
        self.assertEqual((unix / "settings.ini").read_bytes(), b"\x31")
        self.close(app, window)

        deployed = file_state(engine)
        app, window = self.start(folder)
        self.assertEqual(self.label(window), "1")
        self.assertEqual(file_state(engine), deployed, "a later start touched the deployed engine")
        self.close(app, window)
        self.assertEqual({p.name for p in unix.iterdir()} - {RECORDER_LOG}, PROGRAM_FILES)

    def engine_calls(self, unix):
        log = unix / RECORDER_LOG
        return log.read_text().splitlines() if log.exists() else []

    def test_the_saved_skin_is_applied_before_the_window_is_first_shown(self):
        """A recording engine beside the program sees every call and whether a window was visible then."""
        call = re.compile(r"attach (\d+) (\S+) password= 0 0 0 visible=(\d+)$")
        for saved, first_call in [(None, ("0", "-")), (b"7", PACKAGE_HEAD), (b"40", ("0", "-"))]:
            with self.subTest(saved=saved):
                folder, unix = self.folder("recorded")
                engine = unix / "SkinH_EL.dll"
                shutil.copy(RECORDER, engine)
                engine.chmod(0o444)  # read-only: the program must leave even that alone
                untouched = file_state(engine)
                if saved is not None:
                    (unix / "settings.ini").write_bytes(saved)

                app, window = self.start(folder)
                self.assertEqual(self.label(window), (saved or b"").decode())
                calls = self.engine_calls(unix)
                self.assertEqual(len(calls), 1, calls)
                length, head, visible = call.match(calls[0]).groups()
                self.assertEqual(visible, "0", "the window was shown before its skin was applied")
                if first_call == PACKAGE_HEAD:
                    self.assertGreaterEqual(int(length), 6)
                    self.assertEqual(head, PACKAGE_HEAD)
                else:
                    self.assertEqual((length, head), first_call)

                if saved == b"7":
                    self.press(window, "《界面")
                    self.wait_for_label_and_file(window, unix / "settings.ini", "6")
                    length, head, visible = call.match(self.engine_calls(unix)[1]).groups()
                    self.assertEqual((head, visible), (PACKAGE_HEAD, "1"))
                self.close(app, window)
                self.assertEqual(file_state(engine), untouched)

    def test_an_existing_file_named_like_the_engine_is_left_alone_and_ends_start_up(self):
        def foreign(path):
            path.write_bytes(b"MZ but not a library at all")

        def empty(path):
            path.write_bytes(b"")

        def directory(path):
            path.mkdir()

        for make in (foreign, empty, directory):
            with self.subTest(make.__name__):
                folder, unix = self.folder("foreign-" + make.__name__)
                engine = unix / "SkinH_EL.dll"
                make(engine)
                untouched = file_state(engine)
                app = self.start_sonitra(folder)

                def error_box():
                    return next((w for w in self.wine.windows(app.pid) if w.visible and w["class"] == "#32770"), None)

                box = wait_for(error_box, what="the run-time error box")
                box_text = " ".join(c.text for c in box.controls)
                self.assertIn("SkinH_EL.dll", box_text)
                self.assertIn("SkinH_AttachRes", box_text)
                shown = [w for w in self.wine.windows(app.pid) if w["class"] == "SonitraMainWindow" and w.visible]
                self.assertEqual(shown, [], "the main window was shown despite the fatal error")
                self.wine.close_window(box)
                self.assertEqual(app.wait(), ERROR_EXIT)
                self.assertEqual(file_state(engine), untouched)

    def test_an_unwritable_settings_file_keeps_its_content_and_a_directory_reads_as_empty(self):
        for kind, saved, label_before, label_after in [("read-only", b"5", "5", "6"), ("directory", None, "", "1")]:
            with self.subTest(kind):
                folder, unix = self.folder("settings-" + kind)
                settings = unix / "settings.ini"
                if saved is None:
                    settings.mkdir()
                else:
                    settings.write_bytes(saved)
                    settings.chmod(0o444)
                untouched = file_state(settings)

                app, window = self.start(folder)
                self.assertEqual(self.label(window), label_before)
                self.press(window, "切换》")
                wait_for(lambda: self.label(window) == label_after, what=f"the label to show {label_after}")
                self.close(app, window)
                self.assertEqual(file_state(settings), untouched)
                leftovers = {p.name for p in unix.iterdir()} - PROGRAM_FILES - {RECORDER_LOG}
                self.assertEqual(leftovers, set(), "a failed save left files behind")

    def test_each_skin_changes_caption_buttons_tabs_and_slider(self):
        folder, _ = self.folder("looks")
        app, window = self.start(folder)
        left, top = window.left, window.top
        regions = {
            "caption": (0, 0, window.width, window.client[1] - top),
            "buttons": self.relative(window.control("切换》", "Button"), left, top),
            "tabs": self.relative(window.control(window_class="SysTabControl32"), left, top, height=24),
            "slider": self.relative(window.control(window_class="msctls_trackbar32"), left, top),
        }

        def looks():
            shot = self.wine.screenshot("skin-" + self.label(window))
            return {name: shot.crop(left + l, top + t, left + r, top + b) for name, (l, t, r, b) in regions.items()}

        previous = looks()
        for skin in ("1", "2", "3"):
            self.press(window, "切换》")
            wait_for(lambda: self.label(window) == skin, what=f"skin {skin}")

            def changed_everywhere():
                now = looks()
                unchanged = [name for name in regions if now[name].differing_fraction(previous[name], 4) < 0.05]
                return now if not unchanged else None

            previous = wait_for(changed_everywhere, timeout=20, interval=0.5,
                                what=f"skin {skin} to change every region from the skin before")
        self.close(app, window)

    @staticmethod
    def relative(control, left, top, height=None):
        l, t, r, b = control.rect
        return l - left, t - top, r - left, (t + height if height else b) - top


if __name__ == "__main__":
    main()
