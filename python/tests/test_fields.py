"""Water fields: geometry, fractions, reproducibility, the water file."""
import numpy as np
import pytest

from v2pfl import fields


def test_shapes_and_geometry():
    layers = fields.layered(4, 10, period=5, thickness=2, w_layer=0.9, w_host=0.1)
    assert np.array_equal(layers[:, 0], [0.9, 0.9, 0.1, 0.1, 0.1] * 2)
    assert np.all(layers == layers[:, :1])
    # Cut through the middle of the layers: half a layer at the bottom and the top.
    mid = fields.layered(2, 15, period=5, thickness=2, w_layer=0.9, w_host=0.1, mid_layer=True)
    assert np.array_equal(mid[:, 1], [0.9, 0.1, 0.1, 0.1, 0.9] * 3)
    assert fields.layers_of(mid, 0.5) == ([0.9, 0.1, 0.9, 0.1, 0.9, 0.1, 0.9],
                                          [0.5, 1.5, 1.0, 1.5, 1.0, 1.5, 0.5])
    disc = fields.inclusion(20, 10, radius=3, w_in=0.8, w_host=0.2)
    assert disc.shape == (10, 20) and disc[5, 10] == 0.8 and disc[0, 0] == 0.2
    assert np.array_equal(disc, disc[::-1, ::-1])  # centred
    assert 25 <= np.count_nonzero(disc == 0.8) <= 32  # about pi r^2


@pytest.mark.parametrize("nx, ny, ell, fraction", [(17, 9, 2.5, 0.3), (10, 10, 0, 0.07),
                                                   (8, 8, 3, 1.0)])
def test_random_patches_fraction_and_seed(nx, ny, ell, fraction):
    make = lambda seed: fields.random_patches(nx, ny, ell, fraction, 0.9, 0.1, seed)
    a = make(7)
    assert a.shape == (ny, nx) and set(np.unique(a)) <= {0.1, 0.9}
    assert np.count_nonzero(a == 0.9) == round(fraction * nx * ny)
    assert np.array_equal(a, make(7))
    if 0 < fraction < 1:
        assert not np.array_equal(a, make(8))


def test_random_patches_are_correlated():
    # Neighbours agree far more often in a correlated field than in noise.
    def agreement(ell):
        a = fields.random_patches(60, 60, ell, 0.5, 0.9, 0.0, seed=1)
        return np.mean(a[:, 1:] == a[:, :-1])
    assert agreement(8) > 0.9 > 0.6 > agreement(0)


def test_water_file_round_trip(tmp_path):
    field = fields.random_patches(7, 5, 2, 0.4, 1 / 3, 0.1 + 0.2, seed=3)
    fields.write_phiw(tmp_path / "w.dat", field)
    lines = open(tmp_path / "w.dat").read().splitlines()
    assert lines[0].split()[:2] == ["1", "1"] and lines[7].split()[:2] == ["1", "2"]
    assert np.array_equal(fields.read_phiw(tmp_path / "w.dat", 7, 5), field)


def test_water_file_errors(tmp_path):
    disc = fields.inclusion(5, 5, 2, 0.8, 0.2)
    bad = tmp_path / "bad.dat"
    bad.write_text("1 1 0.2\n2 1 x\n")
    with pytest.raises(ValueError, match=r"bad.dat line 2"):
        fields.read_phiw(bad, 2, 1)
    with pytest.raises(FileNotFoundError, match="missing.dat"):
        fields.read_phiw(tmp_path / "missing.dat", 2, 2)
    with pytest.raises(OSError, match="/dev/full"):
        fields.write_phiw("/dev/full", fields.uniform(60, 60, 0.2))
    for call in (lambda: fields.uniform(0, 3, 0.2), lambda: fields.uniform(3, 3, 1.5),
                 lambda: fields.layered(3, 3, 2, 3, 0.1, 0.2),
                 lambda: fields.layered(3, 7, 3, 2, 0.1, 0.2, mid_layer=True),
                 lambda: fields.layers_of(disc, 0.1),
                 lambda: fields.random_patches(3, 3, 1, 1.2, 0.1, 0.2, 0),
                 lambda: fields.write_phiw(tmp_path / "x", [[0.2, np.nan]])):
        with pytest.raises(ValueError):
            call()
