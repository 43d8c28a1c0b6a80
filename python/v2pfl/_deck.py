"""The input deck as a Python object."""
import dataclasses
import os
import warnings

from . import _core

_MATERIAL_NAMES = ("akf", "ro2", "eta", "ro1", "ro3", "phi_a_m", "phi_layer_m", "capa_1_0",
                   "capa_3_0", "s3", "rs1", "rs3", "coef_b13", "ak_air", "xmu_air", "ak_s1",
                   "xmu_s1", "ak_s3", "xmu_s3")


@dataclasses.dataclass
class Deck:
    """The values of an input deck, in SI units, under the deck's names; each
    per-material value is a pair (material 1, material 2)."""
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

    @property
    def h(self):
        """Side of a cell, m."""
        return self.domain_size / self.ny

    def values(self):
        """The deck as a plain dict, as the computation takes it."""
        return dataclasses.asdict(self)


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
    """A Deck from a Deck (whose values are checked as the deck reader checks
    them; ValueError names the first bad one) or the path of a deck file."""
    if isinstance(deck, (str, os.PathLike)):
        return read_deck(deck)
    if not isinstance(deck, Deck):
        raise TypeError("deck must be a Deck or the path of a deck file, "
                        f"not {type(deck).__name__}")
    _core.check_deck(deck.values())
    return deck
