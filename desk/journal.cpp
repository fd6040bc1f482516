#include "desk/journal.h"

#include "calculator/numbertext.h"
#include "tape/localtime.h"
#include "tape/tapefile.h"
#include "vat/vatkeys.h"

#include <QRandomGenerator>

namespace tape {

namespace {

QString hex(qint64 id)
{
    return QString::number(id, 16);
}

const QString switchesMoved = QStringLiteral(
    "Les réglages de la calculatrice ont changé pendant ce calcul : il ne peut pas être corrigé.");

// The switches a calculation of the calculator is worked with: its keys never read the ending.
bool sameRounding(const calc::Switches &a, const calc::Switches &b)
{
    return a.decimals == b.decimals && a.rounding == b.rounding;
}

} // namespace

// The rounding rule of "5/4" with fixed decimals, said by a fourth part after the three numbers:
// halfway away from zero. Tarvex 3.1 wrote the three numbers alone and went to the even digit
// (Rounding::NearestEven, written as 0 again); it reads no fourth part, so it never works a
// calculation again by the other rule.
constexpr QLatin1StringView awayFromZero("1");

QString switchesText(const calc::Switches &switches)
{
    // At the defaults, nothing: the record reads as it always did.
    if (switches == calc::Switches{})
        return {};
    const bool evenTies = switches.rounding == calc::Rounding::NearestEven;
    const QString text = QStringLiteral("%1.%2.%3")
                             .arg(int(switches.decimals))
                             .arg(int(evenTies ? calc::Rounding::Nearest : switches.rounding))
                             .arg(int(switches.priceEnding));
    const bool halfwayAway =
        calc::fixedDecimals(switches.decimals) && switches.rounding == calc::Rounding::Nearest;
    return halfwayAway ? text + u'.' + awayFromZero : text;
}

std::optional<calc::Switches> switchesFromText(QStringView text)
{
    if (text.isEmpty())
        return calc::Switches{};
    const QList<QStringView> parts = text.split(u'.');
    const bool halfwayAway = parts.size() == 4 && parts[3] == awayFromZero;
    if (parts.size() != 3 && !halfwayAway)
        return std::nullopt;
    int v[3];
    constexpr int highest[3] = {int(calc::Decimals::Add2), int(calc::Rounding::Down),
                                int(calc::PriceEnding::WholeEuro)};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        v[i] = parts[i].toInt(&ok);
        if (!ok || v[i] < 0 || v[i] > highest[i])
            return std::nullopt;
    }
    calc::Switches switches{calc::Decimals(v[0]), calc::Rounding(v[1]), calc::PriceEnding(v[2])};
    const bool nearest =
        calc::fixedDecimals(switches.decimals) && switches.rounding == calc::Rounding::Nearest;
    if (halfwayAway && !nearest)
        return std::nullopt;
    if (nearest && !halfwayAway)
        switches.rounding = calc::Rounding::NearestEven;
    return switches;
}

std::optional<QString> correctionDigits(const QString &text, QChar mark, bool signAllowed)
{
    const QString typed = text.trimmed();
    // As the keys key it: digits, then at most one decimal mark and more digits.
    bool keyable = !typed.isEmpty() && typed.front().isDigit();
    int marks = 0;
    for (const QChar c : typed) {
        if (c == u',' || c == u'.')
            ++marks;
        else if (!(c >= u'0' && c <= u'9'))
            keyable = false;
    }
    if (keyable && marks <= 1)
        return QString(typed).replace(u',', u'.');
    const auto pasted = calc::readPastedPrice(
        typed, mark, signAllowed ? calc::PriceSign::Allowed : calc::PriceSign::Refused);
    if (!pasted)
        return std::nullopt;
    return (pasted->negative ? QStringLiteral("-") : QString()) + pasted->digits;
}

Journal::Journal(Tape &tape, QChar mark, QObject *parent)
    : QObject(parent), m_tape(tape), m_mark(mark)
{
    // Two programs may write the same tape: their calculations never share a number.
    m_session = qint64(QRandomGenerator::global()->bounded(1u << 30) + 1) << 32;
    m_tape.setBlockRecorder([this](const QList<Line> &block) { return blockRecord(block); });
    connect(&m_tape, &Tape::reset, this, [this] {
        if (m_correcting)
            return;
        // Lines went (a trim, a clear) or came (the file read): the calculations whose lines
        // all went are forgotten at once, so that the journal never outgrows the tape. The tape
        // trims after a key, never in the middle of one.
        m_rowsValid = false;
        if (QList<JournalRecord> records = m_tape.takeJournalRecords(); !records.isEmpty())
            restore(std::move(records));
        else
            forgetMissing();
    });
}

Journal::~Journal()
{
    m_tape.flush();
    m_tape.setBlockRecorder({});
}

// --- Recording ------------------------------------------------------------------------------

Journal::Calculation &Journal::newCalculation(Chain chain)
{
    const qint64 id = m_session | m_nextId++;
    Calculation &c = m_calcs[id];
    c.id = id;
    c.chain = chain;
    m_order.append(id);
    return c;
}

QList<Line> Journal::write(Calculation &c, Entry entry, QList<Line> lines)
{
    const QDateTime now = localNow();
    entry.id = c.nextEntry++;
    entry.msecs = now.toMSecsSinceEpoch();
    for (Line &line : lines) {
        line.time = now;
        line.calculation = c.id;
        line.entry = entry.id;
    }
    c.entries.append(std::move(entry));
    const qsizetype row = m_tape.lines().size();
    m_tape.append(lines);
    if (m_rowsValid && m_tape.lines().size() == row + lines.size())
        m_rows[{c.id, c.entries.back().id}] = {row, lines.size()};
    else
        m_rowsValid = false;
    return lines;
}

Journal::Calculation &Journal::calculatorCalculation(bool keyed, const calc::Switches &switches)
{
    // The calculation under way is kept at hand: most keys go to it.
    if (m_current && m_current->id != m_engineCalc)
        m_current = nullptr;
    if (m_engineCalc && !m_current)
        m_current = &m_calcs[m_engineCalc];
    Calculation *current = m_engineCalc ? m_current : nullptr;
    if (current && !current->ended) {
        // Worked again, a calculation has one set of switches: one moved in its middle leaves
        // it as it was written.
        if (!sameRounding(current->switches, switches) && current->readOnly.isEmpty())
            current->readOnly = switchesMoved;
        return *current;
    }
    // The calculation it goes on from, by number.
    const qint64 previous = current ? current->id : 0;
    Calculation &c = newCalculation(Chain::Calculator);
    c.start = m_keysStart;
    c.switches = switches;
    if (previous) {
        c.continues = previous;
        c.fromResult = !keyed;
        m_next[previous] = c.id;
    }
    m_engineCalc = c.id;
    m_current = &c;
    return c;
}

void Journal::takeKey(const EngineSnapshot &before)
{
    // Keys the journal did not see (a new run, a calculator set up afresh) break the chain: what
    // follows starts on its own.
    if (!m_engine || *m_engine != before) {
        m_engineCalc = 0;
        m_current = nullptr;
        m_keys.clear();
        m_operandKeys = 0;
    }
    if (m_keys.isEmpty())
        m_keysStart = before;
}

QList<Line> Journal::keyDone(const calc::KeyStroke &key, const calc::CalculatorState &before,
                             const QString &displayBefore, const calc::CalculatorEngine &after)
{
    if (after.state() == before && after.display() == displayBefore)
        return {};
    takeKey({before, displayBefore});
    m_engine = EngineSnapshot{after.state(), after.display()};
    QList<Line> lines = keyLines(key, before, displayBefore, after);
    using K = calc::KeyStroke;
    if (lines.isEmpty()) {
        if (key.key == K::Digit || key.key == K::DecimalPoint || key.key == K::Paste) {
            // A number starts on a new or empty display, or with a paste; otherwise the key
            // extends what the display held.
            if (key.key == K::Paste || displayBefore.isEmpty() ||
                (key.key == K::Digit && before.TF != 0))
                m_operandFresh = true;
            else if (m_operandKeys == 0)
                m_operandFresh = false;
            ++m_operandKeys;
        } else {
            m_operandKeys = 0;
        }
        m_keys += keyText(key, after.display());
        return {};
    }
    Entry entry;
    entry.keys = std::exchange(m_keys, {});
    entry.keyed = m_operandKeys > 0 && m_operandFresh;
    entry.key = key.key;
    entry.operation = key.operation;
    m_operandKeys = 0;
    tagKeyedLines(lines, entry);
    Calculation &c = calculatorCalculation(entry.keyed, after.switches());
    const bool ends = key.key == K::Equals || key.key == K::Evaluate;
    lines = write(c, std::move(entry), std::move(lines));
    c.ended = ends;
    return lines;
}

QList<Line> Journal::vatKeyDone(VatKind kind, const QString &rate, const vat::VatStep &step,
                                const calc::CalculatorEngine &after)
{
    // The calculator before the key, as last seen; when it was not, the key is worked from the
    // display it read, which is all a VAT key reads.
    EngineSnapshot before{after.state(), step.display};
    before.state.ClicTva = -1;
    if (m_engine && m_engine->display == step.display && m_engine->state.ClicTva)
        before = *m_engine;
    takeKey(before);
    m_engine = EngineSnapshot{after.state(), after.display()};
    Entry entry;
    entry.kind = Entry::Vat;
    entry.keys = std::exchange(m_keys, {});
    entry.keyed = m_operandKeys > 0 && m_operandFresh;
    entry.vat = kind;
    entry.rate = rate;
    m_operandKeys = 0;
    QList<Line> lines = vatLines({kind, step.display, step.amount, rate, step.resultText}, m_mark,
                                 calc::fixedDecimals(after.switches().decimals));
    tagKeyedLines(lines, entry);
    Calculation &c = calculatorCalculation(entry.keyed, after.switches());
    lines = write(c, std::move(entry), std::move(lines));
    c.ended = true;
    return lines;
}

QList<Line> Journal::rateSwitched(const QString &rateText)
{
    Entry entry;
    entry.kind = Entry::RateSwitch;
    entry.rate = rateText;
    Calculation &c = newCalculation(Chain::None);
    c.ended = true;
    return write(c, entry, replayRateSwitch(entry));
}

QList<Line> Journal::marginCalculated(const MarginDone &done)
{
    Entry entry;
    entry.kind = Entry::Margin;
    entry.setup = done.setup;
    entry.firstRate = done.firstRate;
    for (const QString &text : done.typed)
        entry.texts.append(text);
    margin::MarginNumbers numbers = done.before;
    QList<Line> lines = replayMargin(entry, numbers, m_mark, done.ending);
    if (lines.isEmpty())
        return {};
    const qint64 previous = m_margin && *m_margin == done.before ? m_marginCalc : 0;
    Calculation &c = newCalculation(Chain::Margin);
    c.startNumbers = done.before;
    c.switches.priceEnding = done.ending;
    c.ended = true;
    if (previous && m_calcs.contains(previous)) {
        c.continues = previous;
        m_next[previous] = c.id;
    }
    m_margin = numbers;
    m_marginCalc = c.id;
    return write(c, entry, lines);
}

QList<Line> Journal::priceChangeCalculated(const PriceChangeDone &done)
{
    Entry entry;
    entry.kind = Entry::PriceChange;
    entry.increase = done.increase;
    entry.fixedRate = done.fixedRate;
    // The inputs: the rate found or the value computed is the result.
    entry.texts = {done.first, done.fixedRate ? QString() : done.second,
                   done.fixedRate ? done.rate : QString()};
    QList<Line> lines = replayPriceChange(entry, m_mark);
    if (lines.isEmpty())
        return {};
    Calculation &c = newCalculation(Chain::None);
    c.ended = true;
    return write(c, entry, lines);
}

// --- Working a calculation again --------------------------------------------------------------

Journal::Worked Journal::work(const Calculation &c) const
{
    Worked w;
    w.blocks.reserve(c.entries.size());
    calc::CalculatorEngine engine(m_mark, c.start.state, c.start.display);
    engine.setSwitches(c.switches);
    margin::MarginNumbers numbers = c.startNumbers;
    for (const Entry &entry : c.entries) {
        QList<Line> lines;
        switch (entry.kind) {
        case Entry::Key:
        case Entry::Vat:
            lines = replayOnCalculator(engine, entry);
            break;
        case Entry::Margin:
            lines = replayMargin(entry, numbers, m_mark, c.switches.priceEnding);
            break;
        case Entry::PriceChange:
            lines = replayPriceChange(entry, m_mark);
            break;
        case Entry::RateSwitch:
            lines = replayRateSwitch(entry);
            break;
        }
        const QDateTime time = localTime(entry.msecs);
        for (Line &line : lines) {
            line.time = time;
            line.calculation = c.id;
        }
        w.blocks.append(std::move(lines));
    }
    w.end = {engine.state(), engine.display()};
    w.endNumbers = numbers;
    return w;
}

QList<Line> Journal::replay(qint64 calculation) const
{
    QList<Line> lines;
    if (const auto it = m_calcs.constFind(calculation); it != m_calcs.cend())
        for (const QList<Line> &block : work(*it).blocks)
            lines += block;
    return lines;
}

void Journal::rebuildIndex() const
{
    m_rows.clear();
    const QList<Line> &lines = m_tape.lines();
    Rows *block = nullptr;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &line = lines[i];
        if (line.calculation == 0) {
            block = nullptr;
            continue;
        }
        if (!block || i == 0 || lines[i - 1].calculation != line.calculation ||
            lines[i - 1].entry != line.entry) {
            block = &m_rows[{line.calculation, line.entry}];
            if (block->second == 0)
                block->first = i;
        }
        ++block->second;
    }
    m_rowsValid = true;
}

std::optional<Journal::Rows> Journal::rowsOf(qint64 calculation, qint32 entry) const
{
    const auto it = m_rows.constFind({calculation, entry});
    return it == m_rows.cend() ? std::nullopt : std::optional<Rows>(*it);
}

QList<Line> Journal::linesOf(qint64 calculation) const
{
    if (!m_rowsValid)
        rebuildIndex();
    QList<Line> lines;
    const auto it = m_calcs.constFind(calculation);
    if (it == m_calcs.cend())
        return lines;
    for (const Entry &entry : it->entries) {
        const auto [row, count] = m_rows.value({calculation, entry.id}, {0, 0});
        lines += m_tape.lines().mid(row, count);
    }
    return lines;
}

QString Journal::readOnly(qint64 calculation) const
{
    return m_calcs.value(calculation).readOnly;
}

bool Journal::startsWhereItWentOn(qint64 calculation) const
{
    const Calculation &c = m_calcs.value(calculation);
    const auto previous = m_calcs.constFind(c.continues);
    if (previous == m_calcs.cend())
        return true;
    const Worked w = work(*previous);
    return c.chain == Chain::Margin ? w.endNumbers == c.startNumbers : w.end == c.start;
}

QList<qint64> Journal::calculations() const
{
    return m_order;
}

qint64 Journal::continuesFrom(qint64 calculation) const
{
    return m_calcs.value(calculation).continues;
}

bool Journal::startsFromResult(qint64 calculation) const
{
    return m_calcs.value(calculation).fromResult;
}

QString Journal::blockRecord(const QList<Line> &block) const
{
    const auto it = m_calcs.constFind(block.front().calculation);
    if (it == m_calcs.cend())
        return {};
    const Calculation &c = *it;
    const auto entry = std::find_if(c.entries.cbegin(), c.entries.cend(),
                                    [&](const Entry &e) { return e.id == block.front().entry; });
    if (entry == c.entries.cend())
        return {};
    // How the calculation started goes with its first block.
    const bool first = entry == c.entries.cbegin();
    QStringList words{QString::number(int(c.chain)),
                      hex(c.continues),
                      QString::number(c.fromResult),
                      first && c.chain == Chain::Calculator ? snapshotText(c.start) : QString(),
                      first && c.chain == Chain::Margin ? numbersText(c.startNumbers) : QString(),
                      QString::number(first),
                      entryText(*entry)};
    // The switches follow, with the first block, only when one was moved: a tape made at the
    // defaults is written as before this was kept.
    if (const QString switches = switchesText(c.switches); first && !switches.isEmpty())
        words << switches;
    return joinWords(words);
}

} // namespace tape
