// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#include "fields.h"

#include "values.h"

#include <cstddef>

namespace quorran {

namespace {
std::size_t indexOf(Field field) { return static_cast<std::size_t>(field); }
} // namespace

std::string_view fieldName(Field field)
{
    switch (field) {
    case Field::Dom:
        return "dom";
    case Field::Area:
        return "area";
    case Field::Port:
        return "port";
    case Field::Addr:
        return "addr";
    case Field::ErrorBox:
        return "errorbox";
    }
    return {};
}

std::u16string_view initialText(Field field)
{
    switch (field) {
    case Field::Dom:
        return u"Domain_ID";
    case Field::Area:
        return u"Area_ID";
    case Field::Port:
        return u"Port_ID";
    case Field::Addr:
        return u"Address ID";
    case Field::ErrorBox:
        return u"";
    }
    return {};
}

void FieldModel::appendText(Field field, std::u16string_view tail) { setText(field, Join(text(field), tail)); }

MemoryFields::MemoryFields()
{
    for (Field field : kAllFields)
        m_texts[indexOf(field)] = initialText(field);
}

std::u16string_view MemoryFields::text(Field field) const { return m_texts[indexOf(field)]; }

void MemoryFields::setText(Field field, std::u16string_view text) { m_texts[indexOf(field)].assign(text); }

void MemoryFields::appendText(Field field, std::u16string_view tail) { m_texts[indexOf(field)].append(tail); }

} // namespace quorran
