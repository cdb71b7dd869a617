// The command `vivezeru5 skewt FILE [--station ID] [-o OUT.svg]`: draws one
// station of a sounding file as a skew-T log-p diagram in SVG.
#pragma once

namespace vivezeru5::skewt {

inline constexpr const char* kSkewTSynopsis = "vivezeru5 skewt [--format FORMAT] FILE [--station ID] [--sounding N] [-o OUT.svg]";

// Runs the command on the arguments that follow "skewt"; returns the exit
// status: 0 drawn, 3 drawn from a file read with problems, 1 the file or
// station cannot be drawn, 2 usage.
int runSkewTCommand(int argc, char** argv);

}  // namespace vivezeru5::skewt
