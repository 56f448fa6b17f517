#include "core/file_digest.h"

#include <vector>

namespace zenfaro {
namespace {

// Eight bytes as one word, the first byte lowest, whatever the machine's
// byte order.
std::uint64_t word_of(const unsigned char* bytes) {
  std::uint64_t word = 0;
  for (int i = 7; i >= 0; --i) word = (word << 8) | bytes[i];
  return word;
}

}  // namespace

void Digester::add(const char* bytes, std::size_t size) {
  const auto* at = reinterpret_cast<const unsigned char*>(bytes);
  size_ += size;
  while (size > 0 && pending_size_ > 0) {  // a word begun by the last piece
    pending_[pending_size_++] = *at++;
    --size;
    if (pending_size_ == 8) {
      mix(word_of(pending_));
      pending_size_ = 0;
    }
  }
  for (; size >= 8; at += 8, size -= 8) mix(word_of(at));
  while (size-- > 0) pending_[pending_size_++] = *at++;
}

FileDigest Digester::finish() const {
  std::uint64_t sum = sum_;
  for (std::size_t i = 0; i < pending_size_; ++i) sum = (sum ^ pending_[i]) * 0x100000001B3ull;
  // Every bit of the length and of the sum reaches every bit of the result.
  sum ^= size_;
  sum ^= sum >> 33;
  sum *= 0xFF51AFD7ED558CCDull;
  sum ^= sum >> 33;
  sum *= 0xC4CEB9FE1A85EC53ull;
  sum ^= sum >> 33;
  return {size_, sum};
}

Status digest_file(Env& env, const std::filesystem::path& path, FileDigest* digest) {
  std::unique_ptr<ReadableFile> file;
  Status status = env.open_readable(path, &file);
  if (!status.is_ok()) return status;
  Digester digester;
  std::vector<char> buffer(256 * 1024);
  for (std::uint64_t offset = 0;;) {
    std::size_t got = 0;
    status = file->read_at(offset, buffer.data(), buffer.size(), &got);
    if (!status.is_ok()) return status;
    if (got == 0) break;
    digester.add(buffer.data(), got);
    offset += got;
  }
  *digest = digester.finish();
  return Status::ok();
}

}  // namespace zenfaro
