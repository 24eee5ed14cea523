// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// Between the bytes of the command line and the 16-bit texts of the fields.
// Input is read as UTF-8; a byte that is no part of a valid UTF-8 sequence
// reads as U+FFFD, the replacement character, as a field shows such a byte.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quorran::cli {

// The UTF-16 form of `bytes`, kept in `buffer`, which only ever grows.
std::u16string_view decodeUtf8(std::string_view bytes, std::u16string &buffer);

// Appends a text of the core, which is ASCII.
void appendAscii(std::string &out, std::u16string_view text);

// Appends `text` in double quotes for a message, as UTF-8, control characters
// as \xHH escapes, shortened to its first 60 characters and "...".
void appendQuoted(std::string &out, std::u16string_view text);

// Splits a Domain.Area.Port triple into its three texts: at commas when it has
// any, else at dots when that gives three parts, else at runs of blanks.
// False when none of these gives three parts.
bool splitTriple(std::u16string_view text, std::array<std::u16string_view, 3> &parts);

} // namespace quorran::cli
