"""Files of a physicist's day: decks written back, study tables read exactly
and saved as NetCDF."""
import dataclasses
import json
import subprocess
import sys

import pandas as pd
import pytest
import xarray as xr

import v2pfl
from conftest import EXAMPLES, same_bits
from test_plot import study_table


def same_values(a, b):
    """The same Deck values, bit for bit (signed zeros told apart)."""
    pack = lambda d: json.dumps(dataclasses.asdict(d), default=repr) + repr(d)
    return pack(a) == pack(b)


def edited(deck):
    """Decks edited the way scripts edit them: awkward doubles, one
    material, the other model."""
    yield deck
    yield dataclasses.replace(deck, freq1=0.1 + 0.2, freq2=1 / 3, domain_size=2 / 3,
                              akf=(2.25e9 + 1 / 7, 1e-300 * 3), eta=(1 / 3, 0.001),
                              coef_b13=(-0.0, 123456789012345678.0), xmu_s3=(5e-324, 1e7))
    # One material: material 2's values, not part of the file, read as 0.
    second = {f.name: (getattr(deck, f.name)[0], 0.0) for f in dataclasses.fields(deck)
              if f.type is tuple and f.name != "nl"}
    yield dataclasses.replace(deck, **second, nmat=1, nl=(7, 0), key_model=1 - deck.key_model,
                              model=1, nx=13, ny=17, nfreq=3)


@pytest.mark.parametrize("name", ["permafrost.deck", "shaley_sand.deck"])
def test_written_deck_reads_back_to_the_same_values(name, tmp_path):
    for n, deck in enumerate(edited(v2pfl.read_deck(EXAMPLES / name))):
        path = tmp_path / f"{n}.deck"
        v2pfl.write_deck(deck, path)
        assert same_values(v2pfl.read_deck(path), deck), n


# Values a Deck holds but a deck file cannot: one too long for its columns,
# an infinite one of a field the ice model does not use.
@pytest.mark.parametrize("change, message", [
    ({"coef_b13": (-1.2345678901234567e-100, 0.0)}, "20 columns"),
    ({"rs1": (float("inf"), 0.0)}, "inf"),
])
def test_unwritable_deck_is_refused(change, message, tmp_path):
    deck = dataclasses.replace(v2pfl.read_deck(EXAMPLES / "permafrost.deck"), **change)
    with pytest.raises(ValueError, match=message):
        v2pfl.write_deck(deck, tmp_path / "bad.deck")
    assert not (tmp_path / "bad.deck").exists()


def test_study_table_to_netcdf_keeps_every_bit(tmp_path):
    table = study_table()
    table.to_csv(tmp_path / "study.csv", index=False)
    provenance = {"date": "2026-12-07T10:00:00Z", "test": "platen", "threads": 2,
                  "columns": [{"name": "m_re_pa", "unit": "Pa", "meaning": "Re M"}],
                  "points": [[f, n] for f, n in zip(table["freq_hz"], table["field"])]}
    (tmp_path / "study.json").write_text(json.dumps(provenance))
    opened = v2pfl.open_study(tmp_path)
    values = [c for c in table.columns if c.endswith(("_m_s", "_x1000", "_pa", "_m3"))]
    assert list(opened.columns) == list(table.columns) and opened.attrs == provenance
    assert same_bits(opened[values], table[values]) and opened["field"].equals(table["field"])

    done = subprocess.run([sys.executable, "-m", "v2pfl", "export", tmp_path, tmp_path / "s.nc"],
                          capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    with xr.open_dataset(tmp_path / "s.nc") as ds:
        assert ds["vp_m_s"].dims == ("freq_hz", "field") and ds.attrs["test"] == "platen"
        assert ds["m_re_pa"].attrs["long_name"] == "Re M"
        for _, row in table.iterrows():
            at = ds.sel(freq_hz=row["freq_hz"], field=row["field"])
            assert int(at["point"]) == row["point"] and int(at["stop"]) == row["stop"]
            assert same_bits([at[c].item() for c in values], row[values].to_numpy(float))
    both = v2pfl.to_dataset(pd.concat([table, table.assign(test="per-solid")]))
    assert both["vp_m_s"].dims == ("test", "freq_hz", "field") and "test" not in both.attrs
    # A row missing from the table: no point, no stop code, no values.
    gap = v2pfl.to_dataset(table.drop(index=4)).isel(freq_hz=1, field=1)
    assert (int(gap["point"]), int(gap["stop"])) == (-1, 0) and bool(gap["vp_m_s"].isnull())
    twice = table.assign(field="0.1")
    with pytest.raises(ValueError, match="same frequency and field"):
        v2pfl.to_dataset(twice)
