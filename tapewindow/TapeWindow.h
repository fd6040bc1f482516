#pragma once

// The tape window ("Ruban"): the tape as a printing calculator would have printed it, grouped by
// day, with its grand total, and the buttons that copy, save, print and clear it. A normal
// window of the program; it shows the desk's tape and never writes to it: clearing it, when the
// user asks, is the desk's.
//
// With the desk's editing at hand, the tape can be checked and corrected: the list takes the
// keyboard to choose a line, F2 opens an editor on a keyed amount, Delete and Insert remove and
// add entries, Enter takes an amount back to the calculator, Ctrl+Z and Ctrl+Y undo and redo.
// The desk does every correction; the window only says what the user chose and typed. Keys the
// list has no use for go on to the calculator, as if typed there.

#include "tape/tapeediting.h"
#include "tape/vatbreakdown.h"

#include <QWidget>

#include <QMargins>
#include <QPersistentModelIndex>
#include <QRect>

#include <memory>
#include <optional>

namespace Ui {
class TapeWindow;
}
namespace desk {
class Desk;
}
namespace tape {
class Tape;
class TapeModel;
} // namespace tape
namespace tapewindow {
class AmountEditor;
}
class QKeyEvent;
class QListView;
class QPagedPaintDevice;
class VatBreakdownWindow;

class TapeWindow : public QWidget
{
    Q_OBJECT

public:
    // editing: who corrects the tape; null leaves it read-only.
    explicit TapeWindow(desk::Desk &desk, tape::TapeEditing *editing = nullptr,
                        QWidget *parent = nullptr);
    ~TapeWindow() override;

    // Puts the window where the user last left it; false when it was never placed (the caller
    // then docks it).
    bool restorePlace();
    // Docks the window to the left of the given window's frame, at the same height.
    void dockLeftOf(const QRect &mainWindowFrame);

    QListView *lines() const;
    tape::TapeModel *model() const;
    // True when the user chose a line (a key of the list, a click) since the calculator's last
    // key: Enter, Delete and Insert then act on that line rather than on the calculator.
    bool lineChosen() const { return m_chosen; }

signals:
    // An amount was taken back: the calculator's window should take the focus.
    void calculatorWanted();

public slots:
    // The buttons.
    void CmdCopier_Click();
    void CmdEnregistrer_Click();
    void CmdImprimer_Click();
    void CmdEffacer_Click();

    // Lays the tape out on the pages of a printer or a PDF file (the print button asks for the
    // printer first); false (and a notice in the window) when they cannot be drawn.
    bool printTo(QPagedPaintDevice &pages);
    // Writes the CSV file; false (and a notice in the window) when it cannot be written.
    bool saveTo(const QString &fileName);

    // The VAT breakdown ("Ventilation TVA") of the lines chosen, or of the whole tape: its window,
    // made when first asked for and kept up to date while it is shown (TapeWindowBreakdown.cpp).
    void CmdVentilation_Click();
    VatBreakdownWindow *breakdownWindow() const;
    // chosenLines: how many lines it was worked from; 0 for the whole tape.
    tape::VatBreakdown vatBreakdown(int *chosenLines = nullptr) const;
    bool saveBreakdownTo(const QString &fileName);
    bool printBreakdownTo(QPagedPaintDevice &pages);

    // The corrections, on the chosen line (the buttons, the line's menu and their keys).
    void CmdCorriger_Click();
    void CmdSupprimer_Click();
    void CmdInserer_Click();
    void CmdReprendre_Click();
    void undoCorrection();
    void redoCorrection();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QMargins frameMargins() const;
    void showGrandTotal();
    void showProblem();
    void showPrintProblem();
    void rememberPlace();
    void onRowsInserted();
    void showBreakdown();
    void copyBreakdown();
    void saveBreakdown();
    void printBreakdown();
    void rememberCsvFile(const QString &fileName);
    // Lays out pages as the tape prints them, painted by paint(QPainter &, TapePage &).
    template <typename Paint> bool paintPages(QPagedPaintDevice &pages, Paint paint);

    // TapeWindowEditing.cpp
    void setUpEditing();
    bool listKeyPress(const QKeyEvent &key);
    bool forwardTypedKey(const QKeyEvent &key);
    int chosenLine() const;
    void refuse(const QString &why);
    void openEditor(const QModelIndex &index, int line, bool inserting);
    void prepareEditor(tapewindow::AmountEditor *editor, const QModelIndex &index);
    void editorOperator(tape::EntryOperator op);
    void editorClosed();
    void entryKeyed(const QString &text);
    template <typename Correction> bool correct(Correction correction);
    void announceResult(int fromLine);
    void keepChosenLine();
    void showChosenLine();
    void updateEditingButtons();
    void showLineMenu(const QPoint &pos);

    std::unique_ptr<Ui::TapeWindow> ui;
    desk::Desk &m_desk;
    const tape::Tape &m_tape;
    tape::TapeEditing *m_editing = nullptr;
    tape::TapeModel *m_model = nullptr;
    bool m_chosen = false;
    bool m_correcting = false; // the desk is correcting: its display follows, not a key
    struct Entry
    {
        bool inserting = false;
        int line = -1;
        std::optional<tape::EntryOperator> op;
        QPersistentModelIndex row;
    } m_entry;               // what the editor open on the list is for
    bool m_keepView = false; // a row added for an entry: the view stays where it is
    bool m_editorOpen = false;
    int m_keptLine = -1; // the chosen line while the tape is shown afresh
    int m_keptRow = -1;
    QString m_actionProblem;
    VatBreakdownWindow *m_breakdown = nullptr; // made when first asked for
    std::optional<QRect> m_dockTo;             // while the desktop may still frame the window
    QMargins m_dockedWithFrame;
};
