// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// ParseNumber reads the text once through a cursor that steps over blanks,
// tabs and line feeds. Decimal numbers keep at most kMaxDigits significant
// digits plus a sticky digit for any non-zero digit beyond them, which is
// enough for std::from_chars to round exactly as it would on the full text;
// radix numbers are rounded by hand from a 64-bit window of their bits.

#include "values.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace quorran {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A correctly rounded double never needs more than 768 significant decimal
// digits; the rest only matters as "zero or not".
constexpr std::size_t kMaxDigits = 800;
// Beyond these decimal exponents every value is infinity or zero.
constexpr std::int64_t kOverflowExponent = 310;
constexpr std::int64_t kUnderflowExponent = -330;
// Saturation bound for digit and exponent counts; far outside both limits.
constexpr std::int64_t kCountLimit = std::int64_t{1} << 50;

bool isIgnored(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

int digitValue(char16_t c, int radix)
{
    int value = radix;
    if (c >= u'0' && c <= u'9')
        value = c - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c - u'A' + 10;
    return value < radix ? value : -1;
}

class Cursor {
public:
    explicit Cursor(std::u16string_view text) : m_text(text) { skipIgnored(); }

    // The current character; U+0000 past the end, which no rule accepts.
    char16_t peek() const { return m_pos < m_text.size() ? m_text[m_pos] : u'\0'; }
    void advance()
    {
        ++m_pos;
        skipIgnored();
    }
    bool accept(char16_t lower)
    {
        const char16_t c = peek();
        if (c != lower && c != lower - (u'a' - u'A'))
            return false;
        advance();
        return true;
    }
    std::size_t position() const { return m_pos; }
    void rewind(std::size_t pos) { m_pos = pos; }

private:
    void skipIgnored()
    {
        while (m_pos < m_text.size() && isIgnored(m_text[m_pos]))
            ++m_pos;
    }

    std::u16string_view m_text;
    std::size_t m_pos = 0;
};

std::int64_t saturatedAdd(std::int64_t count, std::int64_t step) { return count < kCountLimit ? count + step : count; }

// Digits of the given radix as an unsigned integer, rounded half to even.
double readRadixDigits(Cursor &cursor, int radix, int bitsPerDigit)
{
    std::uint64_t bits = 0;
    std::int64_t droppedBits = 0;
    bool droppedNonZero = false;
    for (int digit = digitValue(cursor.peek(), radix); digit >= 0; digit = digitValue(cursor.peek(), radix)) {
        // Keep at least 57 exact leading bits: 53 for the result, one to round
        // on and a few more; later digits only count as zero or not.
        if ((bits >> 56) == 0) {
            bits = (bits << bitsPerDigit) | static_cast<std::uint64_t>(digit);
        } else {
            droppedBits = saturatedAdd(droppedBits, bitsPerDigit);
            droppedNonZero = droppedNonZero || digit != 0;
        }
        cursor.advance();
    }
    if (bits == 0)
        return 0.0;
    const int excess = static_cast<int>(std::bit_width(bits)) - std::numeric_limits<double>::digits;
    std::int64_t exponent = droppedBits;
    if (excess > 0) {
        const std::uint64_t low = bits & ((std::uint64_t{1} << excess) - 1);
        const std::uint64_t half = std::uint64_t{1} << (excess - 1);
        bits >>= excess;
        if (low > half || (low == half && (droppedNonZero || (bits & 1U) != 0)))
            ++bits;
        exponent += excess;
    }
    if (exponent > std::int64_t{2} * std::numeric_limits<double>::max_exponent)
        return kInfinity;
    // Nearly every number fits its bits as they are.
    if (exponent == 0)
        return static_cast<double>(bits);
    return std::ldexp(static_cast<double>(bits), static_cast<int>(exponent));
}

// Reads an optional exponent; leaves the cursor before an "E" with no digits.
std::int64_t readExponent(Cursor &cursor)
{
    const std::size_t start = cursor.position();
    if (!cursor.accept(u'e'))
        return 0;
    bool negative = false;
    if (cursor.peek() == u'+' || cursor.peek() == u'-') {
        negative = cursor.peek() == u'-';
        cursor.advance();
    }
    if (digitValue(cursor.peek(), 10) < 0) {
        cursor.rewind(start);
        return 0;
    }
    std::int64_t exponent = 0;
    for (int digit = digitValue(cursor.peek(), 10); digit >= 0; digit = digitValue(cursor.peek(), 10)) {
        if (exponent < kCountLimit)
            exponent = exponent * 10 + digit;
        cursor.advance();
    }
    return negative ? -exponent : exponent;
}

// Exact powers of ten: a product or quotient with one of them rounds once.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::int64_t kExactPowerLimit = 22;
constexpr std::size_t kExactDigits = 15; // below 2^53

// A decimal number; `found` tells whether the text had one at all.
double readDecimal(Cursor &cursor, bool &found)
{
    // Room for "0.", the kept digits, a sticky digit and "e-" with an exponent.
    // Left uninitialised: only the written prefix is ever read.
    char text[kMaxDigits + 32]; // NOLINT(cppcoreguidelines-pro-type-member-init)
    text[0] = '0';
    text[1] = '.';
    std::size_t kept = 0;
    std::uint64_t mantissa = 0; // the kept digits while there are few of them
    bool truncatedNonZero = false;
    std::int64_t pointExponent = 0; // value = 0.<kept digits> * 10^pointExponent
    found = false;

    const auto take = [&](int digit, bool beforePoint) {
        found = true;
        if (kept == 0 && digit == 0) {
            if (!beforePoint)
                pointExponent = saturatedAdd(pointExponent, -1);
            return;
        }
        if (beforePoint)
            pointExponent = saturatedAdd(pointExponent, 1);
        if (kept < kMaxDigits) {
            text[2 + kept++] = static_cast<char>('0' + digit);
            if (kept <= kExactDigits)
                mantissa = mantissa * 10 + static_cast<std::uint64_t>(digit);
        } else {
            truncatedNonZero = truncatedNonZero || digit != 0;
        }
    };

    for (int digit = digitValue(cursor.peek(), 10); digit >= 0; digit = digitValue(cursor.peek(), 10)) {
        take(digit, true);
        cursor.advance();
    }
    if (cursor.peek() == u'.') {
        cursor.advance();
        for (int digit = digitValue(cursor.peek(), 10); digit >= 0; digit = digitValue(cursor.peek(), 10)) {
            take(digit, false);
            cursor.advance();
        }
    }
    if (!found)
        return 0.0;
    // Leading fraction zeros may have counted down a value that turned out
    // zero; its exponent is still part of the number.
    if (kept == 0) {
        readExponent(cursor);
        return 0.0;
    }

    const std::int64_t exponent = pointExponent + readExponent(cursor);
    if (exponent > kOverflowExponent)
        return kInfinity;
    if (exponent < kUnderflowExponent)
        return 0.0;

    // value = mantissa * 10^scale; both exact for short inputs.
    const std::int64_t scale = exponent - static_cast<std::int64_t>(kept);
    if (kept <= kExactDigits && scale >= -kExactPowerLimit && scale <= kExactPowerLimit) {
        const auto m = static_cast<double>(mantissa);
        return scale >= 0 ? m * kExactPowers[scale] : m / kExactPowers[-scale];
    }

    std::size_t length = 2 + kept;
    if (truncatedNonZero)
        text[length++] = '1';
    text[length++] = 'e';
    const auto written = std::to_chars(text + length, text + sizeof text, exponent);
    double value = 0.0;
    const auto result = std::from_chars(text, written.ptr, value);
    if (result.ec == std::errc::result_out_of_range)
        return exponent > 0 ? kInfinity : 0.0;
    return value;
}

std::u16string widen(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

std::int32_t clampedQuotient(std::int32_t dividend, std::int32_t divisor)
{
    if (divisor == 0)
        return 0;
    if (divisor == -1)
        return dividend == std::numeric_limits<std::int32_t>::min() ? std::numeric_limits<std::int32_t>::max()
                                                                    : -dividend;
    return dividend / divisor;
}

} // namespace

double ParseNumber(std::u16string_view text)
{
    std::size_t length = 0;
    return ParseNumber(text, length);
}

double ParseNumber(std::u16string_view text, std::size_t &length)
{
    length = 0;
    Cursor cursor(text);
    bool negative = false;
    if (cursor.peek() == u'+' || cursor.peek() == u'-') {
        negative = cursor.peek() == u'-';
        cursor.advance();
    }

    double magnitude = 0.0;
    if (cursor.peek() == u'&') {
        cursor.advance();
        int radix = 8;
        if (cursor.accept(u'h'))
            radix = 16;
        else if (!cursor.accept(u'o'))
            return 0.0;
        const std::size_t digits = cursor.position();
        magnitude = radix == 16 ? readRadixDigits(cursor, 16, 4) : readRadixDigits(cursor, 8, 3);
        // "&H" without digits reads as zero, but is no number.
        if (cursor.position() == digits)
            return negative ? -magnitude : magnitude;
    } else {
        const std::size_t start = cursor.position();
        bool hex = false;
        if (cursor.peek() == u'0') {
            cursor.advance();
            hex = cursor.accept(u'x') && digitValue(cursor.peek(), 16) >= 0;
            if (!hex)
                cursor.rewind(start);
        }
        bool found = true;
        magnitude = hex ? readRadixDigits(cursor, 16, 4) : readDecimal(cursor, found);
        if (!found)
            return 0.0;
    }
    length = cursor.position();
    return negative ? -magnitude : magnitude;
}

std::u16string FormatNumber(double value)
{
    if (std::isnan(value))
        return u" NaN";
    if (std::isinf(value))
        return value > 0 ? u" Infinity" : u"-Infinity";

    std::u16string out(1, value < 0 ? u'-' : u' ');
    const double magnitude = std::fabs(value);
    char buffer[400];
    if (magnitude == std::trunc(magnitude)) {
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed);
        return out + widen({buffer, result.ptr});
    }

    // Shortest round-trip digits, as d[.ddd]e+-x, taken apart and laid out again.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = text.find('e');
    std::string digits(text.substr(0, e));
    if (digits.size() > 1)
        digits.erase(1, 1);
    const int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());

    std::string laidOut;
    if (exponent >= -5 && exponent <= 14) {
        if (exponent < 0) {
            laidOut = "0.";
            laidOut.append(static_cast<std::size_t>(-exponent - 1), '0');
            laidOut += digits;
        } else {
            // Not whole, so there are digits after the point.
            const auto whole = static_cast<std::size_t>(exponent) + 1;
            laidOut.assign(digits, 0, whole);
            laidOut += '.';
            laidOut.append(digits, whole);
        }
    } else {
        // Appended piece by piece: GCC 12 sees a false overlap in
        // "." + digits.substr(1) at -O2 (-Wrestrict).
        laidOut = digits.front();
        if (digits.size() > 1) {
            laidOut += '.';
            laidOut.append(digits, 1);
        }
        laidOut += exponent < 0 ? "E-" : "E+";
        laidOut += std::to_string(std::abs(exponent));
    }
    return out + widen(laidOut);
}

std::u16string Char(char16_t code) { return {code}; }

std::u16string Join(std::u16string_view left, std::u16string_view right)
{
    // Capacities in powers of two: a log that grows line by line then asks the
    // allocator for the same few sizes again and again, which it can reuse,
    // instead of ever larger blocks that each cost fresh pages.
    std::u16string joined;
    joined.reserve(std::bit_ceil(left.size() + right.size()));
    joined.append(left);
    joined.append(right);
    return joined;
}

std::int32_t RoundToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0))
        rounded = floor + 1.0;
    constexpr double kLow = std::numeric_limits<std::int32_t>::min();
    constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
    if (rounded <= kLow)
        return std::numeric_limits<std::int32_t>::min();
    if (rounded >= kHigh)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

std::int32_t IntegerQuotient(double dividend, double divisor)
{
    return clampedQuotient(RoundToInt32(dividend), RoundToInt32(divisor));
}

std::int32_t Remainder(double dividend, double divisor)
{
    const std::int32_t a = RoundToInt32(dividend);
    const std::int32_t b = RoundToInt32(divisor);
    if (b == 0 || b == -1)
        return 0;
    return a % b;
}

} // namespace quorran
