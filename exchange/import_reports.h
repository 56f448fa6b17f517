#pragma once
// The lines of the import's report files. A fingerprint is written as a
// signed 32-bit number: a space (or "-"), the digits, a space. Record
// numbers are written as " 3 ".
#include <cstdint>
#include <string>

namespace zenfaro {

// " 148534000 " or "-1034026632 ", without the line end.
std::string fingerprint_text(std::uint32_t fingerprint);

// The impres.txt lines, without the line end:
//   "Record 3 is new."
//   "Record 3 is identical to stored record 17 "
//   "Record 4 extends stored record 2 "
std::string new_record_line(std::int64_t incoming);
std::string identical_record_line(std::int64_t incoming, std::int64_t stored);
std::string extending_record_line(std::int64_t incoming, std::int64_t stored);

}  // namespace zenfaro
