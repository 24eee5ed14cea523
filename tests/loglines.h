#pragma once
// The log lines the conversion tests expect, each with its CR LF.

#include "conversions.h"
#include "testsupport.h"

#include <QString>

namespace loglines {
inline const QString CRLF = "\r\n";
inline const QString DOM = qs(quorran::kDomainMessage) + CRLF;
inline const QString AREA = qs(quorran::kAreaMessage) + CRLF;
inline const QString PORT = qs(quorran::kPortMessage) + CRLF;
inline const QString ADDR = qs(quorran::kAddressMessage) + CRLF;
inline const QString RESULT_123 = " 1. 2. 3 --->  66051\r\n";
inline const QString RESULT_66051 = " 66051 --->  1. 2. 3\r\n";
} // namespace loglines
