"""A Deck written back as a deck file, in the line layout the program reads."""
import dataclasses
import decimal
import math
import os

from . import _core
from ._deck import Deck

# Lines of a material block after nl(i), in reading order.
_BLOCK = ("akf", "ro2", "eta", "ro1", "ro3", "phi_a_m", "phi_layer_m", "capa_1_0", "capa_3_0",
          "s3", "rs1", "rs3", "coef_b13", "ak_air", "xmu_air", "ak_s1", "xmu_s1", "ak_s3",
          "xmu_s3")
FIXED_REAL_WIDTH = 20  # a "(g20.10)" value is read from columns 1-20
FIXED_INT_WIDTH = 5    # an "(i5)" value from columns 1-5


def real_text(x, width=None):
    """Text of the double `x` that reads back as `x`: its shortest digits
    (those of repr), always with a decimal point (a value without one would
    take implied decimals), positional unless the exponent form is more than
    two characters shorter; within `width` characters when given (then
    also without the leading zero of "0.xxx"). ValueError when there is none."""
    x = float(x)
    if not math.isfinite(x):
        raise ValueError(f"{x} cannot be written in a deck")
    sign = "-" if math.copysign(1.0, x) < 0 else ""
    digits, point = _digits(abs(x))
    if point <= 0:
        positional = "0." + "0" * -point + digits
    elif point >= len(digits):
        positional = digits + "0" * (point - len(digits)) + "."
    else:
        positional = digits[:point] + "." + digits[point:]
    scientific = f"{digits[0]}.{digits[1:]}e{point - 1}"
    text = sign + (scientific if len(scientific) + 2 < len(positional) else positional)
    if width is not None and len(text) > width:
        forms = [sign + positional.removeprefix("0"), sign + scientific]
        text = min(forms, key=len)
        if len(text) > width:
            raise ValueError(f"{x!r} needs {len(text)} characters, more than the {width} "
                             "columns of its field")
    return text


def _digits(x):
    """The shortest significant digits of the non-negative double `x` and
    the place of its decimal point: x = 0.DIGITS * 10**point."""
    if x == 0:
        return "0", 1
    _, digits, exponent = decimal.Decimal(repr(x)).as_tuple()
    text = "".join(map(str, digits))
    stripped = text.rstrip("0")
    return stripped.lstrip("0"), len(stripped.lstrip("0")) + exponent + len(text) - len(stripped)


def _line(text, name):
    # The rest of every deck line is ignored: it names the value.
    return f"{text:<{FIXED_REAL_WIDTH}} {name}"


def deck_text(deck):
    """The text of a deck file holding the values of `deck`, one per line
    with its name after the value."""
    lines = [_line(real_text(deck.freq1), "freq1"), _line(real_text(deck.freq2), "freq2"),
             _line(str(deck.nfreq), "nfreq"), _line(real_text(deck.domain_size), "domain_size"),
             _line(str(deck.nx), "nx"), _line(str(deck.ny), "ny"),
             _line(f"{deck.key_model:>{FIXED_INT_WIDTH}}", "key_model"),
             _line(f"{deck.model:>{FIXED_INT_WIDTH}}", "model"), _line(str(deck.nmat), "nmat")]
    for i in range(deck.nmat):
        lines.append(_line(str(deck.nl[i]), f"nl({i + 1})"))
        for name in _BLOCK:
            value = getattr(deck, name)[i]
            try:
                text = real_text(value, FIXED_REAL_WIDTH)
            except ValueError as e:
                raise ValueError(f"{name}({i + 1}): {e}") from None
            lines.append(_line(text, f"{name}({i + 1})"))
    return "\n".join(lines) + "\n"


def write_deck(deck, path):
    """Writes `deck` (a Deck) as a deck file at `path` that reads back to the
    same values: every real in the shortest text that reads back as the
    same double, with a decimal point, the fixed-column values in their
    columns, each line followed by the name of its value. With nmat = 1 only
    material 1's block is written. A value that cannot be written exactly
    (infinite, NaN, or too long for its 20 columns) raises ValueError."""
    if not isinstance(deck, Deck):
        raise TypeError(f"deck must be a Deck, not {type(deck).__name__}")
    text = deck_text(deck)
    written = Deck(**_core.read_deck_text(text.encode())[0])
    if not _same(written, deck):
        raise ValueError("the deck does not read back to the same values")
    try:
        with open(path, "w", encoding="ascii") as f:
            f.write(text)
    except OSError as e:
        raise OSError(e.errno, f"cannot write {os.fspath(path)}: {e.strerror}",
                      os.fspath(path)) from None


def _same(read, deck):
    """Whether the deck read back holds the values of `deck`, signed zeros
    included (material 2's values only when there are two materials)."""
    for field in dataclasses.fields(Deck):
        a, b = getattr(read, field.name), getattr(deck, field.name)
        if isinstance(a, tuple):
            a, b = tuple(a)[:deck.nmat], tuple(b)[:deck.nmat]
        else:
            a, b = (a,), (b,)
        if any(u != v or math.copysign(1, u) != math.copysign(1, v) for u, v in zip(a, b)):
            return False
    return True
