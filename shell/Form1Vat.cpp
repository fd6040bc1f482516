// The VAT side of the main window: the rates read at start-up and their conversion timer, the
// VAT keys, the rate switch and the VAT frame's caption. The VAT logic does the work; these
// handlers move texts between it and the window's elements.
#include "Form1.h"
#include "ui_Form1.h"

#include "tape/recorder.h"
#include "vat/conversion.h"
#include "vat/ratefile.h"
#include "vat/startup.h"
#include "vat/vatkeys.h"

QString Form1::vatCaption() const
{
    return ui->FrmTVA->title();
}

void Form1::setVatCaption(const QString &caption)
{
    ui->FrmTVA->setTitle(caption);
}

void Form1::makeFirstRateActive()
{
    // Rates just stored replace those read at start: a start-up conversion still under way must
    // not commit the old ones over them a tick later.
    Timer1.stop();
    const vat::ActiveRate active = vat::firstRateActive(m_engine.regionalMark());
    TauxTVA = active.TauxTVA;
    NumTaux = active.NumTaux;
}

void Form1::loadRates()
{
    const QChar mark = m_engine.regionalMark();
    const vat::StartUpRates rates = vat::loadStartUpRates(vat::RateFile::standard(), mark);
    setVatCaption(rates.caption);
    ui->Text2->setText(rates.secondSource);
    ui->Text4->setText(rates.firstSource);
    ui->Text3->clear();
    ui->Text5->clear();
    ui->Trans3->clear();
    ui->Trans4->clear();
    NumTaux = 1;

    // Without rates there is nothing to convert: no active rate, and no timer ticking for ever.
    if (!rates.usable) {
        m_conversion.reset();
        Timer1.stop();
        return;
    }
    m_conversion = std::make_unique<vat::RateTextConversion>(vat::startUpConversion(mark));
    m_conversion->start(ui->Text4->text(), ui->Text2->text());
    Timer1.start();
}

void Form1::Timer1_Timer()
{
    if (!m_conversion) {
        Timer1.stop();
        return;
    }
    const vat::RateTextConversion::Status status = m_conversion->step();
    ui->Trans3->setText(m_conversion->secondTransit());
    ui->Trans4->setText(m_conversion->firstTransit());
    ui->Text3->setText(m_conversion->secondResult());
    ui->Text5->setText(m_conversion->firstResult());

    switch (status) {
    case vat::RateTextConversion::Status::Running:
        return;
    case vat::RateTextConversion::Status::Complete: {
        const vat::ActiveRate active = vat::commitStartUpRates(*m_conversion);
        TauxTVA = active.TauxTVA;
        NumTaux = active.NumTaux;
        break;
    }
    case vat::RateTextConversion::Status::Refused:
        // A rate with two separators can never be converted: it stays unusable and the VAT keys
        // stay idle until new rates are stored.
        break;
    }
    Timer1.stop();
}

void Form1::TVA_Click()
{
    const vat::ActiveRate next = vat::switchRate({TauxTVA, NumTaux}, m_engine.regionalMark());
    TauxTVA = next.TauxTVA;
    NumTaux = next.NumTaux;
    setVatCaption(vat::rateCaption(TauxTVA));
    recordOnTape({tape::rateSwitchLine(TauxTVA)});
}

void Form1::CmdTTC_Click()
{
    if (vat::VatStep step; vat::applyVatKey(m_engine, vat::VatKey::TTC, TauxTVA, &step))
        recordVatKey(tape::VatKind::TTC, step);
    showDisplay();
}

void Form1::CmdHT_Click()
{
    if (vat::VatStep step; vat::applyVatKey(m_engine, vat::VatKey::HT, TauxTVA, &step))
        recordVatKey(tape::VatKind::HT, step);
    showDisplay();
}

void Form1::CmdTVA_Click()
{
    if (vat::VatStep step; vat::applyVatKey(m_engine, vat::VatKey::TVA, TauxTVA, &step))
        recordVatKey(tape::VatKind::TVA, step);
    showDisplay();
}

void Form1::DontTVA_Click()
{
    if (vat::VatStep step; vat::applyVatKey(m_engine, vat::VatKey::DontTVA, TauxTVA, &step))
        recordVatKey(tape::VatKind::DontTVA, step);
    showDisplay();
}
