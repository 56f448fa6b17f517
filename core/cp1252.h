#pragma once
// Entries are Windows-1252 bytes. These conversions to and from Unicode are
// lossless for all 256 byte values: the five values that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters
// U+0081, U+008D, U+008F, U+0090 and U+009D and back.
#include <optional>
#include <string>
#include <string_view>

namespace zenfaro {

char32_t cp1252_to_unicode(unsigned char byte);
// The byte for `code_point`, or nothing when Windows-1252 cannot hold it.
std::optional<unsigned char> unicode_to_cp1252(char32_t code_point);

// Windows-1252 bytes as UTF-8.
std::string cp1252_to_utf8(std::string_view bytes);

// UTF-8 as Windows-1252 bytes. On failure returns nothing and, when `problem`
// is given, a sentence naming the first character that cannot be held (or
// saying that the text is not UTF-8).
std::optional<std::string> utf8_to_cp1252(std::string_view utf8, std::string* problem = nullptr);

}  // namespace zenfaro
