// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// How fast the log's wrap index wraps whole texts at the window's log width:
// one paragraph of ten million digits, a million short lines, two megabytes
// of words, two megabytes of words with tabs, emoji and combining marks in
// every line, most of which wrap, and two megabytes of Hebrew and Arabic
// words with tabs, whose lines are laid out as soon as a tab comes.

#include "wrapindex.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

using namespace quorran;

namespace {

QString textOf(int kind)
{
    switch (kind) {
    case 0:
        return QString(qsizetype{10'000'000}, QLatin1Char('7'));
    case 1:
        return QStringLiteral("l12345\n").repeated(1'000'000);
    case 2:
        return QStringLiteral("the quick brown fox jumps over the lazy dog ").repeated(50'000);
    case 3:
        return QStringLiteral("the quick\tbrown \U0001F600 fox e\u0301 jumps over the \U0001D49C lazy dog\n")
            .repeated(35'000);
    default:
        return QStringLiteral("\u05e9\u05dc\u05d5\u05dd\t\u05e2\u05d5\u05dc\u05dd 42 \u0645\u0631\u062d\u0628\u0627\t"
                              "\u0628\u0627\u0644\u0639\u0627\u0644\u0645 abc \u05e9\u05dc\u05d5\u05dd\n")
            .repeated(30'000);
    }
}

void BM_WrapWhole(benchmark::State &state)
{
    const QString text = textOf(static_cast<int>(state.range(0)));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(8.83);
    for (auto _ : state) {
        WrapIndex index([&]() -> const QString & { return text; }, font, 80);
        index.setWidth(250);
        benchmark::DoNotOptimize(index.lineCount());
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_WrapWhole)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
