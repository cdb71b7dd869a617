// The file formats the tool reads, the reader used for each, and recognition of
// a file's format from its first tokens.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vivezeru5::cli {

enum class FileFormat {
    Type5,       // type-5 soundings, integer levels: readVelmorData5 (analysed)
    Type5Plain,  // type-5 soundings, decimal levels: readVelmor5Only (not analysed)
    Rozedu,      // characteristic-level soundings: readRozeduData (analysed)
    Surface,     // type-1 surface reports: ReadVelmorData1
};

struct FormatTraits {
    FileFormat format;
    const char* optionName;   // value of --format
    const char* readerName;   // the library function that reads it
    const char* description;  // for people
    bool isSounding;          // sounding block (header of six) rather than surface block
    bool analysed;            // the block carries the 19 derived values per station
};

const FormatTraits& traitsOf(FileFormat format);

// The format named by a --format value, or nothing for an unknown name.
std::optional<FileFormat> formatNamed(std::string_view name);

// Comma-separated list of the --format values, for messages.
std::string formatNames();

enum class Recognition { Recognised, CannotOpen, Unrecognised };

struct RecognitionResult {
    Recognition outcome = Recognition::Unrecognised;
    FileFormat format = FileFormat::Type5;
    int openError = 0;  // errno when the file cannot be opened
    std::string text;   // the file's contents when it could be opened
};

// Recognises the format of the file at `path` from its tokens:
//   first token an integer                          -> characteristic-level
//   a word, then data type 5                        -> type-5; decimal level
//                                                      values in the first station
//                                                      with levels make it type5-plain
//   a word, then data type 1                        -> type-1 surface
RecognitionResult recognise(const std::string& path);

// The same, on the text of a file.
std::optional<FileFormat> recogniseText(std::string_view text);

}  // namespace vivezeru5::cli
