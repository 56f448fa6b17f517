#pragma once
// The record list of `export --records RECORDS`: record numbers and ranges,
// separated by commas, such as "3,7-9,12". Numbers are decimal digits only
// (leading zeros allowed: "010" is 10), from 1; a range runs upwards; no
// record may be named twice, so that an import of the file never meets one
// record twice.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zenfaro::cli {

struct RecordRange {
  std::int32_t first = 0;
  std::int32_t last = 0;
};

// The ranges of `text` in their order (a single number is a range of one),
// or nothing, with the reason in `*problem`.
std::optional<std::vector<RecordRange>> parse_record_list(const std::string& text, std::string* problem);

// The records of `ranges`, in order. A range that reaches beyond `highest`
// gives its numbers only up to the first beyond it (which the export then
// refuses), so the list stays short whatever the ranges.
std::vector<std::int32_t> records_of(const std::vector<RecordRange>& ranges, std::int32_t highest);

}  // namespace zenfaro::cli
