#pragma once

// The tape as rows of a list view: each day's lines under a heading row with the day's date.
// The rows follow the tape as it grows (one insertion per calculation, never a rebuild) so that
// a view of twenty thousand lines keeps up with the keys. QtCore only.

#include "tape/tape.h"

#include <QAbstractListModel>
#include <QModelIndexList>
#include <QPointer>

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
    };

    explicit TapeModel(const Tape &tape, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The tape lines of the given rows, in tape order, each once; a day's heading row stands for
    // all the lines of that day.
    QList<Line> linesOf(const QModelIndexList &rows) const;

private:
    struct Row
    {
        int line;     // index in the tape's lines
        bool heading; // the heading of the day of that line
    };

    void rebuild();
    void addLines(int first, int count);
    std::vector<Row> rowsFor(int first, int count) const;

    QPointer<const Tape> m_tape;
    std::vector<Row> m_rows;
    int m_lines = 0; // tape lines the rows show
};

} // namespace tape
