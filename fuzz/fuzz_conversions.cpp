// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Fuzz target: arbitrary bytes become the texts of the five fields (UTF-16
// code units, little-endian, fields separated by U+FFFF), then ParseNumber
// and both conversions run on them and their effects are checked against
// the rules: which fields a conversion may write, the exact result line on
// success, and on failure the message lines in order after the old log or
// in its place.

#include "conversions.h"
#include "fields.h"
#include "values.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace quorran;

namespace {

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

std::array<std::u16string, 5> splitFields(const std::uint8_t *data, std::size_t size)
{
    std::array<std::u16string, 5> texts;
    std::size_t field = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0xFFFF) {
            if (++field == texts.size())
                break;
            continue;
        }
        texts[field] += unit;
    }
    return texts;
}

std::u16string withLineEnd(std::u16string_view line) { return std::u16string(line) + u"\r\n"; }

MemoryFields modelOf(const std::array<std::u16string, 5> &texts)
{
    MemoryFields fields;
    for (std::size_t i = 0; i < texts.size(); ++i)
        fields.setText(kAllFields[i], texts[i]);
    return fields;
}

void checkDapToAddress(const std::array<std::u16string, 5> &texts)
{
    MemoryFields fields = modelOf(texts);
    DapToAddress(fields);
    const double d = ParseNumber(texts[0]);
    const double a = ParseNumber(texts[1]);
    const double p = ParseNumber(texts[2]);
    require(fields.text(Field::Dom) == texts[0] && fields.text(Field::Area) == texts[1] &&
                fields.text(Field::Port) == texts[2],
            "DapToAddress wrote an input field");

    const bool domainFails = !(d <= 239 && d > 0);
    const bool areaFails = !(a <= 255 && a >= 0);
    const bool portFails = !(p <= 255 && p >= 0);
    if (!domainFails && !areaFails && !portFails) {
        const std::u16string addr = FormatNumber(d * 65536 + a * 256 + p);
        require(fields.text(Field::Addr) == addr, "addr is not the formatted Address ID");
        const std::u16string line =
            FormatNumber(d) + u"." + FormatNumber(a) + u"." + FormatNumber(p) + u" ---> " + addr;
        require(fields.text(Field::ErrorBox) == withLineEnd(line), "log is not the one result line");
        return;
    }
    require(fields.text(Field::Addr) == texts[3], "addr written on failure");
    std::u16string log = domainFails ? withLineEnd(kDomainMessage) : texts[4];
    if (areaFails)
        log += withLineEnd(kAreaMessage);
    if (portFails)
        log += withLineEnd(kPortMessage);
    require(fields.text(Field::ErrorBox) == log, "log lines on failure");
}

void checkAddressToDap(const std::array<std::u16string, 5> &texts)
{
    MemoryFields fields = modelOf(texts);
    AddressToDap(fields);
    const double x = ParseNumber(texts[3]);
    require(fields.text(Field::Addr) == texts[3], "AddressToDap wrote addr");
    if (!(x >= 65536 && x <= 15728896)) {
        require(fields.text(Field::Dom) == texts[0] && fields.text(Field::Area) == texts[1] &&
                    fields.text(Field::Port) == texts[2],
                "a byte field written on failure");
        require(fields.text(Field::ErrorBox) == withLineEnd(kAddressMessage), "log on failure");
        return;
    }
    const double dom = ParseNumber(fields.text(Field::Dom));
    const double area = ParseNumber(fields.text(Field::Area));
    const double port = ParseNumber(fields.text(Field::Port));
    require(dom >= 1 && dom <= 240 && area >= 0 && area <= 255 && port >= 0 && port <= 255, "byte out of range");
    require(fields.text(Field::Dom) == FormatNumber(dom) && fields.text(Field::Area) == FormatNumber(area) &&
                fields.text(Field::Port) == FormatNumber(port),
            "byte fields are not formatted whole numbers");
    require(std::fabs(dom * 65536 + area * 256 + port - x) <= 0.5, "bytes do not add up to the address");
    const std::u16string line = FormatNumber(x) + u" ---> " + std::u16string(fields.text(Field::Dom)) + u"." +
                                std::u16string(fields.text(Field::Area)) + u"." +
                                std::u16string(fields.text(Field::Port));
    require(fields.text(Field::ErrorBox) == withLineEnd(line), "log is not the one result line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::array<std::u16string, 5> texts = splitFields(data, size);
    for (const std::u16string &text : texts) {
        const double value = ParseNumber(text);
        require(!std::isnan(value), "ParseNumber gave NaN");
        // The characters it says the number takes read as the same value.
        std::size_t length = 0;
        require(ParseNumber(text, length) == value && length <= text.size(), "number length out of the text");
        require(ParseNumber(std::u16string_view(text).substr(0, length)) == value, "number length cuts the number");
        // Every finite value's text reads back to the same value.
        if (std::isfinite(value))
            require(ParseNumber(FormatNumber(value)) == value, "FormatNumber does not read back");
    }
    checkDapToAddress(texts);
    checkAddressToDap(texts);
    return 0;
}
