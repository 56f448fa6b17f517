// Placeholder until the exchange files are built.
#include "exchange/export_commentary.h"
#include "exchange/import_commentary.h"

namespace zenfaro {

Status export_commentary(const Database&, const fs::path&, std::int32_t*) {
  return Status::io_error("Exporting is not available yet.");
}

std::string export_message(std::int32_t records, const std::string& path) {
  return std::to_string(records) + " commentary entries were exported to " + path + ".";
}

ImportResult import_commentary(Database&, const std::string&, Prompt& prompt) {
  prompt.tell({"Importing is not available yet.", kDefaultCaption, Icon::error});
  return ImportResult::failed;
}

}  // namespace zenfaro
