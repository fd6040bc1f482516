#pragma once

// The main window: a borderless pocket calculator with the VAT panel. It makes the desk of the
// run (desk/: the calculator engine, the two rates and the tape), forwards every click and key
// to it, and shows what it tells: the display and the VAT frame's caption. The other windows
// are handed the same desk.
//
// Its handlers are written in six files, one per concern:
//   Form1.cpp       the layout, the calculator keys and the keyboard
//   Form1Vat.cpp    the start-up of the rates, the VAT keys, the rate switch and the caption, the
//                   "Taux de TVA" submenu and its "Autres taux" dialog
//   Form1Shell.cpp  the navigation buttons, dragging and docking of the margin window
//   Form1Clipboard.cpp  copying and pasting numbers, and the window's context menu
//   Form1TapeWindow.cpp  the tape window ("Ruban"): Ctrl+R, opening it beside the calculator
//   Form1Switches.cpp  the "Décimales" and "Arrondi" submenus and the display's annunciator

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QKeyEvent;
class QLabel;
class QMenu;

namespace Ui {
class Form1;
}
namespace desk {
class Desk;
}
class Form2;
class frmAbout;
class frmAutresTaux;
class TapeWindow;

class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The calculation of this run: the calculator, the rates and the tape, made with the window
    // and handed to the other windows.
    desk::Desk &desk() { return *m_desk; }
    const desk::Desk &desk() const { return *m_desk; }

    // The caption of the VAT frame (FrmTVA).
    QString vatCaption() const;

    // The other two windows, created on first use (null until then).
    Form2 *marginWindow() const;
    frmAbout *optionsWindow() const;
    // The "Autres taux" dialog while it is open; null otherwise.
    frmAutresTaux *extraRatesDialog() const;
    // The tape window, created (and the tape file read) on first use; null until then.
    TapeWindow *tapeWindow() const;
    bool tapeWindowOpen() const;

signals:
    // The window's first picture is on the screen: what the start-up put off may run now.
    void firstShown();

public slots:
    // Start-up, run by the constructor before the window is shown.
    void Form_Load();

    // Number entry.
    void C0_Click();
    void C1_Click();
    void C2_Click();
    void C3_Click();
    void C4_Click();
    void C5_Click();
    void C6_Click();
    void C7_Click();
    void C8_Click();
    void C9_Click();
    void virgule_Click();
    void efface_Click();
    void Text1_Change();

    // Operators, equals and percentage.
    void plus_Click();
    void moins_Click();
    void Multi_Click();
    void Div_Click();
    void egal_Click();
    void CmdPourCent_Click();

    // VAT panel.
    void TVA_Click();
    void CmdTTC_Click();
    void CmdHT_Click();
    void CmdTVA_Click();
    void DontTVA_Click();

    // Navigation.
    void CmdOption_Click();
    void CmdMarge_Click();
    void CmdMinimise_Click();
    void CmdQuitte_Click();
    // Opens the tape window, or closes it when it is open (Ctrl+R, the context menu's "Ruban").
    void toggleTapeWindow();

    // Keyboard (the window sees every key before the focused element).
    void Form_KeyPress(QChar key);
    void Form_KeyDown(int key);

    // Clipboard: the context menu's entries, also reached with Ctrl+C / Ctrl+Insert and
    // Ctrl+V / Shift+Insert wherever the focus is.
    void mnuCopier_Click();
    void mnuColler_Click();
    // "Autres taux…" of the "Taux de TVA" submenu: the dialog of the third and fourth rates.
    void mnuAutresTaux_Click();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Writes the desk's display into Text1 after every key.
    void showDisplay();
    // Writes the active rate's caption into the VAT frame.
    void showRates();
    // Re-places the margin window against this window after a drag.
    void dockMarginWindow();
    // Ctrl+R; nothing of the tape window is made before it is first used.
    void setUpTapeWindowKey();

    // Wiring of the form: the VAT caption and button faces, the hand cursor, every element's event.
    void applyFormDetails();
    void applyHandCursor();
    void connectElements();
    void pressDigit(int k);
    // True when a key event starts at this element rather than climbing from one inside it.
    bool startsKeyEvent(QWidget *watched, const QEvent *event);
    // Carries out a copy or paste shortcut; false for any other key.
    bool clipboardShortcut(const QKeyEvent *key);
    // The context menu with all its entries, made on its first opening.
    QMenu *contextMenu();
    // The desk's switches: their two submenus, and what the display shows of them.
    void addSwitchMenus(QMenu *menu);
    void showSwitches();
    // The "Taux de TVA" submenu: a radio entry per rate, then "Autres taux…".
    void addRateMenu(QMenu *menu);

    std::unique_ptr<Ui::Form1> ui;
    std::unique_ptr<desk::Desk> m_desk;
    QPointer<Form2> m_form2;
    QPointer<frmAbout> m_about;
    QPointer<frmAutresTaux> m_extraRates;
    QPointer<TapeWindow> m_tapeWindow;
    QPixmap m_body; // the calculator body painted behind the elements
    const QEvent *m_keyEvent = nullptr;
    QPointer<QWidget> m_keyReceiver;
    QMenu *m_contextMenu = nullptr;
    bool m_painted = false;
    QLabel *m_annunciator = nullptr; // made when a switch first leaves its default
};
