#include "core/journal.h"

#include <sstream>

namespace zenfaro {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHeader = "zenfaro replacement journal 2";
constexpr const char* kEnd = "end";

std::string relative_text(const Layout& layout, const fs::path& path) {
  return path.empty() ? std::string() : path.lexically_relative(layout.root).generic_u8string();
}

// The file of `candidates` whose journal text is `text`, or an empty path.
fs::path one_of(const Layout& layout, const std::string& text, std::initializer_list<fs::path> candidates) {
  for (const fs::path& candidate : candidates) {
    if (relative_text(layout, candidate) == text) return candidate;
  }
  return {};
}

bool parse_move(const Layout& layout, const std::string& line, JournalMove* m) {
  std::vector<std::string> fields;
  std::istringstream parts(line);
  for (std::string field; std::getline(parts, field, '\t');) fields.push_back(field);
  if (fields.size() == 3 && fields[0] == "undo") {
    m->undo = true;
    m->move.to = one_of(layout, fields[1], {layout.data_file(), layout.index_file()});
    m->move.backup =
        one_of(layout, fields[2],
               {layout.backup_file(), layout.database_file("importold.dat"), layout.database_file("importold.idx")});
    return !m->move.to.empty() && !m->move.backup.empty();
  }
  if (fields.size() != 6 || fields[0] != "move") return false;
  m->move.from = one_of(layout, fields[1],
                        {layout.work_file("temp.tmp"), layout.work_file("temp.idx"), layout.work_file("tempfile2.tmp"),
                         layout.work_file("tempfile2.idx")});
  m->move.to = one_of(layout, fields[2], {layout.data_file(), layout.index_file()});
  m->move.backup =
      one_of(layout, fields[3],
             {layout.backup_file(), layout.database_file("importold.dat"), layout.database_file("importold.idx")});
  if (m->move.from.empty() || m->move.to.empty() || (m->move.backup.empty() && !fields[3].empty())) return false;
  if (fields[5] != "keep" && fields[5] != "drop") return false;
  m->move.keep_backup = fields[5] == "keep";
  if (fields[4].empty() || fields[4].find_first_not_of("0123456789") != std::string::npos || fields[4].size() > 19) {
    return false;
  }
  m->size = std::stoull(fields[4]);
  return true;
}

}  // namespace

std::string journal_text(const Layout& layout, const std::vector<JournalMove>& moves) {
  std::string text = std::string(kHeader) + "\n";
  for (const JournalMove& m : moves) {
    if (m.undo) {
      text += "undo\t" + relative_text(layout, m.move.to) + "\t" + relative_text(layout, m.move.backup) + "\n";
      continue;
    }
    text += "move\t" + relative_text(layout, m.move.from) + "\t" + relative_text(layout, m.move.to) + "\t" +
            relative_text(layout, m.move.backup) + "\t" + std::to_string(m.size) + "\t" +
            (m.move.keep_backup ? "keep" : "drop") + "\n";
  }
  return text + kEnd + "\n";
}

bool parse_journal(const Layout& layout, const std::string& text, std::vector<JournalMove>* moves) {
  moves->clear();
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || line != kHeader) return false;
  while (std::getline(lines, line)) {
    if (line == kEnd) return !moves->empty() && lines.peek() == EOF;
    JournalMove m;
    if (!parse_move(layout, line, &m)) return false;
    moves->push_back(m);
  }
  return false;
}

}  // namespace zenfaro
