// A cheap exponential with a proven error bound, for decisions that only need
// to know on which side of a threshold a value lies.
#pragma once

namespace vivezeru5 {

// approximateExpOfOffset covers the arguments x with |x − kApproximateExpCentre| at
// most kApproximateExpRadius: the exponents of the moist adiabat's tries
// (−2.6518986·ws/T) lie there whenever ws is below about 0.26·T g/kg, that
// is in nearly every try of a real sounding.
inline constexpr double kApproximateExpCentre = -0.35;
inline constexpr double kApproximateExpRadius = 0.35;

// e^x is formed as kApproximateExpScale · approximateExpOfOffset(x − c),
// where c is kApproximateExpCentre; a caller may first multiply the scale by
// a factor of its own (one more rounding). Bound on the relative error of
// that product against e^x (times the factor), over that interval:
//
// c is the double nearest −0.35 and r = x − c is computed with one rounding
// (below 2^-53·0.35 < 4e-17 absolute, so below 4e-17 relative in e^r). e^c is
// held as the double nearest it: 2^-53 relative, and the caller's factor
// times it 2^-53 more. e^r comes from its Taylor polynomial of degree 8 at 0,
// whose remainder is e^ξ·r^9/9! with |ξ| ≤ |r| ≤ 0.35: relative to e^r at
// most e^0.7·0.35^9/9! < 4.4e-10. Evaluating it (coefficients the doubles
// nearest 1/k!, 16 roundings, on terms whose magnitudes add up to at most
// e^0.35 < 2·e^r) adds below 16·2·2^-53 < 3.6e-15 relative, and the final
// product 2^-53 more.
// Total: below 4.5e-10; the bound below keeps a factor of 2 above it.
inline constexpr double kApproximateExpError = 1e-9;

// e^c, the double nearest e^-0.35.
inline constexpr double kApproximateExpScale = 0.7046880897187134;

// e^r for r = x − kApproximateExpCentre, within the bound above when |r| ≤
// kApproximateExpRadius (not checked here: the caller keeps x inside). Pure
// double arithmetic, so it gives the same value on every platform.
inline double approximateExpOfOffset(double r) {
    // Horner's scheme in r² over pairs of terms: the same polynomial in a
    // shorter chain of dependent operations.
    const double r2 = r * r;
    return (1.0 + r) +
           r2 * ((1.0 / 2 + r * (1.0 / 6)) +
                 r2 * ((1.0 / 24 + r * (1.0 / 120)) + r2 * ((1.0 / 720 + r * (1.0 / 5040)) + r2 * (1.0 / 40320))));
}

}  // namespace vivezeru5
