// The mathematical functions of the analysis, in double precision only.
//
// The method evaluates every exponential, logarithm, power, sine, root and
// arc tangent in double precision and rounds the result to float only where
// it says so. C++ also offers single-precision overloads, which a float
// argument selects without a word (std::exp(float) rounds differently from
// std::exp(double) rounded to float). Here every argument must already be a
// double: a float, an integer or a long double picks the deleted template
// and does not compile. The analysis calls these and no other maths
// functions; the build checks that no source of the library calls the
// standard ones directly (cmake/CheckDoubleMaths.cmake).
#pragma once

#include <cmath>

namespace vivezeru5::maths {

inline double exp(double x) { return std::exp(x); }
inline double log(double x) { return std::log(x); }
inline double log10(double x) { return std::log10(x); }
inline double pow(double base, double exponent) { return std::pow(base, exponent); }
inline double sin(double x) { return std::sin(x); }
inline double sqrt(double x) { return std::sqrt(x); }
inline double atan2(double y, double x) { return std::atan2(y, x); }

template <typename T> double exp(T) = delete;
template <typename T> double log(T) = delete;
template <typename T> double log10(T) = delete;
template <typename Base, typename Exponent> double pow(Base, Exponent) = delete;
template <typename T> double sin(T) = delete;
template <typename T> double sqrt(T) = delete;
template <typename Y, typename X> double atan2(Y, X) = delete;

}  // namespace vivezeru5::maths
