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

#define COMPARE_TEXT(actual, expected)                                                                 \
    QVERIFY2(std::u16string_view(actual) == std::u16string_view(expected),                          \
             qPrintable(QStringLiteral("got \"%1\", expected \"%2\"")                                \
                            .arg(visible(actual), visible(expected))))

#define COMPARE_DOUBLE(actual, expected)                                                               \
    QVERIFY2(std::bit_cast<std::uint64_t>(double(actual)) == std::bit_cast<std::uint64_t>(double(expected)), \
             qPrintable(QStringLiteral("got %1, expected %2")                                          \
                            .arg(double(actual), 0, 'g', 17)                                           \
                            .arg(double(expected), 0, 'g', 17)))
