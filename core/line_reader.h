#pragma once
// The reading rules shared by every reader of record text (the data file,
// the exchange files, the import's work file):
//  1. a count line: leading spaces skipped; the number is the run up to the
//     first comma, space, CR or 0x1A, with TAB and LF dropped and at most 255
//     bytes kept; then spaces, TABs and LFs are skipped and one CR (with an
//     LF right after it) or one comma is consumed;
//  2. an entry line: the bytes up to the next CR; the CR and one LF right
//     after it are consumed; a lone LF belongs to the entry; 0x1A ends the
//     entry and counts as the end of the data;
//  3. the end of the data is reached when no byte is left or the next byte
//     is 0x1A;
//  4. a count read at the end is 0 and an entry line read there is empty.
// A read error is remembered in status() and from then on reads as the end
// of the data, so that callers that write must check status() before they
// trust what they copied.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/env.h"

namespace zenfaro {

class LineReader {
 public:
  // Reads `file` from its start, `buffer_size` bytes per positioned read.
  // `file` may be null (a file that could not be opened reads as empty).
  explicit LineReader(ReadableFile* file, std::size_t buffer_size = 64 * 1024);

  // Moves to `offset` from the start of the file. With `read_size`, the
  // reads from there fetch that many bytes each (a record whose length is
  // known comes in one read, and no byte more); otherwise a buffer's worth.
  void seek(std::uint64_t offset, std::size_t read_size = 0);
  // Rule 3: true when no byte is left or the next byte is 0x1A.
  bool at_end();
  // Rule 1, with rule 4: the count as written, which may be negative.
  std::int32_t read_count();
  // A count of entries to read for one list: read_count(), with a negative
  // count taken as 0 and a count bounded by the bytes left in the file plus
  // kMaxListEntries (see core/record.h).
  std::int64_t read_list_count();
  // Rule 2, with rule 4. Keeps at most `keep` bytes of the entry in `*entry`
  // but always consumes the whole line.
  void read_entry(std::string* entry, std::size_t keep = std::numeric_limits<std::size_t>::max());
  // The same, without copying the line when it lies whole in the buffer: the
  // view is valid until the next read. A line that does not is put together
  // in `scratch`.
  std::string_view read_entry_view(std::string& scratch, std::size_t keep = std::numeric_limits<std::size_t>::max());
  // The lines from the read position on that read as entries which, each
  // written back with CR LF, give the same bytes (every line ends in CR LF,
  // no 0x1A): as many as lie whole in the buffer, consumed at once. Empty
  // when the next line is not such a line. Valid until the next read.
  std::string_view read_plain_lines();
  // The position of the next byte to be read, from the start of the file.
  std::uint64_t position() const { return buffer_start_ + next_; }
  // The first read error, or ok.
  const Status& status() const { return status_; }

 private:
  // The next byte, or -1 when no byte is left. Does not treat 0x1A specially.
  int peek();
  void advance() { ++next_; }
  bool refill();

  ReadableFile* file_;
  std::vector<char> buffer_;
  std::uint64_t buffer_start_ = 0;  // file position of buffer_[0]
  std::size_t next_ = 0;            // index of the next byte in buffer_
  std::size_t filled_ = 0;          // bytes of buffer_ that hold data
  std::size_t read_size_ = 0;       // bytes per read, 0 for the whole buffer
  bool exhausted_ = false;
  Status status_;
};

}  // namespace zenfaro
