// The yardstick the readers are measured against: a straightforward reader of
// the plain type-5 and surface formats (fopen, one fscanf a token, a linked
// list of stations, one block at the end). On well-formed files its blocks
// equal those of readVelmor5Only and ReadVelmorData1.
#pragma once

namespace vivezeru5::bench {

float* yardstickReadType5Plain(const char* path);
float* yardstickReadSurface(const char* path);

}  // namespace vivezeru5::bench
