#include "tape/tapemodel.h"

#include "tape/tapetext.h"

#include <algorithm>

namespace tape {

TapeModel::TapeModel(const Tape &tape, QObject *parent) : QAbstractListModel(parent), m_tape(&tape)
{
    connect(&tape, &Tape::appended, this, &TapeModel::addLines);
    connect(&tape, &Tape::reset, this, &TapeModel::rebuild);
    connect(&tape, &Tape::changed, this, &TapeModel::linesChanged);
    rebuild();
}

void TapeModel::linesChanged(int first, int last)
{
    // A correction that kept the count of lines: their rows show their new amounts in place, and
    // the line chosen stays chosen.
    const QModelIndex from = indexOfLine(first), to = indexOfLine(last);
    if (from.isValid() && to.isValid())
        emit dataChanged(from, to);
    else
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

void TapeModel::setEditing(const TapeEditing *editing)
{
    m_editing = editing;
    if (!m_rows.empty())
        emit dataChanged(index(0), index(int(m_rows.size()) - 1));
}

void TapeModel::rebuild()
{
    beginResetModel();
    m_lines = m_tape ? int(m_tape->lines().size()) : 0;
    m_rows = m_tape ? rowsFor(0, m_lines) : std::vector<Row>();
    m_editedRow = -1;
    m_editedMark.clear();
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
    const bool markEdited = index.row() == m_editedRow;
    if (row.newEntry) {
        switch (role) {
        case Qt::AccessibleTextRole:
            return QStringLiteral("nouvelle saisie ") + markWords(m_editedMark);
        case MarkRole:
            return m_editedMark;
        case HeadingRole:
        case ResultRole:
            return false;
        default:
            return {};
        }
    }
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
        return spokenLine(line, m_editing ? m_editing->formerAmount(row.line) : QString());
    case Qt::ToolTipRole: {
        // When it was keyed, and for the window that corrects, what was corrected or why the
        // line cannot be.
        QString tip = line.time.time().toString(QStringLiteral("HH:mm:ss"));
        if (!m_editing)
            return tip;
        if (const QString former = m_editing->formerAmount(row.line); !former.isEmpty())
            tip += u'\n' + correctedNote(former);
        if (const QString why = m_editing->whyNotCorrectable(row.line); !why.isEmpty())
            tip += u'\n' + why;
        return tip;
    }
    case LabelRole:
        return line.label;
    case AmountRole:
        return line.amount.trimmed();
    case MarkRole:
        return markEdited ? m_editedMark : line.mark;
    case HeadingRole:
        return false;
    case ResultRole:
        return line.result;
    case FormerAmountRole:
        return m_editing ? m_editing->formerAmount(row.line).trimmed() : QString();
    default:
        return {};
    }
}

Qt::ItemFlags TapeModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractListModel::flags(index);
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return flags;
    if (m_rows[size_t(index.row())].newEntry || whyNotCorrectable(index).isEmpty())
        flags |= Qt::ItemIsEditable;
    return flags;
}

int TapeModel::lineAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return -1;
    const Row row = m_rows[size_t(index.row())];
    return row.heading || row.newEntry ? -1 : row.line;
}

QModelIndex TapeModel::indexOfLine(int line) const
{
    if (line < 0 || line >= m_lines)
        return {};
    // Rows come in line order; a line's own row follows its day's heading and any new entry.
    auto row = std::lower_bound(m_rows.begin(), m_rows.end(), line,
                                [](const Row &r, int l) { return r.line < l; });
    while (row != m_rows.end() && row->line == line && (row->heading || row->newEntry))
        ++row;
    if (row == m_rows.end() || row->line != line)
        return {};
    return index(int(row - m_rows.begin()));
}

QString TapeModel::whyNotCorrectable(const QModelIndex &index) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return QStringLiteral("Aucune ligne n'est choisie.");
    const Row row = m_rows[size_t(index.row())];
    if (row.heading)
        return QStringLiteral("Une date ne se corrige pas.");
    if (row.newEntry)
        return {};
    if (!m_editing)
        return QStringLiteral("Le ruban ne se corrige pas ici.");
    return m_editing->whyNotCorrectable(row.line);
}

QModelIndex TapeModel::addNewEntry(int beforeLine, const QString &mark)
{
    endEditing();
    const QModelIndex before = indexOfLine(beforeLine);
    if (!before.isValid())
        return {};
    const int at = before.row();
    beginInsertRows({}, at, at);
    m_rows.insert(m_rows.begin() + at, Row{beforeLine, false, true});
    endInsertRows();
    m_editedRow = at;
    m_editedMark = mark;
    return index(at);
}

void TapeModel::setEditedMark(const QModelIndex &edited, const QString &mark)
{
    if (!edited.isValid() || edited.row() >= int(m_rows.size()))
        return;
    const int previous = m_editedRow;
    m_editedRow = edited.row();
    m_editedMark = mark;
    if (previous >= 0 && previous != m_editedRow)
        emit dataChanged(index(previous), index(previous));
    emit dataChanged(edited, edited, {MarkRole, Qt::AccessibleTextRole});
}

void TapeModel::endEditing()
{
    const int edited = m_editedRow;
    m_editedRow = -1;
    m_editedMark.clear();
    const auto added =
        std::find_if(m_rows.begin(), m_rows.end(), [](const Row &row) { return row.newEntry; });
    if (added != m_rows.end()) {
        const int at = int(added - m_rows.begin());
        beginRemoveRows({}, at, at);
        m_rows.erase(added);
        endRemoveRows();
    } else if (edited >= 0 && edited < int(m_rows.size())) {
        emit dataChanged(index(edited), index(edited), {MarkRole, Qt::AccessibleTextRole});
    }
}

QList<int> TapeModel::lineNumbersOf(const QModelIndexList &rows) const
{
    QList<int> wanted;
    for (const QModelIndex &index : rows) {
        if (!index.isValid() || index.row() >= int(m_rows.size()))
            continue;
        const Row row = m_rows[size_t(index.row())];
        if (row.newEntry)
            continue;
        if (!row.heading) {
            wanted.push_back(row.line);
            continue;
        }
        // The heading's day runs until the next heading.
        for (size_t r = size_t(index.row()) + 1; r < m_rows.size() && !m_rows[r].heading; ++r) {
            if (!m_rows[r].newEntry)
                wanted.push_back(m_rows[r].line);
        }
    }
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    return wanted;
}

QList<Line> TapeModel::linesOf(const QModelIndexList &rows) const
{
    const QList<int> wanted = lineNumbersOf(rows);
    QList<Line> lines;
    lines.reserve(wanted.size());
    for (int i : wanted)
        lines += m_tape->lines()[i];
    return lines;
}

QStringList TapeModel::formerAmountsOf(const QList<int> &lines) const
{
    QStringList former;
    if (!m_editing)
        return former;
    former.reserve(lines.size());
    for (int line : lines)
        former += m_editing->formerAmount(line);
    return former;
}

QStringList TapeModel::formerAmounts() const
{
    QStringList former;
    if (!m_editing || !m_tape)
        return former;
    const int count = int(m_tape->lines().size());
    former.reserve(count);
    for (int line = 0; line < count; ++line)
        former += m_editing->formerAmount(line);
    return former;
}

} // namespace tape
