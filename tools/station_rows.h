// Stations as rows for machines: CSV and JSON.
//
// A row holds the file, its format, the observation time, the station id,
// position, elevation and level count, then either the 19 derived values, each
// followed by its quality flag, or the surface values 5 to 26.
//   CSV: every value as the block holds it (-9999 included), the shortest
//        decimal that reads back as the same 32-bit float; a flag column per
//        derived value, empty when the value is unflagged.
//   JSON: the missing value -9999 and NaN are null; a flagged derived value is
//        null, with its raw value in NAME_raw and its flag in NAME_flag.
#pragma once

#include <string>
#include <vector>

#include "file_reading.h"

namespace vivezeru5::cli {

// Which groups of columns a table carries.
struct RowColumns {
    bool derived = false;  // the 19 derived values and their flags
    bool surface = false;  // surface values 5 to 26
};

RowColumns columnsOf(FileFormat format);
RowColumns everyColumn();

// The CSV header line and the rows of one file, each line ending in "\n".
std::string csvHeader(RowColumns columns);
std::string csvRows(const FileReading& reading, RowColumns columns);

// The stations of one file as JSON objects, one per station, without levels.
std::vector<std::string> jsonRows(const FileReading& reading);

// One file as a JSON document: file, format, time, problems, and the stations
// with their levels.
std::string jsonDocument(const FileReading& reading);

}  // namespace vivezeru5::cli
