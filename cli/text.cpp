// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#include "text.h"

#include <cstdint>
#include <cstring>

namespace quorran::cli {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr std::size_t kShownLength = 60;

bool isContinuation(unsigned char byte) { return (byte & 0xC0U) == 0x80; }

// The length of the valid UTF-8 sequence at `at`, 0 when there is none.
std::size_t sequenceLength(std::string_view bytes, std::size_t at)
{
    const auto byte = [&](std::size_t i) -> unsigned char {
        return at + i < bytes.size() ? static_cast<unsigned char>(bytes[at + i]) : 0;
    };
    const unsigned char lead = byte(0);
    // Second-byte ranges exclude overlong forms, surrogates and values past U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    if (lead == 0xE0)
        low = 0xA0;
    else if (lead == 0xED)
        high = 0x9F;
    else if (lead == 0xF0)
        low = 0x90;
    else if (lead == 0xF4)
        high = 0x8F;
    if (byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!isContinuation(byte(i)))
            return 0;
    return length;
}

void appendUtf8(std::string &out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

} // namespace

std::u16string_view decodeUtf8(std::string_view bytes, std::u16string &buffer)
{
    // A sequence of n bytes never gives more than n 16-bit units.
    if (buffer.size() < bytes.size())
        buffer.resize(bytes.size());
    char16_t *const start = buffer.data();
    char16_t *out = start;
    std::size_t i = 0;
    // Nearly every line is ASCII alone, taken here eight bytes at a time.
    constexpr std::uint64_t kHighBits = 0x8080808080808080U;
    for (std::uint64_t block = 0; i + sizeof block <= bytes.size(); i += sizeof block) {
        std::memcpy(&block, bytes.data() + i, sizeof block);
        if ((block & kHighBits) != 0)
            break;
        for (std::size_t k = 0; k < sizeof block; ++k)
            *out++ = static_cast<char16_t>(bytes[i + k]);
    }
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            *out++ = lead;
            ++i;
            continue;
        }
        const std::size_t length = sequenceLength(bytes, i);
        if (length == 0) {
            *out++ = kReplacement;
            ++i;
            continue;
        }
        char32_t code = lead & (0x7FU >> length);
        for (std::size_t k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3FU);
        if (code >= 0x10000) {
            *out++ = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(code);
        }
        i += length;
    }
    return {start, static_cast<std::size_t>(out - start)};
}

void appendAscii(std::string &out, std::u16string_view text)
{
    for (const char16_t c : text)
        out += static_cast<char>(c);
}

void appendQuoted(std::string &out, std::u16string_view text)
{
    out += '"';
    const bool shortened = text.size() > kShownLength;
    if (shortened)
        text = text.substr(0, kShownLength);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        const bool high = code >= 0xD800 && code <= 0xDBFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00U);
        else if (code >= 0xD800 && code <= 0xDFFF)
            code = kReplacement;
        if (code < 0x20 || code == 0x7F || code == u'"' || code == u'\\') {
            static constexpr char kHex[] = "0123456789abcdef";
            out += '\\';
            if (code == u'"' || code == u'\\') {
                out += static_cast<char>(code);
            } else {
                out += 'x';
                out += kHex[code >> 4];
                out += kHex[code & 0xF];
            }
            continue;
        }
        appendUtf8(out, code);
    }
    out += shortened ? "...\"" : "\"";
}

bool splitTriple(std::u16string_view text, std::array<std::u16string_view, 3> &parts)
{
    // One pass finds the first two commas and dots and counts them all.
    std::array<std::size_t, 2> commas{};
    std::array<std::size_t, 2> dots{};
    std::size_t commaCount = 0;
    std::size_t dotCount = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u',' && commaCount++ < 2)
            commas[commaCount - 1] = i;
        else if (text[i] == u'.' && dotCount++ < 2)
            dots[dotCount - 1] = i;
    }
    const auto splitAt = [&](const std::array<std::size_t, 2> &at) {
        parts = {text.substr(0, at[0]), text.substr(at[0] + 1, at[1] - at[0] - 1), text.substr(at[1] + 1)};
        return true;
    };
    if (commaCount != 0)
        return commaCount == 2 && splitAt(commas);
    if (dotCount == 2)
        return splitAt(dots);

    // Runs of blanks, and none before the first part or after the last.
    std::size_t count = 0;
    std::size_t i = 0;
    while (true) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (i == text.size())
            return count == parts.size();
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i]))
            ++i;
        if (count == parts.size())
            return false;
        parts[count++] = text.substr(start, i - start);
    }
}

} // namespace quorran::cli
