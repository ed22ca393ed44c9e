"""Only one copy named Sonitra.exe runs; copies under other names run beside it."""

from harness import SonitraTestCase, main

CAPTION = "Orvane辅助音效"


class SingleInstance(SonitraTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.first = cls.start_sonitra(r"C:\First")
        cls.first_window = cls.wine.main_window(cls.first)

    def assert_first_copy_undisturbed(self):
        self.assertTrue(self.first.running)
        window = self.wine.window(self.first_window.hwnd)
        self.assertIsNotNone(window)
        self.assertTrue(window.visible)
        self.assertEqual(window.rect, self.first_window.rect)

    def test_second_copy_ends_at_once_without_showing_anything(self):
        for folder in (r"C:\First", r"C:\Second"):
            with self.subTest(folder=folder):
                before = self.wine.settled_screenshot("before", region=self.first_window.rect)
                # Installed without any stand-in engine: the copy must end before it would deploy one.
                program = self.wine.install(folder)
                second = self.wine.run_program(program)
                self.assertEqual(second.wait(), 0)
                after = self.wine.screenshot("after")
                self.assertLess(after.differing_fraction(before, tolerance=8), 0.001, "the screen did not change")
                self.assert_first_copy_undisturbed()
                if folder != r"C:\First":
                    written = [name for name in ("SkinH_EL.dll", "settings.ini")
                               if self.wine.unix_path(folder + "\\" + name).exists()]
                    self.assertEqual(written, [], "the second copy touched nothing")

    def test_copies_under_other_names_run_side_by_side(self):
        # Letter case counts: "sonitra.EXE" is another name.
        names = ["Sonitra2.exe", "音效板.exe", "sonitra.EXE", "SONITRA.exe"]
        others = [self.start_sonitra(rf"C:\Other{i}", name) for i, name in enumerate(names)]
        for name, other in zip(names, others):
            with self.subTest(name=name):
                window = self.wine.main_window(other)
                self.assertEqual(window.text, CAPTION)
                self.assertTrue(other.running)
        self.assert_first_copy_undisturbed()
        for other in others:
            self.wine.close_window(self.wine.main_window(other))
            self.assertEqual(other.wait(), 0)
        self.assert_first_copy_undisturbed()


if __name__ == "__main__":
    main()
