// The margin calculator of the margin window: its set-up (which quantities are typed) and
// "Calculer" / "RAZ". The set-up comes from the margin modes, the numbers from the margin
// calculator; the handlers pass clicks on and show what results.

#include "Form2.h"

#include "ui_Form2.h"

#include "desk/desk.h"
#include "margin/margincalc.h"
#include "margin/marginmodes.h"
#include "margin/priceending.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QMenu>

using margin::AllFields;
using margin::Field;
using margin::GivenPrice;
using margin::Mode;

QLineEdit *Form2::field(Field which) const
{
    switch (which) {
    case Field::Achat:
        return ui->TxtAchat;
    case Field::Vente:
        return ui->TxtVente;
    case Field::TauxMarge:
        return ui->TxtTauxMarge;
    case Field::TauxMarque:
        return ui->TxtTauxMarque;
    case Field::Coef:
        return ui->TxtCoef;
    case Field::MargeBrute:
        return ui->TxtMargeBrute;
    }
    return ui->TxtAchat;
}

// Every change of set-up starts from empty fields.
void Form2::clearMarginFields()
{
    for (const Field f : AllFields)
        field(f)->clear();
}

// Shows the set-up the margin logic holds: every field's role, and the state of the option
// buttons. Selecting a button here runs no handler: the set-up is already complete.
void Form2::showSetup()
{
    for (const Field f : AllFields)
        applyRole(field(f), m_modes->role(f));

    const std::pair<QRadioButton *, bool> selected[] = {
        {ui->Option1, m_modes->quantity() == Mode::MarginRate},
        {ui->Option2, m_modes->quantity() == Mode::MarkupRate},
        {ui->Option3, m_modes->quantity() == Mode::Coefficient},
        {ui->Option4, m_modes->quantity() == Mode::GrossMargin},
        {ui->OpPA, m_modes->givenPrice() == GivenPrice::Purchase},
        {ui->OpPv, m_modes->givenPrice() == GivenPrice::Selling},
    };
    for (const auto &[option, on] : selected) {
        if (!on && option->isChecked())
            deselectOption(option);
    }
    for (const auto &[option, on] : selected) {
        if (on && !option->isChecked()) {
            const QSignalBlocker quiet(option);
            option->setChecked(true);
        }
    }
    for (QRadioButton *option : {ui->Option1, ui->Option2, ui->Option3, ui->Option4})
        option->setEnabled(m_modes->quantityOptionsEnabled());
    ui->OpPv->setEnabled(m_modes->priceChoiceEnabled());
    ui->OpPA->setEnabled(m_modes->priceChoiceEnabled());
}

void Form2::Check1_Click()
{
    clearMarginFields();
    m_modes->setFixedQuantity(ui->Check1->isChecked());
    showSetup();
}

void Form2::Option1_Click()
{
    setUpFixedQuantity(Mode::MarginRate);
}
void Form2::Option2_Click()
{
    setUpFixedQuantity(Mode::MarkupRate);
}
void Form2::Option3_Click()
{
    setUpFixedQuantity(Mode::Coefficient);
}
void Form2::Option4_Click()
{
    setUpFixedQuantity(Mode::GrossMargin);
}

void Form2::setUpFixedQuantity(Mode mode)
{
    clearMarginFields();
    m_modes->chooseQuantity(mode);
    showSetup();
}

void Form2::OpPA_Click()
{
    setUpGivenPrice(GivenPrice::Purchase);
}
void Form2::OpPv_Click()
{
    setUpGivenPrice(GivenPrice::Selling);
}

// OpPA and OpPv lie in different frames: the set-up makes them exclude each other.
void Form2::setUpGivenPrice(GivenPrice price)
{
    clearMarginFields();
    m_modes->choosePrice(price);
    showSetup();
}

void Form2::Check2_Click()
{
    clearMarginFields();
    m_modes->setPurchaseWithVat(ui->Check2->isChecked());
    setUpPriceLabel(m_modes->purchaseWithVat(), ui->LblPAHT);
}
void Form2::Check3_Click()
{
    clearMarginFields();
    m_modes->setSellingWithVat(ui->Check3->isChecked());
    setUpPriceLabel(m_modes->sellingWithVat(), ui->LblPVHT);
}

void Form2::setUpPriceLabel(bool withVat, QLabel *label)
{
    const margin::PriceLabel look = margin::priceLabel(withVat);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(QRgb(look.colour)));
    label->setPalette(palette);
    label->setText(look.caption);
}

void Form2::CmdCalcul1_Click()
{
    const std::optional<margin::MarginSetup> setup = m_modes->setup();
    if (!setup)
        return;
    margin::FieldTexts texts;
    for (const Field f : AllFields)
        texts[margin::index(f)] = field(f)->text();

    // The margin window always works at the first VAT rate, whichever the main window uses.
    const std::optional<double> firstRate = m_desk.rates().firstValue();
    // The selling prices' ending is the desk's switch, so that the tape knows how the block
    // it writes was worked out.
    m_margin->setPriceEnding(m_desk.switches().priceEnding);
    // What the calculator kept before, so that the tape can work this computation again.
    const margin::MarginNumbers before = m_margin->numbers();
    const margin::FieldWrites writes = m_margin->calculate(*setup, texts, firstRate, m_mark);
    for (const Field f : AllFields) {
        const std::optional<QString> &text = writes[margin::index(f)];
        if (!text)
            continue;
        field(f)->setText(*text);
        m_modes->resultWritten(f);
        applyRole(field(f), m_modes->role(f));
    }
    m_desk.recordMarginCalculation(*setup, texts, writes, m_margin->lastPriceEnding(), before);
}

void Form2::cmdRaz_Click()
{
    clearMarginFields();
}

// --- The window's menu ----------------------------------------------------------------------

calc::PriceEnding Form2::priceEnding() const
{
    return m_desk.switches().priceEnding;
}

// Only the background, its frames and captions open the window's menu: the number fields have
// their own, and the buttons and boxes keep their clicks to themselves.
void Form2::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QWidget *under = childAt(event->pos());
        if (qobject_cast<const QAbstractButton *>(under) ||
            qobject_cast<const QLineEdit *>(under)) {
            event->ignore();
            return;
        }
    }
    contextMenu()->popup(event->globalPos());
    event->accept();
}

QMenu *Form2::contextMenu()
{
    if (m_contextMenu)
        return m_contextMenu;
    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("mnuMarge"));
    QMenu *endings = m_contextMenu->addMenu(QStringLiteral("Arrondir le prix de vente"));
    endings->setObjectName(QStringLiteral("mnuArrondiPrix"));
    auto *group = new QActionGroup(endings);
    using calc::PriceEnding;
    for (const PriceEnding ending :
         {PriceEnding::None, PriceEnding::Ninety, PriceEnding::NinetyFive, PriceEnding::NinetyNine,
          PriceEnding::WholeEuro}) {
        QAction *action = endings->addAction(margin::priceEndingText(ending));
        action->setCheckable(true);
        action->setActionGroup(group);
        connect(action, &QAction::triggered, this,
                [this, ending] { m_desk.choosePriceEnding(ending); });
        // Ticked afresh at every opening: the desk may have taken another ending since.
        connect(endings, &QMenu::aboutToShow, action,
                [this, action, ending] { action->setChecked(priceEnding() == ending); });
    }
    return m_contextMenu;
}
