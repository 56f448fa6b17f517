#include "ui/entry_text.h"

#include "core/cp1252.h"

namespace zenfaro {

QString entry_to_text(const std::string& entry) { return QString::fromStdString(cp1252_to_utf8(entry)); }

std::optional<std::string> text_to_entry(const QString& text, std::string* problem) {
  std::string why;
  std::optional<std::string> bytes = utf8_to_cp1252(text.toStdString(), &why);
  if (!bytes && problem != nullptr) {
    *problem = why + " The text was not taken; change it and try again.";
  }
  return bytes;
}

std::optional<std::string> text_to_entry(const QString& text, Prompt& prompt) {
  std::string problem;
  std::optional<std::string> bytes = text_to_entry(text, &problem);
  if (!bytes) prompt.tell({problem, kDefaultCaption, Icon::error});
  return bytes;
}

}  // namespace zenfaro
