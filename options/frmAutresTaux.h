#pragma once

// The "Autres taux" dialog, opened from the main window's "Taux de TVA" submenu: the third and
// fourth VAT rates, entered, changed or removed (an empty field), checked as the options window
// checks its two and stored by the desk in their own file. It destroys itself when closed.

#include <QChar>
#include <QDialog>

#include <memory>

namespace Ui {
class frmAutresTaux;
}
namespace desk {
class Desk;
}

class frmAutresTaux : public QDialog
{
    Q_OBJECT

public:
    frmAutresTaux(desk::Desk &desk, QWidget *parent = nullptr);
    ~frmAutresTaux() override;

public slots:
    // Fills the fields from the desk's extra rates; run by the constructor.
    void Form_Load();
    // Checks both fields; stores the rates and closes when nothing is refused.
    void CmdValide_Click();

private:
    std::unique_ptr<Ui::frmAutresTaux> ui;
    desk::Desk &m_desk;
    QChar m_regionalMark;
};
