/*
 * vivezeru5 — readers for the Velmor family of station data files.
 *
 * Four C functions, each taking the path of one data file and returning one
 * block of 32-bit floats allocated with malloc(), or NULL when the file cannot
 * be used. The block belongs to the caller, who releases it with free(); the
 * library never touches it again.
 *
 * Units everywhere: pressure hPa, height geopotential decametres (dam),
 * temperature and dew point degrees Celsius, wind direction degrees (the
 * direction the wind blows from), wind speed m/s. Every value a file does not
 * supply, and every float of a block that nothing writes, holds the missing
 * value -9999.0 (VIVEZERU5_MISSING); no returned float is ever uninitialised.
 * A value that is not a number (spelled "nan" in the file, or computed from
 * missing values) is always the positive quiet NaN, bits 0x7FC00000, on
 * every platform.
 *
 * Counts stored in a block are floats, exact up to 2^24 (16,777,216). A
 * sounding block larger than that (files of several megabytes) stores the
 * nearest float in element 0; when it rounds up, the block holds that many
 * more floats, all -9999.0, so that element 0 never promises more floats
 * than the block has.
 *
 * Failure: a reader returns NULL, and never throws, aborts or terminates the
 * host, when the file cannot be opened, its header is rejected or memory runs
 * out.
 *
 * Long tokens: a word or number longer than 1 MiB (1,048,576 characters)
 * ends the reading where it stands, as a malformed value would there: in the
 * file header the type-5 and surface readers return NULL; further on, the
 * block holds what was read before it (readRozeduData ends its station loop
 * there). A type-5 tag is rejected as soon as it passes 11 characters. Up to
 * the limit, every number converts exactly as the C library's "%f" or "%d"
 * converts it. So a device, a pipe or a damaged file whose word never ends
 * cannot keep a reader reading.
 *
 * Floating point: the caller's floating-point settings are neither used nor
 * changed. Each call saves them, computes in the environment the method is
 * defined in (round to nearest, every exception masked, flush-to-zero and
 * denormals-are-zero off; on x86 also the x87 control word 0x37F) and gives
 * them back on every path, the sticky exception flags exactly as the caller
 * had them. So a host that unmasks exceptions (Delphi programs run with
 * overflow, division by zero and invalid operation unmasked) is not
 * interrupted by the NaN and infinities the analysis computes from missing
 * values, a host that polls fetestexcept sees none of them, and another
 * rounding direction or flush-to-zero in the host changes no bit of a block.
 *
 * Threads: the library keeps no state outside a call; each call owns its
 * file, its station list and its block, so any number of threads may read at
 * the same time.
 *
 * Diagnostics: the three sounding readers write "Cannot open map data file.\n"
 * to standard error when the path cannot be opened. readVelmorData5 and
 * readRozeduData write, for every station whose lifted surface parcel reaches
 * a level of free convection, "New Method ... NegEngBLFC end\n" and then
 * (unless the parcel becomes implausibly warm, above 320 K) "New Method ... EL
 * end\n" to standard output through the C library's stdout.
 */
#ifndef VIVEZERU5_H
#define VIVEZERU5_H
#include "vivezeru5_version.h" /* VIVEZERU5_VERSION_MAJOR, _MINOR, _PATCH, _STRING */

#if defined(_WIN32)
#  if defined(VIVEZERU5_BUILDING)
     /* vivezeru5.def names the exports: the objects, which the companion
      * library is built from too, mark none. */
#    define VIVEZERU5_API
#  else
#    define VIVEZERU5_API __declspec(dllimport)
#  endif
#  define VIVEZERU5_CALL __cdecl
#else
#  define VIVEZERU5_API __attribute__((visibility("default")))
#  define VIVEZERU5_CALL
#endif

/* The missing value: absent data, unwritten slots and the type-5 terminator. */
#define VIVEZERU5_MISSING (-9999.0f)

/* Number of derived values appended to each station by the analysing readers. */
#define VIVEZERU5_DERIVED_COUNT 19

/*
 * The derived values of an analysed station, by their place after its levels
 * (0 to 18; the header comments below number them 1 to 19).
 */
enum vivezeru5_derived_slot {
    VIVEZERU5_FREEZING_HEIGHT = 0,     /* dam */
    VIVEZERU5_FREEZING_PRESSURE = 1,   /* hPa */
    VIVEZERU5_K_INDEX = 2,             /* degrees C */
    VIVEZERU5_TOTAL_TOTALS = 3,        /* degrees C */
    VIVEZERU5_SWEAT_INDEX = 4,         /* dimensionless */
    VIVEZERU5_SHOWALTER_INDEX = 5,     /* K */
    VIVEZERU5_LCL_PRESSURE = 6,        /* hPa */
    VIVEZERU5_LCL_TEMPERATURE = 7,     /* degrees C */
    VIVEZERU5_LCL_HEIGHT = 8,          /* dam */
    VIVEZERU5_MEAN_WIND_DIRECTION = 9, /* degrees, from */
    VIVEZERU5_MEAN_WIND_SPEED = 10,    /* m/s */
    VIVEZERU5_LIFTED_INDEX = 11,       /* K, surface parcel */
    VIVEZERU5_LFC_PRESSURE = 12,       /* hPa */
    VIVEZERU5_LFC_TEMPERATURE = 13,    /* degrees C, the environment's */
    VIVEZERU5_LFC_HEIGHT = 14,         /* dam */
    VIVEZERU5_EL_PRESSURE = 15,        /* hPa */
    VIVEZERU5_CAPE = 16,               /* J/kg */
    VIVEZERU5_CIN = 17,                /* J/kg */
    VIVEZERU5_BULK_RICHARDSON = 18     /* dimensionless */
};

/* Stride of one station in a surface block. */
#define VIVEZERU5_SURFACE_STRIDE 26

#ifdef __cplusplus
extern "C" {
#endif

/*
 * readVelmorData5 — type-5 upper-air sounding file, analysed.
 *
 * Input (whitespace-separated tokens):
 *   tag ("diamond" or "March", exactly), data type (5), one-word description;
 *   year month day hour stationCount   (a year below 100 gets 2000 added);
 *   per station: id lon lat elevation valueCount, then valueCount/6 level
 *   groups of six integers: pressure height temperature dewPoint direction speed.
 *
 * Block layout (floats):
 *   [0]  index of the terminator when every declared station is complete and
 *        every value count is a multiple of six; in general
 *        5*declared + 5 + (sum of value counts read) + 19*stationsRead + 1.
 *        The block holds element[0] + 1 floats.
 *   [1..4] year, month, day, hour;  [5] stations read.
 *   Then per station: id, lon, lat, elevation, levelCount, levelCount*6 level
 *   values, and the 19 derived values:
 *      1 freezing height (dam)        2 freezing pressure (hPa)
 *      3 K index (°C)                 4 total totals (°C)
 *      5 SWEAT index                  6 Showalter index (K)
 *      7 LCL pressure (hPa)           8 LCL temperature (°C)
 *      9 LCL height (dam)            10 mean wind direction (deg, from)
 *     11 mean wind speed (m/s)       12 surface lifted index (K)
 *     13 LFC pressure (hPa)          14 LFC temperature (°C)
 *     15 LFC height (dam)            16 equilibrium level pressure (hPa)
 *     17 CAPE (J/kg)                 18 CIN (J/kg)
 *     19 bulk Richardson number
 *   A derived value the analysis does not reach is 0. Missing data are not
 *   screened out: a sounding without an 850, 700 or 500 hPa level has the
 *   missing value -9999 enter the index formulas as a number (K index,
 *   total totals, SWEAT, Showalter and lifted index then carry no meaning,
 *   the Showalter index is NaN without an 850 hPa level), and NaN results
 *   are packed as they come.
 *   Then the terminator -9999.0; any floats after it are -9999.0 as well.
 *
 * Returns NULL when the file cannot be opened (with the message on stderr),
 * when the tag, data type, date line or station count (1 to 1,000,000) is
 * rejected, or when memory runs out. A station header that does not convert,
 * or that declares a negative value count or more than 1,000,000 levels, ends
 * the reading: the block holds the stations completed before it.
 */
VIVEZERU5_API float *VIVEZERU5_CALL readVelmorData5(const char *path);

/*
 * readRozeduData — characteristic-level sounding file, analysed.
 *
 * Input: no header; per station: unused integer, id, latitude, longitude,
 * levelCount; then levelCount groups of seven numbers: pressure, unused value,
 * height, temperature, dewPoint, direction, speed. Stations are read until a
 * station line does not convert (or declares a negative level count or more
 * than 1,000,000 levels).
 *
 * Block layout (floats):
 *   [0]  6 + sum over stations of (5 + 6*levelCount + 19): the number of floats
 *        before the terminator, which stands at index element[0]. The block
 *        holds element[0] + 1 floats.
 *   [1..4] -9999.0 (the format carries no date);  [5] stations read.
 *   Then per station: id, lon, lat, elevation (always 0), levelCount, the
 *   levels, and the 19 derived values as for readVelmorData5 (a station of
 *   no levels is not analysed and carries 19 zeros); then -9999.0.
 *
 * Returns NULL only when the file cannot be opened (message on stderr) or
 * memory runs out; an empty file gives a 7-float block with [0] = 6, [5] = 0.
 */
VIVEZERU5_API float *VIVEZERU5_CALL readRozeduData(const char *path);

/*
 * readVelmor5Only — type-5 sounding file, levels as real numbers, no analysis.
 *
 * Input: as readVelmorData5, but the six level values are read as decimals.
 *
 * Block layout (floats):
 *   [0]  5*declared + 7 + sum of the value counts read: the number of floats
 *        in the block; with every declared station complete and value counts
 *        multiples of six, the terminator stands at index element[0] - 1.
 *   [1..4] year, month, day, hour;  [5] stations read.
 *   Then per station: id, lon, lat, elevation, levelCount, the levels; then
 *   -9999.0, and -9999.0 in any float after it.
 *
 * Returns NULL under the same conditions as readVelmorData5. Writes nothing to
 * standard output.
 */
VIVEZERU5_API float *VIVEZERU5_CALL readVelmor5Only(const char *path);

/*
 * ReadVelmorData1 — type-1 surface station file.
 *
 * Input: tag, data type, description (any words, not examined), year month day
 * hour stationCount; per station 24 numbers, then two more when value 23 is 1
 * and value 24 is 2.
 *
 * Block layout (floats), 5 + 26*stationCount of them:
 *   [0..3] year (as written, no century correction), month, day, hour;
 *   [4] stations with values: the declared count, or the number of complete
 *       stations when the file ends early;
 *   [5 + 26k .. 30 + 26k] station k: values 1 to 26. Values 25 and 26 are
 *   -9999.0 unless the station carries the optional pair, and every entry at
 *   or beyond element [4] is -9999.0.
 *
 * Returns NULL, silently, when the file cannot be opened, the header does not
 * convert eight values, the declared count is negative or above 1,000,000,
 * the first station is incomplete, or memory runs out.
 */
VIVEZERU5_API float *VIVEZERU5_CALL ReadVelmorData1(const char *path);

#ifdef __cplusplus
}
#endif

#endif /* VIVEZERU5_H */
