#pragma once

// The journal of calculations: what made every block of the tape, so that a mistyped amount can
// be corrected and every result after it worked out again.
//
// It is told what the calculator, the VAT keys and the margin window did, exactly what the
// recorder is told, writes the recorder's lines on the tape with their calculation and entry, and
// keeps each calculation's entries: the operands as keyed, the operators, "=", "%", the clear
// key, a VAT key with its rate, a rate switch, a margin or price-change computation with its
// inputs. A calculation starts after a result (equals, a VAT key) and, when it goes on from the
// calculator as that result left it, knows the calculation it continues.
//
// A correction replaces an entry's amount, changes its operator, removes it or inserts one before
// it; the calculation is worked again through a calculator of its own, and so is every later
// calculation that went on from it, until one starts as it did before. The tape's lines, their
// former amounts and the grand total follow, and the correction is appended to the tape file as
// one record. QtCore only.

#include "calculator/engine.h"
#include "desk/replay.h"
#include "margin/margincalc.h"
#include "tape/recorder.h"
#include "tape/tape.h"

#include <QHash>
#include <QObject>
#include <QSet>

#include <memory>
#include <optional>

namespace vat {
struct VatStep;
}

namespace tape {

struct JournalRecord;

class Journal : public QObject
{
    Q_OBJECT

public:
    // Writes on the given tape; mark is the regional decimal mark the lines are written with.
    Journal(Tape &tape, QChar mark, QObject *parent = nullptr);
    ~Journal() override;

    // --- What happened (each returns the lines it wrote on the tape) ---------------------------

    // Every key of the calculator, as its key listener is told.
    QList<Line> keyDone(const calc::KeyStroke &key, const calc::CalculatorState &before,
                        const QString &displayBefore, const calc::CalculatorEngine &after);
    // A VAT key that acted, at the rate text it used.
    QList<Line> vatKeyDone(VatKind kind, const QString &rate, const vat::VatStep &step,
                           const calc::CalculatorEngine &after);
    QList<Line> rateSwitched(const QString &rateText);
    // "Calculer" of the margin calculator: its set-up, the six fields as typed (indexed by
    // margin::Field), the first VAT rate, and the numbers the calculator kept before it.
    struct MarginDone
    {
        margin::MarginSetup setup;
        margin::FieldTexts typed;
        std::optional<double> firstRate;
        margin::MarginNumbers before;
        calc::PriceEnding ending = calc::PriceEnding::None; // the ending the calculator was set to
    };
    QList<Line> marginCalculated(const MarginDone &done);
    // "Calculer" of the price-change calculator, with the three fields after it.
    QList<Line> priceChangeCalculated(const PriceChangeDone &done);

    // --- Corrections -------------------------------------------------------------------------

    struct Outcome
    {
        bool done = false;
        QString refusal; // why nothing was changed, in the words a tooltip or a beep explains
    };
    // Why the amount of the tape's row cannot be corrected; empty when it can.
    QString refusal(qsizetype row) const;
    bool isCorrectable(qsizetype row) const { return refusal(row).isEmpty(); }
    // The amount the row shows as the user keyed it ("12,50" stays "12,50"); empty for a row
    // that holds none.
    QString keyedText(qsizetype row) const;
    // A new amount for the row, as keyed (digits with at most one "," or ".") or as a pasted
    // price would be read.
    Outcome correctAmount(qsizetype row, const QString &text);
    // The operator that took the row's operand (+ - × ÷).
    Outcome changeOperator(qsizetype row, calc::Operation operation);
    // Leaves the row's entry out of its calculation.
    Outcome removeEntry(qsizetype row);
    // A new operand before the row's entry, taken by the given operator.
    Outcome insertEntry(qsizetype row, const QString &text,
                        calc::Operation operation = calc::Addition);
    bool canUndo() const;
    bool canRedo() const;
    Outcome undo();
    Outcome redo();

    // After a correction that changed the calculator's last calculation: the calculator as it
    // is now that the calculation was worked again (the keys typed since on top), for the desk
    // to show. Nothing when the last correction left the calculator's calculation alone.
    const std::optional<EngineSnapshot> &calculatorAfterCorrection() const
    {
        return m_calculatorAfter;
    }

    // --- What it knows -----------------------------------------------------------------------

    // The calculations, oldest first (of the tape as loaded and of this run).
    QList<qint64> calculations() const;
    // The calculation another one went on from; 0 for none.
    qint64 continuesFrom(qint64 calculation) const;
    // True when the calculation's first operand is the result it went on from.
    bool startsFromResult(qint64 calculation) const;
    // The lines the calculation gives when its entries are worked again, from the way it
    // started; the tape shows the same.
    QList<Line> replay(qint64 calculation) const;
    // The calculation's lines as the tape holds them now.
    QList<Line> linesOf(qint64 calculation) const;
    // Why the calculation cannot be corrected; empty when it can.
    QString readOnly(qint64 calculation) const;
    // True when the calculation starts from the calculator exactly as the one it went on from
    // leaves it, worked again (or goes on from none).
    bool startsWhereItWentOn(qint64 calculation) const;

    // Reads the journal the tape file held (after Tape::load()), with its corrections.
    void restore();

private:
    using Block = std::pair<qint64, qint32>;
    using Rows = std::pair<qsizetype, qsizetype>;
    enum class Chain : quint8
    {
        None,
        Calculator,
        Margin,
    };
    struct Calculation
    {
        qint64 id = 0;
        Chain chain = Chain::None;
        qint64 continues = 0;
        bool fromResult = false;
        bool ended = false;
        EngineSnapshot start;
        margin::MarginNumbers startNumbers;
        // The switches it was made with: worked again, it rounds and ends prices as it did.
        calc::Switches switches;
        QList<Entry> entries;
        qint32 nextEntry = 0;
        QString readOnly; // why it cannot be corrected
        // Entries without lines now: the block that followed theirs, so that their lines come
        // back where they stood.
        QHash<qint32, std::pair<qint64, qint32>> anchors;
    };
    struct Worked
    {
        QList<QList<Line>> blocks; // by entry
        EngineSnapshot end;
        margin::MarginNumbers endNumbers;
    };
    struct Change
    {
        qint64 calculation = 0;
        QList<Entry> before;
        QList<Entry> after;
    };
    struct Target
    {
        Calculation *calculation = nullptr;
        qsizetype entry = -1;
        int input = -1;
        QString refusal;
    };

    Calculation &newCalculation(Chain chain);
    Calculation &calculatorCalculation(bool keyed, const calc::Switches &switches);
    void takeKey(const EngineSnapshot &before);
    QList<Line> write(Calculation &calculation, Entry entry, QList<Line> lines);
    Worked work(const Calculation &calculation) const;
    Target target(qsizetype row) const;
    Outcome change(Calculation &calculation, QList<Entry> entries);
    Outcome step(QList<Change> &from, QList<Change> &to, bool forward, const QString &none);
    std::optional<Rows> rowsOf(qint64 calculation, qint32 entry) const;
    // How a correction read from the file goes on past its calculation: up to the last one it
    // worked again, or, in the form of earlier versions, from the new start of each.
    struct ReadBack
    {
        qint64 last = 0;
        QList<std::pair<qint64, QString>> starts;
    };
    // Gives the calculation these entries and works it again, with the calculations that went
    // on from it, and writes the correction to the file (not when it is read back from it).
    void applyCorrection(Calculation &calculation, QList<Entry> entries,
                         const ReadBack *read = nullptr);
    void rebuildIndex() const;
    QString blockRecord(const QList<Line> &block) const;
    void restore(const QList<JournalRecord> &records);
    void restoreBlock(const JournalRecord &record, QSet<qint64> &restored);
    void restoreCorrection(const JournalRecord &record);
    void checkRestored(const QSet<qint64> &restored);
    void forgetMissing();

    Tape &m_tape;
    QChar m_mark;
    qint64 m_session = 0;
    qint64 m_nextId = 1;
    // The calculations by number. Each one stays where it was made: a key adds one without
    // moving the others.
    class Table
    {
    public:
        using Map = QHash<qint64, std::shared_ptr<Calculation>>;
        template <typename It, typename C> struct Iterator
        {
            It i;
            C &operator*() const { return **i; }
            C *operator->() const { return i->get(); }
            qint64 key() const { return i.key(); }
            Iterator &operator++()
            {
                ++i;
                return *this;
            }
            bool operator==(const Iterator &other) const { return i == other.i; }
        };
        using iterator = Iterator<Map::iterator, Calculation>;
        using const_iterator = Iterator<Map::const_iterator, const Calculation>;

        Calculation &operator[](qint64 id)
        {
            std::shared_ptr<Calculation> &c = m[id];
            if (!c)
                c = std::make_shared<Calculation>();
            return *c;
        }
        bool contains(qint64 id) const { return m.contains(id); }
        iterator find(qint64 id) { return {m.find(id)}; }
        iterator begin() { return {m.begin()}; }
        iterator end() { return {m.end()}; }
        const_iterator constFind(qint64 id) const { return {m.constFind(id)}; }
        const_iterator cend() const { return {m.cend()}; }
        const Calculation &value(qint64 id) const
        {
            static const Calculation none;
            const auto it = m.constFind(id);
            return it == m.cend() ? none : **it;
        }
        iterator insert(qint64 id, Calculation c)
        {
            return {m.insert(id, std::make_shared<Calculation>(std::move(c)))};
        }
        iterator erase(iterator it) { return {m.erase(it.i)}; }
        qsizetype size() const { return m.size(); }

    private:
        Map m;
    };
    Table m_calcs;
    QList<qint64> m_order;
    QHash<qint64, qint64> m_next; // calculation -> the one that went on from it

    // The calculator as the journal last saw it, the calculation its keys go to, and the keys
    // typed since the last key that wrote lines.
    std::optional<EngineSnapshot> m_engine;
    qint64 m_engineCalc = 0;
    Calculation *m_current = nullptr; // m_engineCalc's, when known
    QString m_keys;
    EngineSnapshot m_keysStart;  // the calculator before those keys
    int m_operandKeys = 0;       // the keys at their end that build the operand
    bool m_operandFresh = false; // and they began it on a new or empty display
    std::optional<margin::MarginNumbers> m_margin;
    qint64 m_marginCalc = 0;

    // Where each entry's lines stand on the tape: (calculation, entry) -> first row, count.
    mutable QHash<Block, Rows> m_rows;
    mutable bool m_rowsValid = false;

    bool m_correcting = false;
    QList<Change> m_undo;
    QList<Change> m_redo;
    std::optional<EngineSnapshot> m_calculatorAfter;
};

// A correction typed as the calculator's keys would key it: digits with at most one decimal
// mark ("," or "."), or a pasted price as the calculator's paste reads it. The digits with "."
// and a "-" for a negative paste; nothing when it is neither.
std::optional<QString> correctionDigits(const QString &text, QChar mark, bool signAllowed);

// The switches a calculation was made with, as its record keeps them: nothing at the defaults,
// "3.0.0.1" for 2 decimals and "5/4" halfway away from zero; "3.0.0", as Tarvex 3.1 wrote it, is
// its "5/4" halfway to the even digit (calc::Rounding::NearestEven).
QString switchesText(const calc::Switches &switches);
std::optional<calc::Switches> switchesFromText(QStringView text);

} // namespace tape
