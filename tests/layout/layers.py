#!/usr/bin/env python3
"""Include arrows between the folders of the product point only downward.

usage: layers.py REPO

Each folder sits on a layer of LAYERS; a source may include headers of its
own folder and of folders on lower layers, never of a folder on its own
layer or above (that is how include cycles between folders start). The
internals in a folder's src/ belong to that folder alone. Outside platform/,
nothing includes the system's display, audio, voice or process headers.
Prints each offending include and exits 1 when there is one."""
import os
import re
import sys

# Lowest first. Folders on one line are peers and do not include each other.
LAYERS = [
    ["platform/os"],
    ["platform/audio", "platform/braille", "platform/display", "platform/voices",
     "platform/builders"],
    ["console"],
    ["wave"],
    ["diphone", "tts", "sapi"],
    ["speech"],
    ["review"],
    ["app", "programs", "tools"],
]
# Test code, benchmarks and data may include anything.
FREE = {"tests", "fuzz", "bench", "third_party", "data", "man", "scripts", "cmake", "build", "build-asan"}
# System headers that only platform/ may include.
PLATFORM_ONLY = re.compile(r"^(SDL|SDL2/|espeak-ng/|libspeechd|brlapi|spawn\.h$|sys/wait\.h$)")
SOURCE = (".cpp", ".h", ".hpp", ".cc")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')

layer_of = {folder: n for n, line in enumerate(LAYERS) for folder in line}


def folder_of(path):
    """The layer folder of a repository path, or None for free code."""
    parts = path.split("/")
    if parts[0] == "platform" and len(parts) > 2:
        return "/".join(parts[:2])
    return parts[0] if parts[0] in layer_of else None


def main(root):
    problems = []
    for top in sorted(os.listdir(root)):
        if top in FREE or top.startswith(".") or top.startswith("build") \
                or not os.path.isdir(os.path.join(root, top)):
            continue
        for dirpath, dirs, files in os.walk(os.path.join(root, top)):
            dirs.sort()
            for name in sorted(files):
                if not name.endswith(SOURCE):
                    continue
                path = os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, "/")
                src = folder_of(path)
                if src is None:
                    problems.append("%s: folder %s has no layer" % (path, top))
                    continue
                with open(os.path.join(root, path), errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        kind, target = m.groups()
                        where = "%s:%d: %s" % (path, number, target)
                        if kind == "<":
                            if not src.startswith("platform/") and PLATFORM_ONLY.match(target):
                                problems.append(where + " is a system header only platform/ may include")
                            continue
                        local = os.path.normpath(os.path.join(os.path.dirname(path), target))
                        if os.path.exists(os.path.join(root, local)):
                            target = local.replace(os.sep, "/")
                        elif not os.path.exists(os.path.join(root, target)):
                            continue
                        dst = folder_of(target)
                        if dst is None or dst == src:
                            continue
                        if "/src/" in "/" + target[len(dst):]:
                            problems.append(where + " is internal to " + dst)
                        elif layer_of[dst] >= layer_of[src]:
                            problems.append("%s goes from %s up or sideways to %s" % (where, src, dst))
    for p in problems:
        print(p)
    print("%d include(s) against the layer order" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
