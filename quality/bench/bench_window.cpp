// How the tape window keeps up with a long tape: opening it, one calculation arriving at the foot
// of the lines, a jump of the scroll bar, and a correction, on 300 lines (a day) and on 20 000 (a
// month of a busy counter, the most the tape keeps). Each figure includes the layout and the
// painting of the list, drawn offscreen.
//
//   build-bench/tarvex_bench_window --benchmark_min_time=0.2

#include "desk/desk.h"
#include "tapewindow/TapeWindow.h"
#include "tapewindow/VatBreakdownWindow.h"

#include <QApplication>
#include <QListView>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Lines over 31 days: sums, VAT keys and a few words, as the calculator writes them.
void fill(tape::Tape &record, int tapeLines)
{
    const QDateTime start(QDate(2026, 11, 8), QTime(8, 0));
    QList<tape::Line> block;
    for (int i = 0; i < tapeLines; i += 3) {
        const QDateTime when = start.addSecs(qint64(i) * 31 * 86400 / tapeLines);
        block +=
            {{when, {}, QString::number(i % 977) + ",50", "+", false, false},
             {when, QStringLiteral("TVA 20 %"), QString::number(i % 89) + ",10", "", false, false},
             {when, {}, QString::number(i % 1200) + ",60", "*", true, true}};
    }
    block.resize(tapeLines);
    record.append(block);
}

// Shows the window and waits until the list has been laid out and painted.
void showAndPaint(TapeWindow &window)
{
    window.show();
    QApplication::processEvents();
    window.lines()->viewport()->repaint();
}

struct Fixture
{
    QTemporaryDir folder;
    desk::Desk desk{QLatin1Char(','), vat::RateFile(folder.path(), folder.path()), folder.path()};
    explicit Fixture(int lines) { fill(desk.tape(), lines); }
};

void BM_Open(benchmark::State &state)
{
    Fixture f(int(state.range(0)));
    for ([[maybe_unused]] auto _ : state) {
        TapeWindow window(f.desk);
        window.resize(300, 328);
        showAndPaint(window);
        benchmark::DoNotOptimize(window.lines()->verticalScrollBar()->value());
    }
}
BENCHMARK(BM_Open)->Arg(300)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_CalculationArrives(benchmark::State &state)
{
    Fixture f(int(state.range(0)));
    TapeWindow window(f.desk);
    window.resize(300, 328);
    showAndPaint(window);
    const QDateTime when(QDate(2026, 12, 8), QTime(18, 0));
    const QList<tape::Line> sum = {{when, {}, "100", "+", false, false},
                                   {when, {}, "20", "=", false, false},
                                   {when, {}, "120", "*", true, true}};
    for ([[maybe_unused]] auto _ : state) {
        f.desk.tape().append(sum);
        QApplication::processEvents();
        window.lines()->viewport()->repaint();
    }
}
BENCHMARK(BM_CalculationArrives)->Arg(300)->Arg(20000)->Unit(benchmark::kMicrosecond);

void BM_Scroll(benchmark::State &state)
{
    Fixture f(int(state.range(0)));
    TapeWindow window(f.desk);
    window.resize(300, 328);
    showAndPaint(window);
    QScrollBar *bar = window.lines()->verticalScrollBar();
    int page = 0;
    for ([[maybe_unused]] auto _ : state) {
        page = (page + 1) % 50;
        bar->setValue(bar->maximum() * page / 50);
        window.lines()->viewport()->repaint();
    }
}
BENCHMARK(BM_Scroll)->Arg(300)->Arg(20000)->Unit(benchmark::kMicrosecond);

// A sum keyed in the middle of the tape corrected, as the user sees it: from the new amount to
// the list painted again with the new values and grand total (the correction's record is written
// to the file after that, as the event loop goes on: untimed). The lines are keyed on the desk,
// so that the journal knows what made them; the list shows the middle of the tape.
void BM_CorrectionShown(benchmark::State &state)
{
    QTemporaryDir folder;
    desk::Desk desk{QLatin1Char(','), vat::RateFile(folder.path(), folder.path()), folder.path()};
    while (desk.tape().lines().size() < state.range(0))
        for (const QChar key : QStringLiteral("12+7="))
            desk.typeKey(key);
    desk.tape().flush();
    TapeWindow window(desk, desk.tapeEditing());
    window.resize(300, 328);
    showAndPaint(window);
    const int line = int(desk.tape().lines().size() / 2 / 3 * 3);
    window.lines()->scrollTo(window.lines()->model()->index(line, 0));
    QApplication::processEvents();
    int n = 0;
    for ([[maybe_unused]] auto _ : state) {
        if (!desk.tapeEditing()->replaceAmount(line, QString::number(13 + n++ % 50)))
            state.SkipWithError("refused");
        // What waits before the file is written: the list laid out and painted again.
        QCoreApplication::sendPostedEvents();
        window.lines()->viewport()->repaint();
        state.PauseTiming();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CorrectionShown)->Arg(300)->Arg(20000)->Unit(benchmark::kMicrosecond);

// The VAT breakdown of a tape made only of VAT keys at four rates, as the user asks for it: the
// blocks found and summed, the table filled and painted.
void BM_BreakdownShown(benchmark::State &state)
{
    QTemporaryDir folder;
    desk::Desk desk{QLatin1Char(','), vat::RateFile(folder.path(), folder.path()), folder.path()};
    const QDateTime start(QDate(2026, 11, 8), QTime(8, 0));
    const QString rates[] = {"20", "5,5", "10", "2,1"};
    QList<tape::Line> lines;
    for (int i = 0; lines.size() < state.range(0); ++i) {
        const QDateTime when = start.addSecs(i * 40);
        const QString ht = QString::number(i % 977) + ",50";
        lines += {
            {when, {}, ht, "HT", false, false},
            {when, "TVA " + rates[i % 4] + " %", QString::number(i % 89) + ",10", "", false, false},
            {when, {}, QString::number(i % 977 + i % 89) + ",60", "TTC", true, true}};
    }
    lines.resize(state.range(0));
    desk.tape().append(lines);
    TapeWindow window(desk);
    window.resize(300, 328);
    showAndPaint(window);
    window.CmdVentilation_Click();
    QApplication::processEvents();
    for ([[maybe_unused]] auto _ : state) {
        window.CmdVentilation_Click();
        window.breakdownWindow()->table()->viewport()->repaint();
    }
    state.counters["rows"] = window.breakdownWindow()->table()->rowCount();
}
BENCHMARK(BM_BreakdownShown)->Arg(300)->Arg(20000)->Unit(benchmark::kMicrosecond);

// The window opened on a tape file that holds corrections, as the next run opens it: the file
// read, the journal with its corrections worked again, the list laid out and painted. Sums: 20 000
// lines of sums with 100 of them corrected. WholeChain: 20 000 lines of "+ 1 =" each going on from
// the one before, the first corrected, so that reading works every calculation again.
void BM_OpenCorrected(benchmark::State &state, const char *first, const char *repeated,
                      int corrections)
{
    QTemporaryDir folder;
    {
        desk::Desk desk{QLatin1Char(','), vat::RateFile(folder.path(), folder.path()),
                        folder.path()};
        const auto type = [&](const char *keys) {
            for (const char *k = keys; *k; ++k)
                desk.typeKey(QLatin1Char(*k));
        };
        type(first);
        while (desk.tape().lines().size() + 3 <= 20'000)
            type(repeated);
        const int step = int(desk.tape().lines().size() / corrections / 3 * 3);
        for (int i = 0; i < corrections; ++i)
            if (!desk.tapeEditing()->replaceAmount(i * step, QString::number(13 + i)))
                state.SkipWithError("refused");
        desk.tape().flush();
    }
    for ([[maybe_unused]] auto _ : state) {
        desk::Desk desk{QLatin1Char(','), vat::RateFile(folder.path(), folder.path()),
                        folder.path()};
        desk.openTape();
        TapeWindow window(desk, desk.tapeEditing());
        window.resize(300, 328);
        showAndPaint(window);
        benchmark::DoNotOptimize(desk.tape().grandTotalCents());
    }
}
BENCHMARK_CAPTURE(BM_OpenCorrected, Sums, "", "12+7=", 100)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenCorrected, WholeChain, "1+1=", "+1=", 1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true); // the window's remembered place stays the bench's
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
