// The lifted parcel beside the environment: its temperature sampled up the
// sounding, and the areas where it is warmer (CAPE) or colder (CIN).
#pragma once

#include <vector>

#include "skewt_geometry.h"
#include "skewt_profile.h"
#include "skewt_thermodynamics.h"

namespace vivezeru5::skewt {

struct ParcelSample {
    double pressure;     // hPa
    double parcel;       // °C
    double environment;  // °C
};

// The parcel and the environment at the surface, at every level, at `marks`
// (LCL, LFC, EL) and on a fine grid in ln p, from the surface up to the top of
// the sounding or of the diagram, whichever is lower; highest pressure first.
std::vector<ParcelSample> sampleParcel(const LiftedParcel& parcel, const Profile& profile,
                                       const std::vector<double>& marks);

// The regions between `lowerPressure` and `upperPressure` where the parcel is
// warmer (`parcelWarmer`) or colder than the environment, each as a closed
// outline on the diagram: along the parcel up, back along the environment.
std::vector<std::vector<Point>> areasBetween(const std::vector<ParcelSample>& samples, double lowerPressure,
                                             double upperPressure, bool parcelWarmer);

// Where the library's analysis stops adding positive area when it finds no
// equilibrium level: the first sample above 500 hPa where the parcel is
// colder than the environment, or the top of the samples.
double positiveAreaTop(const std::vector<ParcelSample>& samples, double lfcPressure);

}  // namespace vivezeru5::skewt
