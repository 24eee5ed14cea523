// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// The five texts a conversion works on. A conversion sees them only through
// FieldModel: the window implements it over its text boxes, MemoryFields keeps
// them in memory for tests and for callers without a window. Appending is an
// operation of its own so that a model can extend a long text without reading
// it; its result is always that of reading, joining and writing back.

#include <array>
#include <string>
#include <string_view>

namespace quorran {

enum class Field { Dom, Area, Port, Addr, ErrorBox };

inline constexpr std::array<Field, 5> kAllFields{Field::Dom, Field::Area, Field::Port, Field::Addr, Field::ErrorBox};

// The control name of a field ("dom", "area", "port", "addr", "errorbox").
std::string_view fieldName(Field field);

// The text a field holds when the program starts.
std::u16string_view initialText(Field field);

class FieldModel {
public:
    virtual ~FieldModel() = default;
    // The whole text of a field. The view stays valid until the next call on
    // the model; a caller that keeps the text longer copies it.
    virtual std::u16string_view text(Field field) const = 0;
    virtual void setText(Field field, std::u16string_view text) = 0;
    // The text followed by `tail`, written back.
    virtual void appendText(Field field, std::u16string_view tail);

protected:
    FieldModel() = default;
    FieldModel(const FieldModel &) = default;
    FieldModel &operator=(const FieldModel &) = default;
};

class MemoryFields final : public FieldModel {
public:
    MemoryFields();
    std::u16string_view text(Field field) const override;
    void setText(Field field, std::u16string_view text) override;
    void appendText(Field field, std::u16string_view tail) override;

private:
    std::array<std::u16string, kAllFields.size()> m_texts;
};

} // namespace quorran
