// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#include "conversion.h"

#include "conversions.h"
#include "text.h"
#include "values.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quorran::cli {

namespace {

constexpr std::array<Field, 3> kTripleFields{Field::Dom, Field::Area, Field::Port};
constexpr std::array<std::string_view, 3> kTripleNames{"Domain ID", "Area ID", "Port ID"};
constexpr std::u16string_view kLineEnd = u"\r\n";
// The largest Address ID, 239.255.255, has six hexadecimal digits.
constexpr double kHexLimit = 0xFFFFFF;

std::size_t index(Field field) { return static_cast<std::size_t>(field); }

// A number text of the core without the blank it writes for a plus sign.
std::u16string_view unsigned_(std::u16string_view number)
{
    return !number.empty() && number.front() == u' ' ? number.substr(1) : number;
}

// Writes a number below 1000 in decimal; returns the end.
char *writeSmall(char *at, std::uint32_t value)
{
    if (value >= 100)
        *at++ = static_cast<char>('0' + value / 100);
    if (value >= 10)
        *at++ = static_cast<char>('0' + value / 10 % 10);
    *at++ = static_cast<char>('0' + value % 10);
    return at;
}

void appendHex(std::string &out, std::uint32_t bits)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    char text[8] = {'0', 'x'};
    for (int i = 7; i >= 2; --i, bits >>= 4)
        text[i] = kDigits[bits & 0xFU];
    out.append(text, sizeof text);
}

} // namespace

std::u16string_view Converter::Fields::text(Field field) const
{
    return m_written[index(field)] ? std::u16string_view(m_texts[index(field)]) : m_inputs[index(field)];
}

void Converter::Fields::setText(Field field, std::u16string_view text)
{
    m_texts[index(field)].assign(text);
    m_written[index(field)] = true;
}

void Converter::Fields::appendText(Field field, std::u16string_view tail)
{
    if (!m_written[index(field)])
        setText(field, m_inputs[index(field)]);
    m_texts[index(field)].append(tail);
}

void Converter::Fields::reset(Field field, std::u16string_view input)
{
    m_inputs[index(field)] = input;
    m_written[index(field)] = false;
}

bool Converter::Fields::written(Field field) const { return m_written[index(field)]; }

Converter::Converter(Direction direction, Form form, bool shortcut)
    : m_direction(direction), m_form(form), m_shortcut(shortcut)
{
}

// Nearly every value is a whole number in range, and its result takes less
// time to write than the window's conversion takes to build its log line.
// For these values the two agree: the split and the sum of whole numbers are
// exact, and the core writes whole numbers as plain digits. The test compares
// both ways over values in and around every range.
bool Converter::convertWhole(const std::array<double, 3> &values, std::string &out) const
{
    const auto whole = [](double value, double low, double high) {
        return value >= low && value <= high && value == static_cast<double>(static_cast<std::uint32_t>(value));
    };
    char text[32];
    char *end = text;
    if (m_direction == Direction::ToId) {
        if (!whole(values[0], 1, 239) || !whole(values[1], 0, 255) || !whole(values[2], 0, 255))
            return false;
        const auto id = static_cast<std::uint32_t>(values[0]) * 65536 + static_cast<std::uint32_t>(values[1]) * 256 +
                        static_cast<std::uint32_t>(values[2]);
        if (m_form == Form::Hex) {
            appendHex(out, id);
            out += '\n';
            return true;
        }
        end = std::to_chars(text, text + sizeof text, id).ptr;
    } else {
        if (!whole(values[0], 65536, 15728896))
            return false;
        const auto id = static_cast<std::uint32_t>(values[0]);
        end = writeSmall(text, id >> 16);
        *end++ = '.';
        end = writeSmall(end, (id >> 8) & 0xFFU);
        *end++ = '.';
        end = writeSmall(end, id & 0xFFU);
    }
    *end++ = '\n';
    out.append(text, static_cast<std::size_t>(end - text));
    return true;
}

// Reading a number is a function of its text alone; the three fields of a
// triple take only a few hundred texts between them.
double Converter::read(std::u16string_view text, std::size_t &length)
{
    constexpr std::size_t kShort = 3;
    if (!m_shortcut || text.size() > kShort)
        return ParseNumber(text, length);
    std::uint64_t key = text.size();
    for (const char16_t c : text)
        key = key << 16 | c;
    // Fibonacci hashing: the top bits of the product depend on every character.
    Reading &reading = m_readings[(key * 0x9E3779B97F4A7C15U) >> (64 - kReadingBits)];
    if (reading.key != key) {
        reading.value = ParseNumber(text, reading.length);
        reading.key = key;
    }
    length = reading.length;
    return reading.value;
}

void startMessage(std::string &err, std::size_t line)
{
    err += "quorran: ";
    if (line != 0)
        err += "line " + std::to_string(line) + ": ";
}

void Converter::startMessage(std::string &err, std::u16string_view input, std::size_t line) const
{
    cli::startMessage(err, line);
    appendQuoted(err, input);
    err += ": ";
}

bool Converter::convert(const std::array<std::u16string_view, 3> &texts, std::u16string_view input, std::size_t line,
                        std::string &out, std::string &err)
{
    const bool toId = m_direction == Direction::ToId;

    // Where the window would read a text only in part, or read it as 0
    // without a number in it, the result stands but the user is told.
    const std::size_t count = toId ? kTripleFields.size() : 1;
    std::array<double, 3> values{};
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t length = 0;
        values[i] = read(texts[i], length);
        if (length != 0 && length == texts[i].size())
            continue;
        startMessage(err, input, line);
        err += "warning: ";
        err += toId ? kTripleNames[i] : "Address ID";
        err += " read as ";
        appendAscii(err, unsigned_(FormatNumber(values[i])));
        err += '\n';
    }
    if (m_shortcut && m_form != Form::Log && convertWhole(values, out))
        return true;

    for (const Field field : kAllFields)
        m_fields.reset(field, {});
    for (std::size_t i = 0; i < count; ++i)
        m_fields.reset(toId ? kTripleFields[i] : Field::Addr, texts[i]);
    // Each conversion starts with an empty log, so that it holds only this
    // conversion's lines.
    m_fields.setText(Field::ErrorBox, {});
    if (toId)
        DapToAddress(m_fields);
    else
        AddressToDap(m_fields);

    std::u16string_view log = m_fields.text(Field::ErrorBox);
    if (!m_fields.written(toId ? Field::Addr : Field::Dom)) {
        while (!log.empty()) {
            const std::size_t end = log.find(kLineEnd);
            startMessage(err, input, line);
            appendAscii(err, log.substr(0, end));
            err += '\n';
            log.remove_prefix(end == std::u16string_view::npos ? log.size() : end + kLineEnd.size());
        }
        out += '\n';
        return false;
    }

    if (m_form == Form::Log) {
        appendAscii(out, log.substr(0, log.find(kLineEnd)));
    } else if (!toId) {
        appendAscii(out, unsigned_(m_fields.text(Field::Dom)));
        out += '.';
        appendAscii(out, unsigned_(m_fields.text(Field::Area)));
        out += '.';
        appendAscii(out, unsigned_(m_fields.text(Field::Port)));
    } else {
        const std::u16string_view address = m_fields.text(Field::Addr);
        const double value = ParseNumber(address);
        if (m_form == Form::Hex && value == std::trunc(value) && value >= 0 && value <= kHexLimit) {
            appendHex(out, static_cast<std::uint32_t>(value));
        } else {
            if (m_form == Form::Hex) {
                startMessage(err, input, line);
                err += "warning: the Address ID is not whole; written in decimal\n";
            }
            appendAscii(out, unsigned_(address));
        }
    }
    out += '\n';
    return true;
}

} // namespace quorran::cli
