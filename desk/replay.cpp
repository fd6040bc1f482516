#include "desk/replay.h"

#include "calculator/numbertext.h"
#include "margin/pricechange.h"
#include "margin/shownquantities.h"
#include "vat/vatkeys.h"

#include <bit>

namespace tape {

namespace {

const QString operators = QStringLiteral("/*+-"); // by calc::Operation, from Division

bool isOperandKey(QChar c)
{
    return c.isDigit() || c == u'.';
}

// Where the operand the keys end with begins: after the last key that is neither a digit, the
// decimal point nor a paste.
qsizetype operandStart(QStringView keys)
{
    qsizetype i = keys.size();
    while (i > 0) {
        const QChar c = keys[i - 1];
        if (c == u']') {
            const qsizetype open = keys.first(i).lastIndexOf(u'[');
            if (open < 0)
                return i;
            i = open;
        } else if (isOperandKey(c)) {
            --i;
        } else {
            break;
        }
    }
    return i;
}

void press(calc::CalculatorEngine &engine, calc::KeyStroke::Key key, calc::Operation operation)
{
    using K = calc::KeyStroke;
    switch (key) {
    case K::Clear:
        return engine.clear();
    case K::Delete:
        return engine.deleteKey();
    case K::Operator:
        return engine.operatorKey(operation);
    case K::Percent:
        return engine.percent();
    case K::Equals:
        return engine.equals();
    case K::Evaluate:
        return engine.evaluatePending();
    default:
        return;
    }
}

void tagInput(Line &line, const Entry &entry, int input)
{
    line.input = qint8(input);
    line.former = entry.former.value(input);
}

// A number in a record: the bits of the double in hex, exact and quick to write and read.
QString number(double value)
{
    return QString::number(std::bit_cast<quint64>(value), 16);
}

std::optional<double> readNumber(QStringView text)
{
    bool ok = false;
    const quint64 bits = text.toULongLong(&ok, 16);
    const double value = std::bit_cast<double>(bits);
    return ok && calc::isShowable(value) ? std::optional<double>(value) : std::nullopt;
}

QString optionalNumber(const std::optional<double> &value)
{
    return value ? number(*value) : QString();
}

} // namespace

void tagKeyedLines(QList<Line> &lines, const Entry &entry)
{
    for (Line &line : lines)
        line.entry = entry.id;
    if (entry.keyed && !lines.isEmpty() && !lines[0].result && lines[0].mark != u"C") {
        lines[0].input = 0;
        lines[0].former = entry.former.value(0);
    }
}

QString keyedOperand(const Entry &entry)
{
    const QStringView run = QStringView(entry.keys).sliced(operandStart(entry.keys));
    const qsizetype close = run.lastIndexOf(u']');
    if (close < 0)
        return run.toString();
    const qsizetype open = run.first(close).lastIndexOf(u'[');
    return run.sliced(open + 1, close - open - 1).trimmed().toString() +
           run.sliced(close + 1).toString();
}

void setOperand(Entry &entry, const QString &digits)
{
    entry.keys.truncate(operandStart(entry.keys));
    entry.keys += u'[' + (digits.startsWith(u'-') ? digits : u' ' + digits) + u']';
    entry.keyed = true;
}

QString keyText(const calc::KeyStroke &key, const QString &displayAfter)
{
    using K = calc::KeyStroke;
    switch (key.key) {
    case K::Digit:
        return displayAfter.isEmpty() ? QString() : QString(displayAfter.back());
    case K::DecimalPoint:
        return QStringLiteral(".");
    case K::Clear:
        return QStringLiteral("C");
    case K::Delete:
        return QStringLiteral("D");
    case K::Operator:
        return key.operation >= calc::Division && key.operation <= calc::Subtraction
                   ? QString(operators[key.operation - 1])
                   : QString();
    case K::Percent:
        return QStringLiteral("%");
    case K::Equals:
        return QStringLiteral("=");
    case K::Evaluate:
        return QStringLiteral("E");
    case K::Paste:
        return u'[' + displayAfter + u']';
    default:
        return {};
    }
}

void typeKeys(calc::CalculatorEngine &engine, QStringView keys)
{
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QChar c = keys[i];
        if (c.isDigit()) {
            engine.digit(c.digitValue());
        } else if (c == u'.') {
            engine.decimalPoint();
        } else if (const qsizetype o = operators.indexOf(c); o >= 0) {
            engine.operatorKey(calc::Operation(o + 1));
        } else if (c == u'%') {
            engine.percent();
        } else if (c == u'=') {
            engine.equals();
        } else if (c == u'E') {
            engine.evaluatePending();
        } else if (c == u'C') {
            engine.clear();
        } else if (c == u'D') {
            engine.deleteKey();
        } else if (c == u'[') {
            const qsizetype close = keys.indexOf(u']', i);
            if (close < 0)
                return;
            const QStringView shown = keys.sliced(i + 1, close - i - 1);
            calc::PastedPrice price;
            price.negative = shown.startsWith(u'-');
            price.digits = shown.sliced(std::min<qsizetype>(1, shown.size())).toString();
            price.value = price.digits.toDouble() * (price.negative ? -1 : 1);
            engine.pasteOperand(price);
            i = close;
        }
    }
}

QList<Line> replayOnCalculator(calc::CalculatorEngine &engine, const Entry &entry)
{
    typeKeys(engine, entry.keys);
    QList<Line> lines;
    if (entry.kind == Entry::Key) {
        const calc::CalculatorState before = engine.state();
        const QString displayBefore = engine.display();
        press(engine, entry.key, entry.operation);
        lines = keyLines({entry.key, entry.operation}, before, displayBefore, engine);
    } else if (entry.kind == Entry::Vat) {
        vat::VatStep step;
        if (vat::applyVatKey(engine, vat::VatKey(int(entry.vat)), entry.rate, &step))
            lines =
                vatLines({entry.vat, step.display, step.amount, entry.rate, step.resultText},
                         engine.regionalMark(), calc::fixedDecimals(engine.switches().decimals));
    }
    tagKeyedLines(lines, entry);
    return lines;
}

QList<Line> replayMargin(const Entry &entry, margin::MarginNumbers &numbers, QChar mark,
                         calc::PriceEnding ending)
{
    using margin::Field;
    margin::FieldTexts fields;
    for (const Field f : margin::AllFields)
        fields[margin::index(f)] = entry.texts.value(qsizetype(margin::index(f)));
    margin::MarginCalculator calculator(numbers);
    calculator.setPriceEnding(ending);
    const margin::FieldWrites writes =
        calculator.calculate(entry.setup, fields, entry.firstRate, mark);
    numbers = calculator.numbers();
    QList<Shown> shown;
    for (const margin::ShownQuantity &q :
         margin::shownQuantities(entry.setup, fields, writes, calculator.lastPriceEnding()))
        shown.append({q.caption, q.text, q.rate ? QStringLiteral("%") : QString(), q.computed});
    QList<Line> lines = shownLines(shown, mark);
    // The typed fields, in the order the margin window lists them.
    const margin::SetupRow &row = margin::setupRow(entry.setup.mode, entry.setup.given);
    qsizetype k = 0;
    for (const Field f : margin::AllFields) {
        if (k >= lines.size())
            break;
        lines[k].entry = entry.id;
        if (writes[margin::index(f)]) {
            ++k;
            // The note of the ending a selling price was raised to follows it.
            if (f == Field::Vente && calculator.lastPriceEnding() != calc::PriceEnding::None &&
                k < lines.size())
                lines[k++].entry = entry.id;
        } else if (row.role(f) == margin::Role::Entry &&
                   !fields[margin::index(f)].trimmed().isEmpty()) {
            tagInput(lines[k++], entry, int(margin::index(f)));
        }
    }
    return lines;
}

QList<Line> replayPriceChange(const Entry &entry, QChar mark)
{
    const QString first = entry.texts.value(0), second = entry.texts.value(1),
                  rate = entry.texts.value(2);
    margin::PriceChange change;
    const margin::PriceChangeWrites writes = change.calculate(
        entry.fixedRate ? margin::ChangeMode::FixedRate : margin::ChangeMode::Rate,
        entry.increase ? margin::Direction::Increase : margin::Direction::Discount,
        {first, entry.fixedRate ? QString() : second, entry.fixedRate ? rate : QString()}, mark);
    if (entry.fixedRate ? !writes.second : !writes.rate)
        return {};
    QList<Line> lines = priceChangeLines({entry.increase, entry.fixedRate, first,
                                          entry.fixedRate ? *writes.second : second,
                                          entry.fixedRate ? rate : *writes.rate},
                                         mark);
    for (Line &line : lines)
        line.entry = entry.id;
    if (entry.fixedRate) {
        tagInput(lines[0], entry, 2);
        tagInput(lines[1], entry, 0);
    } else {
        tagInput(lines[0], entry, 0);
        tagInput(lines[1], entry, 1);
    }
    return lines;
}

QList<Line> replayRateSwitch(const Entry &entry)
{
    Line line = rateSwitchLine(entry.rate);
    line.entry = entry.id;
    return {line};
}

// --- Records ----------------------------------------------------------------------------------

QString joinWords(const QStringList &words)
{
    QStringList out;
    out.reserve(words.size());
    for (QString word : words)
        out << word.replace(u'%', QStringLiteral("%25")).replace(u' ', QStringLiteral("%20"));
    return out.join(u' ');
}

QStringList splitWords(QStringView text)
{
    QStringList words;
    for (const QStringView word : text.split(u' ')) {
        QString out;
        out.reserve(word.size());
        for (qsizetype i = 0; i < word.size(); ++i) {
            if (word[i] == u'%' && i + 2 < word.size() && word.sliced(i + 1, 2) == u"20") {
                out += u' ';
                i += 2;
            } else if (word[i] == u'%' && i + 2 < word.size() && word.sliced(i + 1, 2) == u"25") {
                out += u'%';
                i += 2;
            } else {
                out += word[i];
            }
        }
        words << out;
    }
    return words;
}

QString entryText(const Entry &entry)
{
    QStringList words{QString::number(entry.kind),
                      QString::number(entry.id),
                      entry.keys,
                      QString::number(entry.keyed),
                      QString::number(entry.key),
                      QString::number(entry.operation),
                      QString::number(int(entry.vat)),
                      entry.rate,
                      QString::number(int(entry.setup.mode)),
                      QString::number(int(entry.setup.given)),
                      QString::number(entry.setup.purchaseWithVat),
                      QString::number(entry.setup.sellingWithVat),
                      optionalNumber(entry.firstRate),
                      QString::number(entry.increase),
                      QString::number(entry.fixedRate),
                      QString::number(entry.msecs),
                      QString::number(entry.texts.size())};
    words += entry.texts;
    words += QString::number(entry.former.size());
    words += entry.former;
    return joinWords(words);
}

std::optional<Entry> entryFromText(QStringView text)
{
    const QStringList w = splitWords(text);
    constexpr qsizetype fixed = 17;
    if (w.size() < fixed + 1)
        return std::nullopt;
    bool ok = true;
    const auto integer = [&](qsizetype i, int low, int high) {
        bool good = false;
        const int v = w[i].toInt(&good);
        ok = ok && good && v >= low && v <= high;
        return v;
    };
    Entry e;
    e.kind = Entry::Kind(integer(0, Entry::Key, Entry::PriceChange));
    e.id = integer(1, 0, 1 << 30);
    e.keys = w[2];
    e.keyed = integer(3, 0, 1);
    e.key = calc::KeyStroke::Key(integer(4, calc::KeyStroke::Ignored, calc::KeyStroke::Paste));
    e.operation = calc::Operation(integer(5, calc::NoOperation, calc::Percentage));
    e.vat = VatKind(integer(6, 0, 3));
    e.rate = w[7];
    e.setup.mode = margin::Mode(integer(8, 0, 4));
    e.setup.given = margin::GivenPrice(integer(9, 0, 2));
    e.setup.purchaseWithVat = integer(10, 0, 1);
    e.setup.sellingWithVat = integer(11, 0, 1);
    if (!w[12].isEmpty()) {
        e.firstRate = readNumber(w[12]);
        ok = ok && e.firstRate;
    }
    e.increase = integer(13, 0, 1);
    e.fixedRate = integer(14, 0, 1);
    e.msecs = w[15].toLongLong(&ok);
    const int texts = integer(16, 0, 6);
    if (!ok || w.size() < fixed + texts + 1)
        return std::nullopt;
    e.texts = w.mid(fixed, texts);
    const qsizetype at = fixed + texts;
    const int former = integer(at, 0, 6);
    if (!ok || w.size() != at + 1 + former)
        return std::nullopt;
    e.former = w.mid(at + 1, former);
    return e;
}

QString snapshotText(const EngineSnapshot &s)
{
    const calc::CalculatorState &c = s.state;
    return joinWords({optionalNumber(c.N1), optionalNumber(c.N2), optionalNumber(c.N3),
                      number(c.Pourcent), QString::number(c.Signe), QString::number(c.TF),
                      QString::number(c.virg), QString::number(c.ok), QString::number(c.ClicTva),
                      QString::number(c.Compteur), s.display});
}

std::optional<EngineSnapshot> snapshotFromText(QStringView text)
{
    const QStringList w = splitWords(text);
    if (w.size() != 11)
        return std::nullopt;
    bool ok = true;
    const auto optional = [&](const QString &word) {
        const std::optional<double> v = readNumber(word);
        ok = ok && (word.isEmpty() || v);
        return v;
    };
    const auto integer = [&](const QString &word, int low, int high) {
        bool good = false;
        const int v = word.toInt(&good);
        ok = ok && good && v >= low && v <= high;
        return v;
    };
    EngineSnapshot s;
    s.state.N1 = optional(w[0]);
    s.state.N2 = optional(w[1]);
    s.state.N3 = optional(w[2]);
    s.state.Pourcent = optional(w[3]).value_or(0.0);
    ok = ok && !w[3].isEmpty();
    s.state.Signe = std::uint8_t(integer(w[4], 0, 5));
    s.state.TF = std::uint8_t(integer(w[5], 0, 1));
    s.state.virg = integer(w[6], 0, 1);
    s.state.ok = integer(w[7], 0, 1);
    s.state.ClicTva = std::int16_t(integer(w[8], -1, 0));
    s.state.Compteur = std::int16_t(integer(w[9], -32768, 32767));
    s.display = w[10];
    return ok ? std::optional<EngineSnapshot>(s) : std::nullopt;
}

QString numbersText(const margin::MarginNumbers &n)
{
    return joinWords({number(n.AchatHT), number(n.VenteHT), number(n.AchatCalc),
                      number(n.VenteCalc), number(n.AchatAff), number(n.VenteAff),
                      number(n.MargeBrute), number(n.TauxMarge), number(n.TauxMarque),
                      number(n.Coef)});
}

std::optional<margin::MarginNumbers> numbersFromText(QStringView text)
{
    const QStringList w = splitWords(text);
    if (w.size() != 10)
        return std::nullopt;
    std::array<double, 10> v{};
    for (qsizetype i = 0; i < 10; ++i) {
        const std::optional<double> value = readNumber(w[i]);
        if (!value)
            return std::nullopt;
        v[size_t(i)] = *value;
    }
    return margin::MarginNumbers{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]};
}

} // namespace tape
