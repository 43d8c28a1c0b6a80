"""Command line of the package:

    python3 -m v2pfl plot DIR [-o FILE.png] [--deck DECK | --h H]
    python3 -m v2pfl export DIR FILE.nc

plot draws the cell maps of a run directory (the map files of `run` or of
the batch run) or the dispersion curves of a study directory (its
study.csv) into a PNG (default DIR/maps.png or DIR/dispersion.png); export
saves a study directory's table as a NetCDF file of frequency x field."""
import argparse
import datetime
import glob
import os
import sys
from types import SimpleNamespace

import numpy as np

# The map files of a run: attribute of the maps, file name.
MAP_FILES = (("pressure", "mod_pressure_p33_ice"), ("grad_pressure", "mod_grad_pressure_p33_ice"),
             ("strain1", "real_strain1_map"), ("stress", "real_stress_map"))


def read_map(path):
    """A map file (lines ` j k value`) as an array, row 0 the lowest k."""
    try:
        data = np.loadtxt(path, ndmin=2)
    except ValueError as e:
        raise ValueError(f"{path}: {e}") from None
    if data.size == 0:
        return np.zeros((0, 0))
    if data.shape[1] != 3:
        raise ValueError(f"{path}: expected lines 'j k value'")
    j, k = data[:, 0].astype(int), data[:, 1].astype(int)
    out = np.full((k.max(), j.max()), np.nan)
    out[k - 1, j - 1] = data[:, 2]
    return out


def cell_side(run_dir, deck, h):
    """The cell side in m: given, from the deck given, or from the one *.deck
    file of the directory; None (axes in cell indices) otherwise."""
    if h is not None:
        return h
    if deck is None:
        found = glob.glob(os.path.join(run_dir, "*.deck"))
        if len(found) != 1:
            return None
        deck = found[0]
    from . import read_deck
    return read_deck(deck).h


def plot_dir(run_dir, output, deck=None, h=None):
    """Draws the study or the run of `run_dir` into `output` (or its
    default name); returns the path written."""
    from . import plot
    table = os.path.join(run_dir, "study.csv")
    if os.path.isfile(table):
        import pandas as pd
        from . import open_study
        fig = plot.dispersion(open_study(run_dir), deck=deck)
        default = "dispersion.png"
    elif os.path.isfile(os.path.join(run_dir, MAP_FILES[0][1])):
        maps = {name: read_map(os.path.join(run_dir, file)) for name, file in MAP_FILES}
        # A run computes the per-solid test; its date is that of its files.
        written = os.path.getmtime(os.path.join(run_dir, MAP_FILES[0][1]))
        fig = plot.maps(SimpleNamespace(h=cell_side(run_dir, deck, h), **maps), deck=deck,
                        test="per-solid", date=datetime.date.fromtimestamp(written))
        default = "maps.png"
    else:
        raise FileNotFoundError(f"{run_dir} holds neither study.csv nor the map files of a run")
    output = output or os.path.join(run_dir, default)
    plot.save(fig, output)
    return output


def export(study_dir, output):
    """Saves the table of `study_dir` as the NetCDF file `output`."""
    from . import open_study, to_dataset
    to_dataset(open_study(study_dir)).to_netcdf(output)
    return output


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python3 -m v2pfl")
    commands = parser.add_subparsers(dest="command", required=True)
    plot = commands.add_parser("plot", help="draw a run's maps or a study's curves into a PNG")
    plot.add_argument("dir", help="run directory (map files) or study directory (study.csv)")
    plot.add_argument("-o", "--output",
                      help="PNG file (default DIR/maps.png or DIR/dispersion.png)")
    side = plot.add_mutually_exclusive_group()
    side.add_argument("--deck", help="the run's deck: its name for the title, its cell side "
                                     "for the map axes (else in cell indices)")
    side.add_argument("--h", type=float, help="cell side of the map axes, m")
    saved = commands.add_parser("export", help="save a study's table as NetCDF")
    saved.add_argument("dir", help="study directory (study.csv, and study.json when present)")
    saved.add_argument("output", help="NetCDF file to write (e.g. study.nc)")
    args = parser.parse_args(argv)
    try:
        if args.command == "export":
            print(export(args.dir, args.output))
        else:
            print(plot_dir(args.dir, args.output, args.deck, args.h))
    except (OSError, RuntimeError, ValueError, KeyError) as e:
        print(f"v2pfl {args.command}: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
