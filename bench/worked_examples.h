// The straightforward implementation against the method's published worked
// examples, before it is used as the reference for the library.
#pragma once

namespace vivezeru5::bench {

// Checks every row, prints the ones that fail and a summary line; returns
// the number of rows that failed.
int checkWorkedExamples();

}  // namespace vivezeru5::bench
