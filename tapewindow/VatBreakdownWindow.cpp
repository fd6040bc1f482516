#include "tapewindow/VatBreakdownWindow.h"
#include "ui_VatBreakdownWindow.h"

#include "calculator/numbertext.h"
#include "tape/tape.h"

#include <QHeaderView>
#include <QPushButton>

namespace {

enum Column
{
    RateColumn,
    OperationsColumn,
    HtColumn,
    VatColumn,
    TtcColumn,
    Columns,
};

QTableWidgetItem *cell(const QString &text, bool total)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (total) {
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
    }
    return item;
}

} // namespace

VatBreakdownWindow::VatBreakdownWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::VatBreakdownWindow>())
{
    ui->setupUi(this);
    QHeaderView *header = ui->TblVentilation->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setSectionResizeMode(RateColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(OperationsColumn, QHeaderView::ResizeToContents);
    // The table as tall as its rows: a few rates and the totals.
    ui->TblVentilation->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    ui->TblVentilation->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(ui->CmdCopier, &QPushButton::clicked, this, &VatBreakdownWindow::copyWanted);
    connect(ui->CmdEnregistrer, &QPushButton::clicked, this, &VatBreakdownWindow::saveWanted);
    connect(ui->CmdImprimer, &QPushButton::clicked, this, &VatBreakdownWindow::printWanted);
    connect(ui->CmdFermer, &QPushButton::clicked, this, &QWidget::close);
}

VatBreakdownWindow::~VatBreakdownWindow() = default;

QTableWidget *VatBreakdownWindow::table() const
{
    return ui->TblVentilation;
}

void VatBreakdownWindow::showBreakdown(const tape::VatBreakdown &breakdown, int chosenLines)
{
    m_breakdown = breakdown;
    const QChar mark = calc::regionalDecimalMark();
    QString scope = chosenLines > 0 ? QStringLiteral("Lignes choisies : %1").arg(chosenLines)
                                    : QStringLiteral("Tout le ruban");
    if (breakdown.rows.isEmpty())
        scope += QStringLiteral(" — aucune opération de TVA");
    ui->LblPortee->setText(scope);

    QTableWidget *table = ui->TblVentilation;
    table->setUpdatesEnabled(false);
    table->setRowCount(int(breakdown.rows.size()) + 1);
    auto fill = [table, mark](int r, const QString &rate, const tape::VatRow &row, bool total) {
        table->setItem(r, RateColumn, cell(rate, total));
        table->setItem(r, OperationsColumn, cell(QString::number(row.operations), total));
        table->setItem(r, HtColumn, cell(tape::centsText(row.htCents, mark), total));
        table->setItem(r, VatColumn, cell(tape::centsText(row.vatCents, mark), total));
        table->setItem(r, TtcColumn, cell(tape::centsText(row.ttcCents, mark), total));
    };
    for (int r = 0; r < breakdown.rows.size(); ++r) {
        const tape::VatRow &row = breakdown.rows[r];
        fill(r, tape::breakdownRateText(row.rate, mark) + QStringLiteral(" %"), row, false);
    }
    fill(int(breakdown.rows.size()), QStringLiteral("Total"), breakdown.total, true);
    table->setUpdatesEnabled(true);
}
