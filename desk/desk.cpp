#include "desk/desk.h"

#include "calculator/numbertext.h"
#include "calculator/pricereader.h"
#include "margin/shownquantities.h"
#include "options/ratesettings.h"
#include "tape/localtime.h"
#include "tape/recorder.h"
#include "vat/startup.h"

namespace desk {

namespace {

// The start-up conversion's tick: one character of each rate text.
constexpr int conversionInterval = 10;

tape::VatKind vatKind(vat::VatKey key)
{
    switch (key) {
    case vat::VatKey::TTC:
        return tape::VatKind::TTC;
    case vat::VatKey::HT:
        return tape::VatKind::HT;
    case vat::VatKey::TVA:
        return tape::VatKind::TVA;
    case vat::VatKey::DontTVA:
        return tape::VatKind::DontTVA;
    }
    return tape::VatKind::TTC;
}

// The margin quantities that took part, as the tape writes them: a rate carries "%", and what
// the computation wrote is a result.
QList<tape::Shown> shownOnTape(const QList<margin::ShownQuantity> &quantities)
{
    QList<tape::Shown> shown;
    shown.reserve(quantities.size());
    for (const margin::ShownQuantity &q : quantities)
        shown.append({q.caption, q.text, q.rate ? QStringLiteral("%") : QString(), q.computed});
    return shown;
}

} // namespace

Desk::Desk(QChar regionalMark, const vat::RateFile &rateFile, const QString &tapeFolder,
           QObject *parent)
    : QObject(parent), m_engine(regionalMark), m_rates(regionalMark), m_rateFile(rateFile),
      m_tape(tapeFolder), m_journal(m_tape, regionalMark), m_corrections(*this)
{
    m_conversionTimer.setInterval(conversionInterval);
    connect(&m_conversionTimer, &QTimer::timeout, this, &Desk::stepRateConversion);
    listenToKeys();
}

Desk::~Desk() = default;

void Desk::listenToKeys()
{
    // Every key that changes something is written as it happens, with what made it; the tape
    // only observes.
    m_engine.setKeyListener([this](const calc::KeyStroke &key, const calc::CalculatorState &before,
                                   const QString &displayBefore,
                                   const calc::CalculatorEngine &after) {
        m_journal.keyDone(key, before, displayBefore, after);
    });
}

void Desk::resumeCalculator(const tape::EngineSnapshot &snapshot)
{
    const calc::Switches switches = m_engine.switches();
    m_engine = calc::CalculatorEngine(regionalMark(), snapshot.state, snapshot.display);
    m_engine.setSwitches(switches);
    listenToKeys();
    emit displayChanged();
}

void Desk::record(QList<tape::Line> lines)
{
    if (lines.isEmpty())
        return;
    // One time for the whole block: a calculation is written at one moment.
    const QDateTime now = tape::localNow();
    for (tape::Line &line : lines)
        line.time = now;
    m_tape.append(lines);
}

// --- Rates ------------------------------------------------------------------------------------

void Desk::startUp()
{
    const QChar mark = regionalMark();
    const vat::StartUpRates read = vat::loadStartUpRates(m_rateFile, mark, m_rates.m_shared);
    m_rates.m_caption = read.caption;
    m_rates.m_which = 1;
    // Read only where it exists: a missing file costs a failed open, nothing more.
    m_rates.m_extra = vat::readExtraRates(m_rateFile);
    if (!acceptedExtraRates(m_rates.m_extra))
        m_rates.m_extra.clear();
    m_rates.announce();

    // Without rates there is nothing to convert: no active rate, and no timer ticking for ever.
    if (read.usable) {
        m_conversion.emplace(vat::startUpConversion(mark));
        m_conversion->start(read.firstSource, read.secondSource);
        m_conversionTimer.start();
    } else {
        stopRateConversion();
    }
    m_engine.startUp();
    emit displayChanged();
}

void Desk::stopRateConversion()
{
    m_conversion.reset();
    m_conversionTimer.stop();
}

void Desk::stepRateConversion()
{
    if (!m_conversion) {
        m_conversionTimer.stop();
        return;
    }
    switch (m_conversion->step()) {
    case vat::RateTextConversion::Status::Running:
        return;
    case vat::RateTextConversion::Status::Complete: {
        const vat::ActiveRate active = vat::commitStartUpRates(*m_conversion, m_rates.m_shared);
        m_rates.m_active = active.TauxTVA;
        m_rates.m_which = active.NumTaux;
        m_rates.announce();
        break;
    }
    case vat::RateTextConversion::Status::Refused:
        // A rate with two separators can never be converted: it stays unusable and the VAT keys
        // stay idle until new rates are stored.
        break;
    }
    stopRateConversion();
}

void Desk::switchRate()
{
    activateRate(vat::switchRateAmong({m_rates.m_active, m_rates.m_which}, m_rates.m_shared,
                                      m_rates.m_extra, regionalMark()));
}

void Desk::chooseRate(int index)
{
    const QStringList all = m_rates.all();
    if (index < 0 || index >= all.size())
        return;
    activateRate({all[index], vat::numTauxOf(index)});
}

void Desk::activateRate(const vat::ActiveRate &next)
{
    m_rates.m_active = next.TauxTVA;
    m_rates.m_which = next.NumTaux;
    m_rates.m_caption = vat::rateCaption(next.TauxTVA);
    m_rates.announce();
    m_journal.rateSwitched(next.TauxTVA);
}

bool Desk::acceptedExtraRates(const QStringList &ratesWithPoint)
{
    // A file the dialog could not have written counts as none: a rate out of range or equal to
    // another of them.
    QStringList fields = ratesWithPoint;
    fields.resize(vat::MostExtraRates);
    return options::checkExtraRates({fields[0], fields[1]}, {}, QLatin1Char('.')).accepted;
}

bool Desk::storeExtraRates(const QStringList &ratesWithPoint)
{
    const bool written = vat::writeExtraRates(m_rateFile, ratesWithPoint);
    const int index = m_rates.activeIndex();
    m_rates.m_extra = ratesWithPoint;
    const QStringList all = m_rates.all();
    // An extra rate just changed or removed takes the active one with it: the rate in its place,
    // or the first. The tape tells of the new active rate as it tells of a switch.
    if (index >= 2) {
        const vat::ActiveRate active = index < all.size()
                                           ? vat::ActiveRate{all[index], vat::numTauxOf(index)}
                                           : vat::firstRateActive(m_rates.m_shared, regionalMark());
        if (active.TauxTVA != m_rates.m_active || active.NumTaux != m_rates.m_which) {
            activateRate(active);
            return written;
        }
    }
    m_rates.announce();
    return written;
}

Desk::StoredRates Desk::storeRates(const QString &firstWithPoint, const QString &secondWithPoint)
{
    StoredRates stored;
    options::CommitSteps steps;
    steps.firstRateStored = [this](const QString &text) {
        // Rates just stored replace those read at start: a start-up conversion still under way
        // must not commit the old ones over them a tick later.
        stopRateConversion();
        const vat::ActiveRate active = vat::firstRateActive(m_rates.m_shared, regionalMark());
        m_rates.m_active = active.TauxTVA;
        m_rates.m_which = active.NumTaux;
        m_rates.m_caption = vat::storedRateCaption(text);
    };
    steps.showFirstRate = [&stored](const QString &text) { stored.first = text; };
    steps.showSecondRate = [&stored](const QString &text) { stored.second = text; };
    // A file that cannot be written is not reported: the rates hold for this run all the same.
    stored.written = options::commitRates(firstWithPoint, secondWithPoint, regionalMark(),
                                          m_rates.m_shared, m_rateFile, steps);
    m_rates.announce();
    return stored;
}

void Desk::resumeRates(const vat::SharedRates &rates)
{
    stopRateConversion();
    m_rates.m_shared = rates;
    const vat::ActiveRate active = vat::firstRateActive(rates, regionalMark());
    m_rates.m_active = active.TauxTVA;
    m_rates.m_which = active.NumTaux;
    m_rates.m_caption = vat::rateCaption(active.TauxTVA);
    m_rates.announce();
}

// --- Switches -------------------------------------------------------------------------------

void Desk::loadSwitches(const calc::SwitchSettings &settings)
{
    m_switchSettings = settings;
    applySwitches(settings.load());
}

namespace {

// One switch chosen: kept where the user's choices are kept, then set on the calculator.
template <typename T>
calc::Switches chosen(calc::Switches switches, T calc::Switches::*field, T value,
                      const std::optional<calc::SwitchSettings> &settings,
                      void (calc::SwitchSettings::*save)(T) const)
{
    switches.*field = value;
    if (settings)
        ((*settings).*save)(value);
    return switches;
}

} // namespace

void Desk::chooseDecimals(calc::Decimals decimals)
{
    applySwitches(chosen(switches(), &calc::Switches::decimals, decimals, m_switchSettings,
                         &calc::SwitchSettings::saveDecimals));
}

void Desk::chooseRounding(calc::Rounding rounding)
{
    applySwitches(chosen(switches(), &calc::Switches::rounding, rounding, m_switchSettings,
                         &calc::SwitchSettings::saveRounding));
}

void Desk::choosePriceEnding(calc::PriceEnding ending)
{
    applySwitches(chosen(switches(), &calc::Switches::priceEnding, ending, m_switchSettings,
                         &calc::SwitchSettings::savePriceEnding));
}

void Desk::setSwitches(const calc::Switches &switches)
{
    applySwitches(switches);
}

void Desk::applySwitches(const calc::Switches &switches)
{
    // The engine carries all three: the keys and the VAT keys read the first two, the margin
    // window asks the desk for the ending at each computation.
    m_engine.setSwitches(switches);
    emit switchesChanged();
}

// --- Calculator keys --------------------------------------------------------------------------

void Desk::pressDigit(int k)
{
    m_engine.digit(k);
    emit displayChanged();
}

void Desk::pressDecimalPoint()
{
    m_engine.decimalPoint();
    emit displayChanged();
}

void Desk::pressClear()
{
    m_engine.clear();
    emit displayChanged();
}

void Desk::pressOperator(calc::Operation operation)
{
    m_engine.operatorKey(operation);
    emit displayChanged();
}

void Desk::pressPercent()
{
    m_engine.percent();
    emit displayChanged();
}

void Desk::pressEquals()
{
    m_engine.equals();
    emit displayChanged();
}

void Desk::typeKey(QChar key)
{
    m_engine.keyPress(key);
    emit displayChanged();
}

void Desk::pressDelete()
{
    m_engine.deleteKey();
    emit displayChanged();
}

void Desk::displayEdited(const QString &text)
{
    // Whoever writes the display, the engine reads the same text and applies its change rule.
    m_engine.setDisplay(text);
}

void Desk::vatKey(vat::VatKey key)
{
    // The VAT keys round by the engine's switches; the tape writes as many decimals as they show.
    if (vat::VatStep step; vat::applyVatKey(m_engine, key, m_rates.m_active, &step))
        m_journal.vatKeyDone(vatKind(key), m_rates.m_active, step, m_engine);
    emit displayChanged();
}

// --- Clipboard --------------------------------------------------------------------------------

QString Desk::copiedText() const
{
    return m_engine.copiedText();
}

bool Desk::canPaste(const QString &clipboardText) const
{
    return calc::readPastedPrice(clipboardText, regionalMark()).has_value();
}

bool Desk::pastePrice(const QString &clipboardText)
{
    const auto price = calc::readPastedPrice(clipboardText, regionalMark());
    if (!price || !m_engine.pasteOperand(*price))
        return false;
    emit displayChanged();
    return true;
}

// --- Margin window ----------------------------------------------------------------------------

void Desk::recordMarginCalculation(const margin::MarginSetup &setup,
                                   const margin::FieldTexts &typed,
                                   const margin::FieldWrites &writes,
                                   calc::PriceEnding endingApplied,
                                   const std::optional<margin::MarginNumbers> &before)
{
    // The margin window works at the first rate and the desk's ending: worked again from the
    // same numbers, the computation writes what the window showed.
    if (before) {
        m_journal.marginCalculated(
            {setup, typed, m_rates.firstValue(), *before, switches().priceEnding});
        return;
    }
    const QList<margin::ShownQuantity> shown =
        margin::shownQuantities(setup, typed, writes, endingApplied);
    if (!shown.isEmpty())
        record(tape::shownLines(shownOnTape(shown), regionalMark()));
}

void Desk::recordPriceChange(margin::ChangeMode mode, margin::Direction direction,
                             const margin::PriceChangeFields &before,
                             const margin::PriceChangeWrites &writes)
{
    if (!writes.rate && !writes.second)
        return;
    // The three values as they stand after the computation: what it wrote, or what was there.
    m_journal.priceChangeCalculated(
        {direction == margin::Direction::Increase, mode == margin::ChangeMode::FixedRate,
         before.first, writes.second.value_or(before.second), writes.rate.value_or(before.rate)});
}

// --- Tape -------------------------------------------------------------------------------------

void Desk::openTape()
{
    if (m_tape.isLoaded())
        return;
    m_tape.load();
    m_journal.restore();
}

void Desk::clearTape()
{
    m_tape.clear();
}

} // namespace desk
