"""The exact layered platen modulus against what it must reduce to, and the
platen test's finite elements against it."""
import dataclasses

import numpy as np
import pytest

import v2pfl
from conftest import EXAMPLES
from v2pfl import analytic, fields

# Sweeps over the whole range a study covers, and beyond.
SWEEP = np.logspace(-4, 8, 13)  # Hz
# A strongly contrasted layering of each model: (deck, layer water, host water).
CASES = [("shaley_sand", 0.5, 0.05), ("permafrost", 0.1, 0.3)]


def deck_of(name, **changes):
    return dataclasses.replace(v2pfl.read_deck(EXAMPLES / f"{name}.deck"), **changes)


def stack(w_layer, w_host, periods, layer):
    """A mid-layer-bounded periodic stack: half a layer, then host and
    layer alternating, half a layer; layers and host `layer` metres thick."""
    water = [w_layer] + [w_host, w_layer] * periods
    thickness = [layer / 2] + [layer] * (2 * periods - 1) + [layer / 2]
    return water, thickness


@pytest.mark.parametrize("name, w_layer, w_host", CASES)
def test_layered_limits_and_passivity(name, w_layer, w_host):
    deck = deck_of(name)
    # Layers of one water are the uniform sample, real and positive.
    h_u = analytic.uniform_modulus(deck, w_host, SWEEP)
    assert np.all(h_u.imag == 0) and np.all(h_u.real > 0)
    m = analytic.layered_modulus(deck, [w_host] * 3, [0.01, 0.05, 0.04], SWEEP)
    assert np.abs(m / h_u - 1).max() < 1e-13
    # Splitting a layer in two changes nothing either.
    water, thickness = stack(w_layer, w_host, 1, 0.05)
    split = [water[0], water[1], water[1]] + water[2:]
    split_t = [thickness[0], 0.01, 0.04] + thickness[2:]
    one = analytic.layered_modulus(deck, water, thickness, SWEEP)
    assert np.abs(analytic.layered_modulus(deck, split, split_t, SWEEP) / one - 1).max() < 1e-12
    water, thickness = stack(w_layer, w_host, 3, 0.1 / 6)
    m = analytic.layered_modulus(deck, water, thickness, SWEEP)
    relaxed = analytic.relaxed_modulus(deck, water, thickness, SWEEP)
    unrelaxed = analytic.unrelaxed_modulus(deck, water, thickness, SWEEP)
    q = analytic.inverse_q(m)
    assert np.all(q > 0) and q.max() > 3
    assert np.all(relaxed.real < m.real) and np.all(m.real < unrelaxed.real)
    # Far from the peaks M tends to its limits, its 1000/Q going as f at the
    # low end and falling at the high end.
    far = [1e-7, 1e-6, 1e10, 1e11]
    m = analytic.layered_modulus(deck, water, thickness, far)
    assert abs(m[0] / analytic.relaxed_modulus(deck, water, thickness, far[0]) - 1) < 1e-8
    assert abs(m[-1] / analytic.unrelaxed_modulus(deck, water, thickness, far[-1]) - 1) < 1e-5
    q = analytic.inverse_q(m)
    assert q[1] / q[0] == pytest.approx(10, rel=1e-4)
    assert q[2] > q[3] > 0


def test_periodic_stack_and_thickness_scaling():
    deck = deck_of("shaley_sand")
    one = analytic.layered_modulus(deck, *stack(0.5, 0.05, 1, 0.02), SWEEP)
    # Mid-layer planes are mirror planes: one period is the whole stack.
    three = analytic.layered_modulus(deck, *stack(0.5, 0.05, 3, 0.02), SWEEP)
    assert np.abs(three / one - 1).max() < 1e-12
    # Flow across a layer of thickness L relaxes in a time ~ L²: the peak
    # moves down by 4 for layers twice as thick.
    peak = exact_peak(deck, *stack(0.5, 0.05, 1, 0.02))
    assert peak / exact_peak(deck, *stack(0.5, 0.05, 1, 0.04)) == pytest.approx(4, rel=1e-3)
    # 1000/Q of a lossy modulus, the vertex of a parabola in log f, and a peak
    # the sweep does not bracket.
    assert analytic.inverse_q(4 + 3j) == 750
    f = np.array([1.0, 10.0, 100.0])
    assert analytic.attenuation_peak(f, 1 + 1e-3j * (5 - np.log(f / 20) ** 2)) == \
        pytest.approx(20, rel=1e-12)
    with pytest.raises(ValueError, match="end of the sweep"):
        analytic.attenuation_peak([1.0, 2.0, 3.0], [1 + 3j, 1 + 2j, 1 + 1j])


def exact_peak(deck, water, thickness):
    """The frequency of the largest exact 1000/Q, refined on sweeps of
    0.1 and then 0.005 decade."""
    f = np.logspace(-4, 8, 121)
    for step in (0.1, 0.005):
        peak = analytic.attenuation_peak(f, analytic.layered_modulus(deck, water, thickness, f))
        f = peak * 10 ** (step * np.arange(-3, 4))
    return analytic.attenuation_peak(f, analytic.layered_modulus(deck, water, thickness, f))


@pytest.mark.parametrize("water, thickness, freqs", [
    ([0.1, 0.2], [0.1], 1.0), ([1.5], [0.1], 1.0), ([0.1], [0.0], 1.0),
    ([0.1], [0.1], [1.0, -1.0]), ([], [], 1.0)])
def test_bad_layers(water, thickness, freqs):
    with pytest.raises(ValueError):
        analytic.layered_modulus(deck_of("shaley_sand"), water, thickness, freqs)


def platen_moduli(deck, field, freqs):
    return np.array([v2pfl.run(deck, freq=f, field=field, test="platen").modulus
                     for f in freqs])


@pytest.mark.parametrize("name, w_layer, w_host", CASES)
def test_platen_uniform_and_patchy_samples(name, w_layer, w_host):
    deck = deck_of(name, nx=3, ny=4)
    freqs = np.logspace(-2, 5, 4)
    m = platen_moduli(deck, w_host, freqs)
    assert np.abs(m / analytic.uniform_modulus(deck, w_host, freqs) - 1).max() < 1e-10
    assert np.abs(analytic.inverse_q(m)).max() < 1e-8
    r = v2pfl.run(deck, freq=10.0, field=w_layer)
    rho = analytic.bulk_density(deck, [w_layer], [1.0])
    assert r.test == "platen" and r.density == pytest.approx(rho, rel=1e-14)
    assert r.vp == pytest.approx(analytic.velocity(r.modulus, rho), rel=1e-14)
    assert np.isnan([r.vp_avg, r.inv_q_avg, r.vp_top, r.inv_q_top, r.rob_med]).all()
    # Passive whatever the field: random patches.
    patchy = fields.random_patches(12, 12, 2, 0.4, w_layer, w_host, seed=5)
    q = analytic.inverse_q(platen_moduli(deck_of(name, nx=12, ny=12), patchy, [1e-2, 1e2, 1e5]))
    assert q.min() >= -1e-9


def test_platen_layered_sample_against_exact():
    # Three periods of water 0.3 and 0.05 in 0.1 m, bounded by mid-layer planes.
    w_layer, w_host = 0.3, 0.05
    freqs = np.logspace(-2, 6, 9)
    peaks = {}
    for rows, size, tolerance, peak_tolerance in ((24, 0.1, 2e-3, 0.07), (48, 0.2, 6e-4, 0.02),
                                                 (48, 0.1, 6e-4, 0.02)):
        deck = deck_of("shaley_sand", nx=2, ny=rows, domain_size=size)
        field = fields.layered(2, rows, rows // 3, rows // 6, w_layer, w_host, mid_layer=True)
        layers = fields.layers_of(field, deck.h)
        m = platen_moduli(deck, field, freqs)
        assert np.abs(m / analytic.layered_modulus(deck, *layers, freqs) - 1).max() <= tolerance
        assert analytic.inverse_q(m).min() >= 0
        exact = exact_peak(deck, *layers)
        near = exact * 10 ** (0.05 * np.arange(-4, 5))
        peaks[rows, size] = analytic.attenuation_peak(near, platen_moduli(deck, field, near))
        assert peaks[rows, size] == pytest.approx(exact, rel=peak_tolerance)
    # The limits, at 8 cells per layer in 0.1 m.
    m = platen_moduli(deck, field, [1e-3, 1e7])
    assert abs(m[0] / analytic.relaxed_modulus(deck, *layers, 1e-3) - 1) <= 1e-5
    assert abs(m[1] / analytic.unrelaxed_modulus(deck, *layers, 1e7) - 1) <= 1e-4
    # Layers twice as thick, as many cells per layer: the peak 4 times lower.
    assert peaks[48, 0.1] / peaks[48, 0.2] == pytest.approx(4, abs=0.25)
