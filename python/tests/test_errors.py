"""Bad arguments raise clear Python exceptions; stops raise StopError."""
import dataclasses
import os
import sys

import numpy as np
import pytest

import v2pfl
from conftest import EXAMPLES, GOLDEN

DECK = EXAMPLES / "permafrost.deck"


@pytest.fixture(scope="module")
def deck():
    return v2pfl.read_deck(DECK)


@pytest.mark.parametrize("call, error, match", [
    (lambda d: v2pfl.read_deck("no/such.deck"), FileNotFoundError, "no/such.deck"),
    (lambda d: v2pfl.read_deck("/dev/zero"), ValueError, "more than 1048576 bytes"),
    (lambda d: v2pfl.run(42), TypeError, "deck must be"),
    (lambda d: v2pfl.run(d, freq=-1.0), ValueError, "frequency"),
    (lambda d: v2pfl.run(d, freq="100"), TypeError, "frequency"),
    (lambda d: v2pfl.run(d, field=np.zeros((3, 3))), ValueError, r"shape \(3, 3\)"),
    (lambda d: v2pfl.run(d, field=1.0), ValueError, r"\[0, 1\)"),
    (lambda d: v2pfl.run(d, field=np.full((10, 10), 0.2 + 0.1j)), TypeError, "complex"),
    (lambda d: v2pfl.run(d, field=True), TypeError, "bool"),
    (lambda d: v2pfl.run(d, field="no/such.dat"), FileNotFoundError, "no/such.dat"),
    (lambda d: v2pfl.run(dataclasses.replace(d, nx=0)), ValueError, "nx: value 0 is below 1"),
    (lambda d: v2pfl.study(d, 100.0, [0.2]), TypeError, "freqs must be a list"),
    (lambda d: v2pfl.study(d, [100.0], [0.2], workers=0), ValueError, "workers"),
    (lambda d: v2pfl.run(d, test="plate"), ValueError, "platen"),
    (lambda d: dataclasses.replace(d, nx=10.0), TypeError, "nx must be an integer"),
    (lambda d: dataclasses.replace(d, nx=2**40), ValueError, "nx: value 1099511627776"),
    (lambda d: dataclasses.replace(d, ro1=(1.0, 2.0, 3.0)), TypeError, "ro1 must be a pair"),
    (lambda d: dataclasses.replace(d, eta=np.ma.masked_array([1e-3, 1e-3], mask=[0, 1])),
     ValueError, "eta has a masked entry"),
    (lambda d: dataclasses.replace(d, phi_layer_m=(0.4, 0.1)), v2pfl.StopError,
     r"STOP 11: .*phi_layer_m\(1\)"),
])
def test_bad_arguments(deck, call, error, match):
    with pytest.raises(error, match=match):
        call(deck)


def test_implied_decimals_warn(tmp_path):
    lines = open(DECK).read().splitlines()
    lines[13] = "2650"  # ro1(1) without a decimal point: ten implied decimals
    (tmp_path / "implied.deck").write_text("\n".join(lines) + "\n")
    with pytest.warns(UserWarning, match=r"implied.deck: input deck line 14, field ro1\(1\)"):
        assert v2pfl.read_deck(tmp_path / "implied.deck").ro1[0] == 2.65e-7


# The same bad value in a deck file (line, text) and set in Python (field,
# value) is refused with the same field and reason; the file's message names
# the file and line.
@pytest.mark.parametrize("line, text, field, value", [
    (3, "100001", "nfreq", 100001),
    (39, "-1.", "capa_3_0", (1e-13, -1.0)),
])
def test_deck_edited_in_python_meets_the_reader_checks(deck, tmp_path, line, text, field, value):
    lines = open(DECK).read().splitlines()
    lines[line - 1] = text
    (tmp_path / "bad.deck").write_text("\n".join(lines) + "\n")
    with pytest.raises(ValueError) as from_file:
        v2pfl.read_deck(tmp_path / "bad.deck")
    with pytest.raises(ValueError) as from_python:
        dataclasses.replace(deck, **{field: value})
    assert f"bad.deck: input deck line {line}, field " in str(from_file.value)
    reason = lambda e: str(e.value).split("field ", 1)[1]
    assert reason(from_file) == reason(from_python)


def test_edited_deck_fields_are_converted(deck):
    edited = dataclasses.replace(deck, ro1=3000, nx=np.int64(4), nl=[2, 3])
    assert edited.ro1 == (3000.0, 3000.0) and type(edited.nx) is int and edited.nl == (2, 3)


def test_stops(capsys, monkeypatch, tmp_path):
    # Water 0.05 in the lambda-stop deck makes lambda1 negative in cell (1, 1).
    deck = v2pfl.read_deck(GOLDEN / "lambda_stop" / "deck")
    with pytest.raises(v2pfl.StopError) as stop:
        v2pfl.run(deck, field=0.05)
    assert stop.value.code == 12345 and "lambda1" in str(stop.value)
    # In a study the stopped point records its code and the others go on; the
    # progress, without tqdm, in lines on standard error.
    monkeypatch.setitem(sys.modules, "tqdm.auto", None)  # tqdm not installed
    table = v2pfl.study(deck, [37.5], [0.05, 0.2, 0.3], workers=2)
    assert capsys.readouterr().err.splitlines() == [f"study: {n}/3 points" for n in (1, 2, 3)]
    assert list(table["stop"]) == [12345, 40, 40]
    assert np.isnan(table["vp_m_s"][0]) and table["vp_m_s"][1] > 0
    assert list(table.attrs["messages"]) == [0] and "lambda1" in table.attrs["messages"][0]
    assert table.attrs["threads"] * table.attrs["threads_per_point"] <= len(os.sched_getaffinity(0))
    (tmp_path / "provenance.deck").write_text(table.attrs["deck"])
    assert v2pfl.read_deck(tmp_path / "provenance.deck") == deck
    v2pfl.study(deck, [37.5], [0.2], progress=False)
    assert capsys.readouterr().err == ""
