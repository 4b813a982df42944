#!/usr/bin/env python3
"""sonaris-voices 3 lists the MBROLA voices the Toada voice would use: the
project's br1 br3 br4, and with SONARIS_MBROLA_DIR the voices of that
folder alone, in both layouts (<name>/<name> and a bare <name> file).

usage: voices_list.py SONARIS-VOICES SOURCE-DIR"""
import os
import subprocess
import sys
import tempfile

VOICES, SOURCE = sys.argv[1:3]


def listed(env_dir):
    env = dict(os.environ)
    env.pop("SONARIS_MBROLA_DIR", None)
    if env_dir:
        env["SONARIS_MBROLA_DIR"] = env_dir
    out = subprocess.run([VOICES, "3"], env=env, capture_output=True, text=True, timeout=30).stdout
    return [line.split()[0] for line in out.splitlines()[1:]]


failed = False
with tempfile.TemporaryDirectory() as tmp:
    share = os.path.join(tmp, "share", "mbrola")
    for path in ["br1/br1", "br3/br3", "br4", "br2/leiame.txt", "LEIAME.txt"]:
        os.makedirs(os.path.dirname(os.path.join(share, path)), exist_ok=True)
        open(os.path.join(share, path), "w").close()
    # {folder, voices listed}; None: the project's own copy, when fetched.
    cases = [(tmp, ["br1", "br3", "br4"]), (os.path.join(tmp, "nada"), ["nenhuma"])]
    if os.path.isdir(os.path.join(SOURCE, "third_party", "mbrola", "share", "mbrola", "br4")):
        cases.append((None, ["br1", "br3", "br4"]))
    for folder, expected in cases:
        got = listed(folder)
        if folder is None:  # the system's voices may come too
            got = [v for v in got if v in expected]
        if got != expected:
            print("FAILED: %s: %s, expected %s" % (folder or "project", got, expected))
            failed = True
sys.exit(1 if failed else 0)
