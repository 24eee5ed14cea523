// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Every whole triple in range goes to its Address ID and back, and every whole
// Address ID converts. The domains are split over the machine's cores; each
// worker keeps its own fields and reports its first mismatch.

#include "conversions.h"
#include "fields.h"
#include "testsupport.h"

#include <QtTest>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace quorran;

namespace {

void appendSigned(std::u16string &out, long value)
{
    out += u' ';
    const std::string digits = std::to_string(value);
    out.append(digits.begin(), digits.end());
}

std::u16string numberText(long value)
{
    std::u16string text;
    appendSigned(text, value);
    return text;
}

// Empty when the round trip of one triple is exact, otherwise what differed.
std::string checkTriple(MemoryFields &fields, long dom, long area, long port)
{
    const long address = dom * 65536 + area * 256 + port;
    fields.setText(Field::Dom, numberText(dom));
    fields.setText(Field::Area, numberText(area));
    fields.setText(Field::Port, numberText(port));
    DapToAddress(fields);

    std::u16string expected;
    appendSigned(expected, dom);
    expected += u'.';
    appendSigned(expected, area);
    expected += u'.';
    appendSigned(expected, port);
    expected += u" ---> ";
    appendSigned(expected, address);
    expected += u"\r\n";
    const std::string where = std::to_string(dom) + "." + std::to_string(area) + "." + std::to_string(port);
    if (fields.text(Field::Addr) != numberText(address) || fields.text(Field::ErrorBox) != expected)
        return "DapToAddress " + where;

    fields.setText(Field::Dom, u"x");
    fields.setText(Field::Area, u"x");
    fields.setText(Field::Port, u"x");
    AddressToDap(fields);
    expected.clear();
    appendSigned(expected, address);
    expected += u" ---> ";
    appendSigned(expected, dom);
    expected += u'.';
    appendSigned(expected, area);
    expected += u'.';
    appendSigned(expected, port);
    expected += u"\r\n";
    if (fields.text(Field::Dom) != numberText(dom) || fields.text(Field::Area) != numberText(area) ||
        fields.text(Field::Port) != numberText(port) || fields.text(Field::ErrorBox) != expected)
        return "AddressToDap " + where;
    return {};
}

} // namespace

class TestSweep : public QObject {
    Q_OBJECT
private slots:
    void everyTripleRoundTrips();
    void addressesPastTheLastTriple();
};

void TestSweep::everyTripleRoundTrips()
{
    const unsigned workers = std::max(1U, std::thread::hardware_concurrency());
    std::atomic<long> nextDomain{1};
    std::vector<std::string> failures(workers);
    {
        std::vector<std::jthread> threads;
        for (unsigned w = 0; w < workers; ++w) {
            threads.emplace_back([&, w] {
                MemoryFields fields;
                for (long dom = nextDomain++; dom <= 239 && failures[w].empty(); dom = nextDomain++)
                    for (long area = 0; area <= 255 && failures[w].empty(); ++area)
                        for (long port = 0; port <= 255 && failures[w].empty(); ++port)
                            failures[w] = checkTriple(fields, dom, area, port);
            });
        }
    }
    for (const std::string &failure : failures)
        QVERIFY2(failure.empty(), failure.c_str());
}

// 15728640 to 15728896 pass the address check and split into Domain ID 240.
void TestSweep::addressesPastTheLastTriple()
{
    MemoryFields fields;
    for (long address = 15728640; address <= 15728896; ++address) {
        fields.setText(Field::Addr, numberText(address));
        AddressToDap(fields);
        const long area = (address - 15728640) / 256;
        const long port = address % 256;
        COMPARE_TEXT(fields.text(Field::Dom), u" 240");
        COMPARE_TEXT(fields.text(Field::Area), numberText(area));
        COMPARE_TEXT(fields.text(Field::Port), numberText(port));
    }
}

QTEST_GUILESS_MAIN(TestSweep)
#include "tst_sweep.moc"
