#include "analysis/lifted_indices.h"

#include "analysis/double_maths.h"
#include "analysis/precision.h"

namespace vivezeru5 {
namespace {

// How the lifted-parcel computation treats degenerate inputs.
enum class ParcelGuards { Tested, Untested };

float liftParcelTo500(float dewPoint, float temperature, float pressure, float t500,
                      ParcelGuards guards) {
    const bool tested = guards == ParcelGuards::Tested;
    const double p = pressure;
    const float dewPointK = roundToFloat(dewPoint + static_cast<double>(kKelvinOffset));
    const float temperatureK = roundToFloat(temperature + static_cast<double>(kKelvinOffset));
    const float t500K = roundToFloat(t500 + static_cast<double>(kKelvinOffset));
    const float vaporAtDewPoint = saturationVaporPressure(dewPointK);
    const float vaporSaturated = saturationVaporPressure(temperatureK);

    const float saturationRatio = roundToFloat(0.62198 * vaporSaturated / (p - vaporSaturated));
    if (tested && (saturationRatio == 0 || temperatureK == 0 || pressure == 0)) {
        return 0;
    }
    const float mixingRatio = roundToFloat(0.62198 * vaporAtDewPoint / (p - vaporAtDewPoint));
    const float relativeHumidity = roundToFloat(static_cast<double>(mixingRatio) / saturationRatio);
    const double tk = temperatureK;
    const float vaporTerm =
        roundToFloat(relativeHumidity * maths::exp(22.05565 - 0.009137024 * tk - 6106.396 / tk));
    if (tested && vaporTerm <= 0) {
        return 0;
    }
    const double tdk = dewPointK;
    const float condensationK =
        roundToFloat(tdk - (41.178204 / tk - 0.37329638 + 0.0015945203 * tdk) * (tk - tdk));
    const float condensationPressure =
        roundToFloat(p * maths::pow(static_cast<double>(condensationK) / tk, 3.49825));
    if (condensationPressure <= 500) {
        return roundToFloat(t500K - tk * maths::pow(500 / p, 0.286));
    }
    const double m = roundToFloat(vaporTerm / (p - vaporTerm));
    const double pl = condensationPressure;
    const double lapseRate =
        (20.746475 * m + 0.1419709) - 6672.5713 * m / condensationK - 0.000036336427 * pl;
    return roundToFloat((pl - 500) * lapseRate + (static_cast<double>(t500K) - condensationK));
}

}  // namespace

float saturationVaporPressure(float temperature) {
    const double t = temperature > 120
                         ? static_cast<double>(roundToFloat(temperature - static_cast<double>(kKelvinOffset)))
                         : static_cast<double>(temperature);
    const bool overWater = t + kKelvinOffset >= 263;
    const double a = overWater ? 7.63f : 9.5f;
    const double b = overWater ? 241.9f : 265.5f;
    return roundToFloat(6.11 * maths::pow(10.0, a * t / (t + b)));
}

float computeLiftedIndex(float dewPoint, float temperature, float pressure, float t500) {
    return liftParcelTo500(dewPoint, temperature, pressure, t500, ParcelGuards::Tested);
}

float computeShowalter(float dewPoint, float temperature, float pressure, float t500) {
    return liftParcelTo500(dewPoint, temperature, pressure, t500, ParcelGuards::Untested);
}

}  // namespace vivezeru5
