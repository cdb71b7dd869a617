// The skew-T tool's numbers: the parcel and lines it asks the companion
// library for must follow the analysis (checked against the analysis's
// worked sounding; 14.8904 and 7.6917 g/kg are its saturation mixing ratios
// at 20 °C, 1000 hPa and 0 °C, 500 hPa), and
// the diagram's coordinates must put pressures and temperatures where the
// axes say.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "skewt_geometry.h"
#include "skewt_thermodynamics.h"

namespace vivezeru5::skewt {
namespace {

struct ThermodynamicsCase {
    std::string name;
    std::function<double()> compute;
    double expected;
    double tolerance;
};

// The worked sounding: surface 1000 hPa, 28 °C; LCL 907.96844 hPa, 19.741547 °C;
// its parcel's θE is 348.5789 K, and its moist adiabat passes 269.7127 K at
// 500 hPa and 244.0194 K at 300 hPa.
const ThermodynamicsCase kThermodynamicsCases[] = {
    {"mixing_ratio_line_inverts_20C", [] { return mixingRatioCelsius(14.8904, 1000); }, 20.0, 1e-3},
    {"mixing_ratio_line_inverts_0C", [] { return mixingRatioCelsius(7.6917, 500); }, 0.0, 1e-3},
    {"potential_temperature_surface", [] { return potentialTemperature(28.0, 1000.0); }, 301.16, 1e-4},
    {"dry_adiabat_reaches_lcl", [] { return dryAdiabatCelsius(301.16, 907.96844); }, 19.741547, 1e-4},
    {"equivalent_potential_temperature_at_lcl",
     [] { return equivalentPotentialTemperature(19.741547f, 907.96844f); }, 348.5789, 5e-5},
    {"moist_adiabat_500hPa_all_tries", [] { return moistAdiabatCelsius(348.5789f, 500.0f); }, 269.7127 - 273.16, 5e-5},
    {"moist_adiabat_300hPa_tenth_try", [] { return moistAdiabatCelsius(348.5789f, 300.0f); }, 244.0194 - 273.16,
     5e-5},
    {"parcel_dry_below_lcl",
     [] { return LiftedParcel(1000.0f, 28.0f, 907.96844f, 19.741547f).celsiusAt(907.96844f); }, 19.741547, 1e-4},
    {"parcel_moist_above_lcl",
     [] { return LiftedParcel(1000.0f, 28.0f, 907.96844f, 19.741547f).celsiusAt(500.0); }, 269.7127 - 273.16, 5e-5},
    {"parcel_surface", [] { return LiftedParcel(1000.0f, 28.0f, 907.96844f, 19.741547f).celsiusAt(1000.0); }, 28.0,
     1e-4},
};

class SkewTThermodynamics : public ::testing::TestWithParam<ThermodynamicsCase> {};

TEST_P(SkewTThermodynamics, MatchesWorkedValue) {
    const ThermodynamicsCase& c = GetParam();
    EXPECT_NEAR(c.compute(), c.expected, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Cases, SkewTThermodynamics, ::testing::ValuesIn(kThermodynamicsCases),
                         [](const auto& test) { return test.param.name; });

struct GeometryCase {
    std::string name;
    double celsius;
    double pressure;
    Point expected;
};

// Plotting area 70..690 × 60..700; 1050 hPa at the bottom, 100 hPa at the top;
// -40 °C and 50 °C at the bottom corners; an isotherm rises one unit right per
// unit up.
const GeometryCase kGeometryCases[] = {
    {"bottom_left_corner", -40, 1050, {70, 700}},
    {"bottom_right_corner", 50, 1050, {690, 700}},
    {"top_shifted_by_the_height", -40, 100, {710, 60}},
    {"zero_at_the_bottom", 0, 1050, {345.55556, 700}},
};

class SkewTGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(SkewTGeometry, PlacesPoint) {
    const GeometryCase& c = GetParam();
    const Point point = DiagramFrame::at(c.celsius, c.pressure);
    EXPECT_NEAR(point.x, c.expected.x, 1e-5);
    EXPECT_NEAR(point.y, c.expected.y, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Cases, SkewTGeometry, ::testing::ValuesIn(kGeometryCases),
                         [](const auto& test) { return test.param.name; });

}  // namespace
}  // namespace vivezeru5::skewt
