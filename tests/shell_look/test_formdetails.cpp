// What a form keeps beside its ordinary properties (exact font sizes, pictures) and the faces it
// names that are missing: applied as the form's code sets them, before the next element is made.

#include "desktop/classiclook.h"
#include "desktop/formdetails.h"

#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestFormDetails : public QObject
{
    Q_OBJECT

    QString m_installed;

private slots:
    void initTestCase()
    {
        for (const QString &name : QFontDatabase::families()) {
            if (!name.contains(u'[')) // not "Name [foundry]"
                m_installed = name;
        }
        if (m_installed.isEmpty())
            QSKIP("no face installed");
        QFont::insertSubstitutions(QStringLiteral("Missing Face"),
                                   {QStringLiteral("Other Missing Face"), m_installed});
        QFont::insertSubstitution(QStringLiteral("Installed Face Too"), QStringLiteral("X"));
        QFont::insertSubstitution(QStringLiteral("Never Installed"), QStringLiteral("Nor This"));
    }

    void standInFaces_data()
    {
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("standIn"); // empty: the installed face of the test
        QTest::newRow("missing") << "Missing Face"
                                 << "";
        QTest::newRow("no substitute") << "Face Without Substitute"
                                       << "Face Without Substitute";
        QTest::newRow("no substitute installed") << "Never Installed"
                                                 << "Never Installed";
    }
    void standInFaces()
    {
        QFETCH(QString, face);
        QFETCH(QString, standIn);
        QCOMPARE(desktop::standInFace(face), standIn.isEmpty() ? m_installed : standIn);
        QCOMPARE(desktop::standInFace(m_installed), m_installed);
    }

    void appliedAsTheFormSetsThem()
    {
        QWidget form;
        QLineEdit *field = nullptr;
        QLabel *logo = new QLabel(&form);
        QPushButton *button = new QPushButton(&form);
        {
            const desktop::FormDetails details;
            QFont font;
            font.setFamilies({QStringLiteral("Missing Face")});
            font.setPointSize(13);
            form.setFont(font);
            form.setProperty("pointSizeF", 13.5);
            field = new QLineEdit(&form);
            QCOMPARE(field->font().family(), m_installed);
            QCOMPARE(field->font().pointSizeF(), 13.5);
            logo->setProperty("picture", QStringLiteral(":/ui/logo.png"));
            button->setProperty("picture", QStringLiteral(":/ui/close.png"));
        }
        QVERIFY(!logo->pixmap().isNull());
        QVERIFY(!button->icon().isNull());
        // Once the form is made, the window's own changes are its own.
        form.setProperty("pointSizeF", 9.5);
        QCOMPARE(form.font().pointSizeF(), 13.5);
    }
};

QTEST_MAIN(TestFormDetails)
#include "test_formdetails.moc"
