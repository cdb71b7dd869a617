// Reads each file named on the command line with each of the four readers,
// checks every block against the C-library reading of the same file, and
// frees it. Exit status 0 when every block agrees, 1 otherwise. Small enough
// to run under valgrind (.ci/steps/valgrind.sh).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "reader_model.h"

int main(int argc, char** argv) {
    using namespace vivezeru5::model;
    int failures = 0;
    int blocks = 0;
    for (int i = 1; i < argc; ++i) {
        for (const Reader reader : kAllReaders) {
            float* block = callReader(reader, argv[i], true);
            const std::string problem = checkBlock(reader, block, expectBlock(reader, argv[i]));
            if (!problem.empty()) {
                std::fprintf(stderr, "%s: %s\n", argv[i], problem.c_str());
                ++failures;
            }
            blocks += block != nullptr ? 1 : 0;
            std::free(block);
        }
    }
    std::printf("%d files, %d blocks, %d disagreements\n", argc - 1, blocks, failures);
    return failures == 0 ? 0 : 1;
}
