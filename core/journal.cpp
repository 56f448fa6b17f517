#include "core/journal.h"

#include <cstdio>
#include <sstream>

namespace zenfaro {
namespace {

constexpr const char* kHeader = "zenfaro journal 3";
constexpr const char* kEnd = "end";
constexpr const char* kKinds[] = {"save", "import", "transfer", "restore"};
constexpr const char* kPlaces[] = {"here", "host", "link"};

std::string hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::string identity_text(const FileIdentity& file) {
  if (!file.present) return "none";
  return std::to_string(file.device) + ":" + std::to_string(file.file_id) + ":" + std::to_string(file.size);
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}

// Decimal digits only, no more than a 64-bit number holds.
bool parse_number(const std::string& text, std::uint64_t* value) {
  if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  *value = 0;
  for (const char digit : text) {
    const std::uint64_t next = *value * 10 + static_cast<std::uint64_t>(digit - '0');
    if (next / 10 != *value) return false;
    *value = next;
  }
  return true;
}

bool parse_hex(const std::string& text, std::uint64_t* value) {
  if (text.size() != 16 || text.find_first_not_of("0123456789abcdef") != std::string::npos) return false;
  *value = 0;
  for (const char digit : text)
    *value = *value * 16 + static_cast<std::uint64_t>(digit <= '9' ? digit - '0' : digit - 'a' + 10);
  return true;
}

bool parse_identity(const std::string& text, bool none_allowed, FileIdentity* file) {
  *file = FileIdentity{};
  if (text == "none") return none_allowed;
  const std::vector<std::string> parts = split(text, ':');
  file->present = true;
  return parts.size() == 3 && parse_number(parts[0], &file->device) && parse_number(parts[1], &file->file_id) &&
         parse_number(parts[2], &file->size);
}

template <std::size_t N>
bool parse_word(const std::string& text, const char* const (&words)[N], int* index) {
  for (std::size_t i = 0; i < N; ++i) {
    if (text == words[i]) {
      *index = static_cast<int>(i);
      return true;
    }
  }
  return false;
}

// One target's line: `name` is "data" or "index".
bool parse_line(const std::string& text, const Journal& journal, const char* name, JournalLine* line) {
  const std::vector<std::string> fields = split(text, '\t');
  const bool data = std::string(name) == "data";
  if (journal.undo) {
    return data && fields.size() == 3 && fields[0] == name && parse_identity(fields[1], false, &line->replaced) &&
           parse_identity(fields[2], false, &line->backup);
  }
  int place = 0;
  if (fields.size() != (data ? 6u : 5u) || fields[0] != name || !parse_word(fields[1], kPlaces, &place)) return false;
  line->place = static_cast<NewFilePlace>(place);
  // A transfer writes its new files beside the game's.
  if (journal.kind == ReplacementKind::transfer && line->place == NewFilePlace::host) return false;
  return parse_number(fields[2], &line->digest.size) && parse_hex(fields[3], &line->digest.sum) &&
         parse_identity(fields[4], true, &line->replaced) && (!data || parse_identity(fields[5], false, &line->backup));
}

}  // namespace

FileIdentity identity_of(const FileInfo& info) {
  if (info.kind != FileKind::regular) return {};
  return {true, info.device, info.file_id, info.size};
}

std::string journal_text(const Journal& journal) {
  const char* kind = kKinds[static_cast<int>(journal.kind)];
  std::string text = std::string(kHeader) + "\n" + (journal.undo ? "undo " : "") + kind + "\n";
  for (std::size_t i = 0; i < journal.lines.size(); ++i) {
    const JournalLine& line = journal.lines[i];
    text += i == 0 ? "data" : "index";
    if (journal.undo) {
      text += "\t" + identity_text(line.replaced) + "\t" + identity_text(line.backup) + "\n";
      continue;
    }
    text += std::string("\t") + kPlaces[static_cast<int>(line.place)] + "\t" + std::to_string(line.digest.size) + "\t" +
            hex(line.digest.sum) + "\t" + identity_text(line.replaced);
    text += (i == 0 ? "\t" + identity_text(line.backup) : std::string()) + "\n";
  }
  return text + kEnd + "\n";
}

bool parse_journal(const std::string& text, Journal* journal) {
  *journal = Journal{};
  if (text.size() > kMaxJournalBytes || text.empty() || text.back() != '\n') return false;
  std::vector<std::string> lines = split(text.substr(0, text.size() - 1), '\n');
  if (lines.size() < 4 || lines[0] != kHeader || lines.back() != kEnd) return false;
  std::string kind = lines[1];
  journal->undo = kind.rfind("undo ", 0) == 0;
  if (journal->undo) kind = kind.substr(5);
  int which = 0;
  if (!parse_word(kind, kKinds, &which)) return false;
  journal->kind = static_cast<ReplacementKind>(which);
  const std::size_t targets = journal->undo ? 1 : 2;
  if (lines.size() != 3 + targets) return false;
  journal->lines.resize(targets);
  for (std::size_t i = 0; i < targets; ++i) {
    if (!parse_line(lines[2 + i], *journal, i == 0 ? "data" : "index", &journal->lines[i])) return false;
  }
  return true;
}

}  // namespace zenfaro
