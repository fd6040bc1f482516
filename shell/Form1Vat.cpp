// The VAT side of the main window: the VAT keys, the rate switch and the VAT frame's caption, and
// the "Taux de TVA" submenu of its context menu with the dialog of the extra rates. The desk holds
// the rates, converts them at start-up and works the keys; these handlers forward the clicks and
// show the caption it names.
#include "Form1.h"
#include "ui_Form1.h"

#include "desk/desk.h"
#include "options/frmAutresTaux.h"

#include <QActionGroup>
#include <QMenu>

QString Form1::vatCaption() const
{
    return ui->FrmTVA->title();
}

void Form1::showRates()
{
    ui->FrmTVA->setTitle(m_desk->rates().caption());
    // How many rates the switch steps through: with extra rates it is no longer a toggle.
    ui->TVA->setAccessibleDescription(m_desk->rates().description());
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

void Form1::addRateMenu(QMenu *menu)
{
    menu->addSeparator();
    QMenu *rates = menu->addMenu(QStringLiteral("Taux de TVA"));
    rates->setObjectName(QStringLiteral("mnuTaux"));
    // The rates change with the options window and the dialog: the entries are made afresh each
    // time the submenu opens.
    connect(rates, &QMenu::aboutToShow, this, [this, rates] {
        rates->clear();
        qDeleteAll(rates->findChildren<QActionGroup *>(Qt::FindDirectChildrenOnly));
        auto *group = new QActionGroup(rates);
        const desk::Rates &current = m_desk->rates();
        const QStringList all = current.all();
        for (qsizetype i = 0; i < all.size(); ++i) {
            QAction *entry = rates->addAction(all[i] + QStringLiteral(" %"));
            entry->setObjectName(QStringLiteral("mnuTaux%1").arg(i + 1));
            entry->setCheckable(true);
            entry->setActionGroup(group);
            entry->setChecked(i == current.activeIndex() && !current.TauxTVA().isEmpty());
            connect(entry, &QAction::triggered, this, [this, i] { m_desk->chooseRate(int(i)); });
        }
        rates->addSeparator();
        QAction *others =
            rates->addAction(QStringLiteral("Autres taux…"), this, &Form1::mnuAutresTaux_Click);
        others->setObjectName(QStringLiteral("mnuAutresTaux"));
    });
}

frmAutresTaux *Form1::extraRatesDialog() const
{
    return m_extraRates;
}

void Form1::mnuAutresTaux_Click()
{
    // Made when first asked for, and afresh after it closes, so that it shows the rates as they
    // are; the start-up never pays for it.
    if (!m_extraRates)
        m_extraRates = new frmAutresTaux(*m_desk, this);
    m_extraRates->show();
    m_extraRates->raise();
    m_extraRates->activateWindow();
}
