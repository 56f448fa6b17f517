#include "exchange/export_part.h"

#include <string>

#include "exchange/exchange_format.h"

namespace zenfaro {
namespace {

namespace fs = std::filesystem;

constexpr int kAttempts = 100;
// The longest name that every system the program runs on takes (bytes of
// UTF-8 on POSIX systems, UTF-16 units on Windows: never more than bytes).
constexpr std::size_t kMaxNameBytes = 255;

// What an export writes first: the two lines by which a reader recognises
// an exchange file.
std::string exchange_start() { return std::string(kVersionSection) + "\r\n" + std::string(kHandlerLine) + "\r\n"; }

// True when `part` is a regular file (not a link) that starts as an
// exchange file does, or holds a beginning of that start (an export killed
// before its first lines reached the file).
bool left_by_an_export(Env& env, const fs::path& part) {
  const FileInfo info = env.file_info(part);
  if (!info.exists || info.link) return false;
  std::unique_ptr<ReadableFile> file;
  if (!env.open_readable(part, &file).is_ok()) return false;
  const std::string start = exchange_start();
  std::string bytes(start.size(), '\0');
  std::size_t got = 0;
  if (!file->read_at(0, bytes.data(), bytes.size(), &got).is_ok()) return false;
  bytes.resize(got);
  return start.compare(0, got, bytes) == 0 && (got == start.size() || got == file->size());
}

}  // namespace

fs::path part_file(const fs::path& file, int attempt) {
  const std::string suffix = attempt == 0 ? ".part" : "." + std::to_string(attempt) + ".part";
  std::string name = file.filename().u8string();
  if (name.size() + suffix.size() > kMaxNameBytes) {
    std::size_t keep = kMaxNameBytes - suffix.size();
    // Cut before a whole character, never inside one.
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    name.resize(keep);
  }
  return file.parent_path() / fs::u8path(name + suffix);
}

Status create_part_file(Env& env, const fs::path& file, fs::path* part, std::unique_ptr<WritableFile>* out) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const fs::path leftover = part_file(file, attempt);
    if (left_by_an_export(env, leftover)) env.remove_file(leftover).ignore_error();
  }
  Status status;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    *part = part_file(file, attempt);
    status = env.open_writable(*part, OpenMode::create_new, out);
    if (status.is_ok() || !env.file_info(*part).present()) return status;  // done, or a real failure
  }
  return status;
}

}  // namespace zenfaro
