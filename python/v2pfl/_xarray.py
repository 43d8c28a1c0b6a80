"""A study directory's table read exactly, and a study table as an xarray
Dataset of frequency x field (e.g. for NetCDF)."""
import json
import math
import os

import numpy as np
import pandas as pd

from . import _core

# Unit and meaning of each column of a study table, for a table whose
# provenance does not state them.
VARIABLES = {c["name"]: (c["unit"], c["meaning"]) for c in _core.COLUMNS}
_KEYS = ("point", "freq_hz", "field", "test", "stop")


def open_study(directory):
    """The table of a study directory (its study.csv; or a table file given
    by its path) as a DataFrame whose reals are the same doubles as written
    (pandas' default parser can be one bit off), the field names as text,
    and the content of the table's provenance (study.json beside study.csv,
    the same name with .json beside a shard table), when there is one, in
    `attrs`."""
    path = os.fspath(directory)
    if os.path.isdir(path):
        path = os.path.join(path, "study.csv")
    table = pd.read_csv(path, dtype={"field": str, "test": str}, keep_default_na=False,
                        na_values=[""], float_precision="round_trip")
    described = os.path.splitext(path)[0] + ".json"
    if os.path.isfile(described):
        with open(described, encoding="utf-8") as f:
            table.attrs.update(json.load(f))
    return table


def to_dataset(table):
    """The study table `table` (from study or open_study) as an
    xarray.Dataset: each value column a variable of dimensions freq_hz x
    field (frequencies and fields in the table's order), with `point` and
    `stop` beside them (-1 and 0 where the table has no row), units and
    meaning as variable attributes, the table's attrs (the study's
    provenance; lists and mappings as JSON text) as Dataset attributes, and
    the compressibility test as the attribute `test`, or as a dimension
    when the table holds several. `to_netcdf` saves it."""
    import xarray as xr

    missing = {"freq_hz", "field"} - set(table.columns)
    if missing:
        raise ValueError(f"the table has no column {', '.join(sorted(missing))}")
    tests = list(pd.unique(table["test"])) if "test" in table else []
    freqs = pd.unique(table["freq_hz"])
    fields = pd.unique(table["field"].astype(str))
    dims, coords = ("freq_hz", "field"), {"freq_hz": freqs, "field": fields}
    at = (pd.Index(freqs).get_indexer(table["freq_hz"]),
          pd.Index(fields).get_indexer(table["field"].astype(str)))
    if len(tests) > 1:
        dims, coords = ("test",) + dims, {"test": tests, **coords}
        at = (pd.Index(tests).get_indexer(table["test"]),) + at
    shape = tuple(len(coords[d]) for d in dims)
    cells = np.ravel_multi_index(at, shape)
    if len(np.unique(cells)) != len(cells):
        raise ValueError("the table holds two rows of the same frequency and field "
                         "(a field given twice?): name the fields apart")

    def grid(column, fill, dtype):
        values = np.full(shape, fill, dtype=dtype)
        values[at] = table[column].to_numpy(dtype=dtype)
        return values

    described = {**VARIABLES, **_described_columns(table.attrs)}
    variables = {}
    for column in table.columns:
        if column in ("point", "stop"):
            variables[column] = (dims, grid(column, -1 if column == "point" else 0, np.int64))
        elif column not in _KEYS:
            unit, meaning = described.get(column, ("", column))
            variables[column] = (dims, grid(column, math.nan, np.float64),
                                 {"units": unit, "long_name": meaning} if unit else {})
    ds = xr.Dataset(variables, coords=coords)
    ds["freq_hz"].attrs.update(units="Hz", long_name="frequency")
    ds["field"].attrs["long_name"] = "water field: the water proportion of a uniform field, " \
                                     "or the name of a field"
    if "stop" in ds:
        ds["stop"].attrs["long_name"] = f"stop code of the point ({_core.STOP_NORMAL}: completed)"
    ds.attrs.update({str(k): _attribute(v) for k, v in table.attrs.items()})
    if len(tests) == 1:
        ds.attrs["test"] = str(tests[0])
    return ds


def _described_columns(attrs):
    """Unit and meaning of each column as the study's provenance states them
    (its "columns": a list of {name, unit, meaning}); empty without it."""
    columns = attrs.get("columns")
    if not isinstance(columns, list):
        return {}
    return {c["name"]: (c.get("unit", ""), c.get("meaning", c["name"])) for c in columns
            if isinstance(c, dict) and "name" in c}


def _attribute(value):
    """A value a NetCDF attribute can hold: text and numbers as they are,
    anything else as JSON text."""
    if isinstance(value, (str, int, float, np.integer, np.floating)) and not isinstance(value, bool):
        return value
    return json.dumps(value, default=str, sort_keys=True)
