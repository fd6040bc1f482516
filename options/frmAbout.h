#pragma once

// The options window: the two VAT rates with their "Validez" button in the upper half, the about
// texts and the link to the maker's web site in the lower half. A small fixed dialog, shown
// without blocking the main window; it destroys itself when it is closed, either by its close
// box (nothing is stored) or after storing new rates.

#include "options/ratesettings.h"

#include <QChar>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace Ui {
class frmAbout;
}
namespace desk {
class Desk;
}

class frmAbout : public QWidget
{
    Q_OBJECT

public:
    // The window shows the desk's rates and hands new ones to it to store.
    explicit frmAbout(desk::Desk &desk, QWidget *parent = nullptr);
    ~frmAbout() override;

    // The conversion timer: 10 ms, running only between "Validez" and the storing or refusal.
    const QTimer &conversionTimer() const { return Timer1; }

public slots:
    // Fills the rate fields from the rates; run by the constructor.
    void Form_Load();
    // Checks both rates and starts their conversion when both are accepted.
    void CmdValide_Click();
    // One step of the conversion; stores the rates once it completes.
    void Timer1_Timer();
    // Hover feedback of the link and of the window background.
    void LblVelnor_MouseMove();
    void Form_MouseMove();
    // Opens the maker's web site.
    void LblVelnor_Click();

    // The key filter of the two rate fields: key is changed, or nulled to discard it.
    void TxtTVA1_KeyPress(QChar &key);
    void TxtTVA2_KeyPress(QChar &key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setUpWindow();
    // Shows the working values of the conversion in the hidden fields and labels.
    void showConversion();
    void storeRates();

    std::unique_ptr<Ui::frmAbout> ui;
    desk::Desk &m_desk;
    QChar m_regionalMark;
    options::RateValidation m_validation;
    QTimer Timer1;
    bool m_linkPressed = false;
};
