#include "tape/tapetext.h"

#include <QLocale>
#include <QStringList>

#include <utility>

namespace tape {

namespace {

// A CSV field is quoted only when it holds a separator, a quote or a line end, as spreadsheets
// write them; the quotes inside are doubled.
QString csvField(const QString &text)
{
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

// French spreadsheets read a decimal comma only, whatever mark the calculator showed.
QString amountWithComma(const QString &amount)
{
    QString text = amount.trimmed();
    text.replace(u'.', u',');
    return text;
}

// The words of a line with the note of its correction after them, if any.
QString wordsWithNote(const Line &line, const QStringList &formerAmounts, qsizetype i)
{
    const QString former = formerAmounts.value(i).trimmed();
    if (former.isEmpty())
        return line.label;
    const QString note = correctedNote(former);
    return line.label.isEmpty() ? note : line.label + QStringLiteral(" (") + note + u')';
}

} // namespace

QString correctedNote(const QString &formerAmount)
{
    return QStringLiteral("corrigé : ") + formerAmount.trimmed();
}

QString copyText(const QList<Line> &lines, const QStringList &formerAmounts)
{
    QString text;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &line = lines[i];
        text += line.amount.trimmed() + u'\t' + line.mark;
        if (const QString words = wordsWithNote(line, formerAmounts, i); !words.isEmpty())
            text += u'\t' + words;
        text += u'\n';
    }
    return text;
}

QByteArray csvFile(const QList<Line> &lines, const QStringList &formerAmounts)
{
    QString text = QStringLiteral("date;heure;libellé;montant;marque\r\n");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &line = lines[i];
        const QStringList fields{
            line.time.date().toString(QStringLiteral("dd/MM/yyyy")),
            line.time.time().toString(QStringLiteral("HH:mm:ss")),
            csvField(wordsWithNote(line, formerAmounts, i)),
            csvField(amountWithComma(line.amount)),
            csvField(line.mark),
        };
        text += fields.join(u';') + QStringLiteral("\r\n");
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

QString markWords(const QString &mark)
{
    static const std::pair<QStringView, QStringView> words[] = {
        {u"+", u"plus"},
        {u"-", u"moins"},
        {u"\u2212", u"moins"},
        {u"x", u"multiplié par"},
        {u"\u00D7", u"multiplié par"},
        {u"/", u"divisé par"},
        {u"\u00F7", u"divisé par"},
        {u":", u"divisé par"},
        {u"=", u"égal"},
        {u"*", u"total"},
        {u"%", u"pour cent"},
        {u"C", u"effacement"},
        {u"HT", u"hors taxes"},
        {u"TTC", u"toutes taxes comprises"},
        {u"TVA", u"de TVA"},
        {u"GT", u"grand total"},
    };
    for (const auto &[written, spoken] : words) {
        if (mark.compare(written, Qt::CaseInsensitive) == 0 && mark.size() == written.size())
            return spoken.toString();
    }
    return mark;
}

QString spokenLine(const Line &line, const QString &formerAmount)
{
    QStringList parts;
    for (const QString &part : {line.label, line.amount.trimmed(), markWords(line.mark)}) {
        if (!part.isEmpty())
            parts += part;
    }
    QString words = parts.join(u' ');
    if (!formerAmount.trimmed().isEmpty())
        words += QStringLiteral(", corrigé, auparavant ") + formerAmount.trimmed();
    return words;
}

QString dayHeading(QDate date)
{
    return QLocale(QLocale::French).toString(date, QStringLiteral("dddd d MMMM yyyy"));
}

} // namespace tape
