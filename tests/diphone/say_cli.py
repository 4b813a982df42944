#!/usr/bin/env python3
"""sonaris-say end to end: phonetic string, units, speech into a WAV capture
and the message for a database that cannot be opened, on a tiny database."""
import os
import struct
import subprocess
import sys
import tempfile
import wave

SAY = sys.argv[1]


def write_database(folder, units, base="VOZ"):
    ind, dif = b"", b""
    for name, length, value in sorted(units):
        ind += bytes([len(name)]) + name.encode().ljust(8, b"\0")
        ind += struct.pack("<Hi", length, len(dif))
        dif += bytes([value]) * length
    open(os.path.join(folder, base + ".IND"), "wb").write(ind)
    open(os.path.join(folder, base + ".DIF"), "wb").write(dif)


def setup(root):
    letters = os.path.join(root, "letras")
    diphones = os.path.join(root, "difones")
    os.makedirs(letters)
    os.makedirs(diphones)
    with open(os.path.join(root, "SONARIS.INI"), "w") as ini:
        ini.write("[TRADUTOR]\ndirLetras=%s\nDIRDIFONES=%s\n" % (letters, diphones))
        ini.write("[SINTETIZADOR]\nDIFONES3=VOZ\nCORTEFON3=0\nINTERPAL3=100\n")
    with open(os.path.join(diphones, "regras.rgr"), "w") as rules:
        rules.write("(C)= k|\n(A)=a|\n(S)=s|\n(Z)= z|\n(O)=u|\n")
    with open(os.path.join(diphones, "portug.exc"), "w") as exc:
        exc.write("casa=caza\n")
    write_database(diphones, [("$KA", 2000, 40), ("$ZA", 2000, 200), ("$S", 500, 90)])


def run(args, env, stdin=""):
    return subprocess.run([SAY] + args, input=stdin.encode(), env=env,
                          capture_output=True, timeout=60)


def check(cond, what):
    if not cond:
        print("FAILED:", what)
        sys.exit(1)


def main():
    root = tempfile.mkdtemp(prefix="sonaris-say-")
    setup(root)
    env = dict(os.environ, SONARIS_WINDIR=root, SONARIS_AUDIO="null", SONARIS_DISPLAY="headless")

    r = run(["--phonetic", "casas", "ação"], env)
    check(r.returncode == 0, "phonetic exits 0: %r" % r.stderr)
    check(r.stdout.decode() == "[ k/A/ z/a/s][a/s/s/a/ /_~/u]\n", "phonetic: %r" % r.stdout)

    r = run(["--units"], env, stdin="casas\n")
    lines = r.stdout.decode().splitlines()
    check(lines == ["$KA\tfound", "$ZA\tfound", "$S\tfound"], "units: %r" % lines)

    capture = os.path.join(root, "fala.wav")
    r = run(["casa"], dict(env, SONARIS_AUDIO="wav:" + capture))
    check(r.returncode == 0, "speaking exits 0: %r" % r.stderr)
    with wave.open(capture) as w:
        frames = w.readframes(w.getnframes())
        seconds = w.getnframes() / w.getframerate()
    check(seconds >= 4000 / 11025 * 0.9, "the two units were heard: %.3f s" % seconds)
    check(any(b not in (0, 128) for b in frames), "the capture is not silent")

    # Settings without a database name: the program's own database name.
    with open(os.path.join(root, "SONARIS.INI"), "r+") as ini:
        text = ini.read().split("[SINTETIZADOR]")[0]
        ini.seek(0)
        ini.truncate()
        ini.write(text)
    write_database(os.path.join(root, "difones"), [("$KA", 300, 40)], "DIFONES2")
    r = run(["ca"], env)
    check(r.returncode == 0, "speaking without a database name: %r" % r.stderr)
    r = run(["--units", "ca"], env)
    check(r.stdout.decode() == "$KA\tfound\n", "units of the default database: %r" % r.stdout)

    r = run(["--units", "casa"], dict(env, SONARIS_WINDIR=os.path.join(root, "nada"),
                                     SONARIS_DATA=os.path.join(root, "nada")))
    check(r.returncode == 1, "a missing database fails")
    check("banco de dados de voz" in r.stderr.decode(), "Portuguese message: %r" % r.stderr)
    print("ok")


main()
