#include "core/replace_files.h"

#include <sstream>

namespace zenfaro {
namespace {

constexpr const char* kJournalHeader = "zenfaro replacement journal 1";
constexpr const char* kJournalEnd = "end";

// Journal lines: the header, one "move" line per move with TAB-separated
// paths relative to the working folder (in generic form) and the size the
// new file must have, then "end".
struct JournalMove {
  FileMove move;
  std::uint64_t size = 0;
};

std::string relative_text(const Layout& layout, const fs::path& path) {
  return path.lexically_relative(layout.root).generic_u8string();
}

fs::path from_relative_text(const Layout& layout, const std::string& text) {
  return text.empty() ? fs::path() : layout.root / fs::u8path(text);
}

std::string journal_text(const Layout& layout, const std::vector<JournalMove>& moves) {
  std::string text = std::string(kJournalHeader) + "\n";
  for (const JournalMove& m : moves) {
    text += "move\t" + relative_text(layout, m.move.from) + "\t" + relative_text(layout, m.move.to) + "\t" +
            (m.move.backup.empty() ? std::string() : relative_text(layout, m.move.backup)) + "\t" +
            std::to_string(m.size) + "\n";
  }
  return text + kJournalEnd + "\n";
}

// Parses a journal; false when it is incomplete or not a journal.
bool parse_journal(const Layout& layout, const std::string& text, std::vector<JournalMove>* moves) {
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || line != kJournalHeader) return false;
  while (std::getline(lines, line)) {
    if (line == kJournalEnd) return !moves->empty() && lines.peek() == EOF;
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string field; std::getline(parts, field, '\t');) fields.push_back(field);
    if (fields.size() != 5 || fields[0] != "move" || fields[1].empty() || fields[2].empty()) return false;
    JournalMove m;
    m.move = {from_relative_text(layout, fields[1]), from_relative_text(layout, fields[2]),
              from_relative_text(layout, fields[3])};
    try {
      m.size = std::stoull(fields[4]);
    } catch (...) {
      return false;
    }
    moves->push_back(m);
  }
  return false;
}

Status sync_folders(Env& env, const Layout& layout, const std::vector<FileMove>& moves) {
  Status status = env.sync_folder(layout.root);
  for (const FileMove& move : moves) {
    if (status.is_ok()) status = env.sync_folder(move.to.parent_path());
  }
  return status;
}

std::uint64_t size_of(Env& env, const fs::path& path) {
  std::unique_ptr<ReadableFile> file;
  return env.open_readable(path, &file).is_ok() ? file->size() : 0;
}

// Renames made so far, for undoing them in reverse order.
struct Rename {
  fs::path from, to;
};

}  // namespace

fs::path journal_file(const Layout& layout) { return layout.work_file("zenfaro.jrn"); }

Status replace_files(Env& env, const Layout& layout, const std::vector<FileMove>& moves) {
  for (std::size_t i = 0; i + 1 < moves.size(); ++i) {
    if (moves[i].backup.empty()) return Status::refused("Internal error: a replacement that could not be undone.");
  }
  Status status = finish_interrupted_replacement(env, layout);
  if (!status.is_ok()) return status;

  std::vector<JournalMove> journal;
  for (const FileMove& move : moves) journal.push_back({move, size_of(env, move.from)});
  const fs::path journal_path = journal_file(layout);
  status = write_string_to_file(env, journal_path, journal_text(layout, journal));
  if (status.is_ok()) status = env.sync_folder(layout.root);
  if (!status.is_ok()) {
    env.remove_file(journal_path);
    return status;
  }

  std::vector<Rename> done;
  for (const FileMove& move : moves) {
    if (!move.backup.empty() && env.file_exists(move.to)) {
      status = env.rename_file(move.to, move.backup);
      if (!status.is_ok()) break;
      done.push_back({move.to, move.backup});
    }
    status = env.rename_file(move.from, move.to);
    if (!status.is_ok()) break;
    done.push_back({move.from, move.to});
  }

  if (!status.is_ok()) {
    bool undone = true;
    for (auto it = done.rbegin(); it != done.rend() && undone; ++it) {
      undone = env.rename_file(it->to, it->from).is_ok();
    }
    if (!undone) {
      return Status::io_error(status.message() +
                              " The change will be completed the next time the database is opened.");
    }
    env.remove_file(journal_path);
    env.sync_folder(layout.root);
    return Status::io_error(status.message() + " The database was left as it was.");
  }

  // The new files are in place. If the journal cannot be removed now, the
  // next opening finds nothing left to move and removes it then.
  sync_folders(env, layout, moves);
  if (env.remove_file(journal_path).is_ok()) env.sync_folder(layout.root);
  return Status::ok();
}

Status finish_interrupted_replacement(Env& env, const Layout& layout) {
  const fs::path journal_path = journal_file(layout);
  if (!env.file_exists(journal_path)) return Status::ok();
  std::string text;
  Status status = read_file_to_string(env, journal_path, &text);
  if (!status.is_ok()) return status;

  std::vector<JournalMove> journal;
  if (!parse_journal(layout, text, &journal)) {
    // Cut short while it was written: no move was made.
    status = env.remove_file(journal_path);
    return status.is_ok() || status.is_not_found() ? Status::ok() : status;
  }
  for (const JournalMove& m : journal) {
    if (env.file_exists(m.move.from) && size_of(env, m.move.from) != m.size) {
      return Status::io_error("An interrupted change of the database could not be completed: \"" +
                              m.move.from.u8string() + "\" is not the file that was written. Nothing was changed.");
    }
  }
  // Each move is made only while its new file is still there, so this can
  // run again after any interruption.
  for (const JournalMove& m : journal) {
    if (!env.file_exists(m.move.from)) continue;
    if (!m.move.backup.empty() && env.file_exists(m.move.to)) {
      status = env.rename_file(m.move.to, m.move.backup);
      if (!status.is_ok()) break;
    }
    status = env.rename_file(m.move.from, m.move.to);
    if (!status.is_ok()) break;
  }
  if (!status.is_ok()) {
    return Status::io_error("An interrupted change of the database could not be completed: " + status.message());
  }
  std::vector<FileMove> moves;
  for (const JournalMove& m : journal) moves.push_back(m.move);
  sync_folders(env, layout, moves);
  env.remove_file(journal_path);
  env.sync_folder(layout.root);
  return Status::ok();
}

}  // namespace zenfaro
