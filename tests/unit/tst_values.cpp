// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Number syntax, number texts and the rounding integer arithmetic.

#include "testsupport.h"
#include "values.h"

#include <QtTest>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

using namespace quorran;

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::size_t kTenMillion = 10'000'000;
} // namespace

class TestValues : public QObject {
    Q_OBJECT
private slots:
    void parseNumber_data();
    void parseNumber();
    void parseNumberHugeTexts_data();
    void parseNumberHugeTexts();
    void parseNumberRoundsLikeStrtod();
    void numberLength_data();
    void numberLength();
    void formatNumber_data();
    void formatNumber();
    void formatNumberReadsBack();
    void integerArithmetic_data();
    void integerArithmetic();
};

void TestValues::parseNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    const auto row = [](const char *name, const QString &text, double expected) {
        QTest::newRow(name) << text << expected;
    };
    // Labels and texts without a leading number.
    row("label dom", "Domain_ID", 0);
    row("label area", "Area_ID", 0);
    row("label port", "Port_ID", 0);
    row("label addr", "Address ID", 0);
    row("empty", "", 0);
    row("letters", "abc", 0);
    row("lone point", ".", 0);
    row("lone sign", "-", 0);
    row("two signs", "+-5", 0);
    row("double minus", "--5", 0);
    row("comma first", ",5", 0);
    // Blanks, tabs and line feeds are ignored anywhere; CR is not.
    row("blanks around", " 42 ", 42);
    row("blank inside", "1 2", 12);
    row("tab and lf inside", "\t1\n2\t", 12);
    row("blank after sign", "- 5", -5);
    row("cr ends", "1\r2", 1);
    row("blank in exponent", "1 e - 3", 0.001);
    // Leading decimal numbers.
    row("trailing letters", "12abc", 12);
    row("fraction letters", "3.75abc", 3.75);
    row("fraction", "7.5", 7.5);
    row("plus", "+7", 7);
    row("minus", "-3", -3);
    row("leading point", ".5", 0.5);
    row("minus leading point", "-.5", -0.5);
    row("trailing point", "5.", 5);
    row("second point ends", "1.2.3", 1.2);
    row("comma ends", "1,5", 1);
    row("leading zeros", "000123", 123);
    row("zero fraction", "0000.000", 0);
    row("minus zero", "-0", -0.0);
    row("66051abc", "66051abc", 66051);
    // Exponents: only E or e, and only with digits.
    row("exponent", "1e3", 1000);
    row("upper exponent", "1E3", 1000);
    row("plus exponent", "1e+3", 1000);
    row("minus exponent", "25e-1", 2.5);
    row("bare e", "12e", 12);
    row("e and sign", "12e+", 12);
    row("e and letter", "12ex", 12);
    row("d is no exponent", "1d3", 1);
    row("fraction exponent", ".5e1", 5);
    // Overflow and underflow.
    row("overflow", "1e400", kInf);
    row("negative overflow", "-1e400", -kInf);
    row("underflow", "1e-400", 0);
    row("negative underflow", "-1e-400", -0.0);
    row("zero with huge exponent", "0e99999999999999999999999", 0);
    row("huge exponent", "1e99999999999999999999999", kInf);
    row("huge negative exponent", "1e-99999999999999999999999", 0);
    row("largest double", "1.7976931348623157e308", std::numeric_limits<double>::max());
    row("rounds to infinity", "1.7976931348623159e308", kInf);
    row("smallest denormal", "4.9406564584124654e-324", std::numeric_limits<double>::denorm_min());
    row("half denormal rounds to zero", "2.4703282292062327e-324", 0);
    row("above half denormal", "2.4703282292062328e-324", std::numeric_limits<double>::denorm_min());
    row("tie to even", "9007199254740993", 9007199254740992.0);
    row("above tie", "9007199254740993.0000000001", 9007199254740994.0);
    // 1 + 2^-53 is halfway between 1 and the next double; a digit after its
    // 55 digits tips it up.
    row("tie to even after 55 digits", "1.00000000000000011102230246251565404236316680908203125", 1.0);
    row("above a tie after 55 digits", "1.000000000000000111022302462515654042363166809082031251", 1.0000000000000002);
    // Radix prefixes.
    row("hex", "0x010203", 66051);
    row("hex upper", "0X10", 16);
    row("hex blanks", "0x 01 02 03", 66051);
    row("hex e digit", "0x1e5", 485);
    row("hex minus", "-0x10", -16);
    row("hex no digits", "0x", 0);
    row("hex bad digit", "0xg", 0);
    row("hex ends", "0x1p3", 1);
    row("ampersand hex", "&H010203", 66051);
    row("ampersand hex lower", "&h ff", 255);
    row("ampersand hex unsigned", "&HFFFF", 65535);
    row("octal", "&O17", 15);
    row("octal lower blanks", "&o 7 7", 63);
    row("octal bad digit", "&O8", 0);
    row("ampersand alone", "&", 0);
    row("ampersand other", "&X10", 0);
    row("hex tie to even", "0x20000000000001", 9007199254740992.0);
    row("hex tie up to even", "0x20000000000003", 9007199254740996.0);
    row("hex sticky", "0x200000000000010000000001", std::ldexp(9007199254740994.0, 40));
    row("hex 2^1020", "0x1" + QString(255, '0'), std::ldexp(1.0, 1020));
    row("hex too large", "0x" + QString(300, 'F'), kInf);
    row("octal 2^1023", "&O1" + QString(341, '0'), std::ldexp(1.0, 1023));
    row("octal too large", "&O2" + QString(341, '0'), kInf);
    // Only ASCII digits count.
    row("arabic-indic digits", QString::fromUtf8("\u0661\u0662"), 0);
    row("fullwidth digits", QString::fromUtf8("\uFF11\uFF12"), 0);
    row("no-break space ends", QString::fromUtf8("5\u00A05"), 5);
    row("lone high surrogate first", QString(QChar(0xD800)) + "5", 0);
    row("lone low surrogate ends", "5" + QString(QChar(0xDC00)) + "5", 5);
    row("nul ends", QString("7") + QChar(0) + "7", 7);
}

void TestValues::parseNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    COMPARE_DOUBLE(ParseNumber(u16(text)), expected);
}

void TestValues::parseNumberHugeTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    const QString zeros(kTenMillion, '0');
    QTest::newRow("ten million digits") << QString(kTenMillion, '1') << kInf;
    QTest::newRow("ten million blanks then 5") << QString(kTenMillion, ' ') + "5" << 5.0;
    QTest::newRow("ten million letters") << QString(kTenMillion, 'x') << 0.0;
    QTest::newRow("long third") << "0." + QString(kTenMillion, '3') << 1.0 / 3.0;
    QTest::newRow("tiny after long zeros") << "0." + zeros + "1" << 0.0;
    QTest::newRow("sticky digit far away") << "9007199254740993." + zeros + "1" << 9007199254740994.0;
    QTest::newRow("exponent cancels length") << "1" + zeros + "e-10000000" << 1.0;
    QTest::newRow("long hex") << "0x" + QString(kTenMillion, 'f') << kInf;
    QTest::newRow("long exponent digits") << "1e" + QString(kTenMillion, '9') << kInf;
}

void TestValues::parseNumberHugeTexts()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    COMPARE_DOUBLE(ParseNumber(u16(text)), expected);
}

// How much of a text is its number: what a caller warns about when a text
// is read only in part, or read as 0 without being a number at all.
void TestValues::numberLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    for (const auto &[text, length] : std::initializer_list<std::pair<const char *, int>>{{"", 0},
                                                                                          {"abc", 0},
                                                                                          {"-", 0},
                                                                                          {"&H", 0},
                                                                                          {"- &o 8", 0},
                                                                                          {"&X1", 0},
                                                                                          {" 42 ", 4},
                                                                                          {"12abc", 2},
                                                                                          {"1.2.3", 3},
                                                                                          {"5.", 2},
                                                                                          {"12 e", 3},
                                                                                          {"1e+", 1},
                                                                                          {"0.0e5 ", 6},
                                                                                          {"0x", 1},
                                                                                          {"-0x 1f", 6},
                                                                                          {"&h ff", 5}})
        QTest::newRow(text) << QString(text) << length;
}

void TestValues::numberLength()
{
    QFETCH(QString, text);
    QFETCH(int, length);
    std::size_t read = 99;
    COMPARE_DOUBLE(ParseNumber(u16(text), read), ParseNumber(u16(text)));
    QCOMPARE(read, std::size_t(length));
}

// glibc's strtod rounds correctly; random digit strings of every length class
// and exponents across the whole range must give the same double.
void TestValues::parseNumberRoundsLikeStrtod()
{
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> length(1, 40);
    std::uniform_int_distribution<int> exponent(-345, 320);
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        const int n = i % 97 == 0 ? 900 : length(random);
        for (int k = 0; k < n; ++k)
            text += static_cast<char>('0' + digit(random));
        if (i % 3 == 0)
            text.insert(text.size() / 2, ".");
        text += "e" + std::to_string(exponent(random));
        const double expected = std::strtod(text.c_str(), nullptr);
        const double actual = ParseNumber(std::u16string(text.begin(), text.end()));
        if (std::bit_cast<std::uint64_t>(actual) != std::bit_cast<std::uint64_t>(expected))
            QFAIL(qPrintable(QStringLiteral("%1: got %2, expected %3")
                                 .arg(QString::fromStdString(text))
                                 .arg(actual, 0, 'g', 17)
                                 .arg(expected, 0, 'g', 17)));
    }
}

void TestValues::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0.0 << " 0";
    QTest::newRow("negative zero") << -0.0 << " 0";
    QTest::newRow("three") << 3.0 << " 3";
    QTest::newRow("239") << 239.0 << " 239";
    QTest::newRow("minus one") << -1.0 << "-1";
    QTest::newRow("66051") << 66051.0 << " 66051";
    QTest::newRow("largest address") << 15728896.0 << " 15728896";
    QTest::newRow("big whole") << 1e20 << " 100000000000000000000";
    QTest::newRow("half") << 0.5 << " 0.5";
    QTest::newRow("negative quarter") << -0.25 << "-0.25";
    QTest::newRow("tenth") << 0.1 << " 0.1";
    QTest::newRow("third") << 1.0 / 3.0 << " 0.3333333333333333";
    QTest::newRow("32768.5") << 32768.5 << " 32768.5";
    QTest::newRow("plain small") << 1.5e-5 << " 0.000015";
    QTest::newRow("scientific small") << 1.5e-6 << " 1.5E-6";
    QTest::newRow("1E-300") << 1e-300 << " 1E-300";
    QTest::newRow("negative scientific") << -2.5e-7 << "-2.5E-7";
    QTest::newRow("plain large fraction") << 123456789012345.6 << " 123456789012345.6";
    QTest::newRow("scientific large fraction") << 1e15 + 0.5 << " 1.0000000000000005E+15";
    QTest::newRow("infinity") << kInf << " Infinity";
    QTest::newRow("minus infinity") << -kInf << "-Infinity";
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << " NaN";
}

void TestValues::formatNumber()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    COMPARE_TEXT(FormatNumber(value), u16(expected));
}

// Every text FormatNumber writes reads back to the value it came from.
void TestValues::formatNumberReadsBack()
{
    std::mt19937_64 random(7);
    for (int i = 0; i < 100000; ++i) {
        const auto value = std::bit_cast<double>(random());
        if (std::isnan(value) || std::isinf(value))
            continue;
        const std::u16string text = FormatNumber(value);
        COMPARE_DOUBLE(ParseNumber(text), value == 0 ? 0.0 : value);
    }
}

void TestValues::integerArithmetic_data()
{
    QTest::addColumn<double>("dividend");
    QTest::addColumn<double>("divisor");
    QTest::addColumn<int>("quotient");
    QTest::addColumn<int>("remainder");

    QTest::newRow("65536.5 rounds down") << 65536.5 << 65536.0 << 1 << 0;
    QTest::newRow("1.5 rounds up") << 1.5 << 256.0 << 0 << 2;
    QTest::newRow("0.5 rounds to 0") << 0.5 << 1.0 << 0 << 0;
    QTest::newRow("2.5 rounds to 2") << 2.5 << 1.0 << 2 << 0;
    QTest::newRow("-1.5 rounds to -2") << -1.5 << 3.0 << 0 << -2;
    QTest::newRow("-0.5 rounds to 0") << -0.5 << 256.0 << 0 << 0;
    QTest::newRow("2.6 rounds up") << 2.6 << 1.0 << 3 << 0;
    QTest::newRow("negative dividend") << -7.0 << 2.0 << -3 << -1;
    QTest::newRow("negative divisor") << 7.0 << -2.0 << -3 << 1;
    QTest::newRow("15728896") << 15728896.0 << 65536.0 << 240 << 256;
    QTest::newRow("divisor rounds to zero") << 5.0 << 0.4 << 0 << 0;
    QTest::newRow("zero divisor") << 5.0 << 0.0 << 0 << 0;
    QTest::newRow("clamped high") << 1e10 << 1.0 << kMax32 << 0;
    QTest::newRow("clamped low") << -1e10 << 1.0 << kMin32 << 0;
    QTest::newRow("infinity") << kInf << 2.0 << kMax32 / 2 << 1;
    QTest::newRow("min by minus one") << double(kMin32) << -1.0 << kMax32 << 0;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 2.0 << 0 << 0;
}

void TestValues::integerArithmetic()
{
    QFETCH(double, dividend);
    QFETCH(double, divisor);
    QFETCH(int, quotient);
    QFETCH(int, remainder);
    QCOMPARE(IntegerQuotient(dividend, divisor), quotient);
    QCOMPARE(Remainder(dividend, divisor), remainder);
}

QTEST_GUILESS_MAIN(TestValues)
#include "tst_values.moc"
