"""What the Python benchmarks share: the project's corpus as paragraphs, and
a figure printed with its spread."""
import os
import statistics

CORPUS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "corpus")


def corpus_paragraphs():
    """Every non-empty line of data/corpus/*.txt, files in name order."""
    paragraphs = []
    for name in sorted(os.listdir(CORPUS)):
        if name.endswith(".txt"):
            with open(os.path.join(CORPUS, name), encoding="utf-8") as f:
                paragraphs += [line.strip() for line in f if line.strip()]
    return paragraphs


def spread(values, digits=2):
    if not values:
        return "no figure"
    mean = statistics.fmean(values)
    sd = statistics.stdev(values) if len(values) > 1 else 0.0
    f = f"7.{digits}f"
    return (f"median {statistics.median(values):{f}}  mean {mean:{f}} ± {sd:5.{digits}f}  "
            f"min {min(values):{f}}  max {max(values):{f}}  (n={len(values)})")


def arguments(doc, *defaults):
    """The command line: the first argument (required), then the others or
    their defaults (None: required too). Prints the usage (doc) and exits 2
    when a required one is missing."""
    import sys
    given = sys.argv[1:]
    if not given or len(given) > len(defaults) + 1:
        print(doc, file=sys.stderr)
        sys.exit(2)
    return given + list(defaults[len(given) - 1:])
