#pragma once
// Entries on screen. An entry is Windows-1252 bytes; the widgets hold text.
// Every byte value 0x00 to 0xFF maps to one character and back unchanged,
// the five values that Windows-1252 leaves undefined included.
#include <QString>
#include <optional>
#include <string>

#include "core/capacities.h"
#include "core/prompt.h"

namespace zenfaro {

// The most characters the item box and the Modify Entry dialog's box take:
// one character per byte of an entry.
constexpr int kMaxEntryCharacters = static_cast<int>(kMaxEntryBytes);

QString entry_to_text(const std::string& entry);

// The bytes of `text`, or nothing when Windows-1252 cannot hold one of its
// characters; then `*problem` (when given) names that character.
std::optional<std::string> text_to_entry(const QString& text, std::string* problem = nullptr);

// As text_to_entry, but tells the problem through `prompt` as an error.
std::optional<std::string> text_to_entry(const QString& text, Prompt& prompt);

}  // namespace zenfaro
