// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The message log in the real window: 100,000 successive Area ID failures,
// each appending one line, with the time of the first and the last thousand
// appends side by side; and, for scale, the same log rebuilt on every append.
// Then pastes of ten megabytes into the fields and the log, a key typed
// into a field that holds a long text, what undo keeps when twenty
// characters are typed into a field of ten megabytes, keys typed into one
// paragraph of fifty million characters in the log, the memory the process
// holds before and after two conversions over 200 MB in a field and after a
// conversion over five million lines pasted into the log, and a field at the
// longest text a box can hold.

#include "conversions.h"
#include "fields.h"
#include "logbox.h"
#include "quorranwindow.h"
#include "textbox.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <limits>

using namespace quorran;

namespace {

constexpr int kAppends = 100'000;
constexpr int kCompared = 1'000;

// Forwards to the window but clears the log before each write, so that every
// write lays out the whole text again.
class ResettingFields final : public FieldModel {
public:
    explicit ResettingFields(FieldModel &inner) : m_inner(inner) {}
    std::u16string_view text(Field field) const override { return m_inner.text(field); }
    void setText(Field field, std::u16string_view text) override
    {
        if (field == Field::ErrorBox)
            m_inner.setText(field, u"");
        m_inner.setText(field, text);
    }

private:
    FieldModel &m_inner;
};

void runAppends(benchmark::State &state, bool resetting, int appends)
{
    for (auto _ : state) {
        state.PauseTiming();
        QuorranWindow window;
        window.show();
        QCoreApplication::processEvents();
        ResettingFields resetter(window.fields());
        FieldModel &fields = resetting ? static_cast<FieldModel &>(resetter) : window.fields();
        fields.setText(Field::Dom, u"1");
        fields.setText(Field::Area, u"256");
        fields.setText(Field::Port, u"1");
        state.ResumeTiming();

        const int compared = std::min(kCompared, appends / 2);
        double firstMs = 0;
        double lastMs = 0;
        for (int i = 0; i < appends; ++i) {
            const auto start = std::chrono::steady_clock::now();
            DapToAddress(fields);
            const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
            if (i < compared)
                firstMs += spent.count();
            else if (i >= appends - compared)
                lastMs += spent.count();
        }
        QCoreApplication::processEvents(); // let the window paint the result once
        state.counters["first_ms_per_append"] = firstMs / compared;
        state.counters["last_ms_per_append"] = lastMs / compared;
        state.counters["last_to_first"] = lastMs / firstMs;
    }
}

void BM_LogAppends(benchmark::State &state) { runAppends(state, false, kAppends); }
BENCHMARK(BM_LogAppends)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LogRebuiltEachTime(benchmark::State &state) { runAppends(state, true, static_cast<int>(state.range(0))); }
BENCHMARK(BM_LogRebuiltEachTime)->Arg(2'000)->Unit(benchmark::kMillisecond)->Iterations(1);

// Ten megabytes pasted into each input field and into the log, then both
// conversions: milliseconds for each step, painting included.
void BM_PasteTenMegabytes(benchmark::State &state)
{
    const QString digits(qsizetype{5} * 1024 * 1024, QLatin1Char('7'));
    for (auto _ : state) {
        QuorranWindow window;
        window.show();
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        const auto step = [&](const char *counter) {
            window.repaint();
            QCoreApplication::processEvents();
            state.counters[counter] = static_cast<double>(timer.restart());
        };
        timer.start();
        for (const char *name : {"dom", "area", "port", "addr"}) {
            auto *box = window.findChild<TextBox *>(QLatin1String(name));
            box->selectAll();
            box->insert(digits);
            step(name);
        }
        auto *log = window.findChild<LogBox *>(QStringLiteral("errorbox"));
        log->insert(digits);
        step("errorbox");
        // What the caret costs twice a second with the view at the start of that line.
        log->setCursorPosition(0);
        QCoreApplication::processEvents();
        timer.restart();
        log->repaint(log->inputMethodQuery(Qt::ImCursorRectangle).toRect());
        state.counters["log_caret"] = static_cast<double>(timer.restart());
        DapToAddress(window.fields());
        step("to_address");
        AddressToDap(window.fields());
        step("to_dap");
    }
}
BENCHMARK(BM_PasteTenMegabytes)->Unit(benchmark::kMillisecond)->Iterations(1);

// Ten megabytes of random characters pasted into the log, painting included:
// 0 any character of the first plane, 1 characters beyond it (surrogate
// pairs), 2 one line feed every other character, 3 blanks only, 4 one letter
// and combining marks only.
void BM_LogPasteAnyCharacters(benchmark::State &state)
{
    QRandomGenerator random(7);
    QString text;
    text.reserve(qsizetype{5} * 1024 * 1024);
    while (text.size() < qsizetype{5} * 1024 * 1024) {
        const auto kind = state.range(0);
        const char32_t code = kind == 0        ? random.bounded(0x20U, 0xD800U)
                              : kind == 1      ? random.bounded(0x10000U, 0x30000U)
                              : kind == 2      ? (random.bounded(2) != 0 ? U'\n' : U'x')
                              : kind == 3      ? U' '
                              : text.isEmpty() ? U'e'
                                               : U'\u0301';
        text += QString::fromUcs4(&code, 1);
    }
    for (auto _ : state) {
        state.PauseTiming();
        QuorranWindow window;
        window.show();
        QCoreApplication::processEvents();
        auto *log = window.findChild<LogBox *>(QStringLiteral("errorbox"));
        state.ResumeTiming();
        log->insert(text);
        window.repaint();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_LogPasteAnyCharacters)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(1);

// One typed character in the Address ID field, painting included, when the
// field holds 0: 32,000 Hebrew letters and blanks, laid out whole; 1: ten
// megabytes of digits, laid out a slice at a time; 2: 32,000 joined Arabic
// letters, digits and Latin letters, typed at the start. The second argument
// 1 puts a stock QLineEdit of the same font and size in the field's place,
// for comparison (not with ten megabytes, where it takes seconds a key).
void BM_KeyInField(benchmark::State &state)
{
    const auto kind = state.range(0);
    QString text;
    if (kind == 0)
        text = QString::fromUtf8("\u05E9\u05DC\u05D5\u05DD ").repeated(6400);
    else if (kind == 1)
        text = QString(qsizetype{5} * 1024 * 1024, QLatin1Char('7'));
    else
        text = QString::fromUtf8("\u0627\u0644\u0639\u0631\u0628\u064A\u0629 12 ab ").repeated(2285);
    QuorranWindow window;
    window.show();
    QCoreApplication::processEvents();
    auto *field = window.findChild<TextBox *>(QStringLiteral("addr"));
    QWidget *box = field;
    if (state.range(1) == 1) {
        auto *stock = new QLineEdit(field->parentWidget());
        stock->setFont(field->font());
        stock->setGeometry(field->geometry());
        stock->setText(text);
        if (kind == 2)
            stock->setCursorPosition(0);
        field->hide();
        stock->show();
        box = stock;
    } else {
        field->setText(text);
        if (kind == 2)
            field->setCursorPosition(0);
    }
    box->setFocus(Qt::OtherFocusReason);
    box->repaint();
    const QString typed = kind == 1 ? QStringLiteral("8") : QString(QChar(0x05D0));
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
        QApplication::sendEvent(box, &press);
        box->repaint();
    }
}
BENCHMARK(BM_KeyInField)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

// Resident memory of this process in megabytes (Linux).
double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * 4096 / (1024 * 1024) : 0;
}

void BM_UndoMemory(benchmark::State &state)
{
    for (auto _ : state) {
        QuorranWindow window;
        window.show();
        QCoreApplication::processEvents();
        auto *box = window.findChild<TextBox *>(QStringLiteral("dom"));
        // The box holds the only copy of its text.
        box->setText(QString(qsizetype{5} * 1024 * 1024, QLatin1Char('7')));
        box->setFocus();
        QCoreApplication::processEvents();
        const double before = residentMegabytes();
        for (int i = 0; i < 20; ++i) {
            // Moving the caret each time makes every character an undo step of its own.
            box->setCursorPosition(i * 1000);
            QKeyEvent key(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
            QApplication::sendEvent(box, &key);
        }
        QCoreApplication::processEvents();
        state.counters["resident_before_mb"] = before;
        state.counters["resident_after_mb"] = residentMegabytes();
    }
}
BENCHMARK(BM_UndoMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// A box four characters short of the longest text it can hold (2^31 - 1
// characters, 4 GB), 0: the Domain ID field, 1: the log: a paste of five
// characters is refused whole and four typed keys fill the box to the last
// character, the fourth refused. The counters give how far the box stays
// short of the longest text after each step; the Area ID field keeps its
// text throughout.
void BM_LengthLimit(benchmark::State &state)
{
    constexpr qsizetype kLongest = std::numeric_limits<int>::max();
    for (auto _ : state) {
        QuorranWindow window;
        window.show();
        QCoreApplication::processEvents();
        auto *area = window.findChild<TextBox *>(QStringLiteral("area"));
        EditBox *box = nullptr;
        if (state.range(0) == 0) {
            auto *field = window.findChild<TextBox *>(QStringLiteral("dom"));
            field->setText(QString(kLongest - 4, QLatin1Char('7')));
            box = field;
        } else {
            auto *log = window.findChild<LogBox *>(QStringLiteral("errorbox"));
            log->setText(QString(kLongest - 4, QLatin1Char('7')));
            box = log;
        }
        box->setFocus();
        QApplication::clipboard()->setText(QStringLiteral("12345"));
        QElapsedTimer timer;
        timer.start();
        box->paste();
        state.counters["paste_ms"] = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        state.counters["short_after_paste"] = static_cast<double>(kLongest - box->text().size());
        for (int i = 0; i < 4; ++i) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
            QApplication::sendEvent(box, &key);
        }
        state.counters["short_after_keys"] = static_cast<double>(kLongest - box->text().size());
        state.counters["area_kept"] = area->text() == QStringLiteral("Area_ID") ? 1 : 0;
        state.counters["peak_mb"] = residentMegabytes();
    }
}
BENCHMARK(BM_LengthLimit)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(1);

// Keys typed into a log that holds one unbroken paragraph of fifty million
// digits: at its start, in its middle and at its end, painting included. The
// first key also pays for bringing the text's memory into play.
void BM_LogKeyInHugeParagraph(benchmark::State &state)
{
    const QString paragraph(qsizetype{50'000'000}, QLatin1Char('7'));
    for (auto _ : state) {
        state.PauseTiming();
        QuorranWindow window;
        window.show();
        QCoreApplication::processEvents();
        auto *log = window.findChild<LogBox *>(QStringLiteral("errorbox"));
        log->setText(paragraph);
        log->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        double worstMs = 0;
        double totalMs = 0;
        int keys = 0;
        for (const qsizetype at : {qsizetype{10}, paragraph.size() / 2, paragraph.size()}) {
            log->setCursorPosition(static_cast<int>(at));
            for (int i = 0; i < 10; ++i, ++keys) {
                QElapsedTimer timer;
                timer.start();
                QKeyEvent press(QEvent::KeyPress, Qt::Key_8, Qt::NoModifier, QStringLiteral("8"));
                QApplication::sendEvent(log, &press);
                log->repaint();
                const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
                if (keys == 0)
                    state.counters["first_key_ms"] = ms;
                else
                    worstMs = std::max(worstMs, ms);
                totalMs += ms;
            }
        }
        state.counters["key_ms_mean"] = totalMs / keys;
        state.counters["key_ms_worst_after_first"] = worstMs;
    }
}
BENCHMARK(BM_LogKeyInHugeParagraph)->Unit(benchmark::kMillisecond)->Iterations(1);

// Resident memory, in megabytes, with the window open, with 200 MB in a field
// (0: the Domain ID, blanks before a 1; 1: the log), and after two
// conversions that replace that text.
void BM_MemoryAfterHugeField(benchmark::State &state)
{
    for (auto _ : state) {
        QuorranWindow window;
        window.show();
        QCoreApplication::processEvents();
        FieldModel &fields = window.fields();
        state.counters["rss_open_mb"] = residentMegabytes();
        {
            std::u16string huge(std::size_t{100} * 1024 * 1024, u' ');
            if (state.range(0) == 0) {
                huge.back() = u'1';
                fields.setText(Field::Dom, huge);
            } else {
                fields.setText(Field::ErrorBox, huge);
            }
        }
        fields.setText(Field::Area, u"2");
        fields.setText(Field::Port, u"3");
        window.repaint();
        QCoreApplication::processEvents();
        state.counters["rss_filled_mb"] = residentMegabytes();
        DapToAddress(fields);
        AddressToDap(fields);
        window.repaint();
        QCoreApplication::processEvents();
        state.counters["rss_after_mb"] = residentMegabytes();
    }
}
BENCHMARK(BM_MemoryAfterHugeField)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(1);

// Resident memory, in megabytes, with the window open, at the peak after
// pastes of five million short lines into the log, and after a conversion of
// 1 2 3 has started the log afresh, once at once and once a second later
// with the events in between handled.
void BM_MemoryAfterHugeLogPaste(benchmark::State &state)
{
    for (auto _ : state) {
        QuorranWindow window;
        window.show();
        QCoreApplication::processEvents();
        FieldModel &fields = window.fields();
        auto *log = window.findChild<LogBox *>(QStringLiteral("errorbox"));
        state.counters["rss_open_mb"] = residentMegabytes();
        log->setFocus(Qt::OtherFocusReason);
        // In pastes of 100,000 lines, as text that comes from another
        // program arrives in pieces.
        for (int paste = 0; paste < 50; ++paste) {
            QString lines;
            for (int i = 0; i < 100'000; ++i)
                lines += QStringLiteral("l%1\n").arg(i);
            QApplication::clipboard()->setText(lines);
            log->paste();
            window.repaint();
        }
        QCoreApplication::processEvents();
        state.counters["rss_peak_mb"] = residentMegabytes();
        QApplication::clipboard()->clear();
        fields.setText(Field::Dom, u"1");
        fields.setText(Field::Area, u"2");
        fields.setText(Field::Port, u"3");
        DapToAddress(fields);
        window.repaint();
        QCoreApplication::processEvents();
        state.counters["rss_reset_mb"] = residentMegabytes();
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        state.counters["rss_second_later_mb"] = residentMegabytes();
    }
}
BENCHMARK(BM_MemoryAfterHugeLogPaste)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
