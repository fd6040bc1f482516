#pragma once

// What the tape window hands to other programs and to a screen reader: the text a copy puts on
// the clipboard, the CSV file it saves, the words a line is read with and the day headings.
// A corrected line keeps its former amount in all of them ("corrigé : 1245"), so that what the
// tape hands out stays an honest record. QtCore only, so that every text is checked without a
// window.

#include "tape/tape.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace tape {

// One row per line, the amount and the mark separated by a tab (a paste into a spreadsheet gives
// an amount column and a mark column); a line with words before its amount ("TVA 20 %") has
// them in a third column, so that the first two stay the same for every line.
// formerAmounts: for each line, in the same order, the amount it had before a correction; empty
// (or missing at the end of the list) for a line never corrected. The note goes with the words.
QString copyText(const QList<Line> &lines, const QStringList &formerAmounts = {});

// The tape as a CSV file for a French spreadsheet: UTF-8 with a byte order mark, ';' between
// fields, a decimal comma, one heading row (date;heure;libellé;montant;marque), CRLF line ends.
// A corrected line's note goes in the "libellé" field, after its words.
QByteArray csvFile(const QList<Line> &lines, const QStringList &formerAmounts = {});

// What a corrected line says beside its amount: "corrigé : 1245".
QString correctedNote(const QString &formerAmount);

// What a mark is called aloud ("+" is "plus", "*" is "total"); an unknown mark is read as it is.
QString markWords(const QString &mark);

// A line as a screen reader says it: its words, its amount and its mark read aloud ("100 plus"),
// and when it was corrected, what it was before ("25 plus, corrigé, auparavant 20").
QString spokenLine(const Line &line, const QString &formerAmount = {});

// The heading of a day on the tape, in French: "mardi 8 décembre 2026".
QString dayHeading(QDate date);

} // namespace tape
