/*
 * A host application as the library's users write them: it loads the library
 * at run time, finds the four readers by name, calls each one on every file
 * named on the command line, writes each block and releases it with its own
 * free().
 *
 *   vivezeru5_host [OPTIONS] LIBRARY FILE...
 *     --x87-control-word HEX   call the readers with this x87 control word
 *                              (0x27f: 53-bit precision; 0x1332: a Delphi
 *                              program's, overflow, division by zero and
 *                              invalid operation unmasked)
 *     --mxcsr HEX              call the readers with this SSE control and
 *                              status register (0x1900: a Delphi program's)
 *     --traps                  unmask invalid operation, division by zero and
 *                              overflow, as feenableexcept or _controlfp_s do
 *     --rounding upward|downward|towardzero
 *                              call the readers in this rounding direction
 *     --ftz-daz                flush-to-zero and denormals-are-zero on
 *     --sticky-flags           inexact and underflow raised before each call
 *     --hex-output PATH        write the blocks to PATH instead, the bits of
 *                              each float as eight hexadecimal digits a line
 *                              (what the Delphi-mode host writes)
 *     --locale NAME            call the readers with this locale set (it must
 *                              have a decimal comma); blocks are still
 *                              written in the "C" locale
 *     --cycles N               instead: N times load the library, call
 *                              readVelmor5Only on the first file, free the
 *                              block and unload the library
 *     --companion LIBRARY      instead: read every file with every reader and
 *                              with the companion library in the same format,
 *                              and compare the blocks bit for bit; a summary
 *                              line on stdout
 *     --compare-settings       instead: call every reader on every file in
 *                              the host's own floating-point settings and in
 *                              each of the settings above, and compare the
 *                              blocks bit for bit; a summary line on stdout
 *
 * The floating-point options hold for the calls only; the blocks are written
 * in the host's own settings. After every call the host checks that the
 * library gave its settings back: the SSE register whole, the x87 control
 * word and the x87 exception flags, or it says so on stderr and exits 1.
 *
 * Standard output: for each file and reader a line "READER FILE: COUNT
 * floats" (or ": NULL"), then the floats, one a line, with %.9g (NaN and
 * infinity spelled out with their bits, which printf spells differently from
 * one C runtime to another). Standard error: a line "READER FILE" before each
 * call, so that what the library writes there falls in between.
 * Exit status 0; 1 when the library or a reader cannot be found, a call
 * changed the host's floating-point settings, or (--compare-settings) a
 * block differs.
 *
 * Built with VIVEZERU5_HOST_LINKED defined, the host is linked against the
 * library instead (an import library such as vivezeru5.lib on Windows) and
 * calls the readers it declares in vivezeru5/vivezeru5.h; LIBRARY is then
 * only named, and "loading" and "unloading" do nothing.
 */
#if defined(_WIN32)
#  include <windows.h>
#else
#  include <dlfcn.h>
#endif
#include <locale.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef float *(
#if defined(_WIN32)
    __cdecl
#endif
        *reader_function)(const char *path);

enum block_length_rule {
    TERMINATOR_INDEX, /* element 0 is the index of the terminator */
    FLOAT_COUNT,      /* element 0 is the number of floats */
    SURFACE_STATIONS  /* 5 + 26 floats per station of element 4 */
};

struct reader {
    const char *name;
    enum block_length_rule length_rule;
    int format; /* the companion library's number of the reader's format */
    reader_function function;
};

static struct reader readers[] = {
    {"readVelmorData5", TERMINATOR_INDEX, 1, NULL},
    {"readRozeduData", TERMINATOR_INDEX, 3, NULL},
    {"readVelmor5Only", FLOAT_COUNT, 2, NULL},
    {"ReadVelmorData1", SURFACE_STATIONS, 4, NULL},
};
enum { READER_COUNT = sizeof readers / sizeof readers[0] };

#if defined(VIVEZERU5_HOST_LINKED)
#  include <vivezeru5/vivezeru5.h>
typedef const char *library_handle;
static library_handle load_library(const char *path) { return path; }
static reader_function find_function(library_handle library, const char *name) {
    const struct { const char *name; reader_function function; } linked[] = {
        {"readVelmorData5", readVelmorData5}, {"readRozeduData", readRozeduData},
        {"readVelmor5Only", readVelmor5Only}, {"ReadVelmorData1", ReadVelmorData1}};
    (void)library;
    for (size_t i = 0; i < sizeof linked / sizeof linked[0]; ++i) {
        if (strcmp(name, linked[i].name) == 0) {
            return linked[i].function;
        }
    }
    return NULL;
}
static void unload_library(library_handle library) { (void)library; }
#elif defined(_WIN32)
typedef HMODULE library_handle;
static library_handle load_library(const char *path) { return LoadLibraryA(path); }
static reader_function find_function(library_handle library, const char *name) {
    FARPROC address = GetProcAddress(library, name);
    reader_function function;
    memcpy(&function, &address, sizeof function);
    return function;
}
static void unload_library(library_handle library) { FreeLibrary(library); }
#else
typedef void *library_handle;
static library_handle load_library(const char *path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }
static reader_function find_function(library_handle library, const char *name) {
    void *address = dlsym(library, name);
    reader_function function;
    memcpy(&function, &address, sizeof function);
    return function;
}
static void unload_library(library_handle library) { dlclose(library); }
#endif

static int find_readers(library_handle library) {
    for (int i = 0; i < READER_COUNT; ++i) {
        readers[i].function = find_function(library, readers[i].name);
        if (readers[i].function == NULL) {
            fprintf(stderr, "host: the library has no %s\n", readers[i].name);
            return 0;
        }
    }
    return 1;
}

/* The floating-point settings of a call: the SSE register and the x87
 * control word. */
struct fp_setting {
    const char *name;
    unsigned int mxcsr;
    unsigned short x87_control;
};

/* What a call must leave as it found: the SSE register, the x87 control word
 * and the x87 exception flags. */
struct fp_state {
    unsigned int mxcsr;
    unsigned short x87_control;
    unsigned short x87_flags;
};

enum {
    MXCSR_FLAGS = 0x3f, MXCSR_INEXACT_UNDERFLOW = 0x30, MXCSR_TRAPS = 0x80 | 0x200 | 0x400,
    MXCSR_ROUNDING = 0x6000, MXCSR_FTZ_DAZ = 0x8040,
    X87_TRAPS = 0x01 | 0x04 | 0x08, X87_ROUNDING = 0xc00
};

#if defined(__i386__) || defined(__x86_64__)
static struct fp_state read_fp_state(void) {
    struct fp_state state;
    unsigned short status;
    __asm__ volatile("stmxcsr %0" : "=m"(state.mxcsr));
    __asm__ volatile("fnstcw %0" : "=m"(state.x87_control));
    __asm__ volatile("fnstsw %0" : "=m"(status));
    state.x87_flags = status & 0x3f;
    return state;
}
static void load_fp_setting(const struct fp_setting *setting) {
    __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(setting->x87_control));
    __asm__ volatile("ldmxcsr %0" : : "m"(setting->mxcsr));
}
#else
static struct fp_state read_fp_state(void) {
    struct fp_state state = {0, 0, 0};
    return state;
}
static void load_fp_setting(const struct fp_setting *setting) { (void)setting; }
#endif

static int same_fp_state(struct fp_state a, struct fp_state b) {
    return a.mxcsr == b.mxcsr && a.x87_control == b.x87_control && a.x87_flags == b.x87_flags;
}

/* The settings the host was started in, and those of the calls. */
static struct fp_setting host_setting;
static struct fp_setting call_setting;
static int fp_state_changed = 0;

/* Rounding direction bits of both units, by name. */
static int rounding_bits(const char *name, unsigned int *mxcsr, unsigned short *x87) {
    static const struct { const char *name; unsigned int mxcsr; unsigned short x87; } directions[] = {
        {"upward", 0x4000, 0x800}, {"downward", 0x2000, 0x400}, {"towardzero", 0x6000, 0xc00}};
    for (size_t i = 0; i < sizeof directions / sizeof directions[0]; ++i) {
        if (strcmp(name, directions[i].name) == 0) {
            *mxcsr = directions[i].mxcsr;
            *x87 = directions[i].x87;
            return 1;
        }
    }
    return 0;
}

/* One reader call in `setting`, checking that the host's state comes back. */
static float *call_reader(const struct reader *reader, const char *path, const struct fp_setting *setting) {
    load_fp_setting(setting);
    struct fp_state before = read_fp_state();
    float *block = reader->function(path);
    struct fp_state after = read_fp_state();
    load_fp_setting(&host_setting);
    if (!same_fp_state(before, after)) {
        fprintf(stderr,
                "host: %s %s in %s changed the floating-point settings: MXCSR 0x%04x -> 0x%04x, "
                "x87 control 0x%04x -> 0x%04x, x87 flags 0x%02x -> 0x%02x\n",
                reader->name, path, setting->name, before.mxcsr, after.mxcsr, before.x87_control,
                after.x87_control, before.x87_flags, after.x87_flags);
        fp_state_changed = 1;
    }
    return block;
}

/* The number of floats the block holds, from its own header. */
static long block_length(const float *block, enum block_length_rule rule) {
    double length = 0.0;
    switch (rule) {
    case TERMINATOR_INDEX: length = (double)block[0] + 1.0; break;
    case FLOAT_COUNT: length = (double)block[0]; break;
    case SURFACE_STATIONS: length = 5.0 + 26.0 * (double)block[4]; break;
    }
    if (!(length >= 1.0 && length <= 1e8)) {
        return -1;
    }
    return (long)length;
}

static void write_float(float value) {
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    if (isnan(value)) {
        printf("nan 0x%08lx\n", (unsigned long)bits);
    } else if (isinf(value)) {
        printf("%sinf\n", value < 0 ? "-" : "");
    } else {
        printf("%.9g\n", (double)value);
    }
}

/* Where the blocks go instead of stdout, as bits, with --hex-output. */
static FILE *hex_output = NULL;

static void write_block(const char *reader, const char *path, const float *block,
                        enum block_length_rule rule) {
    FILE *output = hex_output != NULL ? hex_output : stdout;
    if (block == NULL) {
        fprintf(output, "%s %s: NULL\n", reader, path);
        return;
    }
    long length = block_length(block, rule);
    if (length < 0) {
        fprintf(output, "%s %s: header gives no usable length\n", reader, path);
        return;
    }
    fprintf(output, "%s %s: %ld floats\n", reader, path, length);
    for (long i = 0; i < length; ++i) {
        if (hex_output != NULL) {
            uint32_t bits;
            memcpy(&bits, &block[i], sizeof bits);
            fprintf(hex_output, "%08lX\n", (unsigned long)bits);
        } else {
            write_float(block[i]);
        }
    }
}

/* Loads the library and finds its readers; NULL, said on stderr, if either fails. */
static library_handle open_library(const char *library_path) {
    library_handle library = load_library(library_path);
    if (library == NULL) {
        fprintf(stderr, "host: cannot load %s\n", library_path);
        return NULL;
    }
    if (!find_readers(library)) {
        unload_library(library);
        return NULL;
    }
    return library;
}

static int read_all(const char *library_path, char **paths, int path_count, const char *locale) {
    library_handle library = open_library(library_path);
    if (library == NULL) {
        return 1;
    }
    for (int p = 0; p < path_count; ++p) {
        for (int r = 0; r < READER_COUNT; ++r) {
            fprintf(stderr, "%s %s\n", readers[r].name, paths[p]);
            fflush(stdout);
            if (locale != NULL) {
                setlocale(LC_ALL, locale);
            }
            float *block = call_reader(&readers[r], paths[p], &call_setting);
            setlocale(LC_ALL, "C");
            write_block(readers[r].name, paths[p], block, readers[r].length_rule);
            free(block);
        }
    }
    fflush(stdout);
    unload_library(library);
    return fp_state_changed;
}

/* Says where `block` differs from `reference`, both of `reader`; 0 if nowhere. */
static int compare_blocks(const struct reader *reader, const char *path, const char *setting,
                          const float *reference, const float *block) {
    if (reference == NULL || block == NULL) {
        if (reference == block) {
            return 0;
        }
        fprintf(stderr, "host: %s %s in %s: %s, but %s in the host's settings\n", reader->name, path, setting,
                block == NULL ? "NULL" : "a block", reference == NULL ? "NULL" : "a block");
        return 1;
    }
    long length = block_length(reference, reader->length_rule);
    if (length != block_length(block, reader->length_rule)) {
        fprintf(stderr, "host: %s %s in %s: another block length\n", reader->name, path, setting);
        return 1;
    }
    for (long i = 0; i < length; ++i) {
        uint32_t expected, actual;
        memcpy(&expected, &reference[i], sizeof expected);
        memcpy(&actual, &block[i], sizeof actual);
        if (expected != actual) {
            fprintf(stderr, "host: %s %s in %s: float %ld is 0x%08lx (%.9g), 0x%08lx (%.9g) in the host's settings\n",
                    reader->name, path, setting, i, (unsigned long)actual, (double)block[i],
                    (unsigned long)expected, (double)reference[i]);
            return 1;
        }
    }
    return 0;
}

/* Every reader on every file, in the host's settings and in each hostile one. */
static int compare_settings(const char *library_path, char **paths, int path_count) {
    const unsigned int mxcsr = host_setting.mxcsr & ~(unsigned int)MXCSR_FLAGS;
    const unsigned short x87 = host_setting.x87_control;
    const struct fp_setting settings[] = {
        {"traps unmasked", mxcsr & ~(unsigned int)MXCSR_TRAPS, (unsigned short)(x87 & ~X87_TRAPS)},
        {"Delphi's settings", 0x1900, 0x1332},
        {"rounding upward", (mxcsr & ~(unsigned int)MXCSR_ROUNDING) | 0x4000, (unsigned short)((x87 & ~X87_ROUNDING) | 0x800)},
        {"rounding downward", (mxcsr & ~(unsigned int)MXCSR_ROUNDING) | 0x2000, (unsigned short)((x87 & ~X87_ROUNDING) | 0x400)},
        {"rounding toward zero", mxcsr | MXCSR_ROUNDING, (unsigned short)(x87 | X87_ROUNDING)},
        {"flush-to-zero and denormals-are-zero", mxcsr | MXCSR_FTZ_DAZ, x87},
        {"inexact and underflow raised", mxcsr | MXCSR_INEXACT_UNDERFLOW, x87},
    };
    enum { SETTING_COUNT = sizeof settings / sizeof settings[0] };
    library_handle library = open_library(library_path);
    if (library == NULL) {
        return 1;
    }
    int differences = 0;
    for (int p = 0; p < path_count; ++p) {
        for (int r = 0; r < READER_COUNT; ++r) {
            float *reference = call_reader(&readers[r], paths[p], &host_setting);
            for (int k = 0; k < SETTING_COUNT; ++k) {
                float *block = call_reader(&readers[r], paths[p], &settings[k]);
                differences += compare_blocks(&readers[r], paths[p], settings[k].name, reference, block);
                free(block);
            }
            free(reference);
        }
    }
    fflush(stdout);
    unload_library(library);
    if (differences == 0 && !fp_state_changed) {
        printf("%d files, %d readers, %d floating-point settings: the same blocks, the settings given back\n",
               path_count, (int)READER_COUNT, (int)SETTING_COUNT);
    }
    return differences != 0 || fp_state_changed;
}

static int load_and_unload(const char *library_path, const char *path, long cycles) {
    for (long cycle = 0; cycle < cycles; ++cycle) {
        library_handle library = load_library(library_path);
        if (library == NULL || !find_readers(library)) {
            fprintf(stderr, "host: cycle %ld: cannot load %s\n", cycle + 1, library_path);
            return 1;
        }
        float *block = call_reader(&readers[2], path, &call_setting);
        if (block == NULL) {
            fprintf(stderr, "host: cycle %ld: %s gave NULL\n", cycle + 1, readers[2].name);
            return 1;
        }
        free(block);
        unload_library(library);
    }
    printf("%ld cycles of load, %s, free, unload\n", cycles, readers[2].name);
    return 0;
}

/* The companion library's calls the comparison needs. */
struct companion {
    void *(*read)(const char *path, int format, unsigned flags);
    const float *(*block)(const void *reading, size_t *length);
    void (*release)(void *reading);
};

static int find_companion(library_handle library, struct companion *companion) {
    reader_function found[3];
    const char *names[3] = {"vivezeru5_read", "vivezeru5_reading_block", "vivezeru5_reading_free"};
    for (int i = 0; i < 3; ++i) {
        found[i] = find_function(library, names[i]);
        if (found[i] == NULL) {
            fprintf(stderr, "host: the companion library has no %s\n", names[i]);
            return 0;
        }
    }
    memcpy(&companion->read, &found[0], sizeof companion->read);
    memcpy(&companion->block, &found[1], sizeof companion->block);
    memcpy(&companion->release, &found[2], sizeof companion->release);
    return 1;
}

/* Whether the companion's reading of `path` in the reader's format gives the
 * reader's block, bit for bit; says where not. */
static int same_as_companion(const struct companion *companion, const struct reader *reader, const char *path,
                             const float *block) {
    void *reading = companion->read(path, reader->format, 0);
    size_t length = 0;
    const float *theirs = companion->block(reading, &length);
    int same = (block == NULL) == (theirs == NULL);
    if (same && block != NULL) {
        long expected = block_length(block, reader->length_rule);
        /* A surface block holds 26 floats for every declared station. */
        same = expected >= 0 && (reader->length_rule == SURFACE_STATIONS ? (size_t)expected <= length
                                                                          : (size_t)expected == length) &&
               memcmp(block, theirs, length * sizeof(float)) == 0;
    }
    if (!same) {
        fprintf(stderr, "host: %s %s: the companion library's block differs\n", reader->name, path);
    }
    companion->release(reading);
    return same;
}

static int compare_with_companion(const char *library_path, const char *companion_path, char **paths,
                                  int path_count) {
    library_handle library = open_library(library_path);
    if (library == NULL) {
        return 1;
    }
    library_handle companion_library = load_library(companion_path);
    struct companion companion;
    if (companion_library == NULL || !find_companion(companion_library, &companion)) {
        fprintf(stderr, "host: cannot use the companion library %s\n", companion_path);
        unload_library(library);
        return 1;
    }
    int differences = 0;
    for (int p = 0; p < path_count; ++p) {
        for (int r = 0; r < READER_COUNT; ++r) {
            float *block = readers[r].function(paths[p]);
            differences += !same_as_companion(&companion, &readers[r], paths[p], block);
            free(block);
        }
    }
    fflush(stdout);
    unload_library(companion_library);
    unload_library(library);
    if (differences == 0) {
        printf("%d files, %d readers: the companion library's blocks are the readers' blocks\n", path_count,
               (int)READER_COUNT);
    }
    return differences != 0;
}

/* Sets the locale once to see that it exists and has a decimal comma. */
static int check_locale(const char *locale) {
    if (setlocale(LC_ALL, locale) == NULL) {
        fprintf(stderr, "host: no locale %s\n", locale);
        return 0;
    }
    int comma = strcmp(localeconv()->decimal_point, ",") == 0;
    setlocale(LC_ALL, "C");
    if (!comma) {
        fprintf(stderr, "host: locale %s has no decimal comma\n", locale);
    }
    return comma;
}

int main(int argc, char **argv) {
    const char *locale = NULL;
    long cycles = 0;
    int compare = 0;
    const char *companion = NULL;
    struct fp_state initial = read_fp_state();
    host_setting.name = "the host's settings";
    host_setting.mxcsr = initial.mxcsr & ~(unsigned int)MXCSR_FLAGS;
    host_setting.x87_control = initial.x87_control;
    call_setting = host_setting;
    call_setting.name = "the given settings";
    int i = 1;
    for (; i + 1 < argc && strncmp(argv[i], "--", 2) == 0; ++i) {
        unsigned int rounding_mxcsr = 0;
        unsigned short rounding_x87 = 0;
        if (strcmp(argv[i], "--x87-control-word") == 0) {
            call_setting.x87_control = (unsigned short)strtoul(argv[++i], NULL, 16);
        } else if (strcmp(argv[i], "--mxcsr") == 0) {
            call_setting.mxcsr = (unsigned int)strtoul(argv[++i], NULL, 16);
        } else if (strcmp(argv[i], "--traps") == 0) {
            call_setting.mxcsr &= ~(unsigned int)MXCSR_TRAPS;
            call_setting.x87_control &= (unsigned short)~X87_TRAPS;
        } else if (strcmp(argv[i], "--rounding") == 0 && rounding_bits(argv[i + 1], &rounding_mxcsr, &rounding_x87)) {
            call_setting.mxcsr = (call_setting.mxcsr & ~(unsigned int)MXCSR_ROUNDING) | rounding_mxcsr;
            call_setting.x87_control = (unsigned short)((call_setting.x87_control & ~X87_ROUNDING) | rounding_x87);
            ++i;
        } else if (strcmp(argv[i], "--ftz-daz") == 0) {
            call_setting.mxcsr |= MXCSR_FTZ_DAZ;
        } else if (strcmp(argv[i], "--sticky-flags") == 0) {
            call_setting.mxcsr |= MXCSR_INEXACT_UNDERFLOW;
        } else if (strcmp(argv[i], "--hex-output") == 0) {
            hex_output = fopen(argv[++i], "w");
            if (hex_output == NULL) {
                fprintf(stderr, "host: cannot write %s\n", argv[i]);
                return 1;
            }
        } else if (strcmp(argv[i], "--locale") == 0) {
            locale = argv[++i];
        } else if (strcmp(argv[i], "--cycles") == 0) {
            cycles = strtol(argv[++i], NULL, 10);
        } else if (strcmp(argv[i], "--companion") == 0) {
            companion = argv[++i];
        } else if (strcmp(argv[i], "--compare-settings") == 0) {
            compare = 1;
        } else {
            fprintf(stderr, "host: unknown option %s\n", argv[i]);
            return 1;
        }
    }
    if (argc - i < 2) {
        fprintf(stderr, "usage: vivezeru5_host [OPTIONS] LIBRARY FILE...\n");
        return 1;
    }
    if (locale != NULL && !check_locale(locale)) {
        return 1;
    }
    if (cycles > 0) {
        return load_and_unload(argv[i], argv[i + 1], cycles);
    }
    if (compare) {
        return compare_settings(argv[i], argv + i + 1, argc - i - 1);
    }
    if (companion != NULL) {
        return compare_with_companion(argv[i], companion, argv + i + 1, argc - i - 1);
    }
    int status = read_all(argv[i], argv + i + 1, argc - i - 1, locale);
    if (hex_output != NULL && fclose(hex_output) != 0) {
        status = 1;
    }
    return status;
}
