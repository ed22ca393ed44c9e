"""Clips that are missing or broken: silence or whatever frames are sound, no message, the clip that
was playing stopped, and never a crash or a hang."""

import os

from harness import main, wait_for
from sound_capture import is_silent, locate, matched_length
from test_sound_playback import CLIPS, SoundBoardCase


def write(data):
    return lambda path, good: path.write_bytes(data)


def truncated(fraction):
    return lambda path, good: path.write_bytes(good[: int(len(good) * fraction)])


def huge(path, good):
    with open(path, "wb") as file:  # sparse: 512 MiB of zero bytes with no frame in them
        file.truncate(512 * 1024 * 1024)


def folder(path, good):
    path.mkdir()


def junk_before(path, good):
    path.write_bytes(bytes((i * 37 + 11) % 251 & 0xDF for i in range(4096)) + good)


def lying_id3_size(path, good):
    # An ID3v2.3 header that claims far more bytes than the file has (syncsafe 0x7F7F7F7F).
    path.write_bytes(b"ID3\x03\x00\x00\x7f\x7f\x7f\x7f" + good)


# Caption on page 1, what its file is made of, and whether it must stay silent.
BAD_FILES = [
    ("风趣1", None, True),  # missing
    ("风趣2", write("这不是声音文件\r\n".encode("gbk") * 40), True),
    ("风趣3", write(b""), True),
    ("搞笑1", truncated(0.002), True),  # cut inside the first frame
    ("搞笑2", truncated(0.6), False),  # cut in the middle of a frame
    ("搞笑4", junk_before, False),
    ("搞笑5", lying_id3_size, False),
    ("搞笑6", huge, True),
    ("搞笑7", folder, True),
]


class BadFileTests(SoundBoardCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        good = (cls.sound_folder / "DJ搓碟.mp3").read_bytes()
        for caption, make, _ in BAD_FILES:
            if make:
                make(cls.sound_folder / f"{caption}.mp3", good)

    def test_bad_files_stop_the_clip_before_and_play_nothing_they_cannot(self):
        for caption, _, silent in BAD_FILES:
            with self.subTest(caption):
                self.clear_capture()
                self.click("大雨")
                self.wait_until_sounding("大雨", 1)
                self.click(caption)
                self.wait_until_quiet()
                found = self.streams()
                self.assertGreaterEqual(len(found), 1)
                self.assertLessEqual(len(found), 2, [s.path.name for s in found])
                self.assertEqual(found[0].format, CLIPS["大雨"][1:])
                rain = self.references[CLIPS["大雨"][0]]
                offset = locate(found[0].pcm, rain, 2)
                self.assertIsNotNone(offset)
                self.assertLess(matched_length(found[0].pcm, rain, offset), len(rain), "the clip before was not stopped")
                if silent:
                    # A whole frame of silence (an encoder's info frame) may still open the device.
                    self.assertTrue(all(is_silent(stream.pcm) for stream in found[1:]), "the bad file sounded")
                self.assertTrue(self.app.running)
                others = [w for w in self.wine.windows(self.app.pid) if w.visible and w.hwnd != self.window.hwnd]
                self.assertEqual(others, [], "a message appeared")
                # The program still answers: the next clip plays whole.
                before = len(self.streams())
                self.click("Ready go")
                self.wait_until_sounding("Ready go", before + 1)
                self.wait_until_quiet()
                last = self.streams()[-1]
                reference = self.references[CLIPS["Ready go"][0]]
                offset = locate(last.pcm, reference, 1)
                self.assertIsNotNone(offset)
                self.assertEqual(matched_length(last.pcm, reference, offset), len(reference))
        self.close_and_expect_clean_exit()


if __name__ == "__main__":
    main()
