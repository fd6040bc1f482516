#pragma once

// The desk: the calculation of one run, as on a shop counter the calculator, its two VAT rates
// and its tape. It owns the calculator engine, the rates with their start-up conversion, and the
// tape with everything that writes on it. The windows call it for whatever the user does (a key,
// a VAT key, the rate switch, a paste, a margin computation, new rates) and show what its signals
// tell them; none of them decides a tape line or a rate, so any calculation can be replayed
// without a window. It also holds the calculator's switches (decimals, rounding, the selling
// prices' ending), which decide how its results are rounded and written. QtCore only.

#include "desk/rates.h"
#include "desk/tapecorrections.h"

#include "calculator/engine.h"
#include "calculator/switchsettings.h"
#include "desk/journal.h"
#include "margin/margincalc.h"
#include "margin/pricechange.h"
#include "tape/tape.h"
#include "vat/conversion.h"
#include "vat/ratefile.h"
#include "vat/vatkeys.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

namespace desk {

class Desk : public QObject
{
    Q_OBJECT

public:
    // rateFile: where the rates are read at start-up and stored; tapeFolder: where the tape file
    // lives (empty: the user's data folder). Cheap: nothing is read or opened here.
    explicit Desk(QChar regionalMark, const vat::RateFile &rateFile, const QString &tapeFolder = {},
                  QObject *parent = nullptr);
    ~Desk() override;

    QChar regionalMark() const { return m_engine.regionalMark(); }
    // The calculator, for reading its display and state.
    const calc::CalculatorEngine &engine() const { return m_engine; }
    const QString &display() const { return m_engine.display(); }
    const Rates &rates() const { return m_rates; }
    // The tape. Its file is opened by the first line written, or by openTape().
    const tape::Tape &tape() const { return m_tape; }
    // The record itself, for putting back lines kept elsewhere.
    tape::Tape &tape() { return m_tape; }

    // The main window's start: the rates read from the file, the caption naming the first one,
    // the calculator ready, and the conversion of the rates to the regional mark started (one
    // character every 10 ms; the first rate becomes active when it completes).
    void startUp();
    // One step of that conversion: what each tick of its timer does.
    void stepRateConversion();
    // True while the conversion's timer runs.
    bool convertingRates() const { return m_conversionTimer.isActive(); }

    // The switches: the decimals and rounding of every result of the keys and the VAT keys, and
    // the ending the margin window raises the selling prices it works out to. At their defaults
    // the desk works exactly as it always has.
    const calc::Switches &switches() const { return m_engine.switches(); }
    // Reads the switches the user left in settings, and keeps the later choices there. Cheap
    // enough for the start-up: one small file read. A desk that never reads them (a calculation
    // replayed, a test) works at the defaults and keeps nothing.
    void loadSwitches(const calc::SwitchSettings &settings);
    // The user moves a switch: it applies from the next key on (the display stays as it is) and
    // is kept for the next start.
    void chooseDecimals(calc::Decimals decimals);
    void chooseRounding(calc::Rounding rounding);
    void choosePriceEnding(calc::PriceEnding ending);
    // All three at once, kept nowhere: a calculation resumed or replayed in its own mode.
    void setSwitches(const calc::Switches &switches);

    // The calculator's keys, on screen or typed.
    void pressDigit(int k);
    void pressDecimalPoint();
    void pressClear();
    void pressOperator(calc::Operation operation);
    void pressPercent();
    void pressEquals();
    void typeKey(QChar key);
    void pressDelete();
    // The display's text was changed from outside the keys (the display field itself).
    void displayEdited(const QString &text);

    // A VAT key at the active rate; nothing happens when it cannot act.
    void vatKey(vat::VatKey key);
    // The rate switch: the other rate becomes active; with extra rates, the next one.
    void switchRate();
    // One of the rates the switch steps through (Rates::all()) becomes active, as if the switch
    // had been pressed until it was.
    void chooseRate(int index);

    // The number on the display as a copy hands it out; empty when there is nothing to copy.
    QString copiedText() const;
    // True when the text holds one price that a paste would take.
    bool canPaste(const QString &clipboardText) const;
    // Takes the price of a pasted text as the operand; false, changing nothing, when the text
    // holds no single price or it cannot be shown.
    bool pastePrice(const QString &clipboardText);

    // A "Calculer" of the margin calculator: the set-up, the fields as typed, what the
    // computation wrote, the ending it raised the selling price to (none when it raised none),
    // and the numbers the calculator kept before it. Written on the tape when it wrote anything.
    // With those numbers the block is worked again by the margin logic at the first rate and the
    // desk's ending, so it can be corrected; without them it is only written.
    void recordMarginCalculation(const margin::MarginSetup &setup, const margin::FieldTexts &typed,
                                 const margin::FieldWrites &writes,
                                 calc::PriceEnding endingApplied = calc::PriceEnding::None,
                                 const std::optional<margin::MarginNumbers> &before = {});
    // A "Calculer" of the price-change calculator: the fields before it and what it wrote.
    void recordPriceChange(margin::ChangeMode mode, margin::Direction direction,
                           const margin::PriceChangeFields &before,
                           const margin::PriceChangeWrites &writes);

    // New rates validated in the options window, converted to their decimal point ("19.6",
    // "5.50"): they become the rates, the caption names the first, which becomes active, and the
    // file keeps them as given. What the options window then shows in its fields.
    struct StoredRates
    {
        QString first;
        QString second;
        bool written = false; // the file could be written
    };
    StoredRates storeRates(const QString &firstWithPoint, const QString &secondWithPoint);
    // New extra rates validated in the "Autres taux" dialog, with their decimal point: they are
    // kept in their file beside the rate file. The active rate stays where it was when it still
    // exists, the first becomes active otherwise. True when the file could be written.
    bool storeExtraRates(const QStringList &ratesWithPoint);
    // Takes rates without the file (a calculation resumed or replayed): the first becomes active.
    void resumeRates(const vat::SharedRates &rates);

    // Reads the tape file, once (when the tape window first opens), with what made its
    // calculations, so that they can be corrected.
    void openTape();
    // Empties the tape and its grand total.
    void clearTape();
    // Who corrects the tape's calculations for its window.
    tape::TapeEditing *tapeEditing() { return &m_corrections; }
    // What made every calculation on the tape.
    const tape::Journal &journal() const { return m_journal; }

signals:
    // The display may have changed: the main window shows display().
    void displayChanged();
    // A switch moved: the windows show switches().
    void switchesChanged();

private:
    friend class TapeCorrections;

    // Writes one calculation's lines on the tape, stamped with one time.
    void record(QList<tape::Line> lines);
    // The tape hears every key of the calculator.
    void listenToKeys();
    // The calculator goes on from the state a correction left it in.
    void resumeCalculator(const tape::EngineSnapshot &snapshot);
    void stopRateConversion();
    // The rate made active by the switch or the menu, with its caption and its tape line.
    void activateRate(const vat::ActiveRate &next);
    static bool acceptedExtraRates(const QStringList &ratesWithPoint);
    // Applies the switches and tells the windows.
    void applySwitches(const calc::Switches &switches);

    calc::CalculatorEngine m_engine;
    Rates m_rates;
    vat::RateFile m_rateFile;
    std::optional<vat::RateTextConversion> m_conversion;
    QTimer m_conversionTimer;
    tape::Tape m_tape;
    tape::Journal m_journal;
    TapeCorrections m_corrections;
    std::optional<calc::SwitchSettings> m_switchSettings; // where the user's choices are kept
};

} // namespace desk
