#pragma once

// The main window: a borderless pocket calculator with the VAT panel. It forwards every click
// and key to the calculator engine and the VAT logic and shows what they leave on the display.
//
// Its handlers are written in five files, one per concern:
//   Form1.cpp       the layout, the calculator keys and the keyboard
//   Form1Vat.cpp    the rates at start-up, the rate conversion timer, the VAT keys and rate switch
//   Form1Shell.cpp  the navigation buttons, dragging and docking of the margin window
//   Form1Clipboard.cpp  copying and pasting numbers, and the window's context menu
//   Form1Tape.cpp   the tape: what the keys and the margin window did, written on it
//   Form1TapeWindow.cpp  the tape window ("Ruban"): Ctrl+R, opening it beside the calculator
//   Form1Switches.cpp  the decimals, rounding and price-ending switches and the annunciator

#include "calculator/engine.h"
#include "vat/rate.h"

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>

class QKeyEvent;
class QLabel;
class QMenu;

namespace Ui {
class Form1;
}
namespace vat {
class RateTextConversion;
struct VatStep;
} // namespace vat
namespace tape {
class Tape;
struct Line;
enum class VatKind;
} // namespace tape
class Form2;
class frmAbout;
class TapeWindow;

class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The calculator behind the keys, for reading its display and state.
    const calc::CalculatorEngine &engine() const { return m_engine; }

    // The two VAT rates of this run. The window reads them at start-up and hands them to the
    // windows that use them: the margin window reads the first, the options window stores new ones.
    const vat::SharedRates &rates() const { return m_rates; }
    vat::SharedRates &rates() { return m_rates; }

    // The active VAT rate, written with the regional decimal mark, and which one it is
    // (1: the first rate, 0: the second). Empty until the rates read at start-up are converted.
    QString TauxTVA;
    int NumTaux = 1;

    // The caption of the VAT frame (FrmTVA).
    QString vatCaption() const;
    void setVatCaption(const QString &caption);
    // Makes the first rate the active one (used when new rates are stored).
    void makeFirstRateActive();

    // The switches as the user left them (read at start-up, kept in the user's settings).
    const calc::Switches &switches() const { return m_switches; }

    // The tape the calculations are written on; its file is only touched by the first line.
    tape::Tape &tape();

    // The other two windows, created on first use (null until then).
    Form2 *marginWindow() const;
    frmAbout *optionsWindow() const;
    // The tape window, created (and the tape file read) on first use; null until then.
    TapeWindow *tapeWindow() const;
    bool tapeWindowOpen() const;

public slots:
    // Start-up, run by the constructor before the window is shown.
    void Form_Load();
    // One step of the conversion of the rates read at start-up.
    void Timer1_Timer();

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

    // The switches' menus ("Décimales", "Arrondi", and the margin window's "Arrondir le prix de
    // vente"): each choice applies at once and is kept for the next start.
    void chooseDecimals(calc::Decimals decimals);
    void chooseRounding(calc::Rounding rounding);
    void choosePriceEnding(calc::PriceEnding ending);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Writes the engine's display into Text1 after every key.
    void showDisplay();
    // The rate start-up steps (reading the rate file, the caption, starting the conversion).
    void loadRates();
    // Re-places the margin window against this window after a drag.
    void dockMarginWindow();
    // Ctrl+R; nothing of the tape window is made before it is first used.
    void setUpTapeWindowKey();

    // The tape: listens to the engine from start, and to the margin window once it exists.
    void startTape();
    void recordOnTape(QList<tape::Line> lines);
    void recordVatKey(tape::VatKind kind, const vat::VatStep &step);
    void recordMarginWindow();

    // Wiring of the form: exact font sizes and the hand cursor, and every element's event.
    void applyFormDetails();
    void connectElements();
    void pressDigit(int k);
    // True when a key event starts at this element rather than climbing from one inside it.
    bool startsKeyEvent(QWidget *watched, const QEvent *event);
    // Carries out a copy or paste shortcut; false for any other key.
    bool clipboardShortcut(const QKeyEvent *key);
    // The context menu with all its entries, made on its first opening.
    QMenu *contextMenu();
    // The switches: read at start-up, their two submenus, and what the display shows of them.
    void loadSwitches();
    void addSwitchMenus(QMenu *menu);
    void applySwitches();
    void showSwitches();

    std::unique_ptr<Ui::Form1> ui;
    calc::CalculatorEngine m_engine;
    vat::SharedRates m_rates;
    QTimer Timer1;
    std::unique_ptr<vat::RateTextConversion> m_conversion;
    std::unique_ptr<tape::Tape> m_tape;
    QPointer<Form2> m_form2;
    QPointer<frmAbout> m_about;
    QPointer<TapeWindow> m_tapeWindow;
    QPixmap m_body; // the calculator body painted behind the elements
    const QEvent *m_keyEvent = nullptr;
    QPointer<QWidget> m_keyReceiver;
    QMenu *m_contextMenu = nullptr;
    calc::Switches m_switches;
    QLabel *m_annunciator = nullptr; // made when a switch first leaves its default
};
