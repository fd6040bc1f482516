#pragma once

// How the tape window draws its rows and opens the editor on a line's amount. Each row is a line
// of a paper tape; every row has the same height, which lets the view place twenty thousand rows
// without measuring them. The editor covers the amount only, so that the words and the mark
// stay in sight; Enter hands what was typed to the window, Escape or leaving the editor forgets
// it: nothing on the tape changes unless the user validates.

#include <QStyledItemDelegate>

#include <functional>

namespace tapewindow {

class AmountEditor;

class TapeDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // Fills an editor just made for the row (its text, its name for a screen reader).
    using Prepare = std::function<void(AmountEditor *, const QModelIndex &)>;

    explicit TapeDelegate(Prepare prepare, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    // The editor is filled once, when made: a row repainted while it is open (its operator
    // typed) must not take back what the user typed.
    void setEditorData(QWidget *, const QModelIndex &) const override {}
    // What was typed goes to the window through entryKeyed, never into the model.
    void setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const override {}
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

signals:
    // Enter in the editor, after it closed: the text it held.
    void entryKeyed(const QString &text);

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    Prepare m_prepare;
};

} // namespace tapewindow
