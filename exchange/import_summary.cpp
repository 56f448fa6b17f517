#include "exchange/import_summary.h"

#include "core/cp1252.h"

namespace zenfaro {
namespace {

std::string lines_noun(std::int32_t count) { return count == 1 ? " new commentary line" : " new commentary lines"; }

// The trigger as UTF-8 text that a terminal or a text box shows as it is:
// control characters (and the five bytes Windows-1252 leaves undefined,
// which become control characters too) are shown as "?".
std::string shown_trigger(const AddedRecord& record) {
  std::string bytes = record.first_trigger.substr(0, kShownTriggerBytes);
  for (char& c : bytes) {
    const char32_t code_point = cp1252_to_unicode(static_cast<unsigned char>(c));
    if (code_point < 0x20 || (code_point >= 0x7F && code_point < 0xA0)) c = '?';
  }
  return cp1252_to_utf8(bytes) + (record.first_trigger.size() > kShownTriggerBytes ? "..." : "");
}

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
  for (const AddedRecord& a : s.added) {
    text += "New record " + std::to_string(a.record) +
            (a.has_trigger ? ": \"" + shown_trigger(a) + "\".\n" : ", without triggers.\n");
  }
  for (const ExtendedRecord& e : s.extended) {
    text += "Stored record " + std::to_string(e.record) + " gets " + std::to_string(e.new_lines) +
            lines_noun(e.new_lines) + ".\n";
  }
  return text;
}

}  // namespace zenfaro
