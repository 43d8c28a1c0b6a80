"""v2pfl: P-wave velocity and 1000/Q of a two-dimensional sample of porous
rock, from a harmonic finite-element compressibility test and plane-wave
reference values, one point (a frequency and a water field) at a time.

    deck = v2pfl.read_deck("examples/permafrost.deck")
    result = v2pfl.run(deck, freq=100.0, field=v2pfl.fields.inclusion(10, 10, 3, 0.9, 0.1))
    table = v2pfl.study(deck, v2pfl.log_sweep(10.0, 1e4, 7), [0.1, 0.2])

Submodules: fields (water fields and water files), analytic (the exact
modulus of a layered sample and its limits), plot (figures).
Files: write_deck (a Deck as a deck file), open_study (a study directory's
table), to_dataset (a table as an xarray Dataset, e.g. for NetCDF)."""
import importlib

from ._errors import StopError
from ._deck import Deck, read_deck
from ._deck_file import write_deck
from ._run import Result, run
from ._study import COLUMNS, EXIT_STATUSES, STOP_NORMAL, study
from ._core import log_sweep
from . import analytic, fields
from ._version import __version__
from ._xarray import open_study, to_dataset

__all__ = ["COLUMNS", "Deck", "EXIT_STATUSES", "STOP_NORMAL", "Result", "StopError", "__version__", "analytic", "fields",
           "log_sweep", "open_study", "plot", "read_deck", "run", "study", "to_dataset",
           "write_deck"]


def __getattr__(name):
    # matplotlib is loaded only when a figure is asked for.
    if name == "plot":
        return importlib.import_module(".plot", __name__)
    raise AttributeError(f"module 'v2pfl' has no attribute {name!r}")
