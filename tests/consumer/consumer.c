/* A program that uses an installed vivezeru5: reads a type-5 file twice, once
 * without and once with the analysis, prints what it finds and the version of
 * the header it was compiled with. */
#include <stdio.h>
#include <stdlib.h>

#include <vivezeru5/vivezeru5.h>

int main(int argc, char **argv) {
    float *plain;
    float *analysed;
    long terminator;

    if (argc != 2) {
        fprintf(stderr, "usage: vivezeru5_consumer TYPE5_FILE\n");
        return 2;
    }
    plain = readVelmor5Only(argv[1]);
    if (plain == NULL) {
        fprintf(stderr, "readVelmor5Only failed on %s\n", argv[1]);
        return 1;
    }
    terminator = (long)plain[0] - 1;
    printf("stations %.0f, first %.0f, terminator %s\n", plain[5], plain[6],
           plain[terminator] == VIVEZERU5_MISSING ? "found" : "absent");
    free(plain);

    analysed = readVelmorData5(argv[1]);
    if (analysed == NULL) {
        fprintf(stderr, "readVelmorData5 failed on %s\n", argv[1]);
        return 1;
    }
    /* First station: 5 values, its levels, then the derived values. */
    printf("first station: %.0f levels, K index %.1f\n", analysed[10],
           analysed[11 + 6 * (long)analysed[10] + 2]);
    free(analysed);
    printf("vivezeru5.h %s (%d.%d.%d)\n", VIVEZERU5_VERSION_STRING, VIVEZERU5_VERSION_MAJOR,
           VIVEZERU5_VERSION_MINOR, VIVEZERU5_VERSION_PATCH);
    return 0;
}
