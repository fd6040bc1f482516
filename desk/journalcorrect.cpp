// Corrections of the journal of calculations, their undoing, and reading them back from the
// tape file.

#include "desk/journal.h"
#include "tape/tapefile.h"

#include <QDateTime>
#include <QVarLengthArray>

#include <algorithm>

namespace tape {

namespace {

const QString oldVersion = QStringLiteral(
    "Ce calcul a été enregistré par une version précédente : il ne peut pas être corrigé.");
const QString incomplete =
    QStringLiteral("Ce calcul n'a pas pu être relu en entier : il ne peut pas être corrigé.");
const QString trimmedStart =
    QStringLiteral("Le début de ce calcul a été retiré du ruban : il ne peut pas être corrigé.");
const QString notKeyed =
    QStringLiteral("Seuls les montants tapés se corrigent : les résultats suivent d'eux-mêmes.");
const QString noLine = QStringLiteral("Aucune ligne du ruban n'est choisie.");

QString hex(qint64 id)
{
    return QString::number(id, 16);
}

void setFormer(Entry &entry, int input, const QString &shown)
{
    while (entry.former.size() <= input)
        entry.former.append(QString());
    if (entry.former[input].isEmpty())
        entry.former[input] = shown;
}

bool onCalculator(const Entry &entry)
{
    return entry.kind == Entry::Key || entry.kind == Entry::Vat;
}

} // namespace

// --- Which entry a row shows ------------------------------------------------------------------

Journal::Target Journal::target(qsizetype row) const
{
    Target t;
    if (row < 0 || row >= m_tape.lines().size()) {
        t.refusal = noLine;
        return t;
    }
    const Line &line = m_tape.lines()[row];
    if (line.calculation == 0) {
        t.refusal = oldVersion;
        return t;
    }
    const auto it = m_calcs.constFind(line.calculation);
    if (it == m_calcs.cend()) {
        t.refusal = incomplete;
        return t;
    }
    auto *c = const_cast<Calculation *>(&*it);
    if (!c->readOnly.isEmpty()) {
        t.refusal = c->readOnly;
        return t;
    }
    const auto e = std::find_if(c->entries.cbegin(), c->entries.cend(),
                                [&](const Entry &entry) { return entry.id == line.entry; });
    if (e == c->entries.cend()) {
        t.refusal = incomplete;
        return t;
    }
    t.calculation = c;
    t.entry = e - c->entries.cbegin();
    t.input = line.input;
    if (line.input < 0)
        t.refusal = notKeyed;
    return t;
}

QString Journal::refusal(qsizetype row) const
{
    return target(row).refusal;
}

QString Journal::keyedText(qsizetype row) const
{
    const Target t = target(row);
    if (!t.calculation || t.input < 0)
        return {};
    const Entry &entry = t.calculation->entries[t.entry];
    // The keys and the fields hold a decimal point; the user keyed the regional mark.
    QString text = onCalculator(entry) ? keyedOperand(entry) : entry.texts.value(t.input);
    return text.replace(u'.', m_mark);
}

// --- Corrections ------------------------------------------------------------------------------

Journal::Outcome Journal::correctAmount(qsizetype row, const QString &text)
{
    const Target t = target(row);
    if (!t.calculation)
        return {false, t.refusal};
    if (t.input < 0)
        return {false, t.refusal};
    QList<Entry> entries = t.calculation->entries;
    Entry &entry = entries[t.entry];
    const auto digits = correctionDigits(text, m_mark, onCalculator(entry));
    if (!digits)
        return {false, QStringLiteral("« %1 » n'est pas un montant.").arg(text.trimmed())};
    setFormer(entry, t.input, m_tape.lines()[row].amount);
    if (onCalculator(entry)) {
        setOperand(entry, *digits);
    } else {
        while (entry.texts.size() <= t.input)
            entry.texts.append(QString());
        entry.texts[t.input] = *digits;
    }
    return change(*t.calculation, std::move(entries));
}

Journal::Outcome Journal::changeOperator(qsizetype row, calc::Operation operation)
{
    const Target t = target(row);
    if (!t.calculation || t.input < 0)
        return {false, t.refusal};
    QList<Entry> entries = t.calculation->entries;
    Entry &entry = entries[t.entry];
    if (entry.kind != Entry::Key || entry.key != calc::KeyStroke::Operator ||
        operation < calc::Division || operation > calc::Subtraction)
        return {false, QStringLiteral("Cette ligne n'a pas d'opérateur à changer.")};
    entry.operation = operation;
    return change(*t.calculation, std::move(entries));
}

Journal::Outcome Journal::removeEntry(qsizetype row)
{
    const Target t = target(row);
    if (!t.calculation)
        return {false, t.refusal};
    QList<Entry> entries = t.calculation->entries;
    if (!onCalculator(entries[t.entry]) || t.input < 0)
        return {false, t.input < 0 ? t.refusal
                                   : QStringLiteral("Ce montant ne se retire pas de son "
                                                    "calcul : corrigez-le.")};
    entries.removeAt(t.entry);
    return change(*t.calculation, std::move(entries));
}

Journal::Outcome Journal::insertEntry(qsizetype row, const QString &text, calc::Operation operation)
{
    Target t = target(row);
    if (!t.calculation)
        return {false, t.refusal};
    QList<Entry> entries = t.calculation->entries;
    if (!onCalculator(entries[t.entry]))
        return {false, QStringLiteral("Un montant ne s'insère que dans un calcul de la "
                                      "calculatrice.")};
    const auto digits = correctionDigits(text, m_mark, true);
    if (!digits)
        return {false, QStringLiteral("« %1 » n'est pas un montant.").arg(text.trimmed())};
    if (operation < calc::Division || operation > calc::Subtraction)
        operation = calc::Addition;
    Entry added;
    added.key = calc::KeyStroke::Operator;
    added.operation = operation;
    added.id = t.calculation->nextEntry++;
    added.msecs = entries[t.entry].msecs;
    setOperand(added, *digits);
    entries.insert(t.entry, added);
    return change(*t.calculation, std::move(entries));
}

Journal::Outcome Journal::change(Calculation &c, QList<Entry> entries)
{
    m_undo.append({c.id, c.entries, entries});
    m_redo.clear();
    applyCorrection(c, std::move(entries));
    return {true, {}};
}

bool Journal::canUndo() const
{
    return !m_undo.isEmpty();
}

bool Journal::canRedo() const
{
    return !m_redo.isEmpty();
}

Journal::Outcome Journal::undo()
{
    return step(m_undo, m_redo, false, QStringLiteral("Il n'y a pas de correction à annuler."));
}

Journal::Outcome Journal::redo()
{
    return step(m_redo, m_undo, true, QStringLiteral("Il n'y a pas de correction à refaire."));
}

// Undo and redo: the last change of one list is worked back (or again) and goes to the other.
Journal::Outcome Journal::step(QList<Change> &from, QList<Change> &to, bool forward,
                               const QString &none)
{
    if (from.isEmpty())
        return {false, none};
    const Change change = from.takeLast();
    const auto it = m_calcs.find(change.calculation);
    if (it == m_calcs.end())
        return {false, trimmedStart};
    to.append(change);
    applyCorrection(*it, forward ? change.after : change.before);
    return {true, {}};
}

// --- Working the calculations again -----------------------------------------------------------

void Journal::applyCorrection(Calculation &target, QList<Entry> entries, const ReadBack *read)
{
    const bool toFile = !read;
    // The blocks waiting for the file are written as they were made, before anything changes.
    if (toFile)
        m_tape.write();
    if (!m_rowsValid)
        rebuildIndex();
    const QList<Line> &tapeLines = m_tape.lines();
    QList<Tape::Replacement> replacements;
    bool sameShape = true; // every block keeps its number of lines: the index stays true
    const auto idsOf = [](const Calculation &c) {
        QList<qint32> ids;
        for (const Entry &e : c.entries)
            ids.append(e.id);
        return ids;
    };
    const QList<qint32> had = idsOf(target);
    target.entries = std::move(entries);

    // The calculation's blocks take the place of the ones it had; a new entry goes just after
    // the entry before it (or before the first one that has lines).
    // Where the lines of an entry that has none go back: before the block that followed them,
    // or where that block's own lines would go back.
    const auto anchoredRow = [&](qint64 calculation, qint32 entry) -> qsizetype {
        for (int depth = 0; depth < 64; ++depth) {
            if (const auto rows = rowsOf(calculation, entry))
                return rows->first;
            const auto c = m_calcs.constFind(calculation);
            if (c == m_calcs.cend() || !c->anchors.contains(entry))
                return -1;
            std::tie(calculation, entry) = c->anchors.value(entry);
        }
        return -1;
    };
    // had: the entries the calculation had before, when they changed (a later calculation
    // worked again keeps its own).
    const auto rework = [&](Calculation &c, const QList<qint32> *had) {
        Worked w = work(c);
        qsizetype anchor = -1;
        // Where each entry's lines stand, looked up once: a long chain works thousands.
        QVarLengthArray<std::optional<Rows>, 8> entryRows;
        for (const Entry &entry : std::as_const(c.entries))
            entryRows.append(rowsOf(c.id, entry.id));
        for (qsizetype k = 0; k < c.entries.size(); ++k) {
            const qint32 id = c.entries[k].id;
            if (const auto &rows = entryRows[k]) {
                replacements.append({rows->first, rows->second, w.blocks[k]});
                sameShape = sameShape && rows->second == w.blocks[k].size();
                anchor = rows->first + rows->second;
                continue;
            }
            sameShape = sameShape && w.blocks[k].isEmpty();
            qsizetype at = anchoredRow(c.id, id);
            if (at < 0)
                at = anchor;
            for (qsizetype j = k + 1; at < 0 && j < c.entries.size(); ++j)
                if (const auto &next = entryRows[j])
                    at = next->first;
            replacements.append({at < 0 ? tapeLines.size() : at, 0, w.blocks[k]});
            if (!w.blocks[k].isEmpty())
                c.anchors.remove(id);
        }
        // An entry left without lines remembers the block that followed its own.
        const auto leave = [&](qint32 id, Rows block) {
            const qsizetype next = block.first + block.second;
            if (next < tapeLines.size() && tapeLines[next].calculation != 0)
                c.anchors[id] = {tapeLines[next].calculation, tapeLines[next].entry};
        };
        for (qsizetype k = 0; k < c.entries.size(); ++k) {
            if (entryRows[k] && w.blocks[k].isEmpty())
                leave(c.entries[k].id, *entryRows[k]);
        }
        for (const qint32 id : had ? *had : QList<qint32>()) {
            const auto rows = rowsOf(c.id, id);
            if (!rows || std::any_of(c.entries.cbegin(), c.entries.cend(),
                                     [id](const Entry &e) { return e.id == id; }))
                continue;
            sameShape = false;
            replacements.append({rows->first, rows->second, {}});
            leave(id, *rows);
        }
        return w;
    };

    Worked w = rework(target, &had);
    qint64 last = target.id;
    if (read && !read->starts.isEmpty()) {
        for (const auto &[id, text] : read->starts) {
            const auto it = m_calcs.find(id);
            if (it == m_calcs.end() || !it->readOnly.isEmpty())
                continue;
            if (it->chain == Chain::Calculator) {
                const auto start = snapshotFromText(text);
                if (!start)
                    continue;
                it->start = *start;
            } else if (const auto numbers = numbersFromText(text); numbers) {
                it->startNumbers = *numbers;
            } else {
                continue;
            }
            rework(*it, nullptr);
        }
    } else {
        // Every later calculation that went on from it, until one starts as it did; read back
        // from the file, up to the last one it changed then, as then.
        for (qint64 next = m_next.value(target.id); next && !(read && last == read->last);
             next = m_next.value(next)) {
            const auto it = m_calcs.find(next);
            if (it == m_calcs.end() || !it->readOnly.isEmpty())
                break;
            Calculation &n = *it;
            if (n.chain == Chain::Calculator) {
                if (!read && n.start == w.end)
                    break;
                n.start = w.end;
            } else if (n.chain == Chain::Margin) {
                if (!read && n.startNumbers == w.endNumbers)
                    break;
                n.startNumbers = w.endNumbers;
            } else {
                break;
            }
            w = rework(n, nullptr);
            last = n.id;
        }
    }

    // The calculator goes on from the calculation as now worked, with the keys typed since.
    m_calculatorAfter.reset();
    if (!read && last == m_engineCalc && m_engine && target.chain == Chain::Calculator) {
        calc::CalculatorEngine engine(m_mark, w.end.state, w.end.display);
        engine.setSwitches(m_calcs.value(last).switches);
        m_keysStart = w.end;
        typeKeys(engine, m_keys);
        const EngineSnapshot now{engine.state(), engine.display()};
        if (now != *m_engine)
            m_calculatorAfter = now;
        m_engine = now;
    }

    m_correcting = true;
    if (toFile) {
        m_tape.replace(std::move(replacements),
                       [id = target.id, last, entries = target.entries,
                        msecs = QDateTime::currentMSecsSinceEpoch()](qint64 change) {
                           // The later calculations are worked again from these on reading.
                           const CorrectionSpan span{id, last, change};
                           QStringList words{hex(span.first), QString::number(entries.size())};
                           for (const Entry &entry : entries)
                               words << entryText(entry);
                           return JournalRecord{JournalRecord::Correction, msecs,
                                                correctionLabel(span), joinWords(words), 0};
                       });
    } else {
        m_tape.replace(std::move(replacements));
    }
    m_correcting = false;
    m_rowsValid = m_rowsValid && sameShape;
}

// --- Reading the file back --------------------------------------------------------------------

void Journal::restore()
{
    restore(m_tape.takeJournalRecords());
}

void Journal::restore(const QList<JournalRecord> &records)
{
    if (!records.isEmpty()) {
        rebuildIndex();
        QSet<qint64> restored;
        for (const JournalRecord &record : records) {
            if (record.kind == JournalRecord::Block)
                restoreBlock(record, restored);
            else
                restoreCorrection(record);
        }
        checkRestored(restored);
    }
    forgetMissing();
}

void Journal::restoreBlock(const JournalRecord &record, QSet<qint64> &restored)
{
    bool ok = false;
    const qint64 id = record.label.section(u' ', 0, 0).toLongLong(&ok, 16);
    const QStringList w = splitWords(record.payload);
    // An eighth word holds the switches, when one was moved.
    if (!ok || id == 0 || (w.size() != 7 && w.size() != 8))
        return;
    auto it = m_calcs.find(id);
    // This run's own calculations are known already.
    if (it != m_calcs.end() && !restored.contains(id))
        return;
    const std::optional<Entry> entry = entryFromText(w[6]);
    if (it == m_calcs.end()) {
        it = m_calcs.insert(id, Calculation{});
        Calculation &c = *it;
        c.id = id;
        c.chain = Chain(std::clamp(w[0].toInt(), 0, 2));
        c.continues = w[1].toLongLong(nullptr, 16);
        c.fromResult = w[2] == u"1";
        restored.insert(id);
        m_order.append(id);
        if (c.continues)
            m_next[c.continues] = id;
        const std::optional<calc::Switches> switches = switchesFromText(w.value(7));
        if (w[5] != u"1") {
            c.readOnly = trimmedStart;
        } else if (!switches) {
            c.readOnly = incomplete;
        } else if (c.chain == Chain::Calculator) {
            const auto start = snapshotFromText(w[3]);
            start ? void(c.start = *start) : void(c.readOnly = incomplete);
        } else if (c.chain == Chain::Margin) {
            const auto numbers = numbersFromText(w[4]);
            numbers ? void(c.startNumbers = *numbers) : void(c.readOnly = incomplete);
        }
        c.switches = switches.value_or(calc::Switches{});
    }
    Calculation &c = *it;
    if (!entry) {
        c.readOnly = incomplete;
        return;
    }
    if (std::any_of(c.entries.cbegin(), c.entries.cend(),
                    [&](const Entry &e) { return e.id == entry->id; }))
        return;
    c.entries.append(*entry);
    c.nextEntry = std::max(c.nextEntry, entry->id + 1);
    c.ended = entry->kind != Entry::Key || entry->key == calc::KeyStroke::Equals ||
              entry->key == calc::KeyStroke::Evaluate;
}

void Journal::restoreCorrection(const JournalRecord &record)
{
    const QStringList w = splitWords(record.payload);
    bool ok = false;
    const qint64 id = w.value(0).toLongLong(&ok, 16);
    const int count = w.value(1).toInt();
    if (!ok || count < 0 || w.size() < 2 + count)
        return;
    QList<Entry> entries;
    for (int i = 0; i < count; ++i) {
        const auto entry = entryFromText(w[2 + i]);
        if (!entry)
            return;
        entries.append(*entry);
    }
    ReadBack read;
    if (w.size() == 2 + count) {
        // The chain is worked again from the calculation, as far as the label says it went.
        const std::optional<CorrectionSpan> span = correctionSpan(record.label);
        if (!span || span->first != id)
            return;
        read.last = span->last;
    } else {
        // An earlier version's record gives the new start of every later calculation.
        const int startCount = w.value(2 + count).toInt();
        if (startCount < 0 || w.size() != 3 + count + 2 * startCount)
            return;
        read.last = id;
        for (int i = 0; i < startCount; ++i)
            read.starts.append(
                {w[3 + count + 2 * i].toLongLong(nullptr, 16), w[4 + count + 2 * i]});
    }
    const auto it = m_calcs.find(id);
    if (it == m_calcs.end() || !it->readOnly.isEmpty())
        return;
    for (const Entry &entry : std::as_const(entries))
        it->nextEntry = std::max(it->nextEntry, entry.id + 1);
    applyCorrection(*it, std::move(entries), &read);
}

void Journal::checkRestored(const QSet<qint64> &restored)
{
    // What the file holds must give its lines again, or the calculation is only shown.
    for (const qint64 id : restored) {
        Calculation &c = m_calcs[id];
        if (c.readOnly.isEmpty() && replay(id) != linesOf(id))
            c.readOnly = incomplete;
    }
}

void Journal::forgetMissing()
{
    rebuildIndex();
    QList<std::pair<qsizetype, qint64>> order;
    for (auto it = m_calcs.begin(); it != m_calcs.end();) {
        qsizetype first = m_tape.lines().size();
        bool any = false;
        for (const Entry &e : std::as_const(it->entries)) {
            if (const auto rows = rowsOf(it.key(), e.id)) {
                any = true;
                first = std::min(first, rows->first);
            }
        }
        if (!any) {
            if (m_current == &*it)
                m_current = nullptr;
            if (m_engineCalc == it.key())
                m_engineCalc = 0;
            if (m_marginCalc == it.key())
                m_marginCalc = 0;
            m_next.remove(it->continues);
            it = m_calcs.erase(it);
            continue;
        }
        // Its first lines went with a trim: what remains is only shown.
        if (it->readOnly.isEmpty() && !it->entries.isEmpty() &&
            !rowsOf(it.key(), it->entries.front().id))
            it->readOnly = trimmedStart;
        order.append({first, it.key()});
        ++it;
    }
    std::sort(order.begin(), order.end());
    m_order.clear();
    for (const auto &[row, id] : order)
        m_order.append(id);
}

} // namespace tape
