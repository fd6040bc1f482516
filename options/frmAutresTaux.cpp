#include "frmAutresTaux.h"

#include "ui_frmAutresTaux.h"

#include "calculator/numbertext.h"
#include "calculator/numericfilter.h"
#include "desk/desk.h"
#include "desktop/numericfield.h"
#include "desktop/platform.h"
#include "options/ratesettings.h"

#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

frmAutresTaux::frmAutresTaux(desk::Desk &desk, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<Ui::frmAutresTaux>()), m_desk(desk), m_regionalMark(desk.regionalMark())
{
    ui->setupUi(this);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setAttribute(Qt::WA_DeleteOnClose);
    const QCursor hand = desktop::handCursor();
    for (QLineEdit *field : {ui->TxtTVA3, ui->TxtTVA4}) {
        field->setCursor(hand);
        // The options window's filter, but Backspace stays usable (emptying a field is how a
        // rate is removed) and Enter validates, as in any dialog.
        numericfield::install(field, [](QChar &key) {
            if (key != QChar(u'\b') && key != QChar(u'\r') && key != QChar(u'\n'))
                key = calc::filterNumericKey(key);
        });
    }
    ui->CmdValide->setCursor(hand);
    connect(ui->CmdValide, &QPushButton::clicked, this, &frmAutresTaux::CmdValide_Click);
    connect(ui->CmdAnnuler, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
    ui->TxtTVA3->setFocus();
}

frmAutresTaux::~frmAutresTaux() = default;

void frmAutresTaux::Form_Load()
{
    QStringList extra = m_desk.rates().extraRates();
    extra.resize(vat::MostExtraRates);
    QLineEdit *fields[] = {ui->TxtTVA3, ui->TxtTVA4};
    for (qsizetype i = 0; i < extra.size(); ++i) {
        fields[i]->setText(extra[i].isEmpty()
                               ? QString()
                               : calc::regionalNumberText(calc::readDisplayNumber(extra[i], u'.'),
                                                          m_regionalMark));
    }
}

void frmAutresTaux::CmdValide_Click()
{
    const desk::Rates &rates = m_desk.rates();
    QList<double> set;
    for (const std::optional<double> value :
         {rates.firstValue(), vat::Rate::fromText(rates.shared().TauxTVA2).value(m_regionalMark)}) {
        if (value)
            set.append(*value);
    }
    const options::ExtraRatesOutcome outcome =
        options::checkExtraRates({ui->TxtTVA3->text(), ui->TxtTVA4->text()}, set, m_regionalMark);
    if (!outcome.accepted) {
        ui->TxtTVA3->setText(outcome.fields.first);
        ui->TxtTVA4->setText(outcome.fields.second);
        return;
    }
    // A file that cannot be written is not reported, as for the two rates: they hold for this
    // run all the same.
    m_desk.storeExtraRates(outcome.withPoint);
    accept();
}
