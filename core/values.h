// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// How a field's text becomes a number and a number becomes text, and the
// integer arithmetic the Address ID split needs. Every rule here decides
// characters the program writes, so the conversions use nothing else.

#include <cstdint>
#include <string>
#include <string_view>

namespace quorran {

// The value of the longest leading number in `text`; 0 when it does not start
// with one. Blanks, tabs and line feeds are ignored wherever they stand. After
// an optional sign comes either a decimal number (digits, an optional "." with
// fraction digits, an optional exponent "E"/"e" with optional sign and digits)
// or a radix number: "0x"/"0X" or "&H"/"&h" with hexadecimal digits, "&O"/"&o"
// with octal digits. The result is the correctly rounded double; a number too
// large for a double gives +/-infinity, never NaN. Linear in the text's length.
double ParseNumber(std::u16string_view text);

// As above; `length` is set to how many characters of `text` the number takes,
// with the blanks around it, and to 0 where the text does not start with one.
// A text read as a whole gives its own length.
double ParseNumber(std::u16string_view text, std::size_t &length);

// The text of a value with a blank in place of a non-negative sign. Whole
// numbers are plain digits; others use the shortest digits that read back to
// the same double, plainly while the decimal exponent lies in [-5, 14] and as
// d.dddE+-x otherwise. Negative zero is " 0". Infinities and NaN (which
// ParseNumber never yields) are written " Infinity", "-Infinity" and " NaN".
std::u16string FormatNumber(double value);

// A one-character text.
std::u16string Char(char16_t code);

std::u16string Join(std::u16string_view left, std::u16string_view right);

// Both operands are first rounded to whole numbers, halves to the even
// neighbour, and clamped to the 32-bit range (NaN counts as 0). The quotient
// truncates toward zero; INT32_MIN / -1 gives INT32_MAX; a zero divisor gives 0.
std::int32_t IntegerQuotient(double dividend, double divisor);

// Operands as for IntegerQuotient; the remainder of the truncating division,
// with the dividend's sign. A zero divisor gives 0.
std::int32_t Remainder(double dividend, double divisor);

// Half-to-even rounding to a 32-bit integer, clamped; NaN gives 0.
std::int32_t RoundToInt32(double value);

inline bool GreaterThan(double value, double limit) { return value > limit; }
inline bool LessThan(double value, double limit) { return value < limit; }
inline bool LessOrEqual(double value, double limit) { return value <= limit; }

} // namespace quorran
