#pragma once

// What the tape window hands to other programs and to a screen reader: the text a copy puts on
// the clipboard, the CSV file it saves, the words a line is read with and the day headings.
// QtCore only, so that every text is checked without a window.

#include "tape/tape.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

namespace tape {

// One row per line, the amount and the mark separated by a tab (a paste into a spreadsheet gives
// an amount column and a mark column); a line with words before its amount ("TVA 20 %") has
// them in a third column, so that the first two stay the same for every line.
QString copyText(const QList<Line> &lines);

// The tape as a CSV file for a French spreadsheet: UTF-8 with a byte order mark, ';' between
// fields, a decimal comma, one heading row (date;heure;libellé;montant;marque), CRLF line ends.
QByteArray csvFile(const QList<Line> &lines);

// What a mark is called aloud ("+" is "plus", "*" is "total"); an unknown mark is read as it is.
QString markWords(const QString &mark);

// A line as a screen reader says it: its words, its amount and its mark read aloud ("100 plus").
QString spokenLine(const Line &line);

// The heading of a day on the tape, in French: "mardi 8 décembre 2026".
QString dayHeading(QDate date);

} // namespace tape
