#include "core/line_reader.h"

#include <algorithm>
#include <cstring>

#include "core/number_text.h"
#include "core/record.h"

namespace zenfaro {
namespace {

// The first CR or 0x1A in [begin, end), or end. Two memchr passes are much
// faster than a byte loop on the long runs of text that entries are.
const char* find_line_stop(const char* begin, const char* end) {
  const void* cr = std::memchr(begin, '\r', static_cast<std::size_t>(end - begin));
  const char* limit = cr != nullptr ? static_cast<const char*>(cr) : end;
  const void* eof = std::memchr(begin, kEndOfData, static_cast<std::size_t>(limit - begin));
  return eof != nullptr ? static_cast<const char*>(eof) : limit;
}

}  // namespace

LineReader::LineReader(ReadableFile* file, std::size_t buffer_size)
    : file_(file), buffer_(buffer_size), exhausted_(file == nullptr) {}

void LineReader::seek(std::uint64_t offset, std::size_t read_size) {
  if (file_ == nullptr || !status_.is_ok()) return;
  read_size_ = read_size;
  if (read_size > buffer_.size()) buffer_.resize(read_size);
  // Stay in the buffer when the target is already there.
  if (offset >= buffer_start_ && offset <= buffer_start_ + filled_) {
    next_ = static_cast<std::size_t>(offset - buffer_start_);
    exhausted_ = false;
    return;
  }
  buffer_start_ = offset;
  next_ = filled_ = 0;
  exhausted_ = false;
}

bool LineReader::refill() {
  if (exhausted_) return false;
  buffer_start_ += filled_;
  next_ = filled_ = 0;
  std::size_t got = 0;
  const std::size_t wanted = read_size_ != 0 ? read_size_ : buffer_.size();
  Status status = file_->read_at(buffer_start_, buffer_.data(), wanted, &got);
  if (!status.is_ok()) status_ = status;
  if (!status.is_ok() || got == 0) {
    exhausted_ = true;
    return false;
  }
  filled_ = got;
  return true;
}

int LineReader::peek() {
  if (next_ >= filled_ && !refill()) return -1;
  return static_cast<unsigned char>(buffer_[next_]);
}

bool LineReader::at_end() {
  const int byte = peek();
  return byte < 0 || byte == kEndOfData;
}

std::int32_t LineReader::read_count() {
  if (at_end()) return 0;
  int byte = peek();
  while (byte == ' ') {
    advance();
    byte = peek();
  }
  std::string kept;
  while (byte >= 0 && byte != ',' && byte != ' ' && byte != '\r' && byte != kEndOfData) {
    if (byte != '\t' && byte != '\n' && kept.size() < 255) kept += static_cast<char>(byte);
    advance();
    byte = peek();
  }
  while (byte == ' ' || byte == '\t' || byte == '\n') {
    advance();
    byte = peek();
  }
  if (byte == '\r') {
    advance();
    if (peek() == '\n') advance();
  } else if (byte == ',') {
    advance();
  }
  return leading_number(kept);
}

std::int64_t LineReader::read_list_count() {
  const std::int64_t count = std::max<std::int32_t>(read_count(), 0);
  const std::uint64_t size = file_ != nullptr ? file_->size() : 0;
  const std::uint64_t here = position();
  const std::int64_t left = size > here ? static_cast<std::int64_t>(size - here) : 0;
  return std::min(count, left + kMaxListEntries);
}

void LineReader::read_entry(std::string* entry, std::size_t keep) {
  entry->clear();
  for (;;) {
    if (next_ >= filled_ && !refill()) return;
    const char* begin = buffer_.data() + next_;
    const char* end = buffer_.data() + filled_;
    const char* stop = find_line_stop(begin, end);
    const std::size_t room = keep - std::min(keep, entry->size());
    entry->append(begin, std::min<std::size_t>(static_cast<std::size_t>(stop - begin), room));
    next_ += static_cast<std::size_t>(stop - begin);
    if (stop == end) continue;
    if (*stop == kEndOfData) return;  // the 0x1A stays: it is the end of the data
    advance();                        // the CR
    if (peek() == '\n') advance();
    return;
  }
}

std::string_view LineReader::read_entry_view(std::string& scratch, std::size_t keep) {
  if (next_ < filled_) {
    const char* begin = buffer_.data() + next_;
    const char* end = buffer_.data() + filled_;
    const char* stop = find_line_stop(begin, end);
    // The LF after the CR must be in the buffer too: a refill would move the
    // line away.
    if (stop != end && (*stop == kEndOfData || stop + 1 < end)) {
      const std::string_view line(begin, std::min(static_cast<std::size_t>(stop - begin), keep));
      next_ = static_cast<std::size_t>(stop - buffer_.data());
      if (*stop == '\r') {
        ++next_;
        if (buffer_[next_] == '\n') ++next_;
      }
      return line;
    }
  }
  read_entry(&scratch, keep);
  return scratch;
}

std::string_view LineReader::read_plain_lines() {
  if (next_ >= filled_ && !refill()) return {};
  const char* begin = buffer_.data() + next_;
  const char* end = buffer_.data() + filled_;
  if (const void* eof = std::memchr(begin, kEndOfData, static_cast<std::size_t>(end - begin))) {
    end = static_cast<const char*>(eof);
  }
  const char* done = begin;  // just after the last CR LF
  while (const void* found = std::memchr(done, '\r', static_cast<std::size_t>(end - done))) {
    const char* cr = static_cast<const char*>(found);
    if (cr + 1 == end || cr[1] != '\n') break;
    done = cr + 2;
  }
  next_ += static_cast<std::size_t>(done - begin);
  return std::string_view(begin, static_cast<std::size_t>(done - begin));
}

}  // namespace zenfaro
