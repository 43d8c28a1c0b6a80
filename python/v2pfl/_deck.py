"""The input deck as a Python object."""
import dataclasses
import numbers
import os
import warnings

import numpy as np

from . import _core

_INT_FIELDS = ("nfreq", "nx", "ny", "key_model", "model", "nmat")
_INT_RANGE = (-2**31, 2**31 - 1)  # the deck's integers are C ints


@dataclasses.dataclass(frozen=True)
class Deck:
    """The values of an input deck, in SI units, under the deck's names; each
    per-material value is a pair (material 1, material 2), given as a pair or
    as one number for both. Every Deck, read
    or made with `dataclasses.replace`, passes the deck reader's checks: a
    value of the wrong type raises TypeError, a refused value ValueError
    naming the field."""
    freq1: float
    freq2: float
    nfreq: int
    domain_size: float
    nx: int
    ny: int
    key_model: int
    model: int
    nmat: int
    nl: tuple
    akf: tuple
    ro2: tuple
    eta: tuple
    ro1: tuple
    ro3: tuple
    phi_a_m: tuple
    phi_layer_m: tuple
    capa_1_0: tuple
    capa_3_0: tuple
    s3: tuple
    rs1: tuple
    rs3: tuple
    coef_b13: tuple
    ak_air: tuple
    xmu_air: tuple
    ak_s1: tuple
    xmu_s1: tuple
    ak_s3: tuple
    xmu_s3: tuple

    def __post_init__(self):
        for f in dataclasses.fields(self):
            value = getattr(self, f.name)
            if f.name == "nl":
                value = tuple(_integer("nl", v) for v in _pair("nl", value))
            elif f.name in _INT_FIELDS:
                value = _integer(f.name, value)
            elif f.type is tuple:
                value = tuple(_real(f.name, v) for v in _pair(f.name, value))
            else:
                value = _real(f.name, value)
            object.__setattr__(self, f.name, value)
        _core.check_deck(self.values())

    @property
    def h(self):
        """Side of a cell, m."""
        return self.domain_size / self.ny

    def values(self):
        """The deck as a plain dict, as the computation takes it."""
        return dataclasses.asdict(self)


def _integer(name, value):
    """`value` as an int; TypeError unless it is an integer, ValueError when
    the deck cannot hold it."""
    if isinstance(value, bool) or not isinstance(value, numbers.Integral):
        raise TypeError(f"deck field {name} must be an integer, not {type(value).__name__}")
    value = int(value)
    if not _INT_RANGE[0] <= value <= _INT_RANGE[1]:
        raise ValueError(f"deck field {name}: value {value} is out of the integer range")
    return value


def _real(name, value):
    """`value` as a float; TypeError unless it is a real number."""
    if np.ma.is_masked(value):
        raise ValueError(f"deck field {name} is masked")
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise TypeError(f"deck field {name} must be a real number, not {type(value).__name__}")
    return float(value)


def _pair(name, value):
    """The two entries (material 1, material 2) of a per-material value; a
    single number stands for both."""
    if np.ma.is_masked(value):
        raise ValueError(f"deck field {name} has a masked entry")
    if isinstance(value, numbers.Number):
        return (value, value)
    if isinstance(value, (str, bytes)) or not hasattr(value, "__len__") or len(value) != 2:
        raise TypeError(f"deck field {name} must be a pair (material 1, material 2)")
    return tuple(value)


def read_deck(path):
    """Reads the input deck at `path` the way the program reads its standard
    input. A bad value, or a file past the size limit of a deck, raises
    ValueError naming the file, line and field; a real without a decimal
    point that its implied decimals change gives a warning."""
    with open(path, "rb") as f:
        text = f.read(_core.MAX_DECK_BYTES + 1)
    if len(text) > _core.MAX_DECK_BYTES:
        raise ValueError(f'deck "{os.fspath(path)}": more than {_core.MAX_DECK_BYTES} bytes, '
                         "the limit of a deck")
    try:
        values, messages = _core.read_deck_text(text)
    except ValueError as e:
        raise ValueError(f"{os.fspath(path)}: {e}") from None
    for message in messages:
        warnings.warn(f"{os.fspath(path)}: {message}", stacklevel=2)
    return Deck(**values)


def as_deck(deck):
    """A Deck from a Deck or the path of a deck file."""
    if isinstance(deck, (str, os.PathLike)):
        return read_deck(deck)
    if not isinstance(deck, Deck):
        raise TypeError("deck must be a Deck or the path of a deck file, "
                        f"not {type(deck).__name__}")
    return deck
