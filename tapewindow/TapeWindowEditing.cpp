// Checking and correcting the tape from its window. The list takes the keyboard: the arrows,
// Page Up, Page Down, Home, End and a click choose a line; F2 opens the editor on a keyed amount,
// Delete removes an entry, Insert adds one, Enter takes an amount back to the calculator. A line
// is chosen until the calculator's next key: Enter, Delete and Insert then go back to being the
// calculator's keys, as every key the list has no use for always is. The desk does the
// corrections; this file only forwards what the user chose and typed.
#include "tapewindow/TapeWindow.h"
#include "ui_TapeWindow.h"

#include "calculator/numbertext.h"
#include "desk/desk.h"
#include "tape/tape.h"
#include "tape/tapemodel.h"
#include "tape/tapetext.h"
#include "tapewindow/amounteditor.h"
#include "tapewindow/tapedelegate.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>
#include <QToolTip>

using tapewindow::AmountEditor;

namespace {

bool choosesLine(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

constexpr Qt::KeyboardModifiers shortcutModifiers =
    Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

} // namespace

void TapeWindow::setUpEditing()
{
    QListView *list = ui->LstRuban;
    auto *delegate = new tapewindow::TapeDelegate(
        [this](AmountEditor *editor, const QModelIndex &index) { prepareEditor(editor, index); },
        list);
    list->setItemDelegate(delegate);
    for (QWidget *watched : findChildren<QWidget *>())
        watched->installEventFilter(this);
    if (!m_editing)
        return;

    connect(delegate, &QAbstractItemDelegate::closeEditor, this, &TapeWindow::editorClosed);
    connect(delegate, &tapewindow::TapeDelegate::entryKeyed, this, &TapeWindow::entryKeyed);
    connect(ui->CmdCorriger, &QPushButton::clicked, this, &TapeWindow::CmdCorriger_Click);
    connect(ui->CmdSupprimer, &QPushButton::clicked, this, &TapeWindow::CmdSupprimer_Click);
    connect(ui->CmdInserer, &QPushButton::clicked, this, &TapeWindow::CmdInserer_Click);
    connect(ui->CmdReprendre, &QPushButton::clicked, this, &TapeWindow::CmdReprendre_Click);
    connect(list, &QAbstractItemView::pressed, this, [this] { m_chosen = true; });
    connect(list, &QAbstractItemView::doubleClicked, this, &TapeWindow::CmdCorriger_Click);
    connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TapeWindow::updateEditingButtons);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, &TapeWindow::showLineMenu);
    list->setToolTip(ui->LblAide->text());

    auto *undo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    connect(undo, &QShortcut::activated, this, &TapeWindow::undoCorrection);
    for (const QKeySequence &keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
        auto *redo = new QShortcut(keys, this);
        connect(redo, &QShortcut::activated, this, &TapeWindow::redoCorrection);
    }

    // Any key of the calculator ends the choice; the desk's own replay of a correction does not.
    connect(&m_desk, &desk::Desk::displayChanged, this, [this] {
        if (!m_correcting)
            m_chosen = false;
    });
    updateEditingButtons();
}

bool TapeWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Keys the editor leaves climb through the list: they are the editor's business.
    if (event->type() != QEvent::KeyPress || m_editorOpen)
        return QWidget::eventFilter(watched, event);
    const auto &key = *static_cast<const QKeyEvent *>(event);
    if (watched == ui->LstRuban)
        return listKeyPress(key);
    if (watched == ui->TxtGT && m_editing && !(key.modifiers() & shortcutModifiers) &&
        (key.key() == Qt::Key_F2 || key.key() == Qt::Key_Delete)) {
        refuse(QStringLiteral("Le grand total suit les résultats : il ne se corrige pas."));
        return true;
    }
    // The space bar presses the buttons; the other characters are the calculator's.
    if (key.text() != QStringLiteral(" ") && forwardTypedKey(key))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool TapeWindow::listKeyPress(const QKeyEvent &key)
{
    if (choosesLine(key.key())) {
        m_chosen = m_editing != nullptr;
        return false; // the list moves
    }
    if (key.modifiers() & shortcutModifiers)
        return false;
    const bool shifted = key.modifiers() & Qt::ShiftModifier;
    switch (key.key()) {
    case Qt::Key_F2:
        if (m_editing)
            CmdCorriger_Click();
        return m_editing != nullptr;
    case Qt::Key_Delete:
        if (m_chosen)
            CmdSupprimer_Click();
        else
            m_desk.pressDelete();
        return true;
    case Qt::Key_Insert:
        if (shifted)
            return false;
        // The calculator has no use for Insert.
        if (m_chosen)
            CmdInserer_Click();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter is the calculator's equals button, as on its own window.
        if (m_chosen)
            CmdReprendre_Click();
        else
            m_desk.pressEquals();
        return true;
    default:
        // The space bar selects in the list.
        return key.key() != Qt::Key_Space && forwardTypedKey(key);
    }
}

// A character typed in the window goes to the calculator as if typed there. Keys that type
// nothing (arrows, function keys, Escape, Tab) and shortcuts stay the window's.
bool TapeWindow::forwardTypedKey(const QKeyEvent &key)
{
    if (key.modifiers() & shortcutModifiers)
        return false;
    if (key.key() >= Qt::Key_Escape && key.key() != Qt::Key_unknown)
        return false;
    const QString text = key.text();
    if (text.size() != 1 || !text.front().isPrint())
        return false;
    m_desk.typeKey(text.front());
    return true;
}

int TapeWindow::chosenLine() const
{
    return m_model->lineAt(ui->LstRuban->currentIndex());
}

// A line that cannot be corrected says why where the user is looking.
void TapeWindow::refuse(const QString &why)
{
    QApplication::beep();
    QWidget *at = QApplication::focusWidget();
    QRect area = at && isAncestorOf(at) ? at->rect() : ui->LstRuban->rect();
    QPoint place = (at && isAncestorOf(at) ? at : ui->LstRuban)->mapToGlobal(area.bottomLeft());
    if (at == ui->LstRuban) {
        const QRect row = ui->LstRuban->visualRect(ui->LstRuban->currentIndex());
        if (row.isValid())
            place = ui->LstRuban->viewport()->mapToGlobal(row.bottomLeft());
    }
    QToolTip::showText(place, why, ui->LstRuban);
}

void TapeWindow::CmdCorriger_Click()
{
    const QModelIndex index = ui->LstRuban->currentIndex();
    if (const QString why = m_model->whyNotCorrectable(index); !why.isEmpty()) {
        refuse(why);
        return;
    }
    m_chosen = true;
    openEditor(index, m_model->lineAt(index), false);
}

void TapeWindow::CmdInserer_Click()
{
    const QModelIndex index = ui->LstRuban->currentIndex();
    if (const QString why = m_model->whyNotCorrectable(index); !why.isEmpty()) {
        refuse(why);
        return;
    }
    m_chosen = true;
    const int line = m_model->lineAt(index);
    m_keepView = true;
    const QModelIndex added =
        m_model->addNewEntry(line, tapewindow::operatorMark(tape::EntryOperator::Add));
    m_keepView = false;
    ui->LstRuban->setCurrentIndex(added);
    openEditor(added, line, true);
}

void TapeWindow::openEditor(const QModelIndex &index, int line, bool inserting)
{
    m_entry = {inserting, line, inserting ? std::optional(tape::EntryOperator::Add) : std::nullopt,
               index};
    ui->LstRuban->setFocus();
    ui->LstRuban->scrollTo(index);
    m_editorOpen = false;
    ui->LstRuban->edit(index);
    if (!m_editorOpen) {
        QApplication::beep();
        m_model->endEditing();
    }
}

void TapeWindow::prepareEditor(AmountEditor *editor, const QModelIndex &)
{
    m_editorOpen = true;
    const bool inserting = m_entry.inserting;
    editor->setText(inserting ? QString() : m_editing->keyedText(m_entry.line).trimmed());
    editor->selectAll();
    editor->setAccessibleName(inserting ? QStringLiteral("Nouvelle saisie")
                                        : QStringLiteral("Correction du montant"));
    const QString keys = QStringLiteral(
        "Entrée : valider, Échap : annuler, plus, moins, fois ou divisé : changer l'opérateur.");
    editor->setAccessibleDescription(
        inserting ? keys : QStringLiteral("Montant saisi : %1. ").arg(editor->text()) + keys);
    connect(editor, &AmountEditor::operatorTyped, this, &TapeWindow::editorOperator);
}

// The operator typed shows in the mark column until the entry is validated.
void TapeWindow::editorOperator(tape::EntryOperator op)
{
    m_entry.op = op;
    m_model->setEditedMark(m_entry.row, tapewindow::operatorMark(op));
}

void TapeWindow::editorClosed()
{
    m_editorOpen = false;
    m_model->endEditing();
    if (m_entry.inserting)
        ui->LstRuban->setCurrentIndex(m_model->indexOfLine(m_entry.line));
}

void TapeWindow::entryKeyed(const QString &text)
{
    const Entry entry = m_entry;
    if (entry.line < 0)
        return;
    bool done = false;
    if (entry.inserting) {
        // An empty entry inserts nothing.
        if (text.isEmpty())
            return;
        done = correct([&] {
            return m_editing->insertBefore(entry.line, text,
                                           entry.op.value_or(tape::EntryOperator::Add));
        });
    } else {
        // An amount left as it was, or emptied, stays as it was.
        const bool newAmount =
            !text.isEmpty() && text != m_editing->keyedText(entry.line).trimmed();
        done = !newAmount || correct([&] { return m_editing->replaceAmount(entry.line, text); });
        if (done && entry.op)
            done = correct([&] { return m_editing->setOperator(entry.line, *entry.op); });
    }
    if (done)
        announceResult(entry.line);
}

template <typename Correction> bool TapeWindow::correct(Correction correction)
{
    m_correcting = true;
    const bool done = correction();
    m_correcting = false;
    if (!done)
        QApplication::beep();
    updateEditingButtons();
    return done;
}

void TapeWindow::CmdSupprimer_Click()
{
    const QModelIndex index = ui->LstRuban->currentIndex();
    if (const QString why = m_model->whyNotCorrectable(index); !why.isEmpty()) {
        refuse(why);
        return;
    }
    m_chosen = true;
    const int line = m_model->lineAt(index);
    if (correct([&] { return m_editing->removeEntry(line); }))
        announceResult(line);
}

void TapeWindow::CmdReprendre_Click()
{
    const int line = chosenLine();
    // Like any key of the calculator, the amount taken back ends the choice of a line.
    if (line < 0 || !m_editing || !m_editing->takeBack(line)) {
        QApplication::beep();
        return;
    }
    emit calculatorWanted();
}

void TapeWindow::undoCorrection()
{
    if (!m_editing || !m_editing->canUndo() || !correct([this] { return m_editing->undo(); }))
        QApplication::beep();
    else
        announceResult(chosenLine());
}

void TapeWindow::redoCorrection()
{
    if (!m_editing || !m_editing->canRedo() || !correct([this] { return m_editing->redo(); }))
        QApplication::beep();
    else
        announceResult(chosenLine());
}

// What a screen reader says once a correction is made: the result that followed it.
void TapeWindow::announceResult(int fromLine)
{
    const QList<tape::Line> &lines = m_tape.lines();
    QString said;
    for (qsizetype i = std::max(fromLine, 0); i < lines.size(); ++i) {
        if (lines[i].result) {
            said = QStringLiteral("Nouveau résultat : ") + tape::spokenLine(lines[i]) +
                   QStringLiteral(". ");
            break;
        }
    }
    said += QStringLiteral("Grand total : ") + ui->TxtGT->text();
    QListView *list = ui->LstRuban;
    list->setAccessibleDescription(said);
    // The list took the focus back before the tape was shown afresh, and choosing the line again
    // then told nobody: the screen reader is told the line the user is on, as it now reads
    // ("corrigé" on a corrected amount), once the result is said.
    const QModelIndex current = list->currentIndex();
    if (current.isValid() && list->hasFocus()) {
        QAccessibleEvent focus(list, QAccessible::Focus);
        focus.setChild(current.row());
        QAccessible::updateAccessibility(&focus);
    }
}

// The tape is shown afresh after a correction: the chosen line stays chosen, by its place on
// the tape (after a removal, the line that took its place).
void TapeWindow::keepChosenLine()
{
    // Showing the tape afresh closes any editor.
    m_editorOpen = false;
    const QModelIndex current = ui->LstRuban->currentIndex();
    m_keptLine = m_model->lineAt(current);
    m_keptRow = current.isValid() ? current.row() : -1;
}

void TapeWindow::showChosenLine()
{
    QModelIndex index;
    const int lines = int(m_tape.lines().size());
    if (m_keptLine >= 0 && lines > 0)
        index = m_model->indexOfLine(std::min(m_keptLine, lines - 1));
    else if (m_keptRow >= 0 && m_keptRow < m_model->rowCount())
        index = m_model->index(m_keptRow);
    m_keptLine = m_keptRow = -1;
    if (index.isValid()) {
        ui->LstRuban->setCurrentIndex(index);
        ui->LstRuban->scrollTo(index);
    } else {
        ui->LstRuban->scrollToBottom();
    }
    showGrandTotal();
    updateEditingButtons();
}

void TapeWindow::updateEditingButtons()
{
    if (!m_editing)
        return;
    const QModelIndex index = ui->LstRuban->currentIndex();
    const bool correctable = m_model->whyNotCorrectable(index).isEmpty();
    for (QPushButton *button : {ui->CmdCorriger, ui->CmdSupprimer, ui->CmdInserer})
        button->setEnabled(correctable);
    ui->CmdReprendre->setEnabled(m_model->lineAt(index) >= 0 &&
                                 !index.data(tape::TapeModel::AmountRole).toString().isEmpty());
}

void TapeWindow::showLineMenu(const QPoint &pos)
{
    QListView *list = ui->LstRuban;
    const QModelIndex index = list->currentIndex();
    const QString why = m_model->whyNotCorrectable(index);
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setToolTipsVisible(true);
    const auto add = [menu](const QString &text, bool enabled, auto slot) {
        QAction *action = menu->addAction(text);
        action->setEnabled(enabled);
        QObject::connect(action, &QAction::triggered, menu->parent(), slot);
        return action;
    };
    for (QAction *action :
         {add(QStringLiteral("Corriger…\tF2"), why.isEmpty(), [this] { CmdCorriger_Click(); }),
          add(QStringLiteral("Supprimer\tSuppr"), why.isEmpty(), [this] { CmdSupprimer_Click(); }),
          add(QStringLiteral("Insérer…\tInser"), why.isEmpty(), [this] { CmdInserer_Click(); })})
        action->setToolTip(why);
    add(QStringLiteral("Reprendre\tEntrée"), ui->CmdReprendre->isEnabled(),
        [this] { CmdReprendre_Click(); });
    menu->addSeparator();
    add(QStringLiteral("Annuler la correction\tCtrl+Z"), m_editing->canUndo(),
        [this] { undoCorrection(); });
    add(QStringLiteral("Rétablir la correction\tCtrl+Y"), m_editing->canRedo(),
        [this] { redoCorrection(); });
    menu->addSeparator();
    add(QStringLiteral("Copier\tCtrl+C"), true, [this] { CmdCopier_Click(); });
    // From the keyboard's menu key, the menu opens at the chosen line.
    const QRect row = list->visualRect(index);
    const QPoint at = row.isValid() && !row.contains(pos) ? row.center() : pos;
    menu->popup(list->viewport()->mapToGlobal(at));
}
