"""Water fields: the water proportion of every cell as an (ny, nx) array,
row 0 the bottom row of the sample, each row from left to right. Lengths are
in cells."""
import math
import os

import numpy as np

from . import _core


def _grid(nx, ny):
    for name, n in (("nx", nx), ("ny", ny)):
        if isinstance(n, bool) or not isinstance(n, (int, np.integer)):
            raise TypeError(f"{name} must be an integer")
        if n < 1:
            raise ValueError(f"{name} must be at least 1, not {n}")
    return int(nx), int(ny)


def _proportion(name, w):
    w = float(w)
    if not _core.water_proportion_ok(w):
        raise ValueError(f"{name} must be a water proportion in {_core.WATER_RANGE}, not {w}")
    return w


def as_array(field):
    """A water field given as an array (a list, a numpy or masked array
    without masked cells) as a float array; TypeError for anything else."""
    if np.ma.isMaskedArray(field):
        if np.ma.is_masked(field):
            raise ValueError("the water field has masked cells")
        field = np.ma.getdata(field)
    try:
        array = np.asarray(field)
    except (TypeError, ValueError):
        array = np.asarray(None)
    if array.dtype.kind not in "iuf":
        kind = type(field).__name__ if array.dtype.kind == "O" else f"an array of {array.dtype}"
        raise TypeError(f"a water field is a number, an (ny, nx) array of reals or a file "
                        f"path, not {kind}")
    return array.astype(float)


def uniform(nx, ny, w):
    """The same water proportion `w` in every cell."""
    nx, ny = _grid(nx, ny)
    return np.full((ny, nx), _proportion("w", w))


def layered(nx, ny, period, thickness, w_layer, w_host, mid_layer=False):
    """Horizontal layers `thickness` rows thick, one every `period` rows from
    the bottom row up, of water proportion `w_layer` in a host of `w_host`.
    With `mid_layer`, the sample is cut through the middle of its layers
    instead: half a layer (thickness/2 rows, thickness even) at the bottom
    and at the top (ny a whole number of periods). Its bottom and top are
    then mirror planes of an infinite periodic stack, whose symmetry asks
    there exactly what the platen test imposes (no flow, one common solid
    displacement), so the sample behaves as the infinite stack does."""
    nx, ny = _grid(nx, ny)
    if not 1 <= thickness <= period:
        raise ValueError(f"need 1 <= thickness <= period, not thickness {thickness}, "
                         f"period {period}")
    shift = 0
    if mid_layer:
        if thickness % 2 or ny % period:
            raise ValueError(f"a mid-layer-bounded sample needs an even thickness and ny a "
                             f"multiple of the period, not thickness {thickness}, period "
                             f"{period}, ny {ny}")
        shift = thickness // 2
    rows = (np.arange(ny) + shift) % period < thickness
    field = np.where(rows, _proportion("w_layer", w_layer), _proportion("w_host", w_host))
    return np.repeat(field[:, None], nx, axis=1)


def layers_of(field, h):
    """The horizontal layers of a field whose rows are each of one water
    proportion: (water_by_layer, thickness_by_layer) from the bottom up, a
    layer being a run of rows of the same water and `h` the cell side in
    metres, as v2pfl.analytic takes them. ValueError for a field that is not
    horizontally layered."""
    field = np.asarray(field, dtype=float)
    if field.ndim != 2 or field.size == 0:
        raise ValueError(f"the field must be a non-empty (ny, nx) array, not of shape "
                         f"{field.shape}")
    if not np.all(field == field[:, :1]):
        raise ValueError("the field is not horizontally layered: a row holds two water "
                         "proportions")
    column = field[:, 0]
    starts = np.flatnonzero(np.r_[True, column[1:] != column[:-1]])
    rows = np.diff(np.r_[starts, len(column)])
    return [float(w) for w in column[starts]], [float(n * h) for n in rows]


def inclusion(nx, ny, radius, w_in, w_host):
    """A disc of `radius` cells centred on the sample, of water proportion
    `w_in`, in a host of `w_host`: the cells whose centre lies in the disc."""
    nx, ny = _grid(nx, ny)
    if not radius >= 0:
        raise ValueError(f"radius must not be negative, not {radius}")
    y, x = np.mgrid[0:ny, 0:nx] + 0.5
    inside = (x - nx / 2) ** 2 + (y - ny / 2) ** 2 <= radius ** 2
    return np.where(inside, _proportion("w_in", w_in), _proportion("w_host", w_host))


def random_patches(nx, ny, correlation_length, fraction, w_patch, w_host, seed):
    """Random patches of water proportion `w_patch` in a host of `w_host`:
    white noise smoothed by a Gaussian kernel into a field whose correlation
    falls as exp(-r²/ℓ²) with ℓ = `correlation_length` cells, thresholded so
    that round(`fraction`·nx·ny) cells, those of the highest values, are
    patches. The same `seed` gives the same field."""
    nx, ny = _grid(nx, ny)
    if not correlation_length >= 0:
        raise ValueError(f"correlation_length must not be negative, not {correlation_length}")
    if not 0.0 <= fraction <= 1.0:
        raise ValueError(f"fraction must lie in [0, 1], not {fraction}")
    smooth = _correlated_noise(nx, ny, float(correlation_length), np.random.default_rng(seed))
    patches = np.zeros(nx * ny, dtype=bool)
    order = np.argsort(-smooth.ravel(), kind="stable")
    patches[order[:round(fraction * nx * ny)]] = True
    return np.where(patches.reshape(ny, nx), _proportion("w_patch", w_patch),
                    _proportion("w_host", w_host))


def _correlated_noise(nx, ny, ell, rng):
    """Gaussian white noise convolved with exp(-2 r²/ℓ²) (whose
    autocorrelation is exp(-r²/ℓ²)), on a grid padded by 2ℓ on each side so
    that the periodic convolution does not join opposite edges."""
    pad = math.ceil(2 * ell)
    py, px = ny + 2 * pad, nx + 2 * pad
    noise = rng.standard_normal((py, px))
    if ell == 0:
        return noise[pad:pad + ny, pad:pad + nx]
    ky = np.fft.fftfreq(py)[:, None]
    kx = np.fft.fftfreq(px)[None, :]
    # Fourier transform of the kernel exp(-2 r²/ℓ²), up to a constant factor.
    kernel = np.exp(-(math.pi * ell) ** 2 * (kx ** 2 + ky ** 2) / 2)
    smooth = np.fft.ifft2(np.fft.fft2(noise) * kernel).real
    return smooth[pad:pad + ny, pad:pad + nx]


def write_phiw(path, field):
    """Writes `field` as a water file: lines `i j phiw`, bottom row first,
    each row left to right, every value at full precision. A failed write
    raises OSError naming the file and leaves no partial file behind."""
    field = as_array(field)
    if field.ndim != 2 or field.size == 0:
        raise ValueError(f"the field must be a non-empty (ny, nx) array, not of shape "
                         f"{field.shape}")
    _core.check_water(field)
    ny, nx = field.shape
    text = "".join(f"{j + 1} {k + 1} {float(field[k, j])!r}\n"
                   for k in range(ny) for j in range(nx))
    try:
        with open(path, "w") as f:
            f.write(text)
    except OSError as e:
        if os.path.isfile(path):
            os.remove(path)
        raise OSError(e.errno, f"cannot write the water file {os.fspath(path)}: {e.strerror}",
                      os.fspath(path)) from None


def read_phiw(path, nx, ny):
    """Reads an (ny, nx) water field from a water file, as the batch run
    reads its water file: the third item of each of nx·ny records, bottom
    row first, each a water proportion in [0, 1]. A missing file raises
    FileNotFoundError; a short or unreadable file ValueError naming its
    line, a file that is not a regular file or is past the size limit of a
    water file ValueError before it is read."""
    nx, ny = _grid(nx, ny)
    os.stat(path)  # a missing file raises FileNotFoundError naming it
    return _core.read_water_file(os.fspath(path), nx, ny)
