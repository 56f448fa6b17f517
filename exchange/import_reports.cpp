// The lines of the import's report files.
#include "exchange/import_reports.h"

#include "core/number_text.h"

namespace zenfaro {

std::string fingerprint_text(std::uint32_t fingerprint) {
  return signed_number_text(static_cast<std::int32_t>(fingerprint));
}

std::string new_record_line(std::int64_t incoming) { return "Record" + signed_number_text(incoming) + "is new."; }

std::string identical_record_line(std::int64_t incoming, std::int64_t stored) {
  return "Record" + signed_number_text(incoming) + "is identical to stored record" + signed_number_text(stored);
}

std::string extending_record_line(std::int64_t incoming, std::int64_t stored) {
  return "Record" + signed_number_text(incoming) + "extends stored record" + signed_number_text(stored);
}

}  // namespace zenfaro
