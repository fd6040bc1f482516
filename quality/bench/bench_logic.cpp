// How long the calculator's logic takes: the number texts, every key of the main window, the VAT
// keys (also with the decimals and rounding switches set), one step of the rate-text conversion,
// the margin and price-change computations, and the read of the switches' settings.
//
// A key is timed on a copy of a calculator prepared just before it, so each figure is an upper
// bound that includes one copy of the calculator (timed alone as BM_CalculatorCopy).
//
//   build-bench/tarvex_bench --benchmark_min_time=0.2

#include "calculator/engine.h"
#include "calculator/numbertext.h"
#include "calculator/switchsettings.h"
#include "vat/conversion.h"
#include "vat/vatkeys.h"

#include "margin/margincalc.h"
#include "margin/pricechange.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <functional>

namespace {

const QChar comma = QLatin1Char(',');

// --- Number texts -------------------------------------------------------------------------------

const std::array<QString, 5> displayTexts = {
    QStringLiteral(" 7"), QStringLiteral("119,6 TTC"), QStringLiteral(" .333333333333333"),
    QStringLiteral(" 1E+15"), QStringLiteral("12,5 + 7,5 %")};

void BM_ReadDisplayNumber(benchmark::State &state)
{
    const QString &text = displayTexts[std::size_t(state.range(0))];
    for ([[maybe_unused]] auto _ : state)
        benchmark::DoNotOptimize(calc::readDisplayNumber(text, comma));
    state.SetLabel(text.toStdString());
}
BENCHMARK(BM_ReadDisplayNumber)->DenseRange(0, int(displayTexts.size()) - 1);

const std::array<double, 4> values = {7.0, 119.6, 1.0 / 3.0, 1e15};

void BM_PlainNumberText(benchmark::State &state)
{
    const double value = values[std::size_t(state.range(0))];
    for ([[maybe_unused]] auto _ : state)
        benchmark::DoNotOptimize(calc::plainNumberText(value));
    state.SetLabel(calc::plainNumberText(value).toStdString());
}
BENCHMARK(BM_PlainNumberText)->DenseRange(0, int(values.size()) - 1);

void BM_RegionalNumberText(benchmark::State &state)
{
    const double value = values[std::size_t(state.range(0))];
    for ([[maybe_unused]] auto _ : state)
        benchmark::DoNotOptimize(calc::regionalNumberText(value, comma));
    state.SetLabel(calc::regionalNumberText(value, comma).toStdString());
}
BENCHMARK(BM_RegionalNumberText)->DenseRange(0, int(values.size()) - 1);

void BM_RoundToCents(benchmark::State &state)
{
    const double value = std::array{2.675, 119.6, 1.0 / 3.0, 123456789.125}[state.range(0)];
    for ([[maybe_unused]] auto _ : state)
        benchmark::DoNotOptimize(calc::roundToCents(value));
}
BENCHMARK(BM_RoundToCents)->DenseRange(0, 3);

// --- The calculator's keys
// ------------------------------------------------------------------------

// Keys as the keyboard types them, so a prepared state reads like what the user typed.
calc::CalculatorEngine typed(const char *keys, const calc::Switches &switches = {})
{
    calc::CalculatorEngine engine(comma);
    engine.setSwitches(switches);
    for (const char *k = keys; *k; ++k)
        engine.keyPress(QLatin1Char(*k));
    return engine;
}

// Times one key pressed on a fresh copy of the calculator after the keys typed first.
void timeKey(benchmark::State &state, const char *before,
             const std::function<void(calc::CalculatorEngine &)> &key,
             const calc::Switches &switches = {})
{
    const calc::CalculatorEngine prepared = typed(before, switches);
    for ([[maybe_unused]] auto _ : state) {
        calc::CalculatorEngine engine = prepared;
        key(engine);
        benchmark::DoNotOptimize(engine.display().constData());
    }
}

void BM_CalculatorCopy(benchmark::State &state)
{
    timeKey(state, "12+7", [](calc::CalculatorEngine &) {});
}
BENCHMARK(BM_CalculatorCopy);

#define KEY_BENCHMARK(name, before, action)                                                        \
    void BM_Key_##name(benchmark::State &state)                                                    \
    {                                                                                              \
        timeKey(state, before, [](calc::CalculatorEngine &e) { action; });                         \
    }                                                                                              \
    BENCHMARK(BM_Key_##name)

KEY_BENCHMARK(FirstDigit, "12+", e.digit(7));
KEY_BENCHMARK(NextDigit, "123", e.digit(4));
KEY_BENCHMARK(DecimalPoint, "12", e.decimalPoint());
KEY_BENCHMARK(Operator, "12", e.operatorKey(calc::Addition));
KEY_BENCHMARK(ChainedOperator, "6+2", e.operatorKey(calc::Multiplication));
KEY_BENCHMARK(Equals, "12+7", e.equals());
KEY_BENCHMARK(Division, "10/3", e.equals());
KEY_BENCHMARK(Percent, "50+10", e.percent());
KEY_BENCHMARK(PercentEquals, "50+10%", e.equals());
KEY_BENCHMARK(Clear, "12+7", e.clear());
KEY_BENCHMARK(DeleteKey, "12+7", e.deleteKey());
KEY_BENCHMARK(TypedDigit, "123", e.keyPress(QLatin1Char('4')));
KEY_BENCHMARK(TypedEquals, "12+7", e.keyPress(QLatin1Char('=')));
KEY_BENCHMARK(IgnoredCharacter, "12", e.keyPress(QLatin1Char('x')));
KEY_BENCHMARK(VatTTC, "100", vat::applyVatKey(e, vat::VatKey::TTC, QStringLiteral("19,6")));
KEY_BENCHMARK(VatHT, "119.6", vat::applyVatKey(e, vat::VatKey::HT, QStringLiteral("19,6")));
KEY_BENCHMARK(VatTVA, "100", vat::applyVatKey(e, vat::VatKey::TVA, QStringLiteral("19,6")));
KEY_BENCHMARK(VatDontTVA, "119.6",
              vat::applyVatKey(e, vat::VatKey::DontTVA, QStringLiteral("19,6")));

// The same keys with the switches set: results to fixed decimals rounded up, the adding mode's
// keyed cents.
#define SWITCHED_KEY_BENCHMARK(name, decimals, before, action)                                     \
    void BM_SwitchedKey_##name(benchmark::State &state)                                            \
    {                                                                                              \
        timeKey(                                                                                   \
            state, before, [](calc::CalculatorEngine &e) { action; },                              \
            calc::Switches{calc::Decimals::decimals, calc::Rounding::Up});                         \
    }                                                                                              \
    BENCHMARK(BM_SwitchedKey_##name)

SWITCHED_KEY_BENCHMARK(Division, Two, "10/3", e.equals());
SWITCHED_KEY_BENCHMARK(PercentEquals, Two, "50+10%", e.equals());
SWITCHED_KEY_BENCHMARK(Add2Operator, Add2, "1234", e.operatorKey(calc::Addition));
SWITCHED_KEY_BENCHMARK(Add2Equals, Add2, "1234+566", e.equals());
SWITCHED_KEY_BENCHMARK(VatTTC, Four, "100",
                       vat::applyVatKey(e, vat::VatKey::TTC, QStringLiteral("19,6")));

// A whole sum, "12+7=": five keys; the counter gives the time per key.
void BM_KeySequence(benchmark::State &state)
{
    const char keys[] = "12+7=";
    for ([[maybe_unused]] auto _ : state) {
        calc::CalculatorEngine engine(comma);
        for (const char *k = keys; *k; ++k)
            engine.keyPress(QLatin1Char(*k));
        benchmark::DoNotOptimize(engine.display().constData());
    }
    state.counters["per_key"] =
        benchmark::Counter(double(sizeof keys - 1), benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}
BENCHMARK(BM_KeySequence);

// --- VAT rates
// ------------------------------------------------------------------------------------

// One timer tick of the start-up conversion of "19.6" and "5.5".
void BM_RateConversionStep(benchmark::State &state)
{
    vat::RateTextConversion conversion(QLatin1Char('.'), comma,
                                       vat::RateTextConversion::Order::SecondThenFirst);
    conversion.start(QStringLiteral("19.6"), QStringLiteral("5.5"));
    for ([[maybe_unused]] auto _ : state) {
        vat::RateTextConversion tick = conversion;
        benchmark::DoNotOptimize(tick.step());
    }
}
BENCHMARK(BM_RateConversionStep);

// --- Margins
// ----------------------------------------------------------------------------------------

// Free mode, both prices typed, the selling price with VAT: the four ratios and the gross margin.
void BM_MarginFree(benchmark::State &state)
{
    margin::MarginSetup setup;
    setup.sellingWithVat = true;
    margin::FieldTexts fields;
    fields[margin::index(margin::Field::Achat)] = QStringLiteral("80");
    fields[margin::index(margin::Field::Vente)] = QStringLiteral("119,6");
    for ([[maybe_unused]] auto _ : state) {
        margin::MarginCalculator calculator;
        benchmark::DoNotOptimize(calculator.calculate(setup, fields, 19.6, comma));
    }
}
BENCHMARK(BM_MarginFree);

// A fixed margin rate on a purchase price: the selling price and the other ratios.
void BM_MarginFixedRate(benchmark::State &state)
{
    margin::MarginSetup setup;
    setup.mode = margin::Mode::MarginRate;
    margin::FieldTexts fields;
    fields[margin::index(margin::Field::Achat)] = QStringLiteral("80");
    fields[margin::index(margin::Field::TauxMarge)] = QStringLiteral("25");
    for ([[maybe_unused]] auto _ : state) {
        margin::MarginCalculator calculator;
        benchmark::DoNotOptimize(calculator.calculate(setup, fields, 19.6, comma));
    }
}
BENCHMARK(BM_MarginFixedRate);

// The discount between two prices.
void BM_PriceChangeRate(benchmark::State &state)
{
    const margin::PriceChangeFields fields{QStringLiteral("120"), QStringLiteral("90"), QString()};
    for ([[maybe_unused]] auto _ : state) {
        margin::PriceChange change;
        benchmark::DoNotOptimize(
            change.calculate(margin::ChangeMode::Rate, margin::Direction::Discount, fields, comma));
    }
}
BENCHMARK(BM_PriceChangeRate);

// What the start-up pays for the switches: the user's settings file read, as it stands once the
// tape window's place and the three switches are in it.
void BM_SwitchSettingsLoad(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Tarvex.conf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return state.SkipWithError("no settings file");
    file.write(
        "[Commutateurs]\nArrondi=exces\nDecimales=2\nPrixDeVente=90\n\n[Ruban]\n"
        "geometry=@ByteArray(\\x1\\xd9\\xd0\\xcb\\0\\x3\\0\\0\\0\\0\\x1\\f\\0\\0\\0\\xeb)\n");
    file.close();
    for ([[maybe_unused]] auto _ : state)
        benchmark::DoNotOptimize(calc::SwitchSettings(path).load());
}
BENCHMARK(BM_SwitchSettingsLoad);

} // namespace

BENCHMARK_MAIN();
