#pragma once
// The index file commdb.idx, written down once: one 4-byte field per record,
// the start of the record in commdb.dat as a signed 32-bit integer, least
// significant byte first, with nothing before, between or after the fields.
// Decoding and encoding stand side by side, with the one rule for how many
// fields a file of a given length holds and the one reader of the fields.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/env.h"

namespace zenfaro {

constexpr std::size_t kIndexFieldBytes = 4;

// The number of fields in an index file of `length` bytes: length / 4 to the
// nearest integer, halves to the even one (a 5-byte file holds 1 field, a
// 6-byte file 2).
std::int64_t index_field_count(std::uint64_t length);

// A field from its first `available` bytes (1 to 4): a field cut short by
// the end of the file has zero high-order bytes.
std::int32_t decode_index_field(const unsigned char* bytes, std::size_t available = kIndexFieldBytes);
// The 4 bytes of a field.
void encode_index_field(std::int32_t value, char bytes[kIndexFieldBytes]);

// Reads the fields of an index file in ascending order through a buffer, so
// an index of any length costs no more memory than the buffer.
class IndexReader {
 public:
  // `file` may be null: a missing index has no fields.
  explicit IndexReader(ReadableFile* file);

  std::int64_t fields() const { return fields_; }
  // Field k, 1 to fields(), for k ascending. A read error reads as 0 and is
  // kept in status().
  std::int32_t field(std::int64_t k);
  const Status& status() const { return status_; }

 private:
  ReadableFile* file_;
  std::int64_t fields_ = 0;
  std::vector<char> buffer_ = std::vector<char>(64 * 1024);
  std::uint64_t buffer_start_ = 0;
  std::size_t filled_ = 0;
  Status status_;
};

}  // namespace zenfaro
