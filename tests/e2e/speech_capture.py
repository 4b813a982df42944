"""Reading the wav: capture of the audio back end while it grows: 16-bit
mono 22050 Hz, silence included, so speech shows as runs of sound
separated by measurable quiet."""
import array
import os
import re
import sys

RATE = 22050
FRAME = RATE // 100          # 10 ms
LOUD = 400                   # sample level that counts as sound


def samples(path):
    if not os.path.exists(path) or os.path.getsize(path) <= 44:
        return []
    with open(path, "rb") as f:
        data = f.read()[44:]
    pcm = array.array("h", data[:len(data) // 2 * 2])
    if sys.byteorder == "big":
        pcm.byteswap()
    return pcm


def trace_events(path):
    """The audio trace (SONARIS_AUDIO_TRACE) as (microseconds, what) pairs,
    its last line left out while it is still being written."""
    try:
        with open(path) as f:
            return [(int(t), what) for t, what, *_ in
                    (line.split() for line in f if line.endswith("\n") and line.strip())]
    except FileNotFoundError:
        return []


def module_stops(log):
    """When sd_sonaris received each STOP (monotonic microseconds), from its log."""
    return [int(t) for t in re.findall(r"sd_sonaris: (\d+) STOP recebido", log)]


def stop_to_reset(log, trace, earlier):
    """(milliseconds,) from the module's first STOP after the earlier ones to
    its device's reset, or its closing when nothing was queued; None until
    both are there. Both are on the monotonic clock."""
    stops = module_stops(log)[earlier:]
    ends = [t for t, what in trace_events(trace) if stops and what in ("reset", "close") and t >= stops[0]]
    return ((ends[0] - stops[0]) / 1000,) if ends else None


def loud_seconds(pcm):
    """How long the samples above the sound level last, together."""
    return sum(1 for v in pcm if abs(v) > LOUD) / RATE


def loud_frames(pcm):
    # max and min of a slice run in C: the capture of a whole report is
    # read many times a second while a test waits on it.
    return [max(pcm[i:i + FRAME]) > LOUD or min(pcm[i:i + FRAME]) < -LOUD
            for i in range(0, len(pcm) - FRAME + 1, FRAME)]


def segments(pcm, gap_ms, shortest_ms=40):
    """(start, end) in seconds of the runs of sound whose quiet between
    them is shorter than gap_ms; runs shorter than shortest_ms are dropped."""
    frames = loud_frames(pcm)
    runs, start, quiet = [], None, 0
    for i, loud in enumerate(frames + [False] * (gap_ms // 10 + 1)):
        if loud:
            if start is None:
                start = i
            quiet = 0
        elif start is not None:
            quiet += 1
            if quiet * 10 >= gap_ms:
                end = i - quiet + 1
                if (end - start) * 10 >= shortest_ms:
                    runs.append((start / 100, end / 100))
                start, quiet = None, 0
    return runs


def trailing_quiet(pcm):
    """Seconds of quiet at the end of the capture (0 when it ends in sound),
    and whether anything was heard before it."""
    frames = loud_frames(pcm)
    n = 0
    while n < len(frames) and not frames[len(frames) - 1 - n]:
        n += 1
    return n / 100, n < len(frames)
