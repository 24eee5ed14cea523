// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// ParseNumber next to std::from_chars on the same digits, and both
// conversions end to end on the in-memory fields.

#include "conversions.h"
#include "fields.h"
#include "values.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <string>
#include <vector>

using namespace quorran;

namespace {

constexpr std::size_t kTenMillion = 10'000'000;
const std::vector<std::string> kTypicalTexts = {"1", "239", "255", "66051", "15728639", "0.5", "65537.5", "12"};

std::vector<std::u16string> wide(const std::vector<std::string> &texts)
{
    std::vector<std::u16string> out;
    out.reserve(texts.size());
    for (const std::string &text : texts)
        out.emplace_back(text.begin(), text.end());
    return out;
}

void BM_ParseNumber(benchmark::State &state)
{
    const std::vector<std::u16string> texts = wide(kTypicalTexts);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseNumber(texts[i]));
        i = (i + 1) % texts.size();
    }
}
BENCHMARK(BM_ParseNumber);

void BM_FromChars(benchmark::State &state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string &text = kTypicalTexts[i];
        double value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        benchmark::DoNotOptimize(value);
        i = (i + 1) % kTypicalTexts.size();
    }
}
BENCHMARK(BM_FromChars);

void BM_ParseNumberTenMillion(benchmark::State &state)
{
    const char fill = static_cast<char>(state.range(0));
    std::u16string text;
    text.resize(kTenMillion, static_cast<char16_t>(fill));
    if (fill == '.') {
        text.assign(u"0.");
        text.resize(kTenMillion + 2, u'3');
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseNumber(text));
    state.SetLabel(fill == '.' ? "long fraction" : fill == ' ' ? "blanks" : "digits");
}
BENCHMARK(BM_ParseNumberTenMillion)->Arg('7')->Arg(' ')->Arg('.')->Unit(benchmark::kMillisecond);

void BM_DapToAddress(benchmark::State &state)
{
    MemoryFields fields;
    fields.setText(Field::Dom, u"12");
    fields.setText(Field::Area, u"34");
    fields.setText(Field::Port, u"56");
    for (auto _ : state)
        DapToAddress(fields);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DapToAddress);

void BM_AddressToDap(benchmark::State &state)
{
    MemoryFields fields;
    fields.setText(Field::Addr, u"795192");
    for (auto _ : state)
        AddressToDap(fields);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AddressToDap);

// 10,000 Area ID failures in a row, each appending one line to the log.
void BM_LogAppendsInMemory(benchmark::State &state)
{
    for (auto _ : state) {
        MemoryFields fields;
        fields.setText(Field::Dom, u"1");
        fields.setText(Field::Area, u"256");
        for (int i = 0; i < 10'000; ++i)
            DapToAddress(fields);
        benchmark::DoNotOptimize(fields.text(Field::ErrorBox).size());
    }
}
BENCHMARK(BM_LogAppendsInMemory)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
