// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// The two conversions between a Domain.Area.Port triple and an Address ID.
// Each reads its inputs once, checks them, reports every failed check as a
// line in the message log and writes its results only when all checks pass.

#include <string_view>

namespace quorran {

class FieldModel;

inline constexpr std::u16string_view kDomainMessage = u"ERROR: Domain ID must be within [1,239]";
inline constexpr std::u16string_view kAreaMessage = u"ERROR: Area ID must be within [0,255]";
inline constexpr std::u16string_view kPortMessage = u"ERROR: Port ID must be within [0,255]";
inline constexpr std::u16string_view kAddressMessage = u"ERROR: Address ID must be within [65536,15728896]";
inline constexpr std::u16string_view kSeparator = u".";
inline constexpr std::u16string_view kArrow = u" ---> ";

// Reads dom, area and port; writes addr and the log.
void DapToAddress(FieldModel &fields);

// Reads addr; writes dom, area, port and the log.
void AddressToDap(FieldModel &fields);

} // namespace quorran
