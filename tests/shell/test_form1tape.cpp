// The main window writes on its tape what its buttons, its keyboard and the margin window do.

#include "desk/desk.h"
#include "margin/Form2.h"
#include "shell/Form1.h"

#include "headless.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <memory>

class TestForm1Tape : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> m_window;

    void click(QWidget *in, const QStringList &names) const
    {
        for (const QString &name : names) {
            auto *button = in->findChild<QAbstractButton *>(name);
            QVERIFY2(button, qPrintable(name));
            QTest::mouseClick(button, Qt::LeftButton);
        }
    }
    // The tape since the last call, as its rows read.
    QStringList written()
    {
        QStringList out;
        for (const tape::Line &l : m_window->desk().tape().lines())
            out << QStringList{l.label, l.amount, l.mark}.join(u' ').trimmed();
        m_window->desk().clearTape();
        return out;
    }

private slots:
    void initTestCase() { headless::quietPlatformLimits(); }
    void init()
    {
        m_window = std::make_unique<Form1>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        // The rates read at start are usable once their conversion is through.
        QTRY_VERIFY(!m_window->desk().rates().TauxTVA().isEmpty());
        // Nothing was written, and nothing read, for the window to start.
        QVERIFY(m_window->desk().tape().lines().isEmpty());
        QVERIFY(!m_window->desk().tape().isLoaded());
    }
    void cleanup() { m_window.reset(); }

    void keysAndVatKeys()
    {
        const QString rate = m_window->desk().rates().TauxTVA();
        click(m_window.get(), {"C1", "C0", "C0", "plus", "C2", "C0", "egal", "CmdTTC", "TVA"});
        QTest::keyClicks(m_window.get(), QStringLiteral("50+10%="));
        QTest::keyClick(m_window.get(), Qt::Key_Delete);
        const QString second = m_window->desk().rates().TauxTVA();
        QCOMPARE(
            written(),
            (QStringList{"100 +", "20 =", "120 *", "120 HT", "TVA " + rate + " % 24", "144 TTC",
                         "Taux de TVA : " + second + " %", "50 +", "10 %", "55 *", "0 C"}));
    }

    void marginWindow()
    {
        click(m_window.get(), {"CmdMarge"});
        Form2 *form = m_window->marginWindow();
        QVERIFY(form);
        const auto type = [&](const char *name, const QString &keys) {
            auto *field = form->findChild<QLineEdit *>(QLatin1String(name));
            QTest::mouseClick(field, Qt::LeftButton);
            QTest::keyClicks(field, keys);
        };
        type("TxtAchat", QStringLiteral("80"));
        type("TxtVente", QStringLiteral("100"));
        click(form, {"CmdCalcul1"});
        QCOMPARE(written(),
                 (QStringList{"Prix d'achat HT 80", "Prix de vente HT 100", "T de marge 25 %",
                              "T de marque 20 %", "Coefficient 1,25", "Marge brute HT 20"}));
        click(form, {"CheckTaux"});
        type("TxtN1", QStringLiteral("200"));
        type("TxtRem", QStringLiteral("10"));
        click(form, {"CmdCalculer2"});
        QCOMPARE(written(), (QStringList{"Remise 10 %", "200", "180 *"}));
    }
};

QTEST_MAIN(TestForm1Tape)
#include "test_form1tape.moc"
