"""End-to-end harness: runs the real Sonitra.exe under Wine on a private Xvfb display.

A WineSession owns one Wine prefix (copied from a cached template), one Xvfb server and one
wineserver. It starts programs through our launcher (full 32-bit exit codes), reads windows and
processes through our probe (virtual-desktop windows are not X windows), clicks and types with
xdotool and takes screenshots with ImageMagick. See README.md in this folder.
"""

import contextlib
import ctypes
import fcntl
import json
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

BUILD_DIR = Path(os.environ.get("SONITRA_BUILD_DIR", Path(__file__).resolve().parents[2] / "build" / "windows"))
SONITRA_EXE = BUILD_DIR / "bin" / "Sonitra.exe"
HELPERS_DIR = BUILD_DIR / "bin" / "e2e"
ARTIFACTS_DIR = Path(os.environ.get("SONITRA_E2E_ARTIFACTS", BUILD_DIR / "e2e-artifacts"))
CACHE_DIR = BUILD_DIR / "e2e-cache"
# A DLL to put beside every program SonitraTestCase installs, as SkinH_EL.dll, in place of the
# engine the program deploys itself (e.g. bin/e2e/skin_engine_recorder.dll). Unset: the real one.
SKIN_ENGINE_OVERRIDE = os.environ.get("SONITRA_E2E_SKIN_ENGINE")

DEFAULT_TIMEOUT = 30.0

WS_MAXIMIZEBOX = 0x00010000
WS_MINIMIZEBOX = 0x00020000
WS_THICKFRAME = 0x00040000
WS_SYSMENU = 0x00080000
WS_CAPTION = 0x00C00000
WS_VISIBLE = 0x10000000
WS_EX_TOPMOST = 0x00000008
WS_EX_TOOLWINDOW = 0x00000080
WS_EX_APPWINDOW = 0x00040000

CJK_FONT = "WenQuanYi Micro Hei"
# Faces that Wine's captions, the default GUI font and CJK code pages ask for, pointed at a font
# that has both Latin and CJK glyphs.
REPLACED_FONTS = ["SimSun", "宋体", "NSimSun", "新宋体", "SimHei", "黑体", "Microsoft YaHei", "微软雅黑",
                  "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma", "MS Sans Serif"]
TEMPLATE_DESKTOP = "1024x768"


# ---------------------------------------------------------------------------------------------
# Waiting

def wait_for(condition, timeout=DEFAULT_TIMEOUT, interval=0.2, what="condition"):
    """Polls condition() until it returns something truthy, and returns that; fails at the deadline."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


# ---------------------------------------------------------------------------------------------
# Images

IMAGEMAGICK_CONVERT = "/usr/bin/convert" if Path("/usr/bin/convert").exists() else "convert"


class Image:
    """An RGB picture held as bytes, with the few operations the tests need."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, bytes(data)

    @classmethod
    def load(cls, path):
        size = subprocess.run(["identify", "-format", "%w %h", str(path)], capture_output=True, text=True, check=True)
        width, height = map(int, size.stdout.split()[:2])
        raw = subprocess.run([IMAGEMAGICK_CONVERT, str(path), "-depth", "8", "rgb:-"], capture_output=True, check=True)
        return cls(width, height, raw.stdout[: width * height * 3])

    def save(self, path):
        subprocess.run([IMAGEMAGICK_CONVERT, "-size", f"{self.width}x{self.height}", "-depth", "8", "rgb:-", str(path)],
                       input=self.data, check=True)

    def pixel(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.data[offset:offset + 3])

    def crop(self, left, top, right, bottom):
        left, top = max(left, 0), max(top, 0)
        right, bottom = min(right, self.width), min(bottom, self.height)
        rows = [self.data[(y * self.width + left) * 3:(y * self.width + right) * 3] for y in range(top, bottom)]
        return Image(right - left, bottom - top, b"".join(rows))

    def pixels(self):
        return [tuple(self.data[i:i + 3]) for i in range(0, len(self.data), 3)]

    def colours(self):
        return set(self.pixels())

    def differing_fraction(self, other, tolerance=0):
        """Share of pixels whose channels differ by more than tolerance; different sizes differ fully."""
        if (self.width, self.height) != (other.width, other.height):
            return 1.0
        differing = sum(1 for i in range(0, len(self.data), 3)
                        if max(abs(a - b) for a, b in zip(self.data[i:i + 3], other.data[i:i + 3])) > tolerance)
        return differing / max(1, self.width * self.height)

    def count(self, predicate):
        return sum(1 for p in self.pixels() if predicate(p))


# ---------------------------------------------------------------------------------------------
# Windows as the probe reports them

class Window(dict):
    """One window from the probe: a dict with helpers. rect is [left, top, right, bottom] on screen."""

    def __getattr__(self, name):
        try:
            return self[name]
        except KeyError as error:
            raise AttributeError(name) from error

    @property
    def left(self):
        return self["rect"][0]

    @property
    def top(self):
        return self["rect"][1]

    @property
    def width(self):
        return self["rect"][2] - self["rect"][0]

    @property
    def height(self):
        return self["rect"][3] - self["rect"][1]

    @property
    def centre(self):
        left, top, right, bottom = self["rect"]
        return (left + right) // 2, (top + bottom) // 2

    def has_style(self, bits):
        return (self["style"] & bits) == bits

    def has_exstyle(self, bits):
        return (self["exstyle"] & bits) == bits

    @property
    def controls(self):
        return [Window(child) for child in self.get("children", [])]

    def controls_of(self, parent=None, window_class=None):
        """Child controls, optionally only the direct children of parent (a Window or hwnd) or of one class."""
        parent_hwnd = parent.hwnd if isinstance(parent, Window) else (parent if parent is not None else None)
        return [c for c in self.controls
                if (parent_hwnd is None or c.parent == parent_hwnd)
                and (window_class is None or c["class"].lower() == window_class.lower())]

    def control(self, text=None, window_class=None):
        """The one control with this text (and class); fails if there is none."""
        for child in self.controls:
            if (text is None or child.text == text) and (window_class is None or child["class"].lower() == window_class.lower()):
                return child
        raise AssertionError(f"no control with text {text!r} and class {window_class!r}")


# ---------------------------------------------------------------------------------------------
# Processes started in the prefix

class WinProcess:
    """A Windows program started through the launcher: its pid and, once it ends, its exit code."""

    def __init__(self, session, popen, status_file, name):
        self.session, self.popen, self.status_file, self.name = session, popen, status_file, name
        fields = wait_for(self._status, timeout=60, what=f"{name} to start")
        if "error" in fields:
            raise AssertionError(f"{name} could not be started: Windows error {fields['error']}")
        self.pid = fields["pid"]

    def _status(self):
        try:
            lines = self.status_file.read_text().split()
        except FileNotFoundError:
            return None
        fields = dict(zip(lines[::2], (int(v) for v in lines[1::2])))
        return fields if fields else None

    @property
    def exit_code(self):
        """The unsigned 32-bit exit code, or None while the program runs."""
        return (self._status() or {}).get("exit")

    @property
    def running(self):
        return self.exit_code is None

    def wait(self, timeout=DEFAULT_TIMEOUT):
        wait_for(lambda: self.exit_code is not None, timeout=timeout, what=f"{self.name} (pid {self.pid}) to end")
        self.popen.wait(timeout=timeout)
        return self.exit_code

    def end(self):
        """Terminates the program if it still runs and waits for the launcher."""
        if self.running:
            self.session.probe("kill", str(self.pid))
        try:
            self.popen.wait(timeout=DEFAULT_TIMEOUT)
        except subprocess.TimeoutExpired:
            self.popen.kill()
            self.popen.wait()


# ---------------------------------------------------------------------------------------------
# Sessions

def _die_with_parent():
    """Runs in the child before exec: the child gets SIGTERM if the test process dies, even by SIGKILL."""
    with contextlib.suppress(Exception):
        ctypes.CDLL("libc.so.6", use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def _locale_available(name):
    wanted = name.lower().replace("-", "")
    listed = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower().replace("-", "").split()
    return wanted in listed


def _wine_version():
    return subprocess.run(["wine", "--version"], capture_output=True, text=True, check=True).stdout.strip()


def _registry_file(path):
    lines = ["Windows Registry Editor Version 5.00", "",
             r"[HKEY_CURRENT_USER\Software\Wine\Explorer]", '"Desktop"="Default"', "",
             r"[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]", f'"Default"="{TEMPLATE_DESKTOP}"', "",
             r"[HKEY_CURRENT_USER\Software\Wine\Drivers]", '"Audio"="alsa"', "",
             r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
    lines += [f'"{face}"="{CJK_FONT}"' for face in REPLACED_FONTS]
    path.write_text("\r\n".join(lines) + "\r\n", encoding="utf-16")


def _template_prefix(env):
    """A booted prefix with our registry settings, built once per Wine version and reused."""
    CACHE_DIR.mkdir(parents=True, exist_ok=True)
    template = CACHE_DIR / ("prefix-" + _wine_version().replace(" ", "_").replace("/", "_"))
    with open(CACHE_DIR / "template.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if (template / "system.reg").exists():
            return template
        building = Path(tempfile.mkdtemp(prefix="prefix-building-", dir=CACHE_DIR))
        env = dict(env, WINEPREFIX=str(building))
        env.pop("DISPLAY", None)
        subprocess.run(["wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _registry_file(building / "settings.reg")
        subprocess.run(["wine", "regedit", "/S", str(building / "settings.reg")], env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, check=True)
        building.rename(template)
        return template


# Program images never change in a prefix, so copies share them; everything else is copied.
_SHARED_SUFFIXES = {".dll", ".exe", ".drv", ".sys", ".ocx", ".acm", ".cpl", ".tlb", ".ax", ".ds", ".nls", ".ttf",
                    ".fon", ".msstyles", ".dll16", ".exe16", ".drv16", ".mod16", ".vxd", ".com", ".mui"}


def _copy_prefix(template, prefix):
    for folder, dirs, files in os.walk(template):
        relative = Path(folder).relative_to(template)
        (prefix / relative).mkdir(parents=True, exist_ok=True)
        for name in dirs + files:
            source, target = Path(folder) / name, prefix / relative / name
            if source.is_symlink():
                os.symlink(os.readlink(source), target)
                if name in dirs:
                    dirs.remove(name)
            elif name in files:
                if source.suffix.lower() in _SHARED_SUFFIXES:
                    os.link(source, target)
                else:
                    shutil.copy2(source, target)


_live_sessions = []


class WineSession:
    """One Wine prefix on its own Xvfb display. Use as a context manager, or start() and stop()."""

    def __init__(self, screen=(1024, 768), locale="zh_CN.UTF-8", name="session"):
        self.screen, self.locale, self.name = tuple(screen), locale, name
        self.artifacts = ARTIFACTS_DIR / name
        self.root = self.prefix = self.home = None
        self._xvfb = self._wineserver = None
        self._processes = []
        self._started = 0

    # -- life cycle ---------------------------------------------------------------------------

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        _live_sessions.append(self)
        try:
            self.root = Path(tempfile.mkdtemp(prefix="sonitra-e2e-"))
            self.home = self.root / "home"
            self.capture_dir = self.home / "capture"
            self.capture_dir.mkdir(parents=True)
            self.env = self._environment()
            self.prefix = self.root / "prefix"
            _copy_prefix(_template_prefix(self.env), self.prefix)
            self._set_desktop_size()
            self.env["WINEPREFIX"] = str(self.prefix)
            self._write_asoundrc()
            self._start_xvfb()
            self._wineserver = subprocess.Popen(["wineserver", "-f", "-p"], env=self.env, preexec_fn=_die_with_parent,
                                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wait_for(lambda: self.probe("screen", check=False), timeout=90, interval=0.5, what="the Wine desktop")
        except BaseException:
            self.stop()
            raise
        return self

    def stop(self):
        """Ends every process of the prefix, the wineserver and Xvfb, and removes the prefix."""
        if self in _live_sessions:
            _live_sessions.remove(self)
        if self._wineserver:
            subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            _stop(self._wineserver)
        for process in self._processes:
            _stop(process.popen)
        if self._xvfb:
            _stop(self._xvfb)
        if self.root and not os.environ.get("SONITRA_E2E_KEEP"):
            shutil.rmtree(self.root, ignore_errors=True)
        self._wineserver = self._xvfb = None

    def _environment(self):
        env = {k: v for k, v in os.environ.items() if not k.startswith(("WINE", "LC_", "WAYLAND"))}
        env.update(HOME=str(self.home), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=", LANG=self.locale,
                   LC_ALL=self.locale, XDG_CACHE_HOME=str(self.home / ".cache"))
        if not _locale_available(self.locale):
            locales = self.root / "locales"
            language, _, charset = self.locale.partition(".")
            subprocess.run(["localedef", "-i", language, "-f", charset or "UTF-8", str(locales / self.locale)], check=True)
            env["LOCPATH"] = str(locales)
        return env

    def _set_desktop_size(self):
        user_reg = self.prefix / "user.reg"
        size = f"{self.screen[0]}x{self.screen[1]}"
        text = user_reg.read_text(encoding="utf-8", errors="surrogateescape")
        user_reg.write_text(text.replace(f'"Default"="{TEMPLATE_DESKTOP}"', f'"Default"="{size}"'),
                            encoding="utf-8", errors="surrogateescape")

    def _write_asoundrc(self):
        # Everything waveOut plays lands in capture/wave-<rate>-<channels>.raw; the file plugin never
        # appends, so each later opening of the device gets a file of its own (.raw.0001, .raw.0002, ...).
        (self.home / ".asoundrc").write_text(
            "pcm.!default {\n  type file\n  slave.pcm \"null\"\n"
            f"  file \"{self.capture_dir}/wave-%r-%c.raw\"\n  format \"raw\"\n  truncate false\n}}\n")

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        width, height = self.screen
        self._xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
                                       "-nolisten", "tcp", "-noreset"], pass_fds=[write_end], preexec_fn=_die_with_parent,
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 30
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], 1)
            if ready:
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                number += chunk
        os.close(read_end)
        if not number.strip():
            raise AssertionError("Xvfb did not start")
        self.display = ":" + number.decode().strip()
        self.env["DISPLAY"] = self.display

    # -- files ----------------------------------------------------------------------------------

    def unix_path(self, windows_path):
        """The Unix path of a C: or Z: path in this prefix."""
        drive, _, rest = windows_path.partition(":")
        parts = [p for p in rest.replace("\\", "/").split("/") if p]
        base = {"c": self.prefix / "drive_c", "z": Path("/")}[drive.lower()]
        return base.joinpath(*parts)

    @staticmethod
    def windows_path(unix_path):
        return "Z:" + str(Path(unix_path).resolve()).replace("/", "\\")

    def install(self, folder=r"C:\Sonitra", name="Sonitra.exe", source=SONITRA_EXE):
        """Copies the program (or another file) into a folder of the prefix; returns its Windows path."""
        target_dir = self.unix_path(folder)
        target_dir.mkdir(parents=True, exist_ok=True)
        shutil.copy2(source, target_dir / name)
        return folder.rstrip("\\") + "\\" + name

    # -- processes ------------------------------------------------------------------------------

    def run_program(self, program, cwd=None, args=(), unix_cwd=None, remove_unix_cwd=False):
        """Starts a Windows program through the launcher; cwd is its Windows working folder.

        Without cwd the program inherits the launcher's, which Wine takes from unix_cwd; with
        remove_unix_cwd that folder is deleted just before Wine starts.
        """
        self._started += 1
        status = self.root / "status" / f"{self._started}.txt"
        status.parent.mkdir(exist_ok=True)
        log = open(self.root / "status" / f"{self._started}.log", "wb")
        command = ["wine", str(HELPERS_DIR / "launch.exe"), self.windows_path(status), cwd or "-", program, *args]
        if remove_unix_cwd:
            command = ["sh", "-c", 'rmdir "$PWD" && exec "$@"', "sh"] + command
        popen = subprocess.Popen(command, env=self.env, cwd=unix_cwd or self.root, stdout=log, stderr=log,
                                 preexec_fn=_die_with_parent)
        log.close()
        process = WinProcess(self, popen, status, program)
        self._processes.append(process)
        return process

    def end_programs(self, keep=0):
        """Ends every program started through run_program that still runs, except the first keep of them."""
        for process in self._processes[keep:]:
            process.end()
        del self._processes[keep:]

    def probe(self, *args, check=True):
        """Runs the probe and returns its parsed JSON (None if it failed and check is False)."""
        # Output goes through a file, not a pipe: Wine services that the first call starts would
        # inherit a pipe and hold it open long after the probe has ended.
        with tempfile.TemporaryFile(dir=self.root) as output:
            subprocess.run(["wine", str(HELPERS_DIR / "probe.exe"), *map(str, args)], env=self.env, stdout=output,
                           stderr=subprocess.DEVNULL, timeout=120)
            output.seek(0)
            text = output.read()
        try:
            return json.loads(text.decode("utf-8"))
        except ValueError:
            if check:
                raise AssertionError(f"probe {' '.join(map(str, args))} failed: {text[-500:]!r}")
            return None

    def windows(self, pid=None):
        return [Window(w) for w in self.probe("windows", *([pid] if pid else []))]

    def main_window(self, process, timeout=DEFAULT_TIMEOUT):
        """Waits until the process shows a captioned top-level window, and returns it."""
        pid = process.pid if isinstance(process, WinProcess) else process

        def shown():
            return next((w for w in self.windows(pid) if w.visible and w.has_style(WS_CAPTION)), None)

        return wait_for(shown, timeout=timeout, what=f"a window of pid {pid}")

    def window(self, hwnd):
        """The current state of one top-level window, or None when it is gone."""
        return next((w for w in self.windows() if w.hwnd == hwnd), None)

    def process_info(self, process):
        """Threads, handles, private bytes, working set, current directory and modules of a process."""
        return self.probe("process", process.pid if isinstance(process, WinProcess) else process)

    def process_names(self):
        return [p["name"] for p in self.probe("processes")]

    # -- input ------------------------------------------------------------------------------------

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True, timeout=30)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", "--sync", x, y, "click", button)

    def click_control(self, control):
        self.click(*control.centre)

    def key(self, *keys):
        self.xdotool("key", "--delay", 50, *keys)

    def type_text(self, text):
        self.xdotool("type", "--delay", 50, text)

    def close_window(self, window):
        self.probe("close", window.hwnd if isinstance(window, Window) else window)

    def send_message(self, window, message, wparam=0, lparam=0):
        return self.probe("send", window.hwnd if isinstance(window, Window) else window, message, wparam, lparam)

    # -- screenshots ----------------------------------------------------------------------------

    def screenshot(self, name):
        """Saves the whole screen as <artifacts>/<name>.png and returns it as an Image."""
        self.artifacts.mkdir(parents=True, exist_ok=True)
        path = self.artifacts / f"{name}.png"
        subprocess.run(["import", "-window", "root", str(path)], env=self.env, check=True, timeout=60)
        return Image.load(path)

    def settled_screenshot(self, name, region=None, timeout=DEFAULT_TIMEOUT):
        """A screenshot taken once region (left, top, right, bottom) looks the same twice in a row."""
        previous = None

        def settled():
            nonlocal previous
            shot = self.screenshot(name)
            part = shot.crop(*region) if region else shot
            same = previous is not None and part.data == previous.data
            previous = part
            return shot if same else None

        return wait_for(settled, timeout=timeout, interval=0.3, what=f"the screen to settle for {name}")

    def capture_files(self):
        """The ALSA capture files, one per device opening, by name (wave-44100-2.raw, then
        wave-44100-2.raw.0001 and so on), with their bytes."""
        return {p.name: p.read_bytes() for p in sorted(self.capture_dir.glob("wave-*.raw*"))}


def _stop(popen):
    if popen.poll() is None:
        popen.terminate()
        try:
            popen.wait(timeout=10)
        except subprocess.TimeoutExpired:
            popen.kill()
            popen.wait()


def _stop_live_sessions(*_):
    for session in list(_live_sessions):
        session.stop()


def _on_signal(signum, _frame):
    _stop_live_sessions()
    sys.exit(128 + signum)


import atexit  # noqa: E402  (registered after the definitions it calls)

atexit.register(_stop_live_sessions)
for _signal in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
    signal.signal(_signal, _on_signal)


# ---------------------------------------------------------------------------------------------
# Test cases

class SonitraTestCase(unittest.TestCase):
    """One WineSession per test class; programs a test started are ended after it."""

    screen = (1024, 768)
    locale = "zh_CN.UTF-8"

    @classmethod
    def setUpClass(cls):
        if not SONITRA_EXE.exists():
            raise unittest.SkipTest(f"{SONITRA_EXE} is not built")
        cls.wine = WineSession(cls.screen, cls.locale, name=cls.__name__)
        cls.wine.start()
        cls.addClassCleanup(cls.wine.stop)

    def setUp(self):
        self.wine.artifacts = ARTIFACTS_DIR / self.id().split(".", 1)[-1]
        # Programs the class started in setUpClass outlive each test.
        self.addCleanup(self.wine.end_programs, keep=len(self.wine._processes))

    @classmethod
    def start_sonitra(cls, folder=r"C:\Sonitra", name="Sonitra.exe", cwd=None):
        """Installs the program in folder under name, starts it and returns the process."""
        return cls.wine.run_program(install_sonitra(cls.wine, folder, name), cwd=cwd)


def install_sonitra(wine, folder=r"C:\Sonitra", name="Sonitra.exe"):
    """Copies Sonitra.exe into folder under name (with SONITRA_E2E_SKIN_ENGINE beside it if set)."""
    program = wine.install(folder, name)
    if SKIN_ENGINE_OVERRIDE:
        wine.install(folder, "SkinH_EL.dll", source=SKIN_ENGINE_OVERRIDE)
    return program


def main():
    unittest.main(verbosity=2)
