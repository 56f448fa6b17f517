#include "exchange/exchange_format.h"

#include <string>

namespace zenfaro {
namespace {

// Reads one line and says whether it is exactly `expected`. Only one byte
// more than `expected` is kept, so a long line costs no memory.
bool line_is(LineReader& in, std::string_view expected, std::string& line) {
  in.read_entry(&line, expected.size() + 1);
  return line == expected;
}

}  // namespace

void write_exchange_header(LineWriter& out, std::int32_t records) {
  out.write_line(kVersionSection);
  out.write_line(kHandlerLine);
  out.write_line(kFormatVersionLine);
  out.write_line("");
  out.write_line(kDataSection);
  out.write_count(records);
}

bool read_exchange_header(LineReader& in) {
  std::string line;
  if (!line_is(in, kVersionSection, line)) return false;
  if (!line_is(in, kHandlerLine, line)) return false;
  // The end-of-data test follows each read, so the section header may be
  // the last line of the file.
  do {
    if (line_is(in, kDataSection, line)) return true;
  } while (!in.at_end());
  return false;
}

}  // namespace zenfaro
