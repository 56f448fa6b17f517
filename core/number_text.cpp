#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace zenfaro {
namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

std::int32_t clamp_to_int32(double value) {
  if (value >= static_cast<double>(kInt32Max)) return static_cast<std::int32_t>(kInt32Max);
  if (value <= static_cast<double>(kInt32Min)) return static_cast<std::int32_t>(kInt32Min);
  return static_cast<std::int32_t>(value);
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

int digit_value(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// "&H1F", "&B101", "&O17", "&Q17" or "&17"; `text` starts after the "&".
std::int32_t based_number(std::string_view text) {
  int base = 8;
  if (!text.empty()) {
    switch (text.front()) {
      case 'h':
      case 'H':
        base = 16;
        text.remove_prefix(1);
        break;
      case 'b':
      case 'B':
        base = 2;
        text.remove_prefix(1);
        break;
      case 'o':
      case 'O':
      case 'q':
      case 'Q':
        base = 8;
        text.remove_prefix(1);
        break;
      default: break;
    }
  }
  std::int64_t value = 0;
  for (const char c : text) {
    const int digit = digit_value(c, base);
    if (digit < 0) break;
    value = value * base + digit;
    if (value > kInt32Max) return static_cast<std::int32_t>(kInt32Max);
  }
  return static_cast<std::int32_t>(value);
}

// A decimal number: [sign] digits [. digits] [E|D [sign] digits].
std::int32_t decimal_number(std::string_view text) {
  // The count lines of every file are plain digits: those need no
  // floating-point conversion.
  std::size_t digits = 0;
  while (digits < text.size() && digits < 10 && is_digit(text[digits])) ++digits;
  const bool more = digits < text.size() && (is_digit(text[digits]) || text[digits] == '.' || text[digits] == 'e' ||
                                             text[digits] == 'E' || text[digits] == 'd' || text[digits] == 'D');
  if (digits > 0 && digits < 10 && !more) {
    std::int32_t value = 0;
    for (std::size_t i = 0; i < digits; ++i) value = value * 10 + (text[i] - '0');
    return value;
  }
  bool negative = false;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::string plain;
  bool any_digit = false;
  for (; i < text.size() && is_digit(text[i]); ++i, any_digit = true) plain += text[i];
  if (i < text.size() && text[i] == '.') {
    plain += text[i++];
    for (; i < text.size() && is_digit(text[i]); ++i, any_digit = true) plain += text[i];
  }
  if (!any_digit) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
    if (j < text.size() && is_digit(text[j])) {
      // Leading zeros add nothing; of the rest, six digits are more than
      // any value needs (beyond them it is clamped anyway).
      while (j + 1 < text.size() && text[j] == '0' && is_digit(text[j + 1])) ++j;
      for (std::size_t kept = 0; j < text.size() && is_digit(text[j]); ++j) {
        if (kept++ < 6) exponent += text[j];
      }
      plain += exponent;
    }
  }
  double value = 0;
  const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    value = plain.find("e-") != std::string::npos ? 0.0 : std::numeric_limits<double>::infinity();
  }
  // Nearest integer with halves to the even one (the default rounding mode).
  value = std::nearbyint(value);
  return clamp_to_int32(negative ? -value : value);
}

std::string_view skip_blanks(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  return text.substr(start);
}

}  // namespace

std::int32_t leading_number(std::string_view text) {
  text = skip_blanks(text);
  if (!text.empty() && text.front() == '&') return based_number(text.substr(1));
  return decimal_number(text);
}

std::int32_t leading_decimal_number(std::string_view text) { return decimal_number(skip_blanks(text)); }

std::string signed_number_text(std::int64_t value) {
  const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::string text(1, value < 0 ? '-' : ' ');
  text += std::to_string(magnitude);
  text += ' ';
  return text;
}

}  // namespace zenfaro
