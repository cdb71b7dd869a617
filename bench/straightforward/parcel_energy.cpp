#include "straightforward/parcel_energy.h"

#include <cmath>

#include "straightforward/moist_adiabat.h"
#include "straightforward/numerics.h"

namespace vivezeru5::straightforward {
namespace {

// Potential temperature (K) of `celsius` at `pressure`, exponent 0.288.
double theta(double celsius, double pressure) {
    return single((celsius + kKelvinOffset) * std::pow(1000 / pressure, 0.288));
}

double lnr(double pressure) { return single(std::log(pressure / 1000)); }

double layerMean(double upper, double lower) { return single((upper + lower) / 2); }

// J/kg of a layer `thickness` decametres deep, from the mean parcel and
// environment potential temperatures; g = 9.8.
double layerTerm(double meanParcel, double meanEnvironment, double thickness) {
    return single(9.8 * (meanParcel - meanEnvironment) * 10 * thickness / meanEnvironment);
}

// x at `pressure`, linear in ln p between level a and the level b above it.
double lnInterpolation(double pressure, double pa, double pb, double xa, double xb) {
    return xa + (lnr(pressure) - lnr(pa)) * (xb - xa) / (lnr(pb) - lnr(pa));
}

// A missing height where it is the lower end of a layer above the LCL.
bool truncatesTo9999(double height) { return height >= 9999 && height < 10000; }

double parcelCelsius(double pressure, double thetaE) {
    return single(moistParcelTemperature(pressure, thetaE, false).kelvin - kKelvinOffset);
}

// The whole-hPa pressures from level a's, truncated, down to above level b's,
// each with the parcel's temperature there and the environment's, linear in
// ln p between the two levels, until `found` says so. A scan starts only from
// a finite pressure within a million hPa and takes at most 100,000 steps.
template <typename Test>
void scanWholeHectopascals(const SoundingLevel& a, const SoundingLevel& b, double thetaE, Test found) {
    if (!std::isfinite(a.pressure) || std::fabs(a.pressure) > 1e6f) {
        return;
    }
    double p = std::trunc(double{a.pressure});
    for (int steps = 0; steps < 100000 && p > b.pressure; ++steps, p -= 1) {
        const double parcelT = parcelCelsius(p, thetaE);
        const double environmentT = single(lnInterpolation(p, a.pressure, b.pressure, a.temperature, b.temperature));
        if (found(p, parcelT, environmentT)) {
            return;
        }
    }
}

struct Parcel {
    double thetaE = 0;         // equivalent potential temperature, formed at the LCL
    double sum = 0;            // running sum of layer terms
    double parcelTheta = 0;    // the parcel's potential temperature at the lower end of the next layer
    double environmentTheta = 0;  // the environment's
    double lowerHeight = 0;    // the last level handled below the LFC
};

// Below the LCL, the pass over every level whose pressure exceeds it; false
// when the analysis ends (a pressure of 0 or less, or the top of the
// sounding reached below the LCL).
bool passBelowLcl(SoundingStation& s, Parcel& parcel, double surfaceTheta) {
    const SoundingLevel* lv = s.levels;
    const double lclPressure = s.lclPressure;
    bool visited = false;
    for (int i = 1; i < s.levelCount; ++i) {
        if (!(lv[i].pressure > lclPressure)) {
            continue;
        }
        if (i == s.levelCount - 1 || lv[i].pressure <= 0 || lv[i + 1].pressure <= 0) {
            return false;
        }
        visited = true;
        s.lclHeight = static_cast<float>(
            lnInterpolation(lclPressure, lv[i].pressure, lv[i + 1].pressure, lv[i].height, lv[i + 1].height));
        const double levelTheta = theta(lv[i].temperature, lv[i].pressure);
        const double meanEnvironment = layerMean(levelTheta, parcel.environmentTheta);
        parcel.lowerHeight = lv[i].height;
        if (surfaceTheta < levelTheta) {
            const double below = lv[i - 1].height > 9998 ? 0.0 : double{lv[i - 1].height};
            if (meanEnvironment > surfaceTheta) {
                parcel.sum = single(parcel.sum + layerTerm(surfaceTheta, meanEnvironment, lv[i].height - below));
            }
        }
        parcel.environmentTheta = levelTheta;
    }
    if (!visited && s.levelCount >= 2) {
        // The LCL lies between level 0 and level 1.
        if (lv[0].pressure <= 0 || lv[1].pressure <= 0) {
            return false;
        }
        s.lclHeight = static_cast<float>(
            lnInterpolation(lclPressure, lv[0].pressure, lv[1].pressure, lv[0].height, lv[1].height));
    }
    return true;
}

// Above the LCL, up to the first level where the parcel is warmer than the
// environment; that level's index, or -1.
int passToLfc(SoundingStation& s, Parcel& parcel) {
    const SoundingLevel* lv = s.levels;
    for (int j = 0; j < s.levelCount; ++j) {
        const double p = lv[j].pressure;
        if (!(p > 0 && p < s.lclPressure)) {
            continue;
        }
        const double parcelT = parcelCelsius(p, parcel.thetaE);
        if (lv[j].temperature < parcelT) {
            return j;
        }
        const double environmentTheta = theta(lv[j].temperature, p);
        const double parcelTheta = theta(parcelT, p);
        const double meanParcel = layerMean(parcelTheta, parcel.parcelTheta);
        const double meanEnvironment = layerMean(environmentTheta, parcel.environmentTheta);
        if (meanEnvironment > meanParcel) {
            // Level 0 has no level below it: its layer has no depth.
            const double below = j == 0                              ? double{lv[j].height}
                                 : truncatesTo9999(lv[j - 1].height) ? 0.0
                                                                     : double{lv[j - 1].height};
            parcel.sum = single(parcel.sum + layerTerm(meanParcel, meanEnvironment, lv[j].height - below));
        }
        s.cin = static_cast<float>(parcel.sum);
        parcel.environmentTheta = environmentTheta;
        parcel.parcelTheta = parcelTheta;
        parcel.lowerHeight = lv[j].height;
    }
    return -1;
}

// The LFC: the first whole hPa below level j - 1 where the parcel is warmer.
void refineLfc(SoundingStation& s, const Parcel& parcel, int j) {
    const SoundingLevel& a = s.levels[j - 1];
    const SoundingLevel& b = s.levels[j];
    scanWholeHectopascals(a, b, parcel.thetaE, [&](double p, double parcelT, double environmentT) {
        if (!(environmentT < parcelT)) {
            return false;
        }
        s.lfcPressure = static_cast<float>(p);
        s.lfcTemperature = static_cast<float>(environmentT);
        s.lfcHeight = static_cast<float>(lnInterpolation(p, a.pressure, b.pressure, a.height, b.height));
        return true;
    });
}

// Above the LFC, up to the first level above 500 hPa where the parcel is
// colder; that level's index, -1 without one, or -2 when the parcel passed
// 320 K.
int passToEl(SoundingStation& s, Parcel& parcel) {
    const SoundingLevel* lv = s.levels;
    int count = 0;
    for (int m = 0; m < s.levelCount; ++m) {
        const double p = lv[m].pressure;
        if (!(p < s.lfcPressure)) {
            continue;
        }
        ++count;
        const MoistParcelTemperature moist = moistParcelTemperature(p, parcel.thetaE, true);
        if (moist.tooWarm) {
            return -2;
        }
        const double parcelT = single(moist.kelvin - kKelvinOffset);
        if (lv[m].temperature < parcelT) {
            const double environmentTheta = theta(lv[m].temperature, p);
            const double parcelTheta = theta(parcelT, p);
            const double meanParcel = layerMean(parcelTheta, parcel.parcelTheta);
            const double meanEnvironment = layerMean(environmentTheta, parcel.environmentTheta);
            const double thickness = count == 1 ? double{lv[m].height} - s.lfcHeight
                                                : double{lv[m].height} - lv[m - 1].height;
            parcel.sum = single(parcel.sum + layerTerm(meanParcel, meanEnvironment, thickness));
            s.cape = static_cast<float>(parcel.sum);
            parcel.parcelTheta = parcelTheta;
            parcel.environmentTheta = environmentTheta;
        }
        if (lv[m].temperature > parcelT && p < 500) {
            return m;
        }
    }
    return -1;
}

// The EL: the first whole hPa below level m - 1 where the environment is
// warmer; the layer up to it closes the positive area.
void refineEl(SoundingStation& s, const Parcel& parcel, int m) {
    const SoundingLevel& a = s.levels[m - 1];
    const SoundingLevel& b = s.levels[m];
    scanWholeHectopascals(a, b, parcel.thetaE, [&](double p, double parcelT, double environmentT) {
        if (!(environmentT > parcelT)) {
            return false;
        }
        s.elPressure = static_cast<float>(p);
        const double height = single(lnInterpolation(p, a.pressure, b.pressure, a.height, b.height));
        const double meanParcel = layerMean(theta(parcelT, p), parcel.parcelTheta);
        const double meanEnvironment = layerMean(theta(environmentT, p), parcel.environmentTheta);
        s.cape = static_cast<float>(parcel.sum + layerTerm(meanParcel, meanEnvironment, height - a.height));
        return true;
    });
}

}  // namespace

void computeParcelEnergy(SoundingStation& s, std::string* progress) {
    if (s.lclPressure == 0) {
        return;
    }
    const SoundingLevel& surface = s.levels[0];
    const double surfaceTheta = theta(surface.temperature, surface.pressure);
    Parcel parcel;
    parcel.parcelTheta = surfaceTheta;
    parcel.environmentTheta = surfaceTheta;
    parcel.lowerHeight = surface.height;
    if (!passBelowLcl(s, parcel, surfaceTheta)) {
        return;
    }

    // The layer that closes at the LCL; the parcel keeps the surface's
    // potential temperature up to there.
    const double lclTheta = theta(s.lclTemperature, s.lclPressure);
    const double meanAtLcl = layerMean(lclTheta, parcel.environmentTheta);
    if (meanAtLcl > surfaceTheta) {
        parcel.sum = single(parcel.sum + layerTerm(surfaceTheta, meanAtLcl, double{s.lclHeight} - parcel.lowerHeight));
    }
    parcel.environmentTheta = lclTheta;

    const double lclKelvin = single(double{s.lclTemperature} + kKelvinOffset);
    const double w = saturationMixingRatio(lclKelvin, s.lclPressure);
    parcel.thetaE =
        single(lclKelvin * std::pow(1000 / double{s.lclPressure}, 0.286) / std::exp(-2.6518986 * w / lclKelvin));

    const int lfcLevel = passToLfc(s, parcel);
    if (lfcLevel <= 0) {
        s.elPressure = 0;
    } else {
        refineLfc(s, parcel, lfcLevel);
    }
    if (s.lfcPressure < 1) {
        return;  // no LFC
    }

    // Close the negative area at the LFC.
    const double lfcTheta = theta(s.lfcTemperature, s.lfcPressure);
    const double meanParcel = layerMean(lfcTheta, parcel.parcelTheta);
    const double meanEnvironment = layerMean(lfcTheta, parcel.environmentTheta);
    if (meanEnvironment > meanParcel) {
        parcel.sum =
            single(parcel.sum + layerTerm(meanParcel, meanEnvironment, double{s.lfcHeight} - parcel.lowerHeight));
    }
    s.cin = static_cast<float>(parcel.sum);
    if (progress != nullptr) {
        *progress += kLfcProgressLine;
    }

    // The positive area.
    parcel.sum = 0;
    parcel.parcelTheta = lfcTheta;
    parcel.environmentTheta = lfcTheta;
    if (s.lfcPressure > 1) {
        const int elLevel = passToEl(s, parcel);
        if (elLevel == -2) {
            return;  // the parcel passed 320 K
        }
        if (elLevel <= 0) {
            s.elPressure = 0;
        } else {
            refineEl(s, parcel, elLevel);
        }
    }
    if (progress != nullptr) {
        *progress += kElProgressLine;
    }

    const double u = s.meanWindU;
    const double v = s.meanWindV;
    if (s.cape > 1 && u * u + v * v > 0) {
        s.bulkRichardson = static_cast<float>(2 * double{s.cape} / (u * u + v * v));
    }
}

}  // namespace vivezeru5::straightforward
