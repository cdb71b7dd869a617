/*
 * A host application as the library's users write them: it loads the library
 * at run time, finds the four readers by name, calls each one on every file
 * named on the command line, writes each block and releases it with its own
 * free().
 *
 *   vivezeru5_host [OPTIONS] LIBRARY FILE...
 *     --x87-control-word HEX   load this x87 control word first (0x27f:
 *                              53-bit precision) to show the results do not
 *                              depend on it
 *     --locale NAME            call the readers with this locale set (it must
 *                              have a decimal comma); blocks are still
 *                              written in the "C" locale
 *     --cycles N               instead: N times load the library, call
 *                              readVelmor5Only on the first file, free the
 *                              block and unload the library
 *
 * Standard output: for each file and reader a line "READER FILE: COUNT
 * floats" (or ": NULL"), then the floats, one a line, with %.9g (NaN and
 * infinity spelled out with their bits, which printf spells differently from
 * one C runtime to another). Standard error: a line "READER FILE" before each
 * call, so that what the library writes there falls in between.
 * Exit status 0, or 1 when the library or a reader cannot be found.
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
    reader_function function;
};

static struct reader readers[] = {
    {"readVelmorData5", TERMINATOR_INDEX, NULL},
    {"readRozeduData", TERMINATOR_INDEX, NULL},
    {"readVelmor5Only", FLOAT_COUNT, NULL},
    {"ReadVelmorData1", SURFACE_STATIONS, NULL},
};
enum { READER_COUNT = sizeof readers / sizeof readers[0] };

#if defined(_WIN32)
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

static void set_x87_control_word(unsigned short word) {
#if defined(__i386__) || defined(__x86_64__)
    __asm__ volatile("fldcw %0" : : "m"(word));
#else
    (void)word;
#endif
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

static void write_block(const char *reader, const char *path, const float *block,
                        enum block_length_rule rule) {
    if (block == NULL) {
        printf("%s %s: NULL\n", reader, path);
        return;
    }
    long length = block_length(block, rule);
    if (length < 0) {
        printf("%s %s: header gives no usable length\n", reader, path);
        return;
    }
    printf("%s %s: %ld floats\n", reader, path, length);
    for (long i = 0; i < length; ++i) {
        write_float(block[i]);
    }
}

static int read_all(const char *library_path, char **paths, int path_count, const char *locale) {
    library_handle library = load_library(library_path);
    if (library == NULL) {
        fprintf(stderr, "host: cannot load %s\n", library_path);
        return 1;
    }
    if (!find_readers(library)) {
        unload_library(library);
        return 1;
    }
    for (int p = 0; p < path_count; ++p) {
        for (int r = 0; r < READER_COUNT; ++r) {
            fprintf(stderr, "%s %s\n", readers[r].name, paths[p]);
            fflush(stdout);
            if (locale != NULL) {
                setlocale(LC_ALL, locale);
            }
            float *block = readers[r].function(paths[p]);
            setlocale(LC_ALL, "C");
            write_block(readers[r].name, paths[p], block, readers[r].length_rule);
            free(block);
        }
    }
    fflush(stdout);
    unload_library(library);
    return 0;
}

static int load_and_unload(const char *library_path, const char *path, long cycles) {
    for (long cycle = 0; cycle < cycles; ++cycle) {
        library_handle library = load_library(library_path);
        if (library == NULL || !find_readers(library)) {
            fprintf(stderr, "host: cycle %ld: cannot load %s\n", cycle + 1, library_path);
            return 1;
        }
        float *block = readers[2].function(path);
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
    int i = 1;
    for (; i + 1 < argc && strncmp(argv[i], "--", 2) == 0; i += 2) {
        if (strcmp(argv[i], "--x87-control-word") == 0) {
            set_x87_control_word((unsigned short)strtoul(argv[i + 1], NULL, 16));
        } else if (strcmp(argv[i], "--locale") == 0) {
            locale = argv[i + 1];
        } else if (strcmp(argv[i], "--cycles") == 0) {
            cycles = strtol(argv[i + 1], NULL, 10);
        } else {
            fprintf(stderr, "host: unknown option %s\n", argv[i]);
            return 1;
        }
    }
    if (argc - i < 2) {
        fprintf(stderr, "usage: vivezeru5_host [--x87-control-word HEX] [--locale NAME] [--cycles N] LIBRARY FILE...\n");
        return 1;
    }
    if (locale != NULL && !check_locale(locale)) {
        return 1;
    }
    if (cycles > 0) {
        return load_and_unload(argv[i], argv[i + 1], cycles);
    }
    return read_all(argv[i], argv + i + 1, argc - i - 1, locale);
}
