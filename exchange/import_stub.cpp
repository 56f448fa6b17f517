// Placeholder until the import is built.
#include "exchange/import_commentary.h"

namespace zenfaro {

ImportResult import_commentary(Database&, const std::string&, Prompt& prompt) {
  prompt.tell({"Importing is not available yet.", kDefaultCaption, Icon::error});
  return ImportResult::failed;
}

}  // namespace zenfaro
