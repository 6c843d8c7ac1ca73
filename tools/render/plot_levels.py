#!/usr/bin/python3
"""Draws zq3r-render's level trace: input and output peak level and the gain
reduction over time, as a PNG.

zq3r-render runs it with Debian's /usr/bin/python3 (matplotlib from the
python3-matplotlib package). The data is the CSV the renderer writes while it
renders: seconds, input peak dBFS, output peak dBFS, gain reduction dB, one
row per window.
"""

import argparse
import importlib.util
import sys


def check():
    """Exit status 0 when matplotlib is there, without the cost of importing it."""
    if importlib.util.find_spec("matplotlib") is None or importlib.util.find_spec("numpy") is None:
        print("matplotlib is not installed for " + sys.executable, file=sys.stderr)
        return 1
    return 0


def read_trace(path):
    import numpy as np

    data = np.genfromtxt(path, delimiter=",", names=True, ndmin=1)
    if data.size == 0:
        raise SystemExit("the trace in %s is empty" % path)
    return (data["seconds"], data["input_peak_dbfs"], data["output_peak_dbfs"],
            data["gain_reduction_db"])


def level_floor(*series):
    """A floor a little under the quiet passages, so that silence does not
    flatten the picture: -inf levels are drawn on it."""
    import numpy as np

    levels = np.concatenate([s[np.isfinite(s)] for s in series])
    if levels.size == 0:
        return -60.0
    floor = np.percentile(levels, 1) - 6.0
    return float(max(-100.0, min(-30.0, 10.0 * np.floor(floor / 10.0))))


def draw(args):
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    import numpy as np

    seconds, inputs, outputs, reduction = read_trace(args.data)
    floor = level_floor(inputs, outputs)
    ceiling = max(0.0, float(np.nanmax(np.maximum(inputs, outputs)))) + 3.0
    inputs = np.clip(inputs, floor, None)
    outputs = np.clip(outputs, floor, None)
    window_ms = 1000.0 * (seconds[1] - seconds[0]) if seconds.size > 1 else 0.0

    figure, (levels, gain) = plt.subplots(
        2, 1, sharex=True, figsize=(12, 7), dpi=100,
        gridspec_kw={"height_ratios": [3, 1.6], "hspace": 0.08})
    figure.suptitle(args.title, fontsize=15, fontweight="bold", x=0.07, y=0.975, ha="left")
    figure.text(0.07, 0.918, args.subtitle, fontsize=10.5, color="#444444", ha="left")

    levels.fill_between(seconds, floor, inputs, step="post", color="#9db7d5", alpha=0.55, linewidth=0)
    levels.step(seconds, inputs, where="post", color="#4a78a8", linewidth=0.8, label="Input peak level")
    levels.step(seconds, outputs, where="post", color="#e0701b", linewidth=1.1, label="Output peak level")
    if args.threshold_db is not None:
        levels.axhline(args.threshold_db, color="#333333", linestyle="--", linewidth=1.0,
                       label="Threshold %.1f dB" % args.threshold_db)
    levels.set_ylim(floor, ceiling)
    levels.set_ylabel(("Peak level per %.0f ms" % window_ms if window_ms else "Peak level") + " (dBFS)")
    levels.grid(True, color="#dddddd", linewidth=0.6)

    finite = reduction[np.isfinite(reduction)]
    deepest = float(finite.min()) if finite.size else 0.0
    gain.fill_between(seconds, 0.0, np.nan_to_num(reduction, nan=0.0), step="post",
                      color="#c93a3a", alpha=0.35, linewidth=0)
    gain.step(seconds, reduction, where="post", color="#b22222", linewidth=1.0,
              label="Gain reduction (deepest %.1f dB)" % deepest)
    gain.set_ylim(min(-1.0, deepest * 1.15), 0.5)
    gain.set_ylabel("Gain reduction (dB)")
    gain.set_xlabel("Time (s)")
    gain.set_xlim(seconds[0], seconds[-1] + (seconds[1] - seconds[0] if seconds.size > 1 else 0.0))
    gain.grid(True, color="#dddddd", linewidth=0.6)

    # One legend above the curves, where it hides none of them.
    handles = levels.get_legend_handles_labels()[0] + gain.get_legend_handles_labels()[0]
    levels.legend(handles=handles, loc="lower left", bbox_to_anchor=(0.0, 1.01), ncol=len(handles),
                  frameon=False, fontsize=10.5, borderaxespad=0.0, handlelength=2.2)

    figure.subplots_adjust(left=0.07, right=0.985, top=0.855, bottom=0.075)
    # The renderer gives a temporary name without the .png extension.
    figure.savefig(args.out, format="png")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="only check that matplotlib is there")
    parser.add_argument("--data", help="the trace CSV")
    parser.add_argument("--out", help="the PNG to write")
    parser.add_argument("--title", default="ZQ3R Compressor")
    parser.add_argument("--subtitle", default="")
    parser.add_argument("--threshold-db", type=float, default=None)
    args = parser.parse_args()
    if args.check:
        return check()
    if not args.data or not args.out:
        parser.error("--data and --out are needed")
    draw(args)
    return 0


if __name__ == "__main__":
    sys.exit(main())
