#include "core/line_writer.h"

#include "core/number_text.h"

namespace zenfaro {
namespace {
constexpr std::size_t kBufferSize = 256 * 1024;
}

LineWriter::LineWriter(std::unique_ptr<WritableFile> file) : file_(std::move(file)) {
  buffer_.reserve(kBufferSize);
}

Status LineWriter::open(Env& env, const std::filesystem::path& path, OpenMode mode,
                        std::unique_ptr<LineWriter>* writer) {
  std::unique_ptr<WritableFile> file;
  Status status = env.open_writable(path, mode, &file);
  if (status.is_ok()) writer->reset(new LineWriter(std::move(file)));
  return status;
}

void LineWriter::write_bytes(std::string_view bytes) {
  written_ += bytes.size();
  if (!status_.is_ok()) return;
  if (buffer_.size() + bytes.size() > kBufferSize) drain();
  if (bytes.size() >= kBufferSize) {
    if (status_.is_ok()) status_ = file_->append(bytes);
    return;
  }
  buffer_.append(bytes);
}

void LineWriter::write_count(std::int64_t count) { write_bytes(count_line(count)); }

void LineWriter::write_line(std::string_view text) {
  write_bytes(text);
  write_bytes("\r\n");
}

void LineWriter::write_int32(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  const char bytes[4] = {static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
                         static_cast<char>((bits >> 16) & 0xFF), static_cast<char>((bits >> 24) & 0xFF)};
  write_bytes(std::string_view(bytes, 4));
}

void LineWriter::drain() {
  if (status_.is_ok() && !buffer_.empty()) status_ = file_->append(buffer_);
  buffer_.clear();
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
