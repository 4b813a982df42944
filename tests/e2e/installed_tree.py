"""Selenor and sonaris-say installed with `cmake --install`, the installed
tree then moved elsewhere, and run from a folder that is neither the build
nor the tree: the data is found beside the programs.

Usage: installed_tree.py BUILD_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import speech_capture as cap  # noqa: E402
from tmuxsession import CLOSING, Session, check, needs_speech_data, report  # noqa: E402


def install_and_move(build, where):
    first = os.path.join(where, "first")
    subprocess.run(["cmake", "--install", build, "--prefix", first],
                   check=True, capture_output=True, timeout=120)
    moved = os.path.join(where, "moved")
    os.rename(first, moved)
    for page in ("man1/selenor.1", "man5/SONARIS.INI.5"):
        check(os.path.exists(os.path.join(moved, "share/man", page)), f"no manual page {page}")
    check(os.path.exists(os.path.join(moved, "share/applications/selenor.desktop")),
          "no desktop entry")
    check(not any("test" in name for name in os.listdir(os.path.join(moved, "bin"))),
          "tests were installed")
    return moved


def scenario(build):
    where = tempfile.mkdtemp(prefix="sonaris-install-")
    try:
        tree = install_and_move(build, where)
        elsewhere = os.path.join(where, "elsewhere")
        os.makedirs(elsewhere)
        with Session(os.path.join(tree, "bin", "selenor"), capture=True) as s:
            s.wait_prompt()
            s.type("15/3/1990")
            s.keys("Enter")
            s.wait_text("Você nasceu Quinta")
            s.wait("the closing prompt", lambda: s.rows()[24] == CLOSING, 300)
            check(cap.segments(s.pcm(), 300), "the installed Selenor said nothing")
            s.keys("Enter")
            s.check_clean_end()
        out = os.path.join(where, "dito.wav")
        subprocess.run([os.path.join(tree, "bin", "sonaris-say"), "--wav", out, "bom dia"],
                       cwd=elsewhere, stdin=subprocess.DEVNULL, check=True,
                       capture_output=True, timeout=60)
        with open(out, "rb") as f:
            samples = f.read()[44:]  # 8-bit, silence at 128
        check(sum(abs(b - 128) > 20 for b in samples) > 500, "sonaris-say wrote no speech")
    finally:
        shutil.rmtree(where, ignore_errors=True)


if __name__ == "__main__":
    build = sys.argv[1]
    skipped = needs_speech_data(build)
    sys.exit(skipped if skipped else report("installed_tree", scenario, build))
