#pragma once

// The VAT breakdown's window ("Ventilation TVA"): a small table, one row per rate with the number
// of VAT operations, the sums without VAT, of the VAT and with VAT, and a row of totals. The tape
// window makes it when first asked for, tells it what to show whenever the tape or the lines
// chosen change, and does what its buttons ask (copy, save, print).

#include "tape/vatbreakdown.h"

#include <QWidget>

#include <memory>

namespace Ui {
class VatBreakdownWindow;
}
class QTableWidget;

class VatBreakdownWindow : public QWidget
{
    Q_OBJECT

public:
    explicit VatBreakdownWindow(QWidget *parent = nullptr);
    ~VatBreakdownWindow() override;

    // The breakdown, of the lines chosen (chosenLines of them) or of the whole tape (0).
    void showBreakdown(const tape::VatBreakdown &breakdown, int chosenLines);
    const tape::VatBreakdown &breakdown() const { return m_breakdown; }
    QTableWidget *table() const;

signals:
    void copyWanted();
    void saveWanted();
    void printWanted();

private:
    std::unique_ptr<Ui::VatBreakdownWindow> ui;
    tape::VatBreakdown m_breakdown;
};
