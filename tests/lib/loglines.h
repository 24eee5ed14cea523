// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// The log lines the conversion tests expect, each with its CR LF, written out
// as the user reads them.

#include <QString>

namespace loglines {
inline const QString CRLF = "\r\n";
inline const QString DOM = "ERROR: Domain ID must be within [1,239]\r\n";
inline const QString AREA = "ERROR: Area ID must be within [0,255]\r\n";
inline const QString PORT = "ERROR: Port ID must be within [0,255]\r\n";
inline const QString ADDR = "ERROR: Address ID must be within [65536,15728896]\r\n";
inline const QString RESULT_123 = " 1. 2. 3 --->  66051\r\n";
inline const QString RESULT_66051 = " 66051 --->  1. 2. 3\r\n";
} // namespace loglines
