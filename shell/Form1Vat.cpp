// The VAT side of the main window: the VAT keys, the rate switch and the VAT frame's caption.
// The desk holds the rates, converts them at start-up and works the keys; these handlers forward
// the clicks and show the caption it names.
#include "Form1.h"
#include "ui_Form1.h"

#include "desk/desk.h"

QString Form1::vatCaption() const
{
    return ui->FrmTVA->title();
}

void Form1::showRates()
{
    ui->FrmTVA->setTitle(m_desk->rates().caption());
}

void Form1::TVA_Click()
{
    m_desk->switchRate();
}

void Form1::CmdTTC_Click()
{
    m_desk->vatKey(vat::VatKey::TTC);
}

void Form1::CmdHT_Click()
{
    m_desk->vatKey(vat::VatKey::HT);
}

void Form1::CmdTVA_Click()
{
    m_desk->vatKey(vat::VatKey::TVA);
}

void Form1::DontTVA_Click()
{
    m_desk->vatKey(vat::VatKey::DontTVA);
}
