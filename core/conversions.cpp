// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Message log policy: a Domain ID or Address ID failure and a success replace
// the whole log; an Area ID or Port ID failure appends to whatever it holds,
// so lines typed by the user or left by earlier runs stay above it.

#include "conversions.h"

#include "fields.h"
#include "values.h"

#include <cstdint>
#include <string>

namespace quorran {

namespace {

constexpr double kDomainWeight = 65536;
constexpr double kAreaWeight = 256;
constexpr double kHighestDomain = 239;
constexpr double kHighestByte = 255;
constexpr double kLowestAddress = 65536;
constexpr double kHighestAddress = 15728896;

std::u16string lineEnd() { return Join(Char(13), Char(10)); }

void replaceLog(FieldModel &fields, std::u16string_view line)
{
    fields.setText(Field::ErrorBox, Join(line, lineEnd()));
}

void appendToLog(FieldModel &fields, std::u16string_view line)
{
    fields.appendText(Field::ErrorBox, Join(line, lineEnd()));
}

} // namespace

void DapToAddress(FieldModel &fields)
{
    std::int16_t errors = 0;
    const double d = ParseNumber(fields.text(Field::Dom));
    const double a = ParseNumber(fields.text(Field::Area));
    const double p = ParseNumber(fields.text(Field::Port));

    if (GreaterThan(d, kHighestDomain) || LessOrEqual(d, 0)) {
        replaceLog(fields, kDomainMessage);
        ++errors;
    }
    if (GreaterThan(a, kHighestByte) || LessThan(a, 0)) {
        appendToLog(fields, kAreaMessage);
        ++errors;
    }
    if (GreaterThan(p, kHighestByte) || LessThan(p, 0)) {
        appendToLog(fields, kPortMessage);
        ++errors;
    }
    if (errors != 0)
        return;

    const double x = d * kDomainWeight + a * kAreaWeight + p;
    fields.setText(Field::Addr, FormatNumber(x));
    std::u16string line = FormatNumber(d);
    line = Join(Join(line, kSeparator), FormatNumber(a));
    line = Join(Join(line, kSeparator), FormatNumber(p));
    line = Join(Join(line, kArrow), fields.text(Field::Addr));
    replaceLog(fields, line);
}

void AddressToDap(FieldModel &fields)
{
    const double x = ParseNumber(fields.text(Field::Addr));
    std::int16_t errors = 0;

    if (LessThan(x, kLowestAddress) || GreaterThan(x, kHighestAddress)) {
        replaceLog(fields, kAddressMessage);
        ++errors;
    }
    if (errors != 0)
        return;

    const std::int32_t dom = IntegerQuotient(x, kDomainWeight);
    const std::int32_t area = IntegerQuotient(x - dom * kDomainWeight, kAreaWeight);
    const std::int32_t port = Remainder(x - dom * kDomainWeight - area * kAreaWeight, kAreaWeight);

    fields.setText(Field::Dom, FormatNumber(dom));
    fields.setText(Field::Area, FormatNumber(area));
    fields.setText(Field::Port, FormatNumber(port));
    std::u16string line = Join(FormatNumber(x), kArrow);
    line = Join(Join(line, FormatNumber(dom)), kSeparator);
    line = Join(Join(line, FormatNumber(area)), kSeparator);
    line = Join(line, FormatNumber(port));
    replaceLog(fields, line);
}

} // namespace quorran
