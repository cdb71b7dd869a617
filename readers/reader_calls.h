// The four readers as one call of the library makes them: the exported
// functions pass standard output for the progress lines and no report; the
// companion library passes its own context.
#pragma once

#include "readers/reading_report.h"

namespace vivezeru5 {

float* readType5Analysed(const char* path, const ReadingContext& context);   // readVelmorData5
float* readType5Plain(const char* path, const ReadingContext& context);      // readVelmor5Only
float* readCharacteristicLevels(const char* path, const ReadingContext& context);  // readRozeduData
float* readSurfaceReports(const char* path, const ReadingContext& context);  // ReadVelmorData1

}  // namespace vivezeru5
