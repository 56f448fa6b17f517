#pragma once
// Numbers as the database files and the record-number box carry them.
#include <cstdint>
#include <string>
#include <string_view>

namespace zenfaro {

// Reads the number at the start of `text` the way the stored counts are
// read: leading spaces and tabs are skipped; a decimal number with optional
// sign, fraction and exponent (E or D) is taken to the nearest integer,
// halves to the even one; "&H" reads hexadecimal, "&B" binary, and "&O",
// "&Q" or a bare "&" octal. Text without a leading number reads as 0.
// Results beyond the 32-bit range are clamped to it.
std::int32_t leading_number(std::string_view text);

// As leading_number, but decimal numbers only: text starting with "&" reads
// as 0. The record-number box is read this way.
std::int32_t leading_decimal_number(std::string_view text);

// A number in the stored signed form: a space (or "-" for negative values),
// the decimal digits, a space. 7 gives " 7 ", -12 gives "-12 ".
std::string signed_number_text(std::int64_t value);

}  // namespace zenfaro
