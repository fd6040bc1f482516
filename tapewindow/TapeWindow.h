#pragma once

// The tape window ("Ruban"): the tape as a printing calculator would have printed it, grouped by
// day, with its grand total, and the buttons that copy, save, print and clear it. A normal
// window of the program; it shows the desk's tape and never writes to it: clearing it, when the
// user asks, is the desk's.

#include <QWidget>

#include <QMargins>
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
class QListView;
class QPrinter;

class TapeWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TapeWindow(desk::Desk &desk, QWidget *parent = nullptr);
    ~TapeWindow() override;

    // Puts the window where the user last left it; false when it was never placed (the caller
    // then docks it).
    bool restorePlace();
    // Docks the window to the left of the given window's frame, at the same height.
    void dockLeftOf(const QRect &mainWindowFrame);

    QListView *lines() const;
    tape::TapeModel *model() const;

public slots:
    // The buttons.
    void CmdCopier_Click();
    void CmdEnregistrer_Click();
    void CmdImprimer_Click();
    void CmdEffacer_Click();

    // Lays the tape out on the printer's pages (the print button asks the printer first).
    void printTo(QPrinter &printer);
    // Writes the CSV file; false (and a notice in the window) when it cannot be written.
    bool saveTo(const QString &fileName);

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QMargins frameMargins() const;
    void showGrandTotal();
    void showProblem();
    void rememberPlace();
    void onRowsInserted();

    std::unique_ptr<Ui::TapeWindow> ui;
    desk::Desk &m_desk;
    const tape::Tape &m_tape;
    tape::TapeModel *m_model = nullptr;
    QString m_actionProblem;
    std::optional<QRect> m_dockTo; // while the desktop may still frame the window
    QMargins m_dockedWithFrame;
};
