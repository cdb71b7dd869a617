#include "analysis/moist_adiabat_estimate.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/double_maths.h"
#include "analysis/moist_adiabat.h"
#include "analysis/precision.h"

namespace vivezeru5 {
namespace {

// The grid: exner (rows) and θE (columns), both evenly spaced.
constexpr int kExnerCount = 65;
constexpr double kExnerFirst = 0.97;
constexpr double kExnerLast = 3.75;
constexpr double kExnerSpacing = (kExnerLast - kExnerFirst) / (kExnerCount - 1);

constexpr int kThetaECount = 49;
constexpr double kThetaEFirst = 200;  // K
constexpr double kThetaELast = 440;   // K
constexpr double kThetaESpacing = (kThetaELast - kThetaEFirst) / (kThetaECount - 1);

using EstimateTable = std::array<std::array<float, kThetaECount>, kExnerCount>;

// The moist adiabat's residual θE·e^x − T·exner, x = −2.6518986·ws/T, and its
// slope in T, in double throughout.
struct Residual {
    double value;
    double slope;
};

Residual residualAt(double kelvin, double pressure, double exner, double thetaE) {
    const double t = kelvin - kKelvinOffset;
    const double vapor = 6.1078 * maths::exp(17.2693882 * t / (t + 237.3));
    const double vaporSlope = vapor * 17.2693882 * 237.3 / ((t + 237.3) * (t + 237.3));
    const double mixing = 621.97 * vapor / (pressure - vapor);
    const double mixingSlope = 621.97 * vaporSlope * pressure / ((pressure - vapor) * (pressure - vapor));
    const double exponent = -2.6518986 * mixing / kelvin;
    const double exponentSlope = -2.6518986 * (mixingSlope * kelvin - mixing) / (kelvin * kelvin);
    const double warm = thetaE * maths::exp(exponent);
    return {warm - kelvin * exner, warm * exponentSlope - exner};
}

// A Newton step shorter than this (K) leaves the root within about 1e-3 K,
// well below the error of the interpolation between the grid's points.
constexpr double kSettledStep = 0.1;

// The root from `start`: Newton's method, kept inside the bracket that the
// residuals so far leave (the residual falls as T rises; one that is not a
// number counts as negative, as in the search), and halving the bracket
// where a step would leave it. A root beyond the trials' reach gives the
// nearer end of it.
double rootNear(double start, double pressure, double exner, double thetaE) {
    double colder = kColdestMoistTrialBound;
    double warmer = kWarmestMoistTrialBound;
    double kelvin = start;
    for (int iteration = 0; iteration < 60; ++iteration) {
        const Residual residual = residualAt(kelvin, pressure, exner, thetaE);
        if (residual.value > 0) {
            if (kelvin == kWarmestMoistTrialBound) {
                return kelvin;  // the root lies beyond the warmest trial
            }
            colder = kelvin;
        } else {
            if (kelvin == kColdestMoistTrialBound) {
                return kelvin;  // the root lies beyond the coldest trial
            }
            warmer = kelvin;
        }
        double next = kelvin - residual.value / residual.slope;
        if (!(next > colder && next < warmer)) {
            next = (colder + warmer) / 2;
        }
        if (std::fabs(next - kelvin) < kSettledStep) {
            return next;
        }
        kelvin = next;
    }
    return kelvin;
}

// Each column is solved from the dry adiabat's temperature at the first row,
// and further up from the roots of the rows before, extrapolated along the
// column (a parabola through the last three), which is so close that one
// step of Newton's method mostly suffices.
EstimateTable computeEstimateTable() {
    std::array<double, kExnerCount> pressures{};
    for (int row = 0; row < kExnerCount; ++row) {
        pressures[row] = 1000 / maths::pow(kExnerFirst + row * kExnerSpacing, 1 / 0.286);
    }
    EstimateTable table{};
    for (int column = 0; column < kThetaECount; ++column) {
        const double thetaE = kThetaEFirst + column * kThetaESpacing;
        for (int row = 0; row < kExnerCount; ++row) {
            double start = thetaE / kExnerFirst;
            if (row >= 3) {
                start = 3.0 * table[row - 1][column] - 3.0 * table[row - 2][column] + table[row - 3][column];
            } else if (row >= 1) {
                start = table[row - 1][column];
            }
            const double exner = kExnerFirst + row * kExnerSpacing;
            start = std::clamp(start, kColdestMoistTrialBound, kWarmestMoistTrialBound);
            table[row][column] = static_cast<float>(rootNear(start, pressures[row], exner, thetaE));
        }
    }
    return table;
}

// Index of the lower grid point and the fraction towards the next one, for a
// position measured in grid spacings from the first point.
struct AxisPosition {
    int lower;
    double fraction;
};

// Held inside the axis of `count` points; a position that is not a number
// goes to the first point.
AxisPosition heldOnAxis(double position, int count) {
    if (!(position > 0)) {
        return {0, 0};
    }
    if (!(position < count - 1)) {
        return {count - 2, 1};
    }
    const int lower = static_cast<int>(position);
    return {lower, position - lower};
}

}  // namespace

double estimateMoistAdiabatKelvin(double exner, float thetaE) {
    static const EstimateTable table = computeEstimateTable();
    const double rowPosition = (exner - kExnerFirst) * (1 / kExnerSpacing);
    const double columnPosition = (thetaE - kThetaEFirst) * (1 / kThetaESpacing);
    const AxisPosition row = heldOnAxis(rowPosition, kExnerCount);
    const AxisPosition column = heldOnAxis(columnPosition, kThetaECount);
    const float* below = &table[row.lower][column.lower];
    const float* above = &table[row.lower + 1][column.lower];
    const double lowerRow = below[0] + column.fraction * (static_cast<double>(below[1]) - below[0]);
    const double upperRow = above[0] + column.fraction * (static_cast<double>(above[1]) - above[0]);
    return lowerRow + row.fraction * (upperRow - lowerRow);
}

}  // namespace vivezeru5
