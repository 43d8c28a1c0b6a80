"""The module against the batch run's files and the command line's study table, bit
for bit."""
import subprocess

import numpy as np
import pandas as pd
import pytest

import v2pfl
from conftest import EXAMPLES, GOLDEN, batch_run, same_bits
from v2pfl.__main__ import read_map

VALUES = v2pfl._study.VALUES


def test_run_equals_batch_run_files(program, tmp_path, monkeypatch):
    # The water field of phiw_binary_patchy.dat in the current directory.
    deck = GOLDEN / "patchy_field" / "deck"
    water_file = GOLDEN / "patchy_field" / "phiw_binary_patchy.dat"
    assert batch_run(program, deck, tmp_path, water_file) == 40
    monkeypatch.chdir(tmp_path)
    r = v2pfl.run(str(deck), test="per-solid")
    maps = {f"{part}_{name}_map": getattr(getattr(r, name), part)
            for name in ("strain1", "strain3", "stress") for part in ("real", "imag")}
    # Python's scalar abs (libm, as the program): numpy's vector abs can
    # differ in the last bit.
    maps["mod_pressure_p33_ice"] = np.vectorize(abs)(r.pressure)
    maps["mod_grad_pressure_p33_ice"] = r.grad_pressure
    for name, values in maps.items():
        assert same_bits(read_map(tmp_path / name), values), name
    assert same_bits([float(open(tmp_path / "vp_anal.phiw").read().split()[-1])], [r.vp1_plane])
    # The g15.5 lines hold 5 significant digits.
    for name, value in (("vp_eq.phiw", r.vp_avg), ("1000_over_q_eq.phiw", r.inv_q_avg),
                        ("1000_over_q_anal.phiw", r.inv_q_plane)):
        assert float(open(tmp_path / name).read().split()[-1]) == pytest.approx(value, rel=1e-4)


def test_run_arguments_select_the_point(tmp_path):
    deck = v2pfl.read_deck(EXAMPLES / "permafrost.deck")
    base = v2pfl.run(deck, freq=deck.freq1, field=0.2, test="per-solid")
    v2pfl.fields.write_phiw(tmp_path / "w.dat", np.full((deck.ny, deck.nx), 0.2))
    by_file = v2pfl.run(str(EXAMPLES / "permafrost.deck"), field=tmp_path / "w.dat",
                        test="per-solid")
    assert same_bits([base.vp_avg, base.inv_q_top], [by_file.vp_avg, by_file.inv_q_top])
    assert np.array_equal(base.pressure, by_file.pressure)
    assert v2pfl.run(deck, freq=10 * deck.freq1, test="per-solid").inv_q_avg != base.inv_q_avg


# Both defaults (the platen test), and the per-solid test.
@pytest.mark.parametrize("test", [{}, {"test": "per-solid"}])
def test_study_equals_command_line(program, tmp_path, test):
    deck = EXAMPLES / "shaley_sand.deck"
    water = tmp_path / "patchy.dat"
    v2pfl.fields.write_phiw(water, v2pfl.fields.inclusion(10, 10, 3, 0.3, 0.1))
    done = subprocess.run([program, "study", str(deck), "-o", str(tmp_path / "cli"), "--freq",
                           "1:1e4:3", "--water", "0.1,0.25", "--phiw", str(water), "-j", "2",
                           *[f"--{k}={v}" for k, v in test.items()]],
                          capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    cli = pd.read_csv(tmp_path / "cli" / "study.csv", dtype={"field": str, "freq_hz": float},
                      float_precision="round_trip")
    module = v2pfl.study(deck, v2pfl.log_sweep(1, 1e4, 3), [0.1, 0.25, str(water)], workers=2,
                         **test)
    assert set(module["test"]) == set(cli["test"]) == {test.get("test", "platen")}
    assert list(module.columns) == list(cli.columns) == v2pfl.COLUMNS
    assert module.drop(columns=VALUES).equals(cli.drop(columns=VALUES))
    assert same_bits(module[VALUES].to_numpy(), cli[VALUES].to_numpy())
    # The provenance of study.json key for key, the program's version the module's.
    written = v2pfl.open_study(tmp_path / "cli").attrs
    assert [k for k in module.attrs if k in written] == list(written)
    for key in ("program", "table", "test", "threads", "columns", "points", "deck"):
        assert module.attrs[key] == written[key], key
