#!/usr/bin/env python3
"""sonaris-say end to end: phonetic string, units, speech into a WAV capture,
speech written to a WAV file or standard output with the front end's pauses,
memory that stays flat however long the text, and the message for a
database that cannot be opened, on a tiny database."""
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
        ini.write("[SINTETIZADOR]\nDIFONES3=VOZ\nCORTEFON3=0\nINTERPAL3=100\nPAUSAVIRG3=300\n")
    with open(os.path.join(diphones, "regras.rgr"), "w") as rules:
        rules.write("(C)= k|\n(A)=a|\n(S)=s|\n(Z)= z|\n(O)=u|\n")
    with open(os.path.join(diphones, "portug.exc"), "w") as exc:
        exc.write("casa=caza\n")
    write_database(diphones, [("$KA", 2000, 40), ("$ZA", 2000, 200), ("$S", 500, 90)])


def run(args, env, stdin=""):
    return subprocess.run([SAY] + args, input=stdin.encode(), env=env,
                          capture_output=True, timeout=60)


def peak_kb(args, env, text):
    """Largest resident size of one run fed text on standard input."""
    with tempfile.TemporaryFile() as f:
        f.write(text.encode())
        f.seek(0)
        child = subprocess.Popen([SAY] + args, stdin=f, stdout=subprocess.DEVNULL, env=env)
        _, status, usage = os.wait4(child.pid, 0)
    check(status == 0, "%r on a long text exits 0" % args)
    return usage.ru_maxrss


def wav_samples(data):
    """Format and samples of a WAV image whose data chunk follows a
    44-byte header (lengths possibly unknown)."""
    check(data[:4] == b"RIFF" and data[36:40] == b"data", "a WAV header: %r" % data[:44])
    channels, rate = struct.unpack("<HI", data[22:28])
    bits = struct.unpack("<H", data[34:36])[0]
    return (channels, rate, bits), data[44:]


def check_wav(root, env):
    path = os.path.join(root, "texto.wav")
    r = run(["--wav", path, "casa", "casa"], env)
    check(r.returncode == 0 and r.stdout == b"", "--wav exits 0 quietly: %r" % r.stderr)
    fmt, plain = wav_samples(open(path, "rb").read())
    check(fmt == (1, 11025, 8), "the voice's own format: %r" % (fmt,))
    check(len(plain) >= 8000 and 40 in plain and 200 in plain, "both words written: %d" % len(plain))
    # Rapid mode plays 1.5 times faster: the file holds two thirds of the samples.
    rapid = os.path.join(root, "rapido")
    os.makedirs(rapid)
    with open(os.path.join(root, "SONARIS.INI")) as ini, open(os.path.join(rapid, "SONARIS.INI"), "w") as out:
        out.write(ini.read() + "RAPIDINHO3=Sim\n")
    r = run(["--wav", "-", "casa", "casa"], dict(env, SONARIS_WINDIR=rapid))
    _, fast = wav_samples(r.stdout)
    check(abs(len(fast) * 3 - len(plain) * 2) < 300, "rapid mode: %d of %d" % (len(fast), len(plain)))
    r = run(["--wav", "-"], env, stdin="casa, casa\n")
    fmt, paused = wav_samples(r.stdout)
    pause = len(paused) - len(plain)
    check(abs(pause - 300 * 11025 // 1000) < 400, "the comma pause is written: %d samples" % pause)


def check_flat_memory(env):
    short = "casas casa\n" * 100
    for long in ("casas casa\n" * 20000, "casas casa " * 20000):  # many lines; one line
        for args in (["--units"], ["--wav", os.devnull]):
            growth = peak_kb(args, env, long) - peak_kb(args, env, short)
            check(growth < 16 * 1024, "%r grows with the text: %d KB more" % (args, growth))


def check(cond, what):
    if not cond:
        print("FAILED:", what)
        sys.exit(1)


def main():
    root = tempfile.mkdtemp(prefix="sonaris-say-")
    setup(root)
    env = dict(os.environ, SONARIS_WINDIR=root, SONARIS_AUDIO="null", SONARIS_DISPLAY="headless",
               SONARIS_CLOCK="virtual")

    r = run(["--phonetic", "casas", "ação"], env)
    check(r.returncode == 0, "phonetic exits 0: %r" % r.stderr)
    check(r.stdout.decode() == "[ k/A/ z/a/s][a/s/s/a/ /_~/u]\n", "phonetic: %r" % r.stdout)

    r = run(["--units"], env, stdin="casas\n")
    lines = r.stdout.decode().splitlines()
    check(lines == ["$KA\tfound", "$ZA\tfound", "$S\tfound"], "units: %r" % lines)

    check_wav(root, env)
    check_flat_memory(env)

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
