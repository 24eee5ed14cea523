// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#include "text.h"

#include <cstdint>

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

void decodeUtf8(std::string_view bytes, std::u16string &text)
{
    text.resize(bytes.size());
    char16_t *out = text.data();
    std::size_t i = 0;
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
    // A sequence of n bytes never gives more than n 16-bit units.
    text.resize(static_cast<std::size_t>(out - text.data()));
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
    const auto splitAt = [&](auto isSeparator, bool merge) {
        std::size_t count = 0;
        std::size_t start = 0;
        if (merge) {
            while (start < text.size() && isSeparator(text[start]))
                ++start;
        }
        for (std::size_t i = start; i <= text.size(); ++i) {
            if (i < text.size() && !isSeparator(text[i]))
                continue;
            if (count == parts.size())
                return false;
            parts[count++] = text.substr(start, i - start);
            while (merge && i + 1 < text.size() && isSeparator(text[i + 1]))
                ++i;
            start = i + 1;
            if (merge && start >= text.size())
                break;
        }
        return count == parts.size();
    };
    if (text.find(u',') != std::u16string_view::npos)
        return splitAt([](char16_t c) { return c == u','; }, false);
    return splitAt([](char16_t c) { return c == u'.'; }, false) || splitAt(isBlank, true);
}

} // namespace quorran::cli
