#pragma once

// The margin window: a borderless window docked to the right of the main window, holding the
// price-change calculator (top), the margin calculator (lower left) and its options (right).
//
// The window only moves texts, colours and states between its elements and the logic in
// margin/: the set-up rules of the margin modes, the margin computation and the price-change
// computation live there.
//
// Its handlers are written in three files, one per concern:
//   Form2.cpp        construction, look, number fields, dragging, docking and closing
//   Form2Margin.cpp  the margin calculator's set-up and computation, and the window's menu
//                    (the ending computed selling prices are raised to)
//   Form2Change.cpp  the price-change calculator

#include "calculator/switches.h"

#include <QChar>
#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class Form2;
}
namespace margin {
class MarginCalculator;
class MarginModes;
class PriceChange;
enum class Field;
enum class Mode;
enum class GivenPrice;
enum class Role;
} // namespace margin
namespace desk {
class Desk;
}
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;

class Form2 : public QWidget
{
    Q_OBJECT

public:
    // The margin window works beside mainWindow, which it moves when it is closed and re-docks
    // after the margin window was dragged. It reads the first of the desk's rates at every
    // computation and hands each computation to the desk for the tape.
    Form2(QWidget *mainWindow, desk::Desk &desk, QWidget *parent = nullptr);
    ~Form2() override;

    // The margin calculator with its window-level numbers (AchatHT, VenteHT, ... Coef).
    const margin::MarginCalculator &marginCalculator() const { return *m_margin; }

    // Re-places the main window directly to the left of this window, same top edge.
    void dockMainWindow();

    // The ending computed selling prices are raised to ("Arrondir le prix de vente"): one of
    // the desk's switches, chosen in this window's menu.
    calc::PriceEnding priceEnding() const;

public slots:
    // Run by the constructor: the rounded outline.
    void Form_Load();
    // The cross button: moves the main window back and hides this window.
    void CmdMiniMarge_Click();

    // Set-up of the margin calculator.
    void Check1_Click();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void OpPA_Click();
    void OpPv_Click();
    void Check2_Click();
    void Check3_Click();

    // Margin computation.
    void CmdCalcul1_Click();
    void cmdRaz_Click();

    // The six margin fields: the key filter sees each typed character, a click empties.
    void TxtAchat_KeyPress(QChar &key);
    void TxtVente_KeyPress(QChar &key);
    void TxtTauxMarge_KeyPress(QChar &key);
    void TxtTauxMarque_KeyPress(QChar &key);
    void TxtCoef_KeyPress(QChar &key);
    void TxtMargeBrute_KeyPress(QChar &key);
    void TxtAchat_Click();
    void TxtVente_Click();
    void TxtTauxMarge_Click();
    void TxtTauxMarque_Click();
    void TxtCoef_Click();
    void TxtMargeBrute_Click();

    // Price-change calculator.
    void CheckTaux_Click();
    void CmdCalculer2_Click();
    void CmdRaz2_Click();
    void OptionRem_Click();
    void OptionHausse_Click();
    void TxtN1_Click();
    void TxtN2_Click();
    void TxtRem_Click();
    void TxtN1_Change();
    void TxtN1_KeyPress(QChar &key);
    void TxtN2_KeyPress(QChar &key);
    void TxtRem_KeyPress(QChar &key);

protected:
    // A right-click on the background opens the window's menu; the fields keep their own.
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Form_MouseDown: a left press on the background drags the window, the main window follows.
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void connectElements();
    void installNumberFields();
    void watchClicks(QLineEdit *edit, void (Form2::*handler)());

    // Option buttons: a button that becomes selected runs its click handler; deselecting one
    // from code runs nothing.
    void connectOptionButton(QRadioButton *button, void (Form2::*handler)());
    static void deselectOption(QRadioButton *button);

    // A field's role: colour, lock and visibility.
    static void applyRole(QLineEdit *edit, margin::Role role);

    // Margin calculator helpers.
    QLineEdit *field(margin::Field which) const;
    void clearMarginFields();
    void showSetup();
    void setUpFixedQuantity(margin::Mode mode);
    void setUpGivenPrice(margin::GivenPrice price);
    void setUpPriceLabel(bool withVat, QLabel *label);
    // The window's menu, made on its first opening.
    QMenu *contextMenu();

    std::unique_ptr<Ui::Form2> ui;
    QPointer<QWidget> m_main;
    desk::Desk &m_desk;
    QChar m_mark;
    QPixmap m_background;
    QHash<QObject *, void (Form2::*)()> m_clickHandlers;
    std::unique_ptr<margin::MarginModes> m_modes;
    std::unique_ptr<margin::MarginCalculator> m_margin;
    std::unique_ptr<margin::PriceChange> m_change;
    QMenu *m_contextMenu = nullptr;
};
