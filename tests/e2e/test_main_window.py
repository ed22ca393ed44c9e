"""The main window as the user sees it: place, frame, caption, top row, tab pages, CJK text."""

import collections

from harness import (WS_CAPTION, WS_EX_APPWINDOW, WS_EX_TOOLWINDOW, WS_EX_TOPMOST, WS_MAXIMIZEBOX, WS_MINIMIZEBOX,
                     WS_SYSMENU, WS_THICKFRAME, SonitraTestCase, main, wait_for)

CAPTION = "Orvane辅助音效"
PAGE_TITLES = ["主持人专用", "MC喊麦专用", "搞笑类效果", "人物类效果", "生活类效果"]
WINDOW_SIZE = (374, 363)
# Direct children of the window, (left, top, width, height) in client coordinates: the volume label
# and slider, the two skin buttons around the skin number, and the tab control.
TOP_LEVEL_RECTS = [(10, 8, 32, 16), (48, 10, 136, 16), (194, 6, 50, 20), (245, 1, 24, 31), (271, 6, 50, 20),
                   (0, 32, 368, 296)]
TOP_ROW_TEXTS = ["音量：", "《界面", "切换》"]
TAB_SCROLL_ARROWS = "msctls_updown32"


def client_rect(window, control):
    left, top = window.client[0], window.client[1]
    return control.left - left, control.top - top, control.width, control.height


def ink_columns(image):
    """Per column, the rows whose colour stands out from that column's most common colour."""
    columns = []
    for x in range(image.width):
        column = [image.pixel(x, y) for y in range(image.height)]
        background = collections.Counter(column).most_common(1)[0][0]
        columns.append(tuple(max(abs(a - b) for a, b in zip(p, background)) > 60 for p in column))
    return columns


def glyph_groups(image):
    """Runs of columns holding ink, each as its column bitmap: one glyph or part of one."""
    groups, current = [], []
    for column in ink_columns(image):
        if any(column):
            current.append(column)
        elif current:
            groups.append(tuple(current))
            current = []
    if current:
        groups.append(tuple(current))
    return groups


class MainWindowOnA1024By768Screen(SonitraTestCase):
    screen = (1024, 768)

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.app = cls.start_sonitra()
        cls.window = cls.wine.main_window(cls.app)

    def tabs(self):
        return self.wine.window(self.window.hwnd).control(window_class="SysTabControl32")

    def test_frame_is_centred_fixed_topmost_and_in_the_taskbar(self):
        window = self.window
        self.assertEqual((window.left, window.top), (325, 202))
        self.assertEqual((window.width, window.height), WINDOW_SIZE)
        self.assertEqual(window.text, CAPTION)
        self.assertTrue(window.has_style(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX))
        self.assertFalse(window.style & (WS_MAXIMIZEBOX | WS_THICKFRAME), "no maximise box, no sizing frame")
        self.assertTrue(window.has_exstyle(WS_EX_TOPMOST))
        self.assertEqual(window.owner, 0)
        self.assertTrue(window.has_exstyle(WS_EX_APPWINDOW) or not window.exstyle & WS_EX_TOOLWINDOW)

    def test_program_and_caption_carry_the_round_blue_icon(self):
        images = self.wine.probe("icon", r"C:\Sonitra\Sonitra.exe")
        self.assertEqual(sorted((i["size"], i["bits"]) for i in images),
                         sorted([(16, 8), (16, 32), (32, 1), (32, 8), (32, 32), (48, 4), (48, 8), (48, 32), (128, 32)]))
        window = self.window
        shot = self.wine.settled_screenshot("caption", region=window.rect)
        icon = shot.crop(window.left + 3, window.top + 4, window.left + 24, window.client[1] - 2)
        self.assertGreater(icon.count(lambda p: min(p) > 215), 8, "the light face of the button")
        self.assertEqual(icon.count(lambda p: p[0] > p[2] + 80), 0, "nothing red: not the stock icon")

    def test_top_row_and_tab_control_sit_where_the_layout_puts_them(self):
        window = self.wine.window(self.window.hwnd)
        children = window.controls_of(parent=window)
        self.assertEqual(sorted(client_rect(window, c) for c in children), sorted(TOP_LEVEL_RECTS))
        texts = {c.text for c in children}
        self.assertTrue(set(TOP_ROW_TEXTS) <= texts, texts)
        self.assertEqual([item["text"] for item in self.tabs()["items"]], PAGE_TITLES)

    def test_stays_above_a_window_that_becomes_active(self):
        other = self.wine.run_program(r"C:\windows\notepad.exe")
        notepad = self.wine.main_window(other)
        order = [w.hwnd for w in self.wine.windows()]  # top to bottom
        self.assertLess(order.index(self.window.hwnd), order.index(notepad.hwnd))

    def test_each_page_shows_only_its_own_controls(self):
        tabs = self.tabs()
        self.assertEqual(tabs.selected, 0)
        window = self.wine.window(self.window.hwnd)
        arrows = [c for c in window.controls_of(parent=tabs, window_class=TAB_SCROLL_ARROWS) if c.visible]
        page_controls = {c.hwnd for c in window.controls_of(parent=tabs) if c["class"] != TAB_SCROLL_ARROWS}
        initially_shown = {c.hwnd for c in window.controls_of(parent=tabs) if c.visible and c.hwnd in page_controls}

        # Page 5's tab lies partly under the scroll arrows with wide CJK fonts and scrolls the strip
        # when chosen, so it comes last, and every click reads the tab places afresh.
        visits = [0, 1, 2, 3, 0, 4]
        shown = {}
        for visit, page in enumerate(visits):
            tabs = self.tabs()
            left, top, right, bottom = tabs["items"][page]["rect"]
            right = min([right] + [a.left for a in arrows])
            self.wine.click((left + right) // 2, (top + bottom) // 2)
            wait_for(lambda: self.tabs().selected == page, what=f"page {page + 1} to be selected")
            window = self.wine.window(self.window.hwnd)
            self.assertEqual({c.hwnd for c in window.controls_of(parent=tabs) if c["class"] != TAB_SCROLL_ARROWS},
                             page_controls, "hidden controls stay alive")
            now_shown = {c.hwnd for c in window.controls_of(parent=tabs) if c.visible and c.hwnd in page_controls}
            if page in shown:
                self.assertEqual(now_shown, shown[page], f"page {page + 1} shows the same controls again")
            shown[page] = now_shown

        self.assertEqual(shown[0], initially_shown, "page 1 shows at start what it shows when chosen")
        pages = [shown[page] for page in range(len(PAGE_TITLES))]
        for i in range(len(pages)):
            for j in range(i + 1, len(pages)):
                self.assertFalse(pages[i] & pages[j], f"pages {i + 1} and {j + 1} share visible controls")
        self.assertEqual(set().union(*pages), page_controls, "every page control shows on one page")

    def test_chinese_text_is_drawn_with_real_glyphs(self):
        window = self.window
        shot = self.wine.settled_screenshot("window", region=window.rect)
        # Missing glyphs all draw as the same hollow box, so texts that differ would look alike.
        caption_buttons = 60
        caption = shot.crop(window.left + 4, window.top + 5, window.rect[2] - caption_buttons, window.client[1] - 4)
        glyphs = glyph_groups(caption)
        self.assertGreaterEqual(len(glyphs), 6, "caption text is drawn")
        last_four = glyphs[-4:]  # 辅助音效, or pieces of them
        self.assertEqual(len(set(last_four)), 4, "the Chinese characters of the caption look different")

        items = self.tabs()["items"]
        third, fourth = (shot.crop(*items[i]["rect"]) for i in (2, 3))
        width = min(third.width, fourth.width)
        third, fourth = third.crop(0, 0, width, third.height), fourth.crop(0, 0, width, fourth.height)
        self.assertGreater(len(glyph_groups(third)), 2, "tab title is drawn")
        self.assertGreater(third.differing_fraction(fourth, tolerance=60), 0.03,
                           "搞笑类效果 and 人物类效果 look different")


class MainWindowOnA1366By768Screen(SonitraTestCase):
    screen = (1366, 768)

    def test_window_is_centred_with_halves_rounded_down(self):
        window = self.wine.main_window(self.start_sonitra())
        self.assertEqual((window.left, window.top, window.width, window.height), (496, 202) + WINDOW_SIZE)


if __name__ == "__main__":
    main()
