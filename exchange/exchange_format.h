#pragma once
// The .CMX exchange file: five header lines, the record count as a count
// line, then the record blocks, each exactly a record of commdb.dat (per list
// a count line and its entry lines). Every line ends with CR LF.
//
//   [Version]
//   Handler=ZENFARO.EXE
//   ExportFileVersion=99
//   (empty line)
//   [Exported Commentary]
//    R
//   record blocks...
#include <cstdint>
#include <string_view>

#include "core/line_reader.h"
#include "core/line_writer.h"

namespace zenfaro {

inline constexpr std::string_view kVersionSection = "[Version]";
inline constexpr std::string_view kHandlerLine = "Handler=ZENFARO.EXE";
inline constexpr std::string_view kFormatVersionLine = "ExportFileVersion=99";
inline constexpr std::string_view kDataSection = "[Exported Commentary]";

// Writes the five header lines and the record count.
void write_exchange_header(LineWriter& out, std::int32_t records);

// Reads the header: line 1 must be "[Version]" and line 2
// "Handler=ZENFARO.EXE", byte for byte; then lines are skipped unexamined up
// to and including "[Exported Commentary]", which may be the last line.
// True when the file passes; the reader then stands at the record count.
bool read_exchange_header(LineReader& in);

}  // namespace zenfaro
