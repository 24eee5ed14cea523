// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// One of the window's conversions on fields of the command line's own: the
// values go into the fields the window would have them typed into, the core
// converts, and the result is read back from the fields and the message log.

#include "fields.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorran::cli {

// Where a message begins: the program's name and, for a line of standard
// input, the line's number.
void startMessage(std::string &err, std::size_t line);

enum class Direction { ToId, ToDap };
// How a result is written: as a number, the Address ID in hexadecimal, or as
// the message log's line.
enum class Form { Plain, Hex, Log };

class Converter {
public:
    // Without `shortcut`, every value goes through the window's conversion;
    // with it, whole values in range are written directly (see convertWhole)
    // and short texts are read once only.
    Converter(Direction direction, Form form, bool shortcut = true);

    // Converts the texts of the input fields (Domain, Area and Port, or the
    // Address ID alone) and appends one line to `out`, empty when the window
    // would reject them. Warnings and messages go to `err`, each beginning
    // with the number of the input line (0 for none) and the quoted `input`.
    // False when rejected.
    bool convert(const std::array<std::u16string_view, 3> &texts, std::u16string_view input, std::size_t line,
                 std::string &out, std::string &err);

private:
    class Fields final : public FieldModel {
    public:
        std::u16string_view text(Field field) const override;
        void setText(Field field, std::u16string_view text) override;
        void appendText(Field field, std::u16string_view tail) override;
        // Input texts are only looked at, never copied.
        void reset(Field field, std::u16string_view input);
        bool written(Field field) const;

    private:
        std::array<std::u16string_view, kAllFields.size()> m_inputs;
        std::array<std::u16string, kAllFields.size()> m_texts;
        std::array<bool, kAllFields.size()> m_written{};
    };

    double read(std::u16string_view text, std::size_t &length);
    bool convertWhole(const std::array<double, 3> &values, std::string &out) const;
    void startMessage(std::string &err, std::u16string_view input, std::size_t line) const;

    // The core's readings of short texts, such as the "255" of a triple,
    // by the text's characters and length.
    struct Reading {
        std::uint64_t key = ~std::uint64_t{0};
        double value = 0;
        std::size_t length = 0;
    };
    static constexpr int kReadingBits = 10;
    std::array<Reading, std::size_t{1} << kReadingBits> m_readings;
    Direction m_direction;
    Form m_form;
    bool m_shortcut;
    Fields m_fields;
};

} // namespace quorran::cli
