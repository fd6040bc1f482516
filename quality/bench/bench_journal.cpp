// The journal of calculations: a key with the journal recording it (as the desk records keys),
// and a correction on a tape of 20 000 lines, from the user's change to the new lines and grand
// total in memory, what the window shows; the correction's record is made and appended to the
// file right after (untimed here, timed with it in the "Written" cases).
//
// BM_Correction20000: a correction in the middle of a tape of sums; it works its calculation
// again and the next one, which starts afresh. BM_CorrectionWholeChain: the worst case, where
// every later calculation went on from the result before it ("+ 1 =" again and again), so all
// of them are worked again.

#include "calculator/engine.h"
#include "desk/journal.h"
#include "tape/tape.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstring>
#include <iterator>

namespace {

const QChar comma = QLatin1Char(',');

struct Desk
{
    explicit Desk(const QString &folder) : tape(folder), journal(tape, comma)
    {
        engine.setKeyListener(
            [this](const calc::KeyStroke &k, const calc::CalculatorState &b, const QString &shown,
                   const calc::CalculatorEngine &after) { journal.keyDone(k, b, shown, after); });
    }
    void type(const char *keys)
    {
        for (const char *k = keys; *k; ++k)
            engine.keyPress(QLatin1Char(*k));
    }
    tape::Tape tape;
    tape::Journal journal;
    calc::CalculatorEngine engine{comma};
};

void timeJournalKey(benchmark::State &state, const char *before,
                    void (*key)(calc::CalculatorEngine &))
{
    QTemporaryDir dir;
    Desk desk(dir.path());
    desk.type(before);
    const calc::CalculatorEngine prepared = desk.engine;
    std::size_t n = 0;
    for ([[maybe_unused]] auto _ : state) {
        calc::CalculatorEngine engine = prepared;
        key(engine);
        benchmark::DoNotOptimize(engine.display().constData());
        if (++n % 1024 == 0) {
            state.PauseTiming();
            desk.tape.flush();
            state.ResumeTiming();
        }
    }
}

#define JOURNAL_KEY_BENCHMARK(name, before, action)                                                \
    void BM_JournalKey_##name(benchmark::State &state)                                             \
    {                                                                                              \
        timeJournalKey(state, before, [](calc::CalculatorEngine &e) { action; });                  \
    }                                                                                              \
    BENCHMARK(BM_JournalKey_##name)

JOURNAL_KEY_BENCHMARK(NextDigit, "123", e.digit(4));
JOURNAL_KEY_BENCHMARK(Operator, "12", e.operatorKey(calc::Addition));
JOURNAL_KEY_BENCHMARK(Equals, "12+7", e.equals());
JOURNAL_KEY_BENCHMARK(PercentEquals, "50+10%", e.equals());

// The keys of whole calculations as a user types them, one calculation after the other on one
// calculator ("12+7=", then "5*3=", ...), with the journal recording: the time of one key on
// average, digits and operators alike. The tape stays within what it keeps, as in use.
void BM_JournalTypedCalculations(benchmark::State &state)
{
    QTemporaryDir dir;
    Desk desk(dir.path());
    static const char *const calculations[] = {"12+7=", "5*3=", "+4=", "100-2.5=", "50+10%="};
    std::size_t n = 0;
    std::int64_t keys = 0;
    for ([[maybe_unused]] auto _ : state) {
        const char *typed = calculations[n++ % std::size(calculations)];
        desk.type(typed);
        keys += std::int64_t(std::strlen(typed));
        if (n % 256 == 0) {
            state.PauseTiming();
            desk.tape.flush();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(keys);
    state.counters["ns/key"] =
        benchmark::Counter(double(keys), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_JournalTypedCalculations);

void timeCorrection(benchmark::State &state, const char *first, const char *repeated,
                    qsizetype entryRow, bool written)
{
    QTemporaryDir dir;
    Desk desk(dir.path());
    desk.type(first);
    while (desk.tape.lines().size() < 20'000)
        desk.type(repeated);
    const qsizetype row = entryRow < 0 ? desk.tape.lines().size() / 2 / 3 * 3 : entryRow;
    // The first correction writes the tape's 20 000 lines to the file first: not timed.
    desk.journal.correctAmount(row, QStringLiteral("13"));
    int n = 0;
    for ([[maybe_unused]] auto _ : state) {
        const auto done = desk.journal.correctAmount(row, QString::number(14 + n++ % 50));
        if (!done.done)
            state.SkipWithError("refused");
        if (!written)
            state.PauseTiming();
        desk.tape.flush();
        if (!written)
            state.ResumeTiming();
    }
    state.counters["lines"] = double(desk.tape.lines().size());
}

void BM_Correction20000(benchmark::State &state, bool written)
{
    timeCorrection(state, "", "12+7=", -1, written);
}
BENCHMARK_CAPTURE(BM_Correction20000, Shown, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Correction20000, Written, true)->Unit(benchmark::kMicrosecond);

void BM_CorrectionWholeChain(benchmark::State &state, bool written)
{
    timeCorrection(state, "1+1=", "+1=", 0, written);
}
BENCHMARK_CAPTURE(BM_CorrectionWholeChain, Shown, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CorrectionWholeChain, Written, true)->Unit(benchmark::kMillisecond);

} // namespace
