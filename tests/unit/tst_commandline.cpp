// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The command-line mode as a script meets it: the real program, run without a
// display, with literal input, output, messages and exit status. The values
// themselves are the core's business; here it is reading, alignment, the
// output forms and the statuses. Whole values in range are written without
// the window's conversion; the two ways are compared around every range.

#include "conversion.h"

#include <QProcess>
#include <QtTest>

using namespace quorran::cli;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void run_data();
    void run();
    void texts_data();
    void texts();
    void closedPipe();
    void shortcutAgreesWithTheWindow();
};

namespace {

struct Result {
    QByteArray out, err;
    int status;
};

// Runs the program with no display of any kind, as over SSH.
Result runProgram(const QStringList &args, const QByteArray &input)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUORRAN_EXECUTABLE), args);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        process.kill();
    process.waitForFinished();
    return {process.readAllStandardOutput(), process.readAllStandardError(),
            process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1};
}

} // namespace

void TestCommandLine::run_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<int>("status");
    const auto row = [](const char *name, const QString &args, const QByteArray &input, const QByteArray &out,
                        const QByteArray &err, int status) {
        QTest::newRow(name) << args.split(QLatin1Char('|')) << input << out << err << status;
    };
    const QByteArray domain = ": ERROR: Domain ID must be within [1,239]\n";
    const QByteArray address = ": ERROR: Address ID must be within [65536,15728896]\n";
    const QByteArray usage = "\nTry 'quorran --help' for more information.\n";

    row("three fields", "--to-id|1|2|3", "", "66051\n", "", 0);
    row("triples in words", "--to-id|1.2.3|1,2,3|1 2 3", "", "66051\n66051\n66051\n", "", 0);
    row("fraction in fields", "--to-id|1|2|3.5", "", "66051.5\n", "", 0);
    row("hex", "--hex|--to-id|239.255.255", "", "0xefffff\n", "", 0);
    row("hex of a fraction", "--to-id|--hex|1|2|3.5", "", "66051.5\n",
        "quorran: \"1 2 3.5\": warning: the Address ID is not whole; written in decimal\n", 0);
    row("log", "--log|--to-id|1.2.3", "", " 1. 2. 3 --->  66051\n", "", 0);
    row("addresses", "--to-dap|0x010203|&HEF0A01|&O201003|15728896", "", "1.2.3\n239.10.1\n1.2.3\n240.1.0\n", "", 0);
    row("address log", "--to-dap|--log|66051", "", " 66051 --->  1. 2. 3\n", "", 0);
    row("domain", "--to-id|0.2.3", "", "\n", "quorran: \"0.2.3\"" + domain, 1);
    row("area and port", "--to-id|1.256.-1", "", "\n",
        "quorran: \"1.256.-1\": ERROR: Area ID must be within [0,255]\n"
        "quorran: \"1.256.-1\": ERROR: Port ID must be within [0,255]\n",
        1);
    row("address", "--to-dap|65535", "", "\n", "quorran: \"65535\"" + address, 1);
    row("partly read", "--to-dap|66051abc|abc", "", "1.2.3\n\n",
        "quorran: \"66051abc\": warning: Address ID read as 66051\n"
        "quorran: \"abc\": warning: Address ID read as 0\nquorran: \"abc\"" +
            address,
        1);
    row("mixed lines", "--to-dap", "0x010203\n1\n\n0xefffff\n", "1.2.3\n\n\n239.255.255\n",
        "quorran: line 2: \"1\"" + address + "quorran: line 3: \"\": warning: Address ID read as 0\n" +
            "quorran: line 3: \"\"" + address,
        1);
    row("triple lines", "--to-id|-", "1.2.3\n1 , 2 ,3\n1.5 2 3\n1.2\n\t1  2 3\n", "66051\n66051\n98819\n\n66051\n",
        "quorran: line 4: \"1.2\": not a triple Domain.Area.Port\n", 1);
    row("dash among words", "--to-dap|66051|-|0x010203", "0xef0a01\n", "1.2.3\n239.10.1\n1.2.3\n", "", 0);
    row("crlf and no last line end", "--to-dap", "0x010203\r\n66051", "1.2.3\n1.2.3\n", "", 0);
    row("nul and bad utf-8", "--to-dap", QByteArray("66051\0x\n\xff\xc0\xe2\x82\n", 12), "1.2.3\n\n",
        "quorran: line 1: \"66051\\x00x\": warning: Address ID read as 66051\n"
        "quorran: line 2: \"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\": warning: Address ID read as 0\n"
        "quorran: line 2: \"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\"" +
            address,
        1);
    row("megabyte line", "--to-dap", "0x" + QByteArray(1 << 20, '0') + "10203\n", "1.2.3\n", "", 0);
    row("overlong line", "--to-dap", QByteArray(9 << 20, '7') + "\n66051", "\n1.2.3\n",
        "quorran: line 1: longer than 8 MiB; not read\n", 1);
    row("negative value", "--to-id|-1|2|3", "", "\n", "quorran: \"-1 2 3\"" + domain, 1);
    row("after double dash", "--to-dap|--|--log", "", "\n",
        "quorran: \"--log\": warning: Address ID read as 0\nquorran: \"--log\"" + address, 1);
    row("unknown option", "--to-id|--frobnicate|1.2.3", "", "", "quorran: unrecognized option '--frobnicate'" + usage,
        2);
    row("two parts", "--to-id|1.2", "", "", "quorran: '1.2' is not a triple Domain.Area.Port" + usage, 2);
    row("both directions", "--to-id|--to-dap|1", "", "", "quorran: --to-id and --to-dap exclude each other" + usage, 2);
    row("no direction", "--log|1", "", "", "quorran: --to-id or --to-dap is needed" + usage, 2);
    row("hex and log", "--to-id|--hex|--log|1.2.3", "", "", "quorran: --hex and --log exclude each other" + usage, 2);
}

void TestCommandLine::run()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    const Result result = runProgram(args, input);
    QTEST(result.out, "out");
    QTEST(result.err, "err");
    QTEST(result.status, "status");
}

void TestCommandLine::texts_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("status");
    QTest::newRow("help") << QStringList{"--to-id", "--help"}
                          << QStringList{"Usage: quorran [QT-OPTION]...",
                                         "      --to-dap   print the Domain.Area.Port triple of each Address ID",
                                         "Exit status: 0 if every value was converted, 1 if any was rejected or a",
                                         "Report bugs to: quorran-devel@googlegroups.com"}
                          << 0;
    QTest::newRow("-h") << QStringList{"-h"} << QStringList{"Usage: quorran [QT-OPTION]..."} << 0;
    QTest::newRow("version") << QStringList{"--version"}
                             << QStringList{"quorran 1.0.0", "License MIT: <https://opensource.org/license/mit>"} << 0;
    // Qt's own options still start the window, which needs a display.
    QTest::newRow("qt option") << QStringList{"-style", "fusion", "-reverse"} << QStringList{} << 1;
}

void TestCommandLine::texts()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, lines);
    const Result result = runProgram(args, {});
    const QStringList out = QString::fromUtf8(result.out).split(QLatin1Char('\n'));
    for (const QString &line : lines)
        QVERIFY2(out.contains(line), qPrintable(line));
    if (lines.isEmpty())
        QVERIFY2(result.err.contains("display"), result.err.constData());
    QTEST(result.status, "status");
}

// A reader that stops early ends the program at once and quietly, as it ends cat.
void TestCommandLine::closedPipe()
{
    QProcess shell;
    shell.start(QStringLiteral("bash"),
                {"-c", R"(yes 0x010203 | "$0" --to-dap | head -n 1; echo "${PIPESTATUS[1]}")", QUORRAN_EXECUTABLE});
    QVERIFY(shell.waitForFinished(60000));
    QCOMPARE(shell.readAllStandardOutput(), QByteArray("1.2.3\n141\n"));
    QCOMPARE(shell.readAllStandardError(), QByteArray());
}

void TestCommandLine::shortcutAgreesWithTheWindow()
{
    const std::array<const char16_t *, 12> values{u"0",   u"-0",  u"0.5",   u"1",   u"239",     u"239.5",
                                                  u"240", u"255", u"255.5", u"256", u"65535.9", u"65536"};
    const std::array<const char16_t *, 8> addresses{u"65535",    u"65536",    u"65536.5",  u"66051",
                                                    u"15728639", u"15728896", u"15728897", u"1e300"};
    for (const Form form : {Form::Plain, Form::Hex}) {
        std::array<Converter, 2> toId{Converter(Direction::ToId, form, true), Converter(Direction::ToId, form, false)};
        for (const auto *d : values)
            for (const auto *a : values)
                for (const auto *p : values) {
                    std::array<std::string, 2> out, err;
                    for (int way = 0; way < 2; ++way)
                        toId[way].convert({d, a, p}, u"input", 0, out[way], err[way]);
                    QCOMPARE(out[0], out[1]);
                    QCOMPARE(err[0], err[1]);
                }
    }
    std::array<Converter, 2> toDap{Converter(Direction::ToDap, Form::Plain, true),
                                   Converter(Direction::ToDap, Form::Plain, false)};
    for (const auto *x : addresses) {
        std::array<std::string, 2> out, err;
        for (int way = 0; way < 2; ++way)
            toDap[way].convert({x}, u"input", 0, out[way], err[way]);
        QCOMPARE(out[0], out[1]);
        QCOMPARE(err[0], err[1]);
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
