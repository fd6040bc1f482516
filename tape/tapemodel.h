#pragma once

// The tape as rows of a list view: each day's lines under a heading row with the day's date.
// The rows follow the tape as it grows (one insertion per calculation, never a rebuild) so that
// a view of twenty thousand lines keeps up with the keys. With the desk's editing at hand, it
// also says which lines may be corrected, why the others may not, and what a corrected line was
// before. QtCore only.

#include "tape/tape.h"
#include "tape/tapeediting.h"

#include <QAbstractListModel>
#include <QModelIndexList>
#include <QPointer>
#include <QStringList>

#include <vector>

namespace tape {

class TapeModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role
    {
        LabelRole = Qt::UserRole + 1, // words before the amount
        AmountRole,                   // the amount as shown
        MarkRole,                     // the mark in the column at the right
        HeadingRole,                  // true for a day's heading row
        ResultRole,                   // true for a result line (bold)
        FormerAmountRole,             // the amount before a correction; empty if none
    };

    explicit TapeModel(const Tape &tape, QObject *parent = nullptr);

    // Who answers for corrections; null (the default) leaves every line read-only.
    void setEditing(const TapeEditing *editing);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // A line that may be corrected, and an entry being keyed, are editable.
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The tape line a row shows; -1 for a heading, an entry being keyed, or no row.
    int lineAt(const QModelIndex &index) const;
    // The row of a tape line; invalid when there is no such line.
    QModelIndex indexOfLine(int line) const;
    // Empty when the row's line may be corrected; otherwise why not, in French.
    QString whyNotCorrectable(const QModelIndex &index) const;

    // The tape lines of the given rows, in tape order, each once; a day's heading row stands for
    // all the lines of that day.
    QList<int> lineNumbersOf(const QModelIndexList &rows) const;
    QList<Line> linesOf(const QModelIndexList &rows) const;
    // The former amounts of the given lines, or of the whole tape, for tapetext's texts.
    QStringList formerAmountsOf(const QList<int> &lines) const;
    QStringList formerAmounts() const;

    // An entry being keyed in the window before it goes to the desk: a new row just before the
    // given line (an insertion), and the operator typed for it or for the line being corrected,
    // shown in the mark column until the entry is validated or cancelled.
    QModelIndex addNewEntry(int beforeLine, const QString &mark);
    void setEditedMark(const QModelIndex &index, const QString &mark);
    void endEditing();

private:
    struct Row
    {
        int line;              // index in the tape's lines
        bool heading;          // the heading of the day of that line
        bool newEntry = false; // an entry being inserted before that line
    };

    void rebuild();
    void addLines(int first, int count);
    void linesChanged(int first, int last);
    std::vector<Row> rowsFor(int first, int count) const;

    QPointer<const Tape> m_tape;
    const TapeEditing *m_editing = nullptr;
    std::vector<Row> m_rows;
    int m_lines = 0; // tape lines the rows show
    int m_editedRow = -1;
    QString m_editedMark;
};

} // namespace tape
