"""Starts Sonitra.exe under Wine in a prefix of its own (~/.sonitra/wine), on a 1024x768
virtual desktop, with the demo sound pack in C:\\Windows\\yxwj\\ when that folder is empty.

Used by tools/run; the prefix settings are the end-to-end harness's, so what a person sees
is what the tests see.
"""

import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import harness  # noqa: E402  (the prefix settings shared with the tests)

PREFIX = Path(os.environ.get("SONITRA_WINEPREFIX", Path.home() / ".sonitra" / "wine"))


def wine_environment():
    env = {k: v for k, v in os.environ.items() if not k.startswith("WINE")}
    env.update(WINEPREFIX=str(PREFIX), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    return env


def prepare_prefix(env):
    if (PREFIX / "system.reg").exists():
        return
    print(f"Setting up the Wine prefix {PREFIX} ...")
    PREFIX.mkdir(parents=True, exist_ok=True)
    quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    boot_env = {k: v for k, v in env.items() if k != "DISPLAY"}
    subprocess.run(["wineboot", "-i"], env=boot_env, check=True, **quiet)
    with tempfile.TemporaryDirectory() as folder:
        settings = Path(folder) / "settings.reg"
        harness._registry_file(settings)
        subprocess.run(["wine", "regedit", "/S", str(settings)], env=boot_env, check=True, **quiet)
    subprocess.run(["wineserver", "-w"], env=boot_env, check=True)


def install_demo_pack_if_empty():
    sound_folder = PREFIX / "drive_c" / "windows" / "yxwj"
    if sound_folder.is_dir() and any(sound_folder.iterdir()):
        return
    print(f"Installing the demo sound pack into {sound_folder} ...")
    sound_folder.mkdir(parents=True, exist_ok=True)
    subprocess.run([str(ROOT / "tools" / "demo_pack" / "make-demo-pack"), str(sound_folder)], check=True)


def start_display(env):
    """A private Xvfb when there is no display to show the program on."""
    if env.get("DISPLAY"):
        return None
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = os.read(read_end, 16).decode().strip()
    os.close(read_end)
    env["DISPLAY"] = ":" + number
    print(f"No DISPLAY: running on a private Xvfb at :{number} (screenshot: DISPLAY=:{number} import -window root shot.png)")
    return xvfb


def main():
    build = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "build" / "windows"
    env = wine_environment()
    prepare_prefix(env)
    install_demo_pack_if_empty()
    program_folder = PREFIX / "drive_c" / "Sonitra"
    program_folder.mkdir(parents=True, exist_ok=True)
    shutil.copy2(build / "bin" / "Sonitra.exe", program_folder / "Sonitra.exe")
    xvfb = start_display(env)
    try:
        print("Starting C:\\Sonitra\\Sonitra.exe; close its window to end.")
        return subprocess.run(["wine", str(program_folder / "Sonitra.exe")], env=env).returncode
    finally:
        subprocess.run(["wineserver", "-w"], env=env)
        if xvfb:
            xvfb.terminate()


if __name__ == "__main__":
    sys.exit(main())
