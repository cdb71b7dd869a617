#include "skewt_parcel_areas.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace vivezeru5::skewt {
namespace {

// Grid spacing in ln p: about 0.5 % of the pressure, some 450 samples from
// 1000 to 100 hPa.
constexpr double kLogStep = 0.005;

// The analysis looks for the equilibrium level only above this pressure.
constexpr double kEquilibriumSearchBelow = 500;

Point interpolate(const Point& a, const Point& b, double fraction) {
    return {a.x + fraction * (b.x - a.x), a.y + fraction * (b.y - a.y)};
}

}  // namespace

std::vector<ParcelSample> sampleParcel(const LiftedParcel& parcel, const Profile& profile,
                                       const std::vector<double>& marks) {
    const std::vector<ProfilePoint>& temperatures = profile.temperatures();
    if (temperatures.empty()) {
        return {};
    }
    const double bottom = temperatures.front().pressure;
    const double top = std::max(temperatures.back().pressure, DiagramFrame::kTopPressure);
    std::vector<double> pressures;
    for (double logPressure = std::log(bottom); logPressure > std::log(top); logPressure -= kLogStep) {
        pressures.push_back(std::exp(logPressure));
    }
    pressures.push_back(top);
    for (const ProfilePoint& level : temperatures) {
        pressures.push_back(level.pressure);
    }
    for (const double mark : marks) {
        pressures.push_back(mark);
    }
    std::sort(pressures.begin(), pressures.end(), std::greater<>());
    pressures.erase(std::unique(pressures.begin(), pressures.end()), pressures.end());

    std::vector<ParcelSample> samples;
    for (const double pressure : pressures) {
        if (pressure > bottom || pressure < top) {
            continue;
        }
        const std::optional<double> environment = profile.temperatureAt(pressure);
        if (environment) {
            samples.push_back({pressure, parcel.celsiusAt(pressure), *environment});
        }
    }
    return samples;
}

std::vector<std::vector<Point>> areasBetween(const std::vector<ParcelSample>& samples, double lowerPressure,
                                             double upperPressure, bool parcelWarmer) {
    std::vector<std::vector<Point>> areas;
    std::vector<Point> parcelSide;
    std::vector<Point> environmentSide;
    const auto excess = [&](const ParcelSample& s) {
        return parcelWarmer ? s.parcel - s.environment : s.environment - s.parcel;
    };
    const auto finishArea = [&] {
        if (parcelSide.size() >= 2) {
            std::vector<Point> outline = parcelSide;
            outline.insert(outline.end(), environmentSide.rbegin(), environmentSide.rend());
            areas.push_back(std::move(outline));
        }
        parcelSide.clear();
        environmentSide.clear();
    };
    const ParcelSample* previous = nullptr;
    for (const ParcelSample& sample : samples) {
        if (sample.pressure > lowerPressure || sample.pressure < upperPressure) {
            finishArea();
            previous = nullptr;
            continue;
        }
        const Point parcel = DiagramFrame::at(sample.parcel, sample.pressure);
        const Point environment = DiagramFrame::at(sample.environment, sample.pressure);
        const bool inside = excess(sample) > 0;
        if (previous != nullptr && (excess(*previous) > 0) != inside) {
            // The two curves cross between the samples: both outlines meet there.
            const double a = excess(*previous);
            const double fraction = a / (a - excess(sample));
            const Point crossing = interpolate(DiagramFrame::at(previous->parcel, previous->pressure), parcel, fraction);
            parcelSide.push_back(crossing);
            environmentSide.push_back(crossing);
            if (!inside) {
                finishArea();
            }
        }
        if (inside) {
            parcelSide.push_back(parcel);
            environmentSide.push_back(environment);
        }
        previous = &sample;
    }
    finishArea();
    return areas;
}

double positiveAreaTop(const std::vector<ParcelSample>& samples, double lfcPressure) {
    for (const ParcelSample& sample : samples) {
        if (sample.pressure < lfcPressure && sample.pressure < kEquilibriumSearchBelow &&
            sample.parcel < sample.environment) {
            return sample.pressure;
        }
    }
    return samples.empty() ? lfcPressure : samples.back().pressure;
}

}  // namespace vivezeru5::skewt
