// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// Small helpers shared by the test programs: readable texts for QTest output
// and exact (bitwise) comparison of doubles.

#include <QString>
#include <QtTest>

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

inline QString qs(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string u16(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// Shows CR and LF so that line ends are visible in failure messages.
inline QString visible(std::u16string_view text)
{
    return qs(text).replace(QLatin1Char('\r'), QLatin1String("<CR>")).replace(QLatin1Char('\n'), QLatin1String("<LF>"));
}

// The failure message is only built on failure: texts may be megabytes long.
#define COMPARE_TEXT(actual, expected)                                                                                 \
    do {                                                                                                               \
        const auto &actual_ = (actual);                                                                                \
        const auto &expected_ = (expected);                                                                            \
        if (std::u16string_view(actual_) != std::u16string_view(expected_))                                            \
            QFAIL(qPrintable(QStringLiteral("got \"%1\", expected \"%2\"")                                             \
                                 .arg(visible(std::u16string_view(actual_).substr(0, 500)),                            \
                                      visible(std::u16string_view(expected_).substr(0, 500)))));                       \
    } while (false)

#define COMPARE_DOUBLE(actual, expected)                                                                               \
    QVERIFY2(                                                                                                          \
        std::bit_cast<std::uint64_t>(double(actual)) == std::bit_cast<std::uint64_t>(double(expected)),                \
        qPrintable(                                                                                                    \
            QStringLiteral("got %1, expected %2").arg(double(actual), 0, 'g', 17).arg(double(expected), 0, 'g', 17)))
