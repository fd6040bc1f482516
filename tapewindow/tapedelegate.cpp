#include "tapewindow/tapedelegate.h"

#include "tape/tapemodel.h"
#include "tapewindow/amounteditor.h"
#include "tapewindow/tapepaint.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>

#include <utility>

namespace tapewindow {

namespace {

// The row's inside, where the text is laid out.
QRect textBounds(const QRect &row)
{
    return row.adjusted(4, 0, -2, 0);
}

QFont boldFont(const QFont &font)
{
    QFont bold = font;
    bold.setBold(true);
    return bold;
}

} // namespace

TapeDelegate::TapeDelegate(Prepare prepare, QObject *parent)
    : QStyledItemDelegate(parent), m_prepare(std::move(prepare))
{
}

void TapeDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                         const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.text.clear();
    const QWidget *view = option.widget;
    QStyle *style = view ? view->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, view);

    painter->save();
    painter->setFont(option.font);
    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect bounds = textBounds(option.rect);
    if (index.data(tape::TapeModel::HeadingRole).toBool()) {
        tapepaint::paintHeading(*painter, bounds, index.data().toString());
    } else {
        tapepaint::paintLine(*painter, bounds, index.data(tape::TapeModel::LabelRole).toString(),
                             index.data(tape::TapeModel::AmountRole).toString(),
                             index.data(tape::TapeModel::MarkRole).toString(),
                             index.data(tape::TapeModel::ResultRole).toBool(),
                             index.data(tape::TapeModel::FormerAmountRole).toString());
    }
    painter->restore();
}

QSize TapeDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    const QFont bold = boldFont(option.font);
    return {tapepaint::markColumnWidth(bold) * 4, QFontMetrics(bold).height() + 4};
}

QWidget *TapeDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                    const QModelIndex &index) const
{
    auto *editor = new AmountEditor(parent);
    editor->setFont(option.font);
    if (m_prepare)
        m_prepare(editor, index);
    return editor;
}

void TapeDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                        const QModelIndex &) const
{
    // Right-aligned over the amount, wide enough for a long number, leaving the words room
    // when the tape is wide.
    const QRect amount = tapepaint::amountBox(boldFont(option.font), textBounds(option.rect));
    const int wanted =
        std::max(amount.width() / 2, QFontMetrics(option.font).horizontalAdvance(u'0') * 14);
    const int width = std::min(amount.width(), wanted);
    editor->setGeometry(amount.right() - width + 1, option.rect.top(), width, option.rect.height());
}

bool TapeDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *editor = qobject_cast<AmountEditor *>(object);
    if (!editor)
        return QStyledItemDelegate::eventFilter(object, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Closed first, so that the tape may be shown afresh without an editor over it.
            const QString text = editor->text();
            emit closeEditor(editor, NoHint);
            emit entryKeyed(text);
            return true;
        }
        if (key == Qt::Key_Escape) {
            emit closeEditor(editor, RevertModelCache);
            return true;
        }
        return false;
    }
    case QEvent::ShortcutOverride:
        // Escape is the editor's, whatever shortcut the window has.
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
        return false;
    case QEvent::FocusOut: {
        // Leaving the editor (another window, a click elsewhere, Tab) cancels: a correction is
        // made by Enter only. Its own menu takes the focus for a moment and keeps it open.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::PopupFocusReason || editor->isAncestorOf(QApplication::focusWidget()))
            return false;
        emit closeEditor(editor, RevertModelCache);
        return false;
    }
    default:
        return false;
    }
}

} // namespace tapewindow
