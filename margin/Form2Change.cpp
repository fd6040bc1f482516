// The price-change calculator of the margin window: the rate between two values, or a value
// after a fixed discount or increase.

#include "Form2.h"

#include "ui_Form2.h"

#include "desk/desk.h"
#include "margin/pricechange.h"
#include "margin/pricechangemodes.h"

namespace {
margin::PriceChangeModes modesOf(const QCheckBox *fixedRate)
{
    return margin::PriceChangeModes(fixedRate->isChecked() ? margin::ChangeMode::FixedRate
                                                           : margin::ChangeMode::Rate);
}

// The fields' own part of an event: which ones are emptied, and whether the result is hidden.
void apply(Ui::Form2 &ui, const margin::ChangeEffect &effect)
{
    if (effect.emptyRate)
        ui.TxtRem->clear();
    if (effect.emptyFirst)
        ui.TxtN1->clear();
    if (effect.emptySecond)
        ui.TxtN2->clear();
    if (effect.hideSecond)
        ui.TxtN2->hide();
}
} // namespace

void Form2::CheckTaux_Click()
{
    const margin::ChangeSetupRow &row = modesOf(ui->CheckTaux).setup();
    ui->TxtN2->clear();
    ui->TxtRem->setText(row.rateText);
    applyRole(ui->TxtRem, row.rate);
    applyRole(ui->TxtN2, row.second);
    applyRole(ui->TxtN1, row.first);
}

void Form2::CmdCalculer2_Click()
{
    const auto direction =
        ui->OptionHausse->isChecked() ? margin::Direction::Increase : margin::Direction::Discount;
    const margin::ChangeMode mode = modesOf(ui->CheckTaux).mode();
    const margin::PriceChangeFields before{ui->TxtN1->text(), ui->TxtN2->text(),
                                           ui->TxtRem->text()};
    const margin::PriceChangeWrites writes = m_change->calculate(mode, direction, before, m_mark);
    if (writes.rate)
        ui->TxtRem->setText(*writes.rate);
    if (writes.second) {
        ui->TxtN2->setVisible(true);
        ui->TxtN2->setText(*writes.second);
    }
    m_desk.recordPriceChange(mode, direction, before, writes);
}

void Form2::CmdRaz2_Click()
{
    ui->TxtN1->clear();
    ui->TxtN2->clear();
    ui->TxtRem->clear();
}

void Form2::OptionRem_Click()
{
    apply(*ui, modesOf(ui->CheckTaux).directionChosen());
}
void Form2::OptionHausse_Click()
{
    apply(*ui, modesOf(ui->CheckTaux).directionChosen());
}

void Form2::TxtN1_Click()
{
    apply(*ui, modesOf(ui->CheckTaux).fieldClicked(margin::ChangeField::First));
}
void Form2::TxtN2_Click()
{
    apply(*ui, modesOf(ui->CheckTaux).fieldClicked(margin::ChangeField::Second));
}
void Form2::TxtRem_Click()
{
    apply(*ui, modesOf(ui->CheckTaux).fieldClicked(margin::ChangeField::Rate));
}

void Form2::TxtN1_Change()
{
    apply(*ui, modesOf(ui->CheckTaux).firstEdited());
}
