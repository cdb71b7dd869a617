/*
 * Reading a type-5 sounding file from C or C++: the first station, its first
 * level and two of its derived values.
 *
 *   Linux:   cc read_soundings.c $(pkg-config --cflags --libs vivezeru5) -o read_soundings
 *   MinGW:   x86_64-w64-mingw32-gcc -Iinclude read_soundings.c lib/libvivezeru5.dll.a
 *   MSVC:    cl /Iinclude read_soundings.c lib\vivezeru5.lib
 *            (the DLL of the host's C runtime: see docs/hosts.md)
 *
 *   read_soundings FILE
 *
 * The block is the caller's: a host that shares the DLL's C runtime
 * releases it with free().
 */
#include <stdio.h>
#include <stdlib.h>

#include <vivezeru5/vivezeru5.h>

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: read_soundings FILE\n");
        return 2;
    }
    float *block = readVelmorData5(argv[1]);
    if (block == NULL) {
        fprintf(stderr, "read_soundings: %s cannot be read\n", argv[1]);
        return 1;
    }
    /* [5] stations; the first station from [6]: id, longitude, latitude,
     * elevation, level count, 6 values a level, then the 19 derived values. */
    const float *station = block + 6;
    long levels = (long)station[4];
    const float *level = station + 5;
    const float *derived = level + 6 * levels;
    printf("%.0f stations\n", block[5]);
    printf("station %.0f: longitude %.2f, latitude %.2f, elevation %.0f, %ld levels\n", station[0], station[1],
           station[2], station[3], levels);
    printf("first level: %.0f hPa, %.0f dam, %.1f C, dew point %.1f C, wind %.0f deg %.1f m/s\n", level[0],
           level[1], level[2], level[3], level[4], level[5]);
    printf("K index %.1f, total totals %.1f\n", derived[2], derived[3]);
    free(block);
    return 0;
}
