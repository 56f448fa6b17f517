#pragma once
// The size and a 64-bit checksum of a file's bytes: how the journal tells
// that a file is the one it wrote down (see core/journal.h). Not a defence
// against someone who sets out to forge a file, but no file written by
// another run, another program or another machine passes for it by chance.
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "core/env.h"

namespace zenfaro {

struct FileDigest {
  std::uint64_t size = 0;
  std::uint64_t sum = 0;
  friend bool operator==(const FileDigest& a, const FileDigest& b) { return a.size == b.size && a.sum == b.sum; }
  friend bool operator!=(const FileDigest& a, const FileDigest& b) { return !(a == b); }
};

// Reads `path` whole (links followed) and digests it.
Status digest_file(Env& env, const std::filesystem::path& path, FileDigest* digest);

// The digest of bytes given in pieces of any size.
class Digester {
 public:
  void add(const char* bytes, std::size_t size);
  FileDigest finish() const;

 private:
  void mix(std::uint64_t word) { sum_ = (sum_ ^ word) * 0x100000001B3ull + 0x9E3779B97F4A7C15ull; }
  std::uint64_t sum_ = 0xCBF29CE484222325ull;
  std::uint64_t size_ = 0;
  unsigned char pending_[8] = {};  // the bytes of a word not yet whole
  std::size_t pending_size_ = 0;
};

}  // namespace zenfaro
