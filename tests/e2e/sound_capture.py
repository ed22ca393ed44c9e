"""Reading what the program played: the ALSA capture files of a WineSession and reference decodes
of MP3 clips, compared sample by sample with a small tolerance for decoder differences."""

import array
import os
import subprocess
import threading
import time
from pathlib import Path

TOLERANCE = 256  # per 16-bit sample
BLOCK = 256  # samples compared together; a block matches when nearly all its samples do
LOUD = 2000


def samples(data):
    """Raw 16-bit little-endian PCM as an array of samples (channels interleaved)."""
    pcm = array.array("h")
    pcm.frombytes(bytes(data[: len(data) // 2 * 2]))
    return pcm


def reference_decode(mp3_path):
    """The clip decoded by mpg123 in its own rate and channel count, every frame kept."""
    raw = subprocess.run(["mpg123", "-q", "--no-gapless", "-s", str(mp3_path)], capture_output=True, check=True).stdout
    return samples(raw)


def _block_matches(capture, reference, offset, start, end):
    close = sum(1 for i in range(start, end) if abs(capture[i + offset] - reference[i]) <= TOLERANCE)
    return close >= (end - start) * 0.98


def locate(capture, reference, channels, start=0):
    """The offset at which reference begins in capture (at or after start), or None. The reference's
    first loud stretch must appear in the capture exactly."""
    first_loud = next((i for i, x in enumerate(reference) if abs(x) > LOUD), None)
    if first_loud is None:
        raise ValueError("reference clip is silent")
    first_loud -= first_loud % channels
    probe = reference[first_loud:first_loud + 64]
    for j in range(start + first_loud, len(capture) - len(probe) + 1, channels):
        if abs(capture[j] - probe[0]) > TOLERANCE:
            continue
        if all(abs(capture[j + k] - probe[k]) <= TOLERANCE for k in range(len(probe))):
            return j - first_loud
    return None


def matched_length(capture, reference, offset):
    """How many samples of reference, from its start, the capture holds at offset before the two part."""
    first = max(0, -offset)
    length = first
    while length < len(reference):
        end = min(length + BLOCK, len(reference), len(capture) - offset)
        if end <= length or not _block_matches(capture, reference, offset, length, end):
            break
        length = end
    return length


def is_silent(pcm, start=0, end=None):
    end = len(pcm) if end is None else end
    return all(abs(pcm[i]) <= TOLERANCE for i in range(start, end))


class Stream:
    """One opening of the wave-out device as the ALSA file plugin saw it: the plugin never appends,
    so every opening gets a file of its own (wave-<rate>-<channels>.raw, then .raw.0001 and so on)."""

    def __init__(self, path):
        self.path = path
        stem = path.name.split(".raw")[0]
        _, rate, channels = stem.split("-")
        self.rate, self.channels = int(rate), int(channels)

    @property
    def pcm(self):
        return samples(self.path.read_bytes())

    @property
    def format(self):
        return self.rate, self.channels


def _opening_order(path):
    number = path.name.split(".raw")[1].lstrip(".")
    return path.stat().st_mtime_ns, int(number or 0)


def streams(capture_dir):
    """Every device opening so far, in the order it was written."""
    return [Stream(p) for p in sorted(Path(capture_dir).glob("wave-*.raw*"), key=_opening_order)]


class OverlapWatch:
    """Watches the capture folder from a thread and notes, for every stream, when it appeared and
    when it last grew. Two clips overlapped if a stream grew after a later one had been seen."""

    def __init__(self, capture_dir):
        self.capture_dir = Path(capture_dir)
        self.first_seen, self.last_growth, self._sizes = {}, {}, {}
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, *exc):
        self._stop.set()
        self._thread.join()

    def _run(self):
        seen_at = {}  # when each file was last seen at its previous size
        while not self._stop.wait(0.002):
            for entry in os.scandir(self.capture_dir):
                now = time.monotonic()
                size = entry.stat().st_size
                self.first_seen.setdefault(entry.name, now)
                if entry.name in self._sizes and size != self._sizes[entry.name]:
                    # It grew some time after it was last seen at the old size; only that much is certain.
                    self.last_growth[entry.name] = seen_at[entry.name]
                self._sizes[entry.name] = size
                seen_at[entry.name] = now

    def overlaps(self):
        """Pairs (earlier, later) where the earlier stream still grew after the later appeared."""
        order = sorted(self.first_seen, key=self.first_seen.get)
        return [(a, b) for i, a in enumerate(order) for b in order[i + 1:]
                if self.last_growth.get(a, 0) > self.first_seen[b]]
