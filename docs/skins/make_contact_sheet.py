"""Rebuilds docs/skins/contact-sheet.png: the real Sonitra.exe in each of its 33 skins, stepped
through with its own "切换》" button under Wine on a private Xvfb.

Usage: SONITRA_BUILD_DIR=build/windows /usr/bin/python3 docs/skins/make_contact_sheet.py
"""

import re
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from harness import WineSession, wait_for  # noqa: E402

SKIN_COUNT = 33


def skin_names():
    names = {}
    for source in sorted((ROOT / "resources" / "skins").glob("[0-3][0-9]-*.skin")):
        found = re.search(r"^name = (.+)$", source.read_text(encoding="utf-8"), re.MULTILINE)
        names[int(source.name[:2])] = found.group(1) if found else source.stem
    return names


def main():
    names = skin_names()
    with WineSession(name="contact-sheet") as wine, tempfile.TemporaryDirectory() as work:
        app = wine.run_program(wine.install())
        window = wine.main_window(app)
        next_skin = window.control(text="切换》")
        region = (window.left, window.top, window.left + window.width, window.top + window.height)
        labels = []
        for number in range(1, SKIN_COUNT + 1):
            wine.click_control(next_skin)
            wait_for(lambda: wine.window(window.hwnd).control(window_class="SonitraTransparentLabel").text == str(number),
                     what=f"skin {number}")
            shot = wine.settled_screenshot(f"skin-{number:02}", region).crop(*region)
            path = Path(work) / f"skin-{number:02}.png"
            shot.save(path)
            labels += ["-label", f"{number:02}  {names.get(number, '')}", str(path)]
        wine.close_window(window)
        sheet = Path(work) / "sheet.png"
        subprocess.run(["montage", *labels, "-tile", "6x", "-geometry", "+6+6", "-pointsize", "13",
                        "-background", "#202020", "-fill", "white", str(sheet)], check=True)
        subprocess.run(["convert", str(sheet), "+dither", "-colors", "256",
                        "PNG8:" + str(ROOT / "docs" / "skins" / "contact-sheet.png")], check=True)


if __name__ == "__main__":
    main()
