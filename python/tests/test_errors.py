"""Bad arguments raise clear Python exceptions; stops raise StopError."""
import dataclasses

import numpy as np
import pytest

import v2pfl
from conftest import EXAMPLES, GOLDEN

DECK = EXAMPLES / "permafrost.deck"


@pytest.fixture(scope="module")
def deck():
    return v2pfl.read_deck(DECK)


def test_read_deck_values(deck):
    assert (deck.nx, deck.ny, deck.key_model, deck.model, deck.nmat) == (10, 10, 0, 0, 2)
    assert deck.freq1 == 100.0 and deck.akf == (2.25e9, 2.25e9) and deck.h == 0.1 / 10
    assert deck.phi_a_m == (0.4, 0.35) and deck.nl == (5, 5)


@pytest.mark.parametrize("call, error, match", [
    (lambda d: v2pfl.read_deck("no/such.deck"), FileNotFoundError, "no/such.deck"),
    (lambda d: v2pfl.read_deck("/dev/zero"), ValueError, "more than 1048576 bytes"),
    (lambda d: v2pfl.fields.read_phiw("/dev/zero", 2, 2), ValueError, "more than 67108864 bytes"),
    (lambda d: v2pfl.run(42), TypeError, "deck must be"),
    (lambda d: v2pfl.run(d, freq=-1.0), ValueError, "frequency"),
    (lambda d: v2pfl.run(d, freq="100"), TypeError, "frequency"),
    (lambda d: v2pfl.run(d, field=np.zeros((3, 3))), ValueError, r"shape \(3, 3\)"),
    (lambda d: v2pfl.run(d, field=1.5), ValueError, r"\[0, 1\]"),
    (lambda d: v2pfl.study(d, [1.0], [np.full((10, 10), np.nan)]), ValueError, "outside"),
    (lambda d: v2pfl.run(d, field=True), TypeError, "bool"),
    (lambda d: v2pfl.run(d, field={}), TypeError, "water field"),
    (lambda d: v2pfl.run(d, field="no/such.dat"), FileNotFoundError, "no/such.dat"),
    (lambda d: v2pfl.run(dataclasses.replace(d, nx=0)), ValueError, "at least 1"),
    (lambda d: v2pfl.run(dataclasses.replace(d, nx=10**5, ny=10**5)), ValueError, "too large"),
    (lambda d: v2pfl.study(d, 100.0, [0.2]), TypeError, "freqs must be a list"),
    (lambda d: v2pfl.study(d, [100.0], [0.2], workers=0), ValueError, "workers"),
])
def test_bad_arguments(deck, call, error, match):
    with pytest.raises(error, match=match):
        call(deck)


def test_bad_deck_names_file_and_line(tmp_path):
    lines = open(DECK).read().splitlines()
    lines[4] = "ten"  # nx
    (tmp_path / "bad.deck").write_text("\n".join(lines) + "\n")
    with pytest.raises(ValueError, match=r"bad.deck: input deck line 5, field nx"):
        v2pfl.read_deck(tmp_path / "bad.deck")
    lines[4] = "10"
    lines[13] = "2650"  # ro1(1) without a decimal point: ten implied decimals
    (tmp_path / "implied.deck").write_text("\n".join(lines) + "\n")
    with pytest.warns(UserWarning, match=r"implied.deck: input deck line 14, field ro1\(1\): "
                                         r"'2650' has no decimal point and reads as 2.65e-07"):
        assert v2pfl.read_deck(tmp_path / "implied.deck").ro1[0] == 2.65e-7


def test_stops():
    # Water 0.05 in the lambda-stop deck makes lambda1 negative in cell (1, 1).
    deck = GOLDEN / "lambda_stop" / "deck"
    with pytest.raises(v2pfl.StopError) as stop:
        v2pfl.run(deck, field=0.05)
    assert stop.value.code == 12345 and "lambda1" in str(stop.value)
    # In a study the stopped point records its code and the others go on.
    table = v2pfl.study(deck, [37.5], [0.05, 0.2])
    assert list(table["stop"]) == [12345, 40]
    assert np.isnan(table["vp_avg"][0]) and table["vp_avg"][1] > 0
    assert 0 in table.attrs["messages"]
