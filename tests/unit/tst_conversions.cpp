// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Both conversions on the in-memory fields: results, every message, the log
// policy and the fields each conversion leaves alone.

#include "conversions.h"
#include "fields.h"
#include "loglines.h"
#include "testsupport.h"

#include <QtTest>

#include <array>

using namespace quorran;

using namespace loglines;

class TestConversions : public QObject {
    Q_OBJECT
private slots:
    void initialTexts();
    void dapToAddress_data();
    void dapToAddress();
    void addressToDap_data();
    void addressToDap();
    void tenMegabyteFields_data();
    void tenMegabyteFields();
};

void TestConversions::initialTexts()
{
    const MemoryFields fields;
    COMPARE_TEXT(fields.text(Field::Dom), u"Domain_ID");
    COMPARE_TEXT(fields.text(Field::Area), u"Area_ID");
    COMPARE_TEXT(fields.text(Field::Port), u"Port_ID");
    COMPARE_TEXT(fields.text(Field::Addr), u"Address ID");
    COMPARE_TEXT(fields.text(Field::ErrorBox), u"");
}

void TestConversions::dapToAddress_data()
{
    QTest::addColumn<QString>("dom");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("logBefore");
    QTest::addColumn<int>("runs");
    QTest::addColumn<QString>("addr");
    QTest::addColumn<QString>("log");

    const QString untouched = "Address ID";
    QTest::newRow("labels") << "Domain_ID"
                            << "Area_ID"
                            << "Port_ID"
                            << "" << 1 << untouched << DOM;
    QTest::newRow("1.2.3") << "1"
                           << "2"
                           << "3"
                           << "" << 1 << " 66051" << RESULT_123;
    QTest::newRow("lowest") << "1"
                            << "0"
                            << "0"
                            << "" << 1 << " 65536"
                            << " 1. 0. 0 --->  65536\r\n";
    QTest::newRow("highest") << "239"
                             << "255"
                             << "255"
                             << "" << 1 << " 15728639"
                             << " 239. 255. 255 --->  15728639\r\n";
    QTest::newRow("typed texts") << " 1 0abc"
                                 << "+2"
                                 << "3 x"
                                 << "" << 1 << " 655875"
                                 << " 10. 2. 3 --->  655875\r\n";
    QTest::newRow("radix inputs") << "0x01"
                                  << "&H02"
                                  << "&O3"
                                  << "" << 1 << " 66051" << RESULT_123;
    QTest::newRow("dom 0.5 passes") << "0.5"
                                    << "1"
                                    << "1"
                                    << "" << 1 << " 33025"
                                    << " 0.5. 1. 1 --->  33025\r\n";
    QTest::newRow("port 0.5") << "1"
                              << "2"
                              << "0.5"
                              << "" << 1 << " 66048.5"
                              << " 1. 2. 0.5 --->  66048.5\r\n";
    QTest::newRow("success replaces log") << "1"
                                          << "2"
                                          << "3"
                                          << "typed\r\n" + DOM << 1 << " 66051" << RESULT_123;
    // Bounds on both sides of every check.
    QTest::newRow("dom 0") << "0"
                           << "2"
                           << "3"
                           << "" << 1 << untouched << DOM;
    QTest::newRow("dom -0") << "-0"
                            << "2"
                            << "3"
                            << "" << 1 << untouched << DOM;
    QTest::newRow("dom 0.00001") << "0.00001"
                                 << "0"
                                 << "0"
                                 << "" << 1 << " 0.65536"
                                 << " 0.00001. 0. 0 --->  0.65536\r\n";
    QTest::newRow("dom 239.0001") << "239.0001"
                                  << "2"
                                  << "3"
                                  << "" << 1 << untouched << DOM;
    QTest::newRow("dom 240") << "240"
                             << "2"
                             << "3"
                             << "" << 1 << untouched << DOM;
    QTest::newRow("area -1") << "1"
                             << "-1"
                             << "3"
                             << "" << 1 << untouched << AREA;
    QTest::newRow("area -0.5") << "1"
                               << "-0.5"
                               << "3"
                               << "" << 1 << untouched << AREA;
    QTest::newRow("area 255.5") << "1"
                                << "255.5"
                                << "3"
                                << "" << 1 << untouched << AREA;
    QTest::newRow("area 256") << "1"
                              << "256"
                              << "3"
                              << "" << 1 << untouched << AREA;
    QTest::newRow("port -1") << "1"
                             << "2"
                             << "-1"
                             << "" << 1 << untouched << PORT;
    QTest::newRow("port 256") << "1"
                              << "2"
                              << "256"
                              << "" << 1 << untouched << PORT;
    QTest::newRow("all three fail") << "0"
                                    << "300"
                                    << "-1"
                                    << "old\r\n"
                                    << 1 << untouched << DOM + AREA + PORT;
    // Domain failures start the log afresh, area and port failures extend it.
    QTest::newRow("area appends to result") << "1"
                                            << "256"
                                            << "3" << RESULT_123 << 1 << untouched << RESULT_123 + AREA;
    QTest::newRow("area appends per run") << "1"
                                          << "256"
                                          << "3" << RESULT_123 << 3 << untouched << RESULT_123 + AREA + AREA + AREA;
    QTest::newRow("port appends to user text") << "1"
                                               << "2"
                                               << "999"
                                               << "typed" << 2 << untouched << "typed" + PORT + PORT;
    QTest::newRow("dom replaces then area appends") << "0"
                                                    << "256"
                                                    << "1"
                                                    << "typed" << 2 << untouched << DOM + AREA;
    // A number too large for a double is just out of range.
    QTest::newRow("dom overflow") << "1e400"
                                  << "2"
                                  << "3"
                                  << "" << 1 << untouched << DOM;
    QTest::newRow("dom negative overflow") << "-1e400"
                                           << "2"
                                           << "3"
                                           << "" << 1 << untouched << DOM;
    QTest::newRow("area overflow") << "1"
                                   << "1e400"
                                   << "3"
                                   << "kept\r\n"
                                   << 1 << untouched << "kept\r\n" + AREA;
    QTest::newRow("port overflow") << "1"
                                   << "2"
                                   << "-1e999"
                                   << "" << 1 << untouched << PORT;
}

void TestConversions::dapToAddress()
{
    QFETCH(QString, dom);
    QFETCH(QString, area);
    QFETCH(QString, port);
    QFETCH(QString, logBefore);
    QFETCH(int, runs);
    QFETCH(QString, addr);
    QFETCH(QString, log);

    MemoryFields fields;
    fields.setText(Field::Dom, u16(dom));
    fields.setText(Field::Area, u16(area));
    fields.setText(Field::Port, u16(port));
    fields.setText(Field::ErrorBox, u16(logBefore));
    for (int i = 0; i < runs; ++i)
        DapToAddress(fields);

    COMPARE_TEXT(fields.text(Field::Dom), u16(dom));
    COMPARE_TEXT(fields.text(Field::Area), u16(area));
    COMPARE_TEXT(fields.text(Field::Port), u16(port));
    COMPARE_TEXT(fields.text(Field::Addr), u16(addr));
    COMPARE_TEXT(fields.text(Field::ErrorBox), u16(log));
}

void TestConversions::addressToDap_data()
{
    QTest::addColumn<QString>("addr");
    QTest::addColumn<QString>("logBefore");
    QTest::addColumn<QString>("dom");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("log");

    const auto fail = [](const char *name, const QString &addr, const QString &logBefore = "typed") {
        QTest::newRow(name) << addr << logBefore << "Domain_ID"
                            << "Area_ID"
                            << "Port_ID" << ADDR;
    };
    const auto pass = [](const char *name, const QString &addr, const QString &dom, const QString &area,
                         const QString &port, const QString &log) {
        QTest::newRow(name) << addr << "typed\r\n" << dom << area << port << log;
    };
    fail("label", "Address ID", "");
    fail("65535", "65535");
    fail("65535.9", "65535.9");
    fail("15728896.4", "15728896.4");
    fail("15728897", "15728897");
    fail("negative", "-66051");
    fail("overflow", "1e400");
    fail("negative overflow", "-1e400");
    fail("replaces result", "1", RESULT_66051);
    pass("66051", "66051", " 1", " 2", " 3", RESULT_66051);
    pass("66051abc left as typed", "66051abc", " 1", " 2", " 3", RESULT_66051);
    pass("hex", "0x010203", " 1", " 2", " 3", RESULT_66051);
    pass("ampersand hex", "&H010203", " 1", " 2", " 3", RESULT_66051);
    pass("65536", "65536", " 1", " 0", " 0", " 65536 --->  1. 0. 0\r\n");
    pass("15728639", "15728639", " 239", " 255", " 255", " 15728639 --->  239. 255. 255\r\n");
    pass("15728640", "15728640", " 240", " 0", " 0", " 15728640 --->  240. 0. 0\r\n");
    pass("15728896", "15728896", " 240", " 1", " 0", " 15728896 --->  240. 1. 0\r\n");
    pass("65536.5 rounds down", "65536.5", " 1", " 0", " 0", " 65536.5 --->  1. 0. 0\r\n");
    pass("65537.5 rounds up", "65537.5", " 1", " 0", " 2", " 65537.5 --->  1. 0. 2\r\n");
    pass("131071.5 carries", "131071.5", " 2", " 0", " 0", " 131071.5 --->  2. 0. 0\r\n");
    pass("65791.5 carries into area", "65791.5", " 1", " 1", " 0", " 65791.5 --->  1. 1. 0\r\n");
    pass("exponent", "6.6051e4", " 1", " 2", " 3", RESULT_66051);
}

void TestConversions::addressToDap()
{
    QFETCH(QString, addr);
    QFETCH(QString, logBefore);
    QFETCH(QString, dom);
    QFETCH(QString, area);
    QFETCH(QString, port);
    QFETCH(QString, log);

    MemoryFields fields;
    fields.setText(Field::Addr, u16(addr));
    fields.setText(Field::ErrorBox, u16(logBefore));
    AddressToDap(fields);

    COMPARE_TEXT(fields.text(Field::Addr), u16(addr));
    COMPARE_TEXT(fields.text(Field::Dom), u16(dom));
    COMPARE_TEXT(fields.text(Field::Area), u16(area));
    COMPARE_TEXT(fields.text(Field::Port), u16(port));
    COMPARE_TEXT(fields.text(Field::ErrorBox), u16(log));
}

// Ten megabytes pasted into every field, the log included: both conversions
// still answer with the messages they give for short texts, and every field
// they may not write keeps its text.
void TestConversions::tenMegabyteFields_data()
{
    QTest::addColumn<QString>("unit");         // each input: this repeated to 10 MB,
    QTest::addColumn<QStringList>("suffixes"); // then its suffix (dom, area, port, addr)
    QTest::addColumn<bool>("dapKeepsLog");
    QTest::addColumn<QString>("dapLog");     // after the old log when it is kept
    QTest::addColumn<QString>("dapAddr");    // empty: addr keeps its text
    QTest::addColumn<QStringList>("triple"); // empty: dom, area, port keep theirs
    QTest::addColumn<QString>("addrLog");

    const QStringList none{"", "", "", ""};
    QTest::newRow("digits") << "7" << none << false << DOM + AREA + PORT << "" << QStringList() << ADDR;
    QTest::newRow("letters") << "x" << none << false << DOM << "" << QStringList() << ADDR;
    QTest::newRow("lone surrogates") << QString(QChar(0xD800)) << none << false << DOM << "" << QStringList() << ADDR;
    QTest::newRow("other scripts") << QString::fromUtf8("\u0661\uFF11\u00A0") << QStringList{"1", "1", "1", "66051"}
                                   << false << DOM << "" << QStringList() << ADDR;
    QTest::newRow("blanks then numbers") << " " << QStringList{"1", "2", "300", "66051"} << true << PORT << ""
                                         << QStringList{" 1", " 2", " 3"} << RESULT_66051;
    QTest::newRow("tabs then numbers") << "\t" << QStringList{"1", "2", "3", "65536"} << false << RESULT_123 << " 66051"
                                       << QStringList{" 1", " 0", " 0"} << " 65536 --->  1. 0. 0\r\n";
    QTest::newRow("leading zeros") << "0" << QStringList{"1", "2", "3", "66051"} << false << RESULT_123 << " 66051"
                                   << QStringList{" 1", " 2", " 3"} << RESULT_66051;
}

void TestConversions::tenMegabyteFields()
{
    QFETCH(QString, unit);
    QFETCH(QStringList, suffixes);
    QFETCH(bool, dapKeepsLog);
    QFETCH(QString, dapLog);
    QFETCH(QString, dapAddr);
    QFETCH(QStringList, triple);
    QFETCH(QString, addrLog);

    constexpr qsizetype kUnits = qsizetype{5} * 1024 * 1024; // 10 MB of UTF-16
    const QString fill = unit.repeated(kUnits / unit.size());
    const std::u16string oldLog = u16(QString("note\r\n").repeated(kUnits / 6));
    std::array<std::u16string, 4> inputs;
    MemoryFields fields;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        inputs[i] = u16(fill + suffixes[static_cast<qsizetype>(i)]);
        fields.setText(kAllFields[i], inputs[i]);
    }
    fields.setText(Field::ErrorBox, oldLog);

    DapToAddress(fields);
    COMPARE_TEXT(fields.text(Field::ErrorBox), (dapKeepsLog ? oldLog : std::u16string()) + u16(dapLog));
    COMPARE_TEXT(fields.text(Field::Addr), dapAddr.isEmpty() ? inputs[3] : u16(dapAddr));
    for (std::size_t i = 0; i < 3; ++i)
        COMPARE_TEXT(fields.text(kAllFields[i]), inputs[i]);

    fields.setText(Field::Addr, inputs[3]);
    AddressToDap(fields);
    COMPARE_TEXT(fields.text(Field::ErrorBox), u16(addrLog));
    COMPARE_TEXT(fields.text(Field::Addr), inputs[3]);
    for (std::size_t i = 0; i < 3; ++i)
        COMPARE_TEXT(fields.text(kAllFields[i]), triple.isEmpty() ? inputs[i] : u16(triple[static_cast<qsizetype>(i)]));
}

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
