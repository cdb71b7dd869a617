/*
 * vivezeru5_reading — the companion library of vivezeru5: the same readers
 * and the same analysis, with what a host needs beyond the four blocks.
 *
 *   - read a file in a named or recognised format, with no output;
 *   - the block exactly as the matching reader of vivezeru5.h returns it;
 *   - the reading report: stations declared and read, per station the level
 *     values declared and converted, where and why the reading stopped, and
 *     each problem as one sentence;
 *   - per derived value, the outcome the analysis reached (computed, not
 *     reached, computed from a missing level, ...) and its flag;
 *   - the lifted parcel as the analysis lifts it, and the lines of a
 *     thermodynamic diagram drawn with the analysis's formulas;
 *   - format recognition, a release function for hosts without a C free(),
 *     and the version.
 *
 * Every function is safe to call from several threads at once. None throws,
 * aborts, terminates the host or writes anything unless asked to (see
 * VIVEZERU5_PROGRESS_TO_STDOUT). Like the readers, each function computes
 * in the method's own floating-point environment and gives the caller's
 * settings back unchanged, exception flags included.
 *
 * Units are those of vivezeru5.h: hPa, geopotential decametres, degrees
 * Celsius (kelvin where a name says so), degrees, m/s, J/kg.
 */
#ifndef VIVEZERU5_READING_H
#define VIVEZERU5_READING_H

#include <stddef.h>
#include <stdint.h>

#include "vivezeru5/vivezeru5.h"

#if defined(_WIN32)
#  if defined(VIVEZERU5_BUILDING)
#    define VIVEZERU5_READING_API __declspec(dllexport)
#  else
#    define VIVEZERU5_READING_API __declspec(dllimport)
#  endif
#else
#  define VIVEZERU5_READING_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Formats ---------------------------------------------------------- */

/* The four file formats, each read by one reader of vivezeru5.h. */
enum vivezeru5_format {
    VIVEZERU5_FORMAT_TYPE5 = 1,       /* "type5": readVelmorData5, analysed */
    VIVEZERU5_FORMAT_TYPE5_PLAIN = 2, /* "type5-plain": readVelmor5Only */
    VIVEZERU5_FORMAT_ROZEDU = 3,      /* "rozedu": readRozeduData, analysed */
    VIVEZERU5_FORMAT_SURFACE = 4      /* "surface": ReadVelmorData1 */
};

/* The short name of a format ("type5", "type5-plain", "rozedu", "surface"),
 * or NULL for a number that names none. */
VIVEZERU5_READING_API const char *vivezeru5_format_name(int format);

/* The name of the reader of vivezeru5.h that reads the format, or NULL. */
VIVEZERU5_READING_API const char *vivezeru5_format_reader(int format);

/* The format of a short name, or 0 when the name is none of the four. */
VIVEZERU5_READING_API int vivezeru5_format_named(const char *name);

/* Whether blocks of the format carry the 19 derived values (1 or 0). */
VIVEZERU5_READING_API int vivezeru5_format_analysed(int format);

/* Outcome of recognising, and of reading, a file. */
enum vivezeru5_status {
    VIVEZERU5_READ = 0,         /* read; the block is there */
    VIVEZERU5_CANNOT_OPEN = 1,  /* the file cannot be opened or read (see the errno) */
    VIVEZERU5_UNRECOGNISED = 2, /* no format given and none recognised */
    VIVEZERU5_REJECTED = 3,     /* the reader returned NULL: header rejected or memory ran out */
    VIVEZERU5_NO_MEMORY = 4     /* memory ran out */
};

/*
 * Recognises the format of the file at `path` from its first tokens:
 *   an integer first                           -> rozedu;
 *   a word, then data type 5                   -> type5, or type5-plain when a
 *                                                 level value of the first station
 *                                                 with levels has decimals;
 *   a word, then data type 1                   -> surface.
 * Reads no further than the readers do (a word longer than 1 MiB ends it).
 * Returns a vivezeru5_status (VIVEZERU5_READ when recognised); stores the
 * format in *format and, for VIVEZERU5_CANNOT_OPEN, the errno in
 * *open_error (either pointer may be NULL).
 */
VIVEZERU5_READING_API int vivezeru5_recognise(const char *path, int *format, int *open_error);

/* ---- Reading ---------------------------------------------------------- */

typedef struct vivezeru5_reading vivezeru5_reading;

/* Flags of vivezeru5_read. */
#define VIVEZERU5_PROGRESS_TO_STDOUT 1u /* write the analysis's progress lines to
                                         * the C library's stdout, as the readers do */

/*
 * Reads `path` with the reader of `format`, or of the recognised format when
 * `format` is 0. Without VIVEZERU5_PROGRESS_TO_STDOUT nothing is written
 * anywhere (the readers' "Cannot open map data file." and progress lines
 * included). Returns the reading, to be released with
 * vivezeru5_reading_free, or NULL only when memory runs out.
 */
VIVEZERU5_READING_API vivezeru5_reading *vivezeru5_read(const char *path, int format, unsigned flags);

/* A function that receives each progress line ("New Method ... NegEngBLFC
 * end\n", "New Method ... EL end\n") with the caller's context. */
typedef void (*vivezeru5_progress_sink)(const char *line, void *context);

/* As vivezeru5_read, the progress lines going to `sink` (nowhere when NULL). */
VIVEZERU5_READING_API vivezeru5_reading *vivezeru5_read_with_progress(const char *path, int format,
                                                                     vivezeru5_progress_sink sink, void *context);

VIVEZERU5_READING_API void vivezeru5_reading_free(vivezeru5_reading *reading);

/* A vivezeru5_status; the errno of VIVEZERU5_CANNOT_OPEN; the format read (0
 * when none was recognised). */
VIVEZERU5_READING_API int vivezeru5_reading_status(const vivezeru5_reading *reading);
VIVEZERU5_READING_API int vivezeru5_reading_open_error(const vivezeru5_reading *reading);
VIVEZERU5_READING_API int vivezeru5_reading_format(const vivezeru5_reading *reading);

/*
 * The block, float for float what the format's reader of vivezeru5.h returns
 * for the file, and in *length the number of floats it holds (the layouts of
 * vivezeru5.h; for a surface block 5 + 26 times the declared count). NULL
 * when the status is not VIVEZERU5_READ. It stays the reading's.
 */
VIVEZERU5_READING_API const float *vivezeru5_reading_block(const vivezeru5_reading *reading, size_t *length);

/* Hands the block over: the caller releases it with vivezeru5_free_block (or
 * the C runtime's free). The reading no longer has it. */
VIVEZERU5_READING_API float *vivezeru5_reading_take_block(vivezeru5_reading *reading);

/* Releases a block of this library or of vivezeru5.h's readers with the C
 * runtime they allocate with: for hosts without a C free (C#, Delphi). */
VIVEZERU5_READING_API void vivezeru5_free_block(float *block);

/* ---- The reading report ----------------------------------------------- */

/* Why the reading stopped. */
enum vivezeru5_end {
    VIVEZERU5_END_COMPLETE = 0,     /* every declared station read; for rozedu, the end of the input */
    VIVEZERU5_END_OF_INPUT = 1,     /* the input ended before what the file declares */
    VIVEZERU5_END_NOT_CONVERTED = 2,/* a value did not convert */
    VIVEZERU5_END_LONG_TOKEN = 3,   /* a word or number longer than 1 MiB */
    VIVEZERU5_END_LIMIT = 4         /* a station count or level count outside the working limits */
};

/* Stations the file declares (-1 for rozedu files, which declare none) and
 * stations read, as the block's header gives them. */
VIVEZERU5_READING_API int64_t vivezeru5_reading_stations_declared(const vivezeru5_reading *reading);
VIVEZERU5_READING_API int64_t vivezeru5_reading_stations_read(const vivezeru5_reading *reading);

/* The year of the file's date line as the file writes it (the type-5 readers
 * store a year below 100 with 2000 added; the surface reader stores it as
 * written), in *year; 0 when the format has no date (rozedu) or no block was
 * read, 1 otherwise. */
VIVEZERU5_READING_API int vivezeru5_reading_year_as_written(const vivezeru5_reading *reading, int *year);

/* A vivezeru5_end; and, when text was left unread, its line (from 1) and
 * its first word (at most 40 characters, bytes other than printable ASCII
 * written as \xNN, "..." after a word that was cut); 0 and "" otherwise. */
VIVEZERU5_READING_API int vivezeru5_reading_end(const vivezeru5_reading *reading, int64_t *line,
                                                const char **unread);

/* Per sounding station in block order: its id, and the level values its
 * header declares and the reader converted (type-5: the value count; rozedu:
 * 7 times the level count). 0 when the index is out of range. */
VIVEZERU5_READING_API size_t vivezeru5_reading_station_count(const vivezeru5_reading *reading);
VIVEZERU5_READING_API int vivezeru5_reading_station_values(const vivezeru5_reading *reading, size_t station,
                                                           int64_t *declared, int64_t *converted);

/* The problems of the reading, one sentence each without a file name, in
 * file order, e.g. "station 72558: 402 level values declared, 65 converted",
 * "declares 18 stations, 3 read", "unread text after station 72357, from
 * line 171: \"72327x\"". Empty when the file was read whole. */
VIVEZERU5_READING_API size_t vivezeru5_reading_problem_count(const vivezeru5_reading *reading);
VIVEZERU5_READING_API const char *vivezeru5_reading_problem(const vivezeru5_reading *reading, size_t index);

/* The height (dam) that marks a missing height in a sounding's levels: 9999.
 * The blocks keep it; a tool shows it as it shows the missing value. */
VIVEZERU5_READING_API float vivezeru5_missing_height(void);

/* ---- Outcomes of the derived values ----------------------------------- */

/* What the analysis reached for one derived value; the first that applies. */
enum vivezeru5_outcome {
    VIVEZERU5_COMPUTED = 0,         /* a value, no flag */
    VIVEZERU5_MISSING_LEVEL = 1,    /* "missing_level": computed from an 850, 700 or 500 hPa value the
                                     * sounding does not have, or from a surface value of -9999 */
    VIVEZERU5_NOT_A_NUMBER = 2,     /* "nan" */
    VIVEZERU5_NOT_REACHED = 3,      /* "not_reached": 0 because the analysis ended before it or it does
                                     * not apply (no freezing level, surface at or above 900 hPa for K,
                                     * total totals and SWEAT, no LCL height, no LFC, no EL) */
    VIVEZERU5_NO_LFC = 4,           /* "no_lfc": CIN summed over every level above the LCL, for want of an LFC */
    VIVEZERU5_EL_NOT_FOUND = 5,     /* "el_not_found": CAPE accumulated without an equilibrium level, and
                                     * the bulk Richardson number formed from it */
    VIVEZERU5_PARCEL_DISAGREES = 6  /* "parcel_disagrees": the one-step lifted or Showalter index has
                                     * the other sign than its parcel lifted along the moist adiabat */
};

/* The outcome of derived slot `slot` (enum vivezeru5_derived_slot) of
 * sounding station `station`; VIVEZERU5_NOT_REACHED for a station of no
 * levels, -1 when the format is not analysed or an index is out of range. */
VIVEZERU5_READING_API int vivezeru5_reading_outcome(const vivezeru5_reading *reading, size_t station, int slot);

/* The 19 outcomes of sounding station `station` in slot order, into
 * outcomes[0..18]; 1, or 0 (nothing written) when the format is not analysed
 * or the index is out of range. */
VIVEZERU5_READING_API int vivezeru5_reading_outcomes(const vivezeru5_reading *reading, size_t station,
                                                     int outcomes[VIVEZERU5_DERIVED_COUNT]);

/* The flag of an outcome ("" for VIVEZERU5_COMPUTED), a sentence saying why,
 * and whether the value then means nothing (1: missing_level, nan,
 * not_reached) or is a real value with a caveat (0). */
VIVEZERU5_READING_API const char *vivezeru5_outcome_flag(int outcome);
VIVEZERU5_READING_API const char *vivezeru5_outcome_reason(int outcome);
VIVEZERU5_READING_API int vivezeru5_outcome_meaningless(int outcome);

/* ---- The lifted parcel and a diagram's lines -------------------------- */

/* The surface parcel of sounding station `station` lifted to `pressure`
 * (°C): on its dry adiabat (exponent 0.288) at and below its LCL, on the
 * moist adiabat of its equivalent potential temperature above, exactly as
 * the parcel energy lifts it. NaN when the station has no analysis. */
VIVEZERU5_READING_API double vivezeru5_reading_parcel_celsius(const vivezeru5_reading *reading, size_t station,
                                                              double pressure);

/* The same for a parcel given by its surface pressure and temperature and
 * its LCL (as a block's derived slots 7 and 8 give it). */
VIVEZERU5_READING_API double vivezeru5_lifted_parcel_celsius(float surface_pressure, float surface_celsius,
                                                             float lcl_pressure, float lcl_celsius,
                                                             double pressure);

/* Temperature (°C) at `pressure` on the dry adiabat of potential
 * temperature `theta_kelvin`, exponent 0.288; and the potential temperature
 * of air at `celsius` and `pressure`. */
VIVEZERU5_READING_API double vivezeru5_dry_adiabat_celsius(double theta_kelvin, double pressure);
VIVEZERU5_READING_API double vivezeru5_potential_temperature(double celsius, double pressure);

/* Temperature (°C) at which air at `pressure` is saturated with
 * `grams_per_kilogram` of vapour, by the analysis's saturation formula. */
VIVEZERU5_READING_API double vivezeru5_saturation_celsius(double grams_per_kilogram, double pressure);

/* Equivalent potential temperature (K) of air saturated at `celsius` and
 * `pressure`, and the temperature (°C) on the moist adiabat `theta_e` at
 * `pressure`, found by the analysis's twelve-try bisection. */
VIVEZERU5_READING_API double vivezeru5_saturated_theta_e(double celsius, double pressure);
VIVEZERU5_READING_API double vivezeru5_moist_adiabat_celsius(double theta_e, double pressure);

/* ---- Version ---------------------------------------------------------- */

/* The library's version, "MAJOR.MINOR.PATCH", and its parts. */
VIVEZERU5_READING_API const char *vivezeru5_version_string(void);
VIVEZERU5_READING_API int vivezeru5_version_major(void);
VIVEZERU5_READING_API int vivezeru5_version_minor(void);
VIVEZERU5_READING_API int vivezeru5_version_patch(void);

#ifdef __cplusplus
}
#endif

#endif /* VIVEZERU5_READING_H */
