"""The exact platen modulus of a horizontally layered sample, and its two
limits, to check the finite elements against and to compare with one's own
layered rocks.

    water, thickness = v2pfl.fields.layers_of(field, deck.h)
    exact = v2pfl.analytic.layered_modulus(deck, water, thickness, freqs)
    vp = v2pfl.analytic.velocity(exact, v2pfl.analytic.bulk_density(deck, water, thickness))

Layers are listed from the bottom up: the water proportion of each and its
thickness in metres. Moduli are complex, in Pa, with the time factor
e^{+iωt}: a lossy modulus has Im M > 0 and 1000/Q = 1000·Im M/Re M. Each
layer's coefficients are those the computation gives a cell of the deck's
material 1 with that water proportion at that frequency (the moduli depend
weakly on frequency through the fluid's viscous shear coupling, so every
function here evaluates them at every frequency).

The platen test of a laterally uniform sample is one-dimensional: rollers on
the sides keep the horizontal displacements zero, and every field depends on
the height y alone. The unknowns are U = (u1y, u3y, w_y): the vertical
displacements of solid 1 and solid 3 and the vertical relative displacement
of the fluid. The energy of a layer per unit area is

    ∫ U'ᵀ S V' + iω Uᵀ Φ V dy,

with the uniaxial stiffness and the friction form of its coefficients

    S = [[λ1+2μ1, d3+μ13, b1], [d3+μ13, λ3+2μ3, b2], [b1, b2, m]],
    Φ = [[f11, −f11, −f12], [−f11, f11, f12], [−f12, f12, f22]],

(the finite-element form restricted to vertical motion), so inside a layer
S U'' = iω Φ U. The sample stands on rollers (U = 0 at the bottom, no flow),
and the platen on the top makes the two solids share one displacement u
(u1 = u3 = u, w = 0) under a total normal traction of 1; the modulus is
M = −(height)/u."""
import cmath
import math
import numbers

import numpy as np

from . import _core
from ._deck import as_deck

# The common motion of the two solids with no fluid flow: the platen's
# displacement and the direction its traction acts in.
COMMON = np.array([1.0, 1.0, 0.0])


def coefficients(deck, water, freq):
    """The coefficient set of a cell of `deck`'s material 1 with water
    proportion `water` at `freq` Hz: a dict of the moduli lambda1, lambda3,
    mu1, mu3, mu13, b1, b2, m, d3 (Pa), the mass coefficients p11 ... p33
    (kg/m³), the friction coefficients f11, f12, f22 (Pa·s/m²) and the
    cell's density (kg/m³)."""
    return _core.cell_coefficients(as_deck(deck).values(), float(water), float(freq))


def uniaxial_stiffness(c):
    """S: the stiffness of vertical motion, (u1y, u3y, w_y) against itself."""
    s12 = c["d3"] + c["mu13"]
    return np.array([[c["lambda1"] + 2 * c["mu1"], s12, c["b1"]],
                     [s12, c["lambda3"] + 2 * c["mu3"], c["b2"]],
                     [c["b1"], c["b2"], c["m"]]])


def friction_form(c):
    """Φ: the friction of the relative motions, iω Φ its part of the
    system; Φ COMMON = 0 (the solids moving together with the fluid feel
    no friction)."""
    f11, f12, f22 = c["f11"], c["f12"], c["f22"]
    return np.array([[f11, -f11, -f12], [-f11, f11, f12], [-f12, f12, f22]])


def _frequencies(freqs):
    f = np.asarray(freqs, dtype=float)
    if not np.all((f > 0) & np.isfinite(f)):
        raise ValueError("every frequency must be a positive number of Hz")
    return f


def _layers(water_by_layer, thickness_by_layer):
    water = [float(w) for w in np.atleast_1d(water_by_layer)]
    thickness = [float(t) for t in np.atleast_1d(thickness_by_layer)]
    if len(water) != len(thickness) or not water:
        raise ValueError(f"need one thickness per layer, not {len(thickness)} thicknesses for "
                         f"{len(water)} layers")
    if not all(0.0 <= w <= 1.0 for w in water):
        raise ValueError("every layer's water proportion must lie in [0, 1]")
    if not all(t > 0 and math.isfinite(t) for t in thickness):
        raise ValueError("every layer's thickness must be a positive number of metres")
    return water, thickness


def _per_frequency(modulus_at, deck, water_by_layer, thickness_by_layer, freqs):
    """modulus_at(stiffness and friction of each distinct water proportion,
    water list, thickness list, ω) at every frequency: a complex array of
    the shape of `freqs` (a complex number for a number)."""
    deck = as_deck(deck)
    water, thickness = _layers(water_by_layer, thickness_by_layer)
    f = _frequencies(freqs)
    out = np.empty(f.shape, dtype=complex)
    for i, fi in np.ndenumerate(f):
        sets = {w: coefficients(deck, w, fi) for w in set(water)}
        forms = {w: (uniaxial_stiffness(c), friction_form(c)) for w, c in sets.items()}
        out[i] = modulus_at(forms, water, thickness, 2 * math.pi * fi)
    return complex(out) if isinstance(freqs, numbers.Real) else out


def uniform_modulus(deck, water, freqs):
    """H_u = λ1+2μ1+λ3+2μ3+2(d3+μ13) = COMMONᵀ S COMMON: the platen modulus of
    a uniform sample of water proportion `water`, real, at every frequency
    (with no gradient in the sample nothing moves relative to anything, so
    nothing dissipates)."""
    return _per_frequency(lambda forms, w, t, omega: COMMON @ forms[w[0]][0] @ COMMON,
                          deck, [water], [1.0], freqs)


def unrelaxed_modulus(deck, water_by_layer, thickness_by_layer, freqs):
    """The high-frequency limit: no time for flow between layers, each layer
    compressed as a uniform sample (its H_u), the layers in series: the
    harmonic mean of H_u over thickness."""
    def harmonic(forms, water, thickness, omega):
        compliance = sum(t / (COMMON @ forms[w][0] @ COMMON) for w, t in zip(water, thickness))
        return sum(thickness) / compliance
    return _per_frequency(harmonic, deck, water_by_layer, thickness_by_layer, freqs)


def relaxed_modulus(deck, water_by_layer, thickness_by_layer, freqs):
    """The low-frequency limit COMMONᵀ ⟨S⁻¹⟩⁻¹ COMMON, ⟨·⟩ the thickness
    average. With the friction gone, S U'' = 0: the traction τ = S U' is
    one vector through the stack, U' = S⁻¹τ in each layer, so the top moves
    by H ⟨S⁻¹⟩ τ. The platen asks that to be u·COMMON (no net flow, one
    solid displacement), so τ = ⟨S⁻¹⟩⁻¹ COMMON u/H, and the traction it
    carries, COMMONᵀ τ = −1, gives M = −H/u = COMMONᵀ ⟨S⁻¹⟩⁻¹ COMMON."""
    def relaxed(forms, water, thickness, omega):
        mean = sum(t * np.linalg.inv(forms[w][0]) for w, t in zip(water, thickness))
        return COMMON @ np.linalg.solve(mean / sum(thickness), COMMON)
    return _per_frequency(relaxed, deck, water_by_layer, thickness_by_layer, freqs)


def layered_modulus(deck, water_by_layer, thickness_by_layer, freqs):
    """The exact complex platen modulus M (Pa) of the layered sample at each
    frequency in `freqs` (Hz)."""
    def exact(forms, water, thickness, omega):
        modes = {w: _modes(*forms[w], omega) for w in set(water)}
        # The stack from the bottom up. The bottom is held (U = 0), so the
        # stack below an interface answers a displacement U there with the
        # force K U: the first layer's `near`. A layer added on top, with no
        # load on the interface, condenses its lower end away:
        #     K ← K_top,top − K_top,bottom (K + K_bottom,bottom)⁻¹ K_bottom,top.
        below = None
        for w, t in zip(water, thickness):
            vectors, rates = modes[w]
            near, far = _end_stiffness(forms[w][0], vectors, rates, t)
            below = near if below is None else near - far @ np.linalg.solve(below + near, far)
        # The platen: U = u·COMMON on the top, the force conjugate to u is
        # COMMONᵀ K COMMON u = −1, so M = −H/u = H·COMMONᵀ K COMMON.
        return sum(thickness) * (COMMON @ below @ COMMON)
    return _per_frequency(exact, deck, water_by_layer, thickness_by_layer, freqs)


def _modes(stiffness, friction, omega):
    """The solutions U = v e^{κy} of S U'' = iω Φ U in a layer: the vectors
    v (the columns of the result, S-orthonormal: vᵀ S v = 1) and the rates κ.
    They are the generalized eigenpairs Φ v = γ S v with κ² = iωγ. S is
    symmetric positive definite and Φ symmetric semidefinite, so with
    S = L Lᵀ they are those of the symmetric L⁻¹ Φ L⁻ᵀ: γ real, γ ≥ 0.
    γ = 0 is the common motion COMMON (κ = 0: U linear in y); the two γ > 0
    are diffusive modes, κ = (1 + i) √(ωγ/2), decaying into the layer from
    either end."""
    lower = np.linalg.cholesky(stiffness)
    inner = np.linalg.solve(lower, np.linalg.solve(lower, friction).T)
    gamma, y = np.linalg.eigh((inner + inner.T) / 2)
    vectors = np.linalg.solve(lower.T, y)
    # The smallest γ is the common motion up to rounding: take it exactly.
    vectors[:, 0] = COMMON / math.sqrt(COMMON @ stiffness @ COMMON)
    rates = [0.0] + [cmath.sqrt(1j * omega * max(g, 0.0)) for g in gamma[1:]]
    return vectors, rates


def _end_stiffness(stiffness, vectors, rates, thickness):
    """The exact two-end stiffness of a layer of `thickness` L: the forces
    F0 = −S U'(0) and FL = S U'(L) it puts on its ends for end displacements
    U(0), U(L) are [[near, far], [far, near]] [U(0), U(L)] (a layer is the
    same seen from either end). In the modal coordinates a = Vᵀ S U (V the
    S-orthonormal mode vectors), each mode is a(y) = c e^{−κy} + d e^{−κ(L−y)},
    using only exponentials that decay into the layer (stable at any κL).
    Its ends a0 = c + d q, aL = c q + d with q = e^{−κL}, and solving for c, d:
        a'(0) = −κ coth(κL) a0 + κ csch(κL) aL,
        a'(L) = −κ csch(κL) a0 + κ coth(κL) aL,
    the common motion's limit κ → 0 giving 1/L for both κ coth and κ csch.
    Back in U = V a: near = S V diag(κ coth κL) Vᵀ S, far = −S V diag(κ csch κL) Vᵀ S."""
    coth, csch = zip(*(_coth_csch(k, thickness) for k in rates))
    sv = stiffness @ vectors
    near = sv @ np.diag(coth) @ sv.T
    far = -(sv @ np.diag(csch) @ sv.T)
    return near, far


def _coth_csch(rate, thickness):
    """(κ coth κL, κ csch κL) from q = e^{−κL}: κ(1 + q²)/(1 − q²) and
    κ·2q/(1 − q²), with 1 − q² = −expm1(−2κL) exact for small κL."""
    if rate == 0:
        return 1.0 / thickness, 1.0 / thickness
    x = rate * thickness
    q = cmath.exp(-x)
    one_minus_q2 = -_expm1(-2 * x)
    return rate * (1 + q * q) / one_minus_q2, rate * 2 * q / one_minus_q2


def _expm1(z):
    """e^z − 1 for a complex z, without cancellation near 0:
    (e^a − 1) cos b − 2 sin²(b/2) + i e^a sin b."""
    a, b = z.real, z.imag
    return complex(math.expm1(a) * math.cos(b) - 2 * math.sin(b / 2) ** 2,
                   math.exp(a) * math.sin(b))


def bulk_density(deck, water_by_layer, thickness_by_layer):
    """The sample's density (kg/m³): the thickness average of each layer's
    φ1ρ1 + φwρw + φ3ρ3 (which does not depend on frequency)."""
    water, thickness = _layers(water_by_layer, thickness_by_layer)
    rho = {w: coefficients(deck, w, 1.0)["density"] for w in set(water)}
    return sum(rho[w] * t for w, t in zip(water, thickness)) / sum(thickness)


def velocity(moduli, density):
    """The phase velocity (m/s) of a plane wave of complex modulus M in a
    medium of `density`: 1/Re(1/sqrt(M/ρ))."""
    return 1 / (1 / np.sqrt(np.asarray(moduli, dtype=complex) / density)).real


def inverse_q(moduli):
    """1000/Q = 1000·Im M/Re M of complex moduli."""
    m = np.asarray(moduli)
    return 1000 * m.imag / m.real


def attenuation_peak(freqs, moduli):
    """The frequency (Hz) of the largest 1000/Q of the moduli at the
    increasing frequencies `freqs`: the vertex of the parabola in log f
    through the largest sample and its two neighbours. ValueError when the
    largest sample is the first or the last (the peak is not bracketed)."""
    f = np.asarray(freqs, dtype=float)
    q = inverse_q(moduli)
    i = int(np.argmax(q))
    if i == 0 or i == len(f) - 1:
        raise ValueError(f"the largest 1000/Q lies at the end of the sweep ({f[i]:g} Hz)")
    x, y = np.log(f[i - 1:i + 2]), q[i - 1:i + 2]
    # Vertex of the parabola through three points.
    d1, d2 = (y[1] - y[0]) / (x[1] - x[0]), (y[2] - y[1]) / (x[2] - x[1])
    curvature = (d2 - d1) / (x[2] - x[0])
    return float(np.exp((x[0] + x[1]) / 2 - d1 / (2 * curvature)))
