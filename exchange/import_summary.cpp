#include "exchange/import_summary.h"

namespace zenfaro {
namespace {

std::string lines_noun(std::int32_t count) { return count == 1 ? " new commentary line" : " new commentary lines"; }

}  // namespace

std::string import_details(const ImportSummary& s) {
  std::string text = "The exchange file announces " + std::to_string(s.announced) +
                     " records: " + std::to_string(s.new_records) + " new, " + std::to_string(s.identical) +
                     " identical to stored records, " + std::to_string(s.extending) + " extending stored records.\n" +
                     "The database would go from " + std::to_string(s.stored) + " to " + std::to_string(s.merged) +
                     " records.\n";
  if (s.cut_short()) {
    text += "The file ends after " + std::to_string(s.found) + " of its records: the other " +
            std::to_string(s.announced - s.found) + " would come in as empty records.\n";
  }
  for (const ExtendedRecord& e : s.extended) {
    text += "Stored record " + std::to_string(e.record) + " gets " + std::to_string(e.new_lines) +
            lines_noun(e.new_lines) + ".\n";
  }
  return text;
}

}  // namespace zenfaro
