#include "core/index_file.h"

#include <algorithm>

namespace zenfaro {

std::int64_t index_field_count(std::uint64_t length) {
  std::uint64_t fields = length / kIndexFieldBytes;
  const std::uint64_t rest = length % kIndexFieldBytes;
  if (rest > 2 || (rest == 2 && fields % 2 == 1)) ++fields;
  return static_cast<std::int64_t>(fields);
}

std::int32_t decode_index_field(const unsigned char* bytes, std::size_t available) {
  std::uint32_t value = 0;
  for (std::size_t i = std::min(available, kIndexFieldBytes); i > 0; --i) value = (value << 8) | bytes[i - 1];
  return static_cast<std::int32_t>(value);
}

void encode_index_field(std::int32_t value, char bytes[kIndexFieldBytes]) {
  auto bits = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < kIndexFieldBytes; ++i, bits >>= 8) bytes[i] = static_cast<char>(bits & 0xFF);
}

IndexReader::IndexReader(ReadableFile* file)
    : file_(file), fields_(file != nullptr ? index_field_count(file->size()) : 0) {}

std::int32_t IndexReader::field(std::int64_t k) {
  if (file_ == nullptr) return 0;
  const std::uint64_t at = static_cast<std::uint64_t>(k - 1) * kIndexFieldBytes;
  if (at < buffer_start_ || at + kIndexFieldBytes > buffer_start_ + filled_) {
    buffer_start_ = at;
    filled_ = 0;
    // A positioned read may return less than asked before the end of the file.
    while (filled_ < buffer_.size()) {
      std::size_t got = 0;
      const Status status = file_->read_at(at + filled_, buffer_.data() + filled_, buffer_.size() - filled_, &got);
      if (!status.is_ok() && status_.is_ok()) status_ = status;
      if (!status.is_ok() || got == 0) break;
      filled_ += got;
    }
  }
  if (at >= buffer_start_ + filled_) return 0;
  const std::size_t available = static_cast<std::size_t>(buffer_start_ + filled_ - at);
  return decode_index_field(reinterpret_cast<const unsigned char*>(buffer_.data() + (at - buffer_start_)), available);
}

}  // namespace zenfaro
