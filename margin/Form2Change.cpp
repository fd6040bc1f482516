// The price-change calculator of the margin window: the rate between two values, or a value
// after a fixed discount or increase.

#include "Form2.h"

#include "ui_Form2.h"

#include "desk/desk.h"
#include "margin/pricechange.h"

namespace {
margin::ChangeMode changeModeOf(const QCheckBox *fixedRate)
{
    return fixedRate->isChecked() ? margin::ChangeMode::FixedRate : margin::ChangeMode::Rate;
}
} // namespace

void Form2::CheckTaux_Click()
{
    const margin::ChangeSetupRow &row = margin::changeSetupRow(changeModeOf(ui->CheckTaux));
    ui->TxtN2->clear();
    ui->TxtRem->setText(row.rateText);
    applyRole(ui->TxtRem, row.TxtRem);
    applyRole(ui->TxtN2, row.TxtN2);
    applyRole(ui->TxtN1, row.TxtN1);
}

void Form2::CmdCalculer2_Click()
{
    const auto direction =
        ui->OptionHausse->isChecked() ? margin::Direction::Increase : margin::Direction::Discount;
    const margin::ChangeMode mode = changeModeOf(ui->CheckTaux);
    const margin::PriceChangeFields before{ui->TxtN1->text(), ui->TxtN2->text(),
                                           ui->TxtRem->text()};
    const margin::PriceChangeWrites writes = m_change->calculate(mode, direction, before, m_mark);
    if (writes.TxtRem)
        ui->TxtRem->setText(*writes.TxtRem);
    if (writes.TxtN2) {
        ui->TxtN2->setVisible(true);
        ui->TxtN2->setText(*writes.TxtN2);
    }
    m_desk.recordPriceChange(mode, direction, before, writes);
}

void Form2::CmdRaz2_Click()
{
    ui->TxtN1->clear();
    ui->TxtN2->clear();
    ui->TxtRem->clear();
}

// In rate mode a new direction asks for a new rate: the shown one is emptied so that
// "Calculer" computes again.
void Form2::OptionRem_Click()
{
    if (!ui->CheckTaux->isChecked())
        ui->TxtRem->clear();
}
void Form2::OptionHausse_Click()
{
    if (!ui->CheckTaux->isChecked())
        ui->TxtRem->clear();
}

void Form2::TxtN1_Click()
{
    if (!ui->CheckTaux->isChecked())
        ui->TxtRem->clear();
    ui->TxtN1->clear();
}
void Form2::TxtN2_Click()
{
    if (!ui->CheckTaux->isChecked())
        ui->TxtRem->clear();
    ui->TxtN2->clear();
}
void Form2::TxtRem_Click()
{
    ui->TxtRem->clear();
}

// A new value makes the shown result stale: it is hidden until the next "Calculer".
void Form2::TxtN1_Change()
{
    if (ui->CheckTaux->isChecked())
        ui->TxtN2->hide();
}
