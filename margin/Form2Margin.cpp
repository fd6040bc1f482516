// The margin calculator of the margin window: its set-up (which quantities are typed) and
// "Calculer" / "RAZ". The roles of the fields come from the set-up table, the numbers from the
// margin calculator.

#include "Form2.h"

#include "ui_Form2.h"

#include "margin/margincalc.h"
#include "margin/shownquantities.h"
#include "vat/rate.h"

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

void Form2::applyRoles(const margin::SetupRow &row, std::span<const Field> fields)
{
    for (const Field f : fields)
        applyRole(field(f), row.role(f));
}

void Form2::applyOptionStates(const margin::SetupRow &row)
{
    for (QRadioButton *option : {ui->Option1, ui->Option2, ui->Option3, ui->Option4})
        option->setEnabled(row.quantityOptionsEnabled);
    ui->OpPv->setEnabled(row.priceChoiceEnabled);
    ui->OpPA->setEnabled(row.priceChoiceEnabled);
}

std::optional<Mode> Form2::currentMode() const
{
    if (!ui->Check1->isChecked())
        return Mode::Free;
    if (ui->Option1->isChecked())
        return Mode::MarginRate;
    if (ui->Option2->isChecked())
        return Mode::MarkupRate;
    if (ui->Option3->isChecked())
        return Mode::Coefficient;
    if (ui->Option4->isChecked())
        return Mode::GrossMargin;
    return std::nullopt;
}

GivenPrice Form2::givenPrice() const
{
    if (ui->OpPv->isChecked())
        return GivenPrice::Selling;
    if (ui->OpPA->isChecked())
        return GivenPrice::Purchase;
    return GivenPrice::None;
}

void Form2::Check1_Click()
{
    clearMarginFields();
    if (!ui->Check1->isChecked()) {
        const margin::SetupRow &free = margin::setupRow(Mode::Free, GivenPrice::None);
        applyOptionStates(free);
        for (QRadioButton *option : std::initializer_list<QRadioButton *>{
                 ui->Option1, ui->Option2, ui->Option3, ui->Option4, ui->OpPA, ui->OpPv})
            deselectOption(option);
        applyRoles(free, AllFields);
        return;
    }
    // Ticking the box always starts with the coefficient fixed and the purchase price given.
    ui->Option1->setEnabled(true);
    ui->Option2->setEnabled(true);
    ui->Option3->setEnabled(true);
    selectOption(ui->Option3);
    applyOptionStates(margin::setupRow(Mode::Coefficient, givenPrice()));
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

// The margin-rate and mark-up-rate modes fix the price typed; the coefficient and gross-margin
// modes keep the price chosen before, or take the purchase price when none was.
void Form2::setUpFixedQuantity(Mode mode)
{
    clearMarginFields();
    const margin::SetupRow &modeRow = margin::setupRow(mode, GivenPrice::None);
    if (!modeRow.priceChoiceEnabled) {
        deselectOption(ui->OpPv);
        deselectOption(ui->OpPA);
    }
    applyOptionStates(modeRow);
    if (modeRow.priceChoiceEnabled && givenPrice() == GivenPrice::None)
        selectOption(ui->OpPA);
    applyRoles(margin::setupRow(mode, givenPrice()), AllFields);
}

void Form2::OpPA_Click()
{
    setUpGivenPrice(GivenPrice::Purchase);
}
void Form2::OpPv_Click()
{
    setUpGivenPrice(GivenPrice::Selling);
}

// OpPA and OpPv lie in different frames, so they exclude each other here. Only the two price
// fields change role: results already shown stay on show (emptied).
void Form2::setUpGivenPrice(GivenPrice price)
{
    clearMarginFields();
    QRadioButton *chosen = price == GivenPrice::Purchase ? ui->OpPA : ui->OpPv;
    QRadioButton *other = price == GivenPrice::Purchase ? ui->OpPv : ui->OpPA;
    if (chosen->isChecked())
        deselectOption(other);
    const std::optional<Mode> mode = currentMode();
    if (mode && *mode != Mode::Free) {
        // The price fields' roles are the same in both modes where the price is chosen.
        static constexpr Field prices[] = {Field::Achat, Field::Vente};
        applyRoles(margin::setupRow(Mode::Coefficient, price), prices);
    }
}

void Form2::Check2_Click()
{
    clearMarginFields();
    setUpPriceLabel(ui->Check2->isChecked(), ui->LblPAHT);
}
void Form2::Check3_Click()
{
    clearMarginFields();
    setUpPriceLabel(ui->Check3->isChecked(), ui->LblPVHT);
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
    const std::optional<Mode> mode = currentMode();
    if (!mode)
        return;
    const margin::MarginSetup setup{*mode, givenPrice(), ui->Check2->isChecked(),
                                    ui->Check3->isChecked()};
    margin::FieldTexts texts;
    for (const Field f : AllFields)
        texts[margin::index(f)] = field(f)->text();

    // The margin window always works at the first VAT rate, whichever the main window uses.
    const std::optional<double> firstRate = vat::sharedRates().TauxTVA1.value(m_mark);
    const margin::FieldWrites writes = m_margin->calculate(setup, texts, firstRate, m_mark);
    for (const Field f : AllFields) {
        const std::optional<QString> &text = writes[margin::index(f)];
        if (!text)
            continue;
        field(f)->setText(*text);
        if (*mode != Mode::Free)
            field(f)->setVisible(true);
    }
    if (const auto shown = margin::shownQuantities(setup, texts, writes); !shown.isEmpty())
        emit marginCalculated(shown);
}

void Form2::cmdRaz_Click()
{
    clearMarginFields();
}
