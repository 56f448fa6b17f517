#include "core/line_writer.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "core/index_file.h"

namespace zenfaro {
namespace {
constexpr std::size_t kBufferSize = 256 * 1024;
}

LineWriter::LineWriter(std::unique_ptr<WritableFile> file) : file_(std::move(file)), buffer_(new char[kBufferSize]) {}

Status LineWriter::create(Env& env, const std::filesystem::path& path, std::unique_ptr<LineWriter>* writer) {
  std::unique_ptr<WritableFile> file;
  Status status = create_file_anew(env, path, &file);
  if (status.is_ok()) writer->reset(new LineWriter(std::move(file)));
  return status;
}

Status LineWriter::append(Env& env, const std::filesystem::path& path, std::unique_ptr<LineWriter>* writer) {
  std::unique_ptr<WritableFile> file;
  Status status = env.open_writable(path, OpenMode::append, &file);
  if (status.is_ok()) writer->reset(new LineWriter(std::move(file)));
  return status;
}

void LineWriter::write_bytes(std::string_view bytes) {
  written_ += bytes.size();
  if (!status_.is_ok()) return;
  if (used_ + bytes.size() > kBufferSize) drain();
  if (bytes.size() >= kBufferSize) {
    if (status_.is_ok()) status_ = file_->append(bytes);
    return;
  }
  std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
}

void LineWriter::write_count(std::int64_t count) {
  // " 7 " CR LF, formatted in place: a count line per list adds up. A
  // count below 0 is read as 0, and so written.
  char text[32];
  char* end = text;
  *end++ = ' ';
  end = std::to_chars(end, text + sizeof text, std::max<std::int64_t>(count, 0)).ptr;
  *end++ = ' ';
  *end++ = '\r';
  *end++ = '\n';
  write_bytes(std::string_view(text, static_cast<std::size_t>(end - text)));
}

void LineWriter::write_line(std::string_view text) {
  written_ += text.size() + 2;
  if (status_.is_ok() && used_ + text.size() + 2 <= kBufferSize) {
    char* at = buffer_.get() + used_;
    std::memcpy(at, text.data(), text.size());
    at[text.size()] = '\r';
    at[text.size() + 1] = '\n';
    used_ += text.size() + 2;
    return;
  }
  written_ -= text.size() + 2;
  write_bytes(text);
  write_bytes("\r\n");
}

void LineWriter::write_index_field(std::int32_t value) {
  char bytes[kIndexFieldBytes];
  encode_index_field(value, bytes);
  write_bytes(std::string_view(bytes, kIndexFieldBytes));
}

void LineWriter::drain() {
  if (status_.is_ok() && used_ > 0) status_ = file_->append(std::string_view(buffer_.get(), used_));
  used_ = 0;
}

Status LineWriter::finish() {
  drain();
  if (status_.is_ok()) status_ = file_->sync();
  const Status closed = file_->close();
  if (status_.is_ok()) status_ = closed;
  return status_;
}

Status LineWriter::close() {
  drain();
  const Status closed = file_->close();
  if (status_.is_ok()) status_ = closed;
  return status_;
}

}  // namespace zenfaro
