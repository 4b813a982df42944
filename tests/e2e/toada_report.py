#!/usr/bin/env python3
"""Selenor speaking its report through the Toada voice (SAPI=Sim,
TIPOSAPI=3), heard through the wav: capture.

Usage: toada_report.py SELENOR_PATH BUILD_DIR SCENARIO (whole | key | broken | novoice)
Exit 77 (skipped) when MBROLA, its voice or the build's speech data is missing.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import speech_capture as cap  # noqa: E402
import speech_report  # noqa: E402
from tmuxsession import check, report  # noqa: E402

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
MBROLA = os.path.join(SOURCE, "third_party", "mbrola")


def mbrola_missing(build):
    have = (os.path.exists(os.path.join(MBROLA, "bin", "mbrola"))
            and os.path.exists(os.path.join(MBROLA, "share", "mbrola", "br4", "br4"))
            or os.path.exists("/usr/bin/mbrola") and os.path.exists("/usr/share/mbrola/br4/br4"))
    if not have:
        print("MBROLA or its voice br4 is not installed (scripts/fetch-mbrola.sh): skipped")
        return 77
    if not os.path.exists(os.path.join(build, "data", "toada", "portug.dfn")):
        print("the build holds no Toada data (portug.dfn): skipped")
        return 77
    return None


def toada_ini(build, windir, voice="br4"):
    """The build's sample settings with the external voice turned on."""
    with open(os.path.join(build, "SONARIS.INI"), encoding="utf-8") as f:
        text = f.read().replace("SAPI=Nao", "SAPI=Sim").replace("MBROLA_DB=br4", "MBROLA_DB=" + voice)
    os.makedirs(windir, exist_ok=True)
    with open(os.path.join(windir, "SONARIS.INI"), "w", encoding="utf-8") as f:
        f.write(text)


def start(selenor, build, env=None, voice="br4", clock="virtual"):
    base = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(selenor))), "e2e-toada")
    windir = os.path.join(base, f"windir-{os.getpid()}")
    toada_ini(build, windir, voice)
    return speech_report.start(selenor, windir=windir, env=env, clock=clock)


def source_rate(pcm):
    """The rate the loud stretches were played at: the capture holds each
    source sample once or twice (22050 Hz, nearest sample), so the share of
    repeated neighbours tells the source rate."""
    loud = [i for i in range(1, len(pcm)) if abs(pcm[i]) > cap.LOUD]
    repeats = sum(1 for i in loud if pcm[i] == pcm[i - 1])
    return cap.RATE * (1 - repeats / max(1, len(loud)))


def check_toada_sound(pcm, rate):
    loud = [v for v in pcm if abs(v) > cap.LOUD]
    check(len(loud) > cap.RATE, "hardly anything was heard")
    # The built-in voice is 8 bits: its samples are whole multiples of 256.
    fine = sum(1 for v in loud if v % 256) / len(loud)
    check(fine > 0.9, f"only {fine:.0%} of the speech is finer than 8 bits: not Toada")
    heard = source_rate(pcm)
    check(abs(heard - rate) < rate * 0.05, f"played at about {heard:.0f} Hz, not {rate} Hz")


def scenario_whole(s):
    speech_report.scenario_whole(s)
    check_toada_sound(s.pcm(), 16000)


def scenario_key(s):
    speech_report.scenario_key(s)
    check_toada_sound(s.pcm(), 16000)


def broken_mbrola(build):
    """An mbrola that opens its voice and then crashes on the first text."""
    fake = os.path.join(os.path.abspath(build), "e2e-toada", "fake-mbrola")
    os.makedirs(os.path.join(fake, "bin"), exist_ok=True)
    share = os.path.join(fake, "share")
    if not os.path.exists(share):
        os.symlink(os.path.join(MBROLA, "share"), share)
    script = os.path.join(fake, "bin", "mbrola")
    with open(script, "w") as f:
        f.write("#!/bin/sh\ncase \"$*\" in *-.wav) exec '%s' \"$@\";; esac\n"
                "head -c 20 >/dev/null; kill -SEGV $$\n" % os.path.join(MBROLA, "bin", "mbrola"))
    os.chmod(script, 0o755)
    return fake


def heard(selenor, build, scenario):
    with start(selenor, build, clock=speech_report.clock_for(scenario)) as s:
        scenario(s)
        s.keys("Enter")
        check(s.wait_exit(30) == 0, "exit status is not 0")


def heard_instead(selenor, build, env, voice, message):
    """The built-in voice takes over: the whole report is still heard, and
    the reason is given."""
    with start(selenor, build, env, voice) as s:
        speech_report.scenario_whole(s)
        s.keys("Enter")
        check(s.wait_exit(30) == 0, "exit status is not 0")
        # Said on stderr, which the terminal shows once the program has ended.
        shown = s.tmux("capture-pane", "-p", "-J", "-S", "-")
        check(message in shown and "voz pr" in shown, "no message about the voice:\n" + shown)


def main():
    selenor, build, name = sys.argv[1:4]
    skip = mbrola_missing(build)
    if skip:
        return skip
    if name == "broken":
        env = {"SONARIS_MBROLA_DIR": broken_mbrola(build)}
        return report(name, heard_instead, selenor, build, env, "br4",
                      "Toada: O MBROLA terminou de repente")
    if name == "novoice":
        return report(name, heard_instead, selenor, build, None, "br9",
                      "Toada: A voz do MBROLA n")
    scenario = {"whole": scenario_whole, "key": scenario_key}[name]
    return report(name, heard, selenor, build, scenario)


if __name__ == "__main__":
    sys.exit(main())
