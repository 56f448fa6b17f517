#include "cli/record_list.h"

#include <algorithm>
#include <limits>

namespace zenfaro::cli {
namespace {

// A record number: decimal digits only, 1 to the largest 32-bit number.
std::optional<std::int32_t> record_number(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  const std::size_t digits = std::min(text.find_first_not_of('0'), text.size());
  if (text.size() - digits > 10) return std::nullopt;
  const std::uint64_t value = digits == text.size() ? 0 : std::stoull(text.substr(digits));
  if (value < 1 || value > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<std::vector<RecordRange>> parse_record_list(const std::string& text, std::string* problem) {
  std::vector<RecordRange> ranges;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string item = text.substr(start, comma - start);
    const std::size_t dash = item.find('-');
    const std::optional<std::int32_t> first = record_number(item.substr(0, dash));
    const std::optional<std::int32_t> last = dash == std::string::npos ? first : record_number(item.substr(dash + 1));
    if (!first || !last || *last < *first) {
      *problem = "\"" + item + "\" is not a record number (1 or more) nor a range such as 7-9";
      return std::nullopt;
    }
    ranges.push_back({*first, *last});
    start = comma + 1;
  }
  std::vector<RecordRange> sorted = ranges;
  std::sort(sorted.begin(), sorted.end(), [](const RecordRange& a, const RecordRange& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    if (sorted[i].first <= sorted[i - 1].last) {
      *problem = "record " + std::to_string(sorted[i].first) + " is named twice";
      return std::nullopt;
    }
  }
  return ranges;
}

std::vector<std::int32_t> records_of(const std::vector<RecordRange>& ranges, std::int32_t highest) {
  std::vector<std::int32_t> records;
  for (const RecordRange& range : ranges) {
    const std::int64_t last = std::min<std::int64_t>(range.last, std::max<std::int64_t>(range.first, highest + 1ll));
    for (std::int64_t n = range.first; n <= last; ++n) records.push_back(static_cast<std::int32_t>(n));
  }
  return records;
}

}  // namespace zenfaro::cli
