#include "straightforward/lifting_condensation_level.h"

#include <cmath>

#include "straightforward/numerics.h"

namespace vivezeru5::straightforward {

float computeLclPressure(float temperature, float dewPoint, float pressure) {
    const double p = pressure;
    // Saturation vapour pressure at the dew point over water, Goff-Gratch.
    const double tdK = single(double{dewPoint} + kKelvinOffset);
    const double logTd = single(std::log10(tdK));
    const double first = single(std::pow(10.0, 11.344 - 0.0303998 * tdK));
    const double second = single(std::pow(10.0, 3.49149 - 1302.8844 / tdK));
    const double e = single(std::pow(
        10.0, 23.832241 - 5.02808 * logTd - 0.00000013813 * first + 0.0081328 * second - 2949.076 / tdK));
    const double w = single(622 * e / (p - e));  // g/kg, kept during the lift
    const double tK = single(double{temperature} + kKelvinOffset);
    const double theta = single(std::pow(1000 / p, 0.288) * tK);
    double q = p;
    for (int update = 0; update < 10; ++update) {
        // The dew point of the parcel's vapour pressure at q, against its dry
        // adiabat there.
        const double x = single(std::log10(w * q / (w + 622)));
        const double y = std::pow(10.0, 0.0915 * x) - 1.2035;
        const double dewPointAtQ = single(std::pow(10.0, 0.0498646455 * x + 2.4082965) - 280.23475 + 38.9114 * (y * y));
        const double temperatureAtQ = single(std::pow(q / 1000, 0.288) * theta - kKelvinOffset);
        const double d = single(0.02 * (dewPointAtQ - temperatureAtQ));
        if (std::fabs(d) < 0.01) {
            return static_cast<float>(q);
        }
        q = single(q * std::pow(2.0, d));
    }
    return static_cast<float>(q);
}

float lclTemperatureAt(float lclPressure, float temperature, float pressure) {
    const double theta = std::pow(1000 / double{pressure}, 0.288) * (double{temperature} + kKelvinOffset);
    return static_cast<float>(std::pow(double{lclPressure} / 1000, 0.288) * theta - kKelvinOffset);
}

}  // namespace vivezeru5::straightforward
