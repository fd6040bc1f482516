// How long the keys take with the tape recording, as the main window records them: the key,
// the lines it writes, one time stamp for the block and the tape's append in memory. The file
// is written after the key, when the event loop is idle again; that write is timed on its own
// (BM_TapeFileAppend), and so is the first reading of a full tape (BM_TapeLoad).

#include "calculator/engine.h"
#include "tape/localtime.h"
#include "tape/recorder.h"
#include "tape/tape.h"
#include "tape/tapefile.h"
#include "vat/vatkeys.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <functional>

namespace {

const QChar comma = QLatin1Char(',');

void record(tape::Tape &tape, QList<tape::Line> lines)
{
    if (lines.isEmpty())
        return;
    const QDateTime now = tape::localNow();
    for (tape::Line &line : lines)
        line.time = now;
    tape.append(lines);
}

// Times one key on a fresh copy of a calculator prepared by the keys typed first, with a tape
// listening. Every 1024 keys the file is written, outside the timing.
void timeTapedKey(benchmark::State &state, const char *before,
                  const std::function<void(calc::CalculatorEngine &, tape::Tape &)> &key)
{
    QTemporaryDir dir;
    tape::Tape tape(dir.path());
    calc::CalculatorEngine prepared(comma);
    for (const char *k = before; *k; ++k)
        prepared.keyPress(QLatin1Char(*k));
    prepared.setKeyListener([&tape](const calc::KeyStroke &k, const calc::CalculatorState &b,
                                    const QString &shown, const calc::CalculatorEngine &after) {
        record(tape, tape::keyLines(k, b, shown, after));
    });
    std::size_t n = 0;
    for ([[maybe_unused]] auto _ : state) {
        calc::CalculatorEngine engine = prepared;
        key(engine, tape);
        benchmark::DoNotOptimize(engine.display().constData());
        if (++n % 1024 == 0) {
            state.PauseTiming();
            tape.flush();
            state.ResumeTiming();
        }
    }
    state.counters["lines"] = double(tape.lines().size());
}

#define TAPED_KEY_BENCHMARK(name, before, action)                                                  \
    void BM_TapedKey_##name(benchmark::State &state)                                               \
    {                                                                                              \
        timeTapedKey(state, before,                                                                \
                     [](calc::CalculatorEngine &e, [[maybe_unused]] tape::Tape &t) { action; });   \
    }                                                                                              \
    BENCHMARK(BM_TapedKey_##name)

TAPED_KEY_BENCHMARK(NextDigit, "123", e.digit(4));
TAPED_KEY_BENCHMARK(Operator, "12", e.operatorKey(calc::Addition));
TAPED_KEY_BENCHMARK(ChainedOperator, "6+2", e.operatorKey(calc::Multiplication));
TAPED_KEY_BENCHMARK(Equals, "12+7", e.equals());
TAPED_KEY_BENCHMARK(Division, "10/3", e.equals());
TAPED_KEY_BENCHMARK(Percent, "50+10", e.percent());
TAPED_KEY_BENCHMARK(PercentEquals, "50+10%", e.equals());
TAPED_KEY_BENCHMARK(Clear, "12+7", e.clear());
TAPED_KEY_BENCHMARK(TypedEquals, "12+7", e.keyPress(QLatin1Char('=')));
TAPED_KEY_BENCHMARK(VatTTC, "100", {
    vat::VatStep step;
    if (vat::applyVatKey(e, vat::VatKey::TTC, QStringLiteral("19,6"), &step))
        record(t, tape::vatLines({tape::VatKind::TTC, step.display, step.amount,
                                  QStringLiteral("19,6"), step.resultText},
                                 comma));
});
TAPED_KEY_BENCHMARK(VatDontTVA, "119.6", {
    vat::VatStep step;
    if (vat::applyVatKey(e, vat::VatKey::DontTVA, QStringLiteral("19,6"), &step))
        record(t, tape::vatLines({tape::VatKind::DontTVA, step.display, step.amount,
                                  QStringLiteral("19,6"), step.resultText},
                                 comma));
});

QList<tape::Line> sumBlock()
{
    const QDateTime now = tape::localNow();
    return {{now, {}, QStringLiteral("12"), QStringLiteral("+")},
            {now, {}, QStringLiteral("7"), QStringLiteral("=")},
            {now, {}, QStringLiteral("19"), QStringLiteral("*"), true, true}};
}

// The write after a calculation: its block of three lines appended to the file in one write.
void BM_TapeFileAppend(benchmark::State &state)
{
    QTemporaryDir dir;
    tape::Tape tape(dir.path());
    const QList<tape::Line> block = sumBlock();
    for ([[maybe_unused]] auto _ : state) {
        tape.append(block);
        tape.flush();
    }
}
BENCHMARK(BM_TapeFileAppend);

// The first opening of the window: reading a file of 20 000 lines.
void BM_TapeLoad(benchmark::State &state)
{
    QTemporaryDir dir;
    {
        QByteArray bytes;
        const QList<tape::Line> block = sumBlock();
        for (int i = 0; i < 20'000; ++i)
            bytes += tape::lineRecord(block[i % 3]);
        QFile file(dir.filePath(QStringLiteral("ruban.txt")));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            state.SkipWithError("cannot write the tape file");
    }
    for ([[maybe_unused]] auto _ : state) {
        tape::Tape tape(dir.path());
        tape.load();
        benchmark::DoNotOptimize(tape.grandTotalCents());
    }
}
BENCHMARK(BM_TapeLoad)->Unit(benchmark::kMillisecond);

} // namespace
