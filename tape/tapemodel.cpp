#include "tape/tapemodel.h"

#include "tape/tapetext.h"

#include <algorithm>

namespace tape {

TapeModel::TapeModel(const Tape &tape, QObject *parent) : QAbstractListModel(parent), m_tape(&tape)
{
    connect(&tape, &Tape::appended, this, &TapeModel::addLines);
    connect(&tape, &Tape::reset, this, &TapeModel::rebuild);
    rebuild();
}

std::vector<TapeModel::Row> TapeModel::rowsFor(int first, int count) const
{
    const QList<Line> &lines = m_tape->lines();
    std::vector<Row> rows;
    rows.reserve(size_t(count) + 1);
    QDate day = first > 0 ? lines[first - 1].time.date() : QDate();
    for (int i = first; i < first + count; ++i) {
        const QDate date = lines[i].time.date();
        if (date != day || i == 0) {
            rows.push_back({i, true});
            day = date;
        }
        rows.push_back({i, false});
    }
    return rows;
}

void TapeModel::rebuild()
{
    beginResetModel();
    m_lines = m_tape ? int(m_tape->lines().size()) : 0;
    m_rows = m_tape ? rowsFor(0, m_lines) : std::vector<Row>();
    endResetModel();
}

void TapeModel::addLines(int first, int count)
{
    // Lines arrive at the end of the tape; anything else (lines this model never saw) is read
    // afresh rather than guessed at.
    if (first != m_lines || first + count != m_tape->lines().size()) {
        rebuild();
        return;
    }
    if (count <= 0)
        return;
    std::vector<Row> rows = rowsFor(first, count);
    const int start = int(m_rows.size());
    beginInsertRows({}, start, start + int(rows.size()) - 1);
    m_rows.insert(m_rows.end(), rows.begin(), rows.end());
    m_lines += count;
    endInsertRows();
}

int TapeModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant TapeModel::data(const QModelIndex &index, int role) const
{
    if (!m_tape || !index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const Row row = m_rows[size_t(index.row())];
    const Line &line = m_tape->lines()[row.line];
    if (row.heading) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return dayHeading(line.time.date());
        case HeadingRole:
            return true;
        default:
            return {};
        }
    }
    switch (role) {
    case Qt::DisplayRole: {
        QString text = line.label.isEmpty() ? QString() : line.label + u' ';
        return text + line.amount.trimmed() + u' ' + line.mark;
    }
    case Qt::AccessibleTextRole:
        return spokenLine(line);
    case Qt::ToolTipRole:
        return line.time.time().toString(QStringLiteral("HH:mm:ss"));
    case LabelRole:
        return line.label;
    case AmountRole:
        return line.amount.trimmed();
    case MarkRole:
        return line.mark;
    case HeadingRole:
        return false;
    case ResultRole:
        return line.result;
    default:
        return {};
    }
}

QList<Line> TapeModel::linesOf(const QModelIndexList &rows) const
{
    std::vector<int> wanted;
    for (const QModelIndex &index : rows) {
        if (!index.isValid() || index.row() >= int(m_rows.size()))
            continue;
        const Row row = m_rows[size_t(index.row())];
        if (!row.heading) {
            wanted.push_back(row.line);
            continue;
        }
        // The heading's day runs until the next heading.
        for (size_t r = size_t(index.row()) + 1; r < m_rows.size() && !m_rows[r].heading; ++r)
            wanted.push_back(m_rows[r].line);
    }
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    QList<Line> lines;
    lines.reserve(qsizetype(wanted.size()));
    for (int i : wanted)
        lines += m_tape->lines()[i];
    return lines;
}

} // namespace tape
