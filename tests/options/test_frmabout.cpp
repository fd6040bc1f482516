// The real options window, offscreen: its fields, the key filter, "Validez" with its timer, the
// file it writes, and the link.

#include "desk/desk.h"
#include "desktop/platform.h"
#include "editingkeys.h"
#include "options/frmAbout.h"
#include "vat/rate.h"
#include "vat/vatkeys.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QByteArray previousFile("19.6\r\n5.5\r\n");

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no element %s", name);
    return found;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "(missing)";
    return file.readAll();
}

// Replaces a field's text the way a user does: select everything, then type.
void typeInto(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// What the last event posted, a close or a deletion among them, is done: nothing waits in the
// queue to change the window afterwards.
void drainEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestFrmAbout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void windowAsCreated();
    void fieldsFilledFromTheSharedRates();
    void focusAndTabOrder();
    void keyFilter_data();
    void keyFilter();
    void editingKeys_data() { editingkeys::addRows(); }
    void editingKeys();
    void storing_data();
    void storing();
    void refusals_data();
    void refusals();
    void closeBoxStoresNothing();
    void linkLooks_data();
    void linkLooks();
    void linkClick();

private:
    frmAbout *open();

    std::unique_ptr<desk::Desk> m_desk;
    QTemporaryDir *m_program = nullptr;
    QTemporaryDir *m_user = nullptr;
    QPointer<frmAbout> m_window;
    QStringList m_opened;
    desktop::WebSiteOpener m_previousOpener;
};

void TestFrmAbout::init()
{
    m_program = new QTemporaryDir;
    m_user = new QTemporaryDir;
    m_desk = std::make_unique<desk::Desk>(QLatin1Char(','),
                                          vat::RateFile(m_program->path(), m_user->path()));
    m_desk->resumeRates({vat::Rate::fromNumber(19.6), QStringLiteral("5,5")});
    QFile file(QDir(m_program->path()).filePath(vat::RateFile::fileName()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(previousFile);
    m_opened.clear();
    m_previousOpener =
        desktop::setWebSiteOpener([this](const QString &address) { m_opened << address; });
}

void TestFrmAbout::cleanup()
{
    delete m_window;
    m_desk.reset();
    desktop::setWebSiteOpener(m_previousOpener);
    delete m_program;
    delete m_user;
}

frmAbout *TestFrmAbout::open()
{
    m_window = new frmAbout(*m_desk);
    m_window->show();
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window))
        qWarning("the options window did not become active");
    return m_window;
}

void TestFrmAbout::windowAsCreated()
{
    frmAbout *window = open();
    QCOMPARE(window->windowTitle(), QStringLiteral("Tarvex 3.1"));
    // A fixed dialog: the user cannot resize it.
    QCOMPARE(window->minimumSize(), window->maximumSize());

    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    // Without an owner only a tool window stays off the taskbar.
    QCOMPARE(window->windowType(), Qt::Tool);
    QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));

    for (const char *name :
         {"Frame1", "TxtTVA1", "TxtTVA2", "CmdValide", "Label14", "LblVelnor", "Shape2"})
        QVERIFY2(child<QWidget>(window, name)->isVisible(), name);
    QVERIFY(!window->conversionTimer().isActive());
    QCOMPARE(child<QLabel>(window, "LblVelnor")->text(), QStringLiteral(TARVEX_WEBSITE));

    // The whole address and the whole about text show, whatever face the machine has, inside
    // the window; the green frame keeps a margin all round the link.
    auto *link = child<QLabel>(window, "LblVelnor");
    auto *about = child<QLabel>(window, "Label14");
    QVERIFY(link->width() >= link->sizeHint().width());
    QVERIFY(about->width() >= about->sizeHint().width());
    QVERIFY(window->rect().contains(about->geometry()));
    const QRect frame = child<QWidget>(window, "Shape2")->geometry();
    QVERIFY(window->rect().contains(frame));
    QVERIFY(frame.adjusted(1, 1, -1, -1).contains(link->geometry()));

    // Owned by the main window, it is a dialog, which the desktop keeps off the taskbar.
    QWidget owner;
    frmAbout owned(*m_desk, &owner);
    QVERIFY(owned.isWindow());
    QCOMPARE(owned.windowType(), Qt::Dialog);
    QVERIFY(!(owned.windowFlags() & Qt::WindowMinimizeButtonHint));
}

void TestFrmAbout::fieldsFilledFromTheSharedRates()
{
    m_desk->resumeRates({vat::Rate::fromNumber(7), QStringLiteral("19,6")});
    frmAbout *window = open();
    QCOMPARE(child<QLineEdit>(window, "TxtTVA1")->text(), QStringLiteral("7"));
    QCOMPARE(child<QLineEdit>(window, "TxtTVA2")->text(), QStringLiteral("19,6"));
}

void TestFrmAbout::focusAndTabOrder()
{
    m_desk->resumeRates({vat::Rate::fromNumber(7), QStringLiteral("5,5")});
    frmAbout *window = open();
    auto *first = child<QLineEdit>(window, "TxtTVA1");
    QCOMPARE(QApplication::focusWidget(), first);

    // Typing right after opening goes into the first rate.
    first->end(false);
    QTest::keyClicks(QApplication::focusWidget(), "1");
    QCOMPARE(first->text(), QStringLiteral("71"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(window, "CmdValide"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(window, "TxtTVA2"));

    // Enter in a field is discarded by the key filter; on the focused button it validates.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!window->conversionTimer().isActive());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), first);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(window, "CmdValide"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(window->conversionTimer().isActive());
}

void TestFrmAbout::keyFilter_data()
{
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("shown");

    QTestEventList digits;
    digits.addKeyClicks("0123456789");
    QTest::newRow("digits") << digits << "0123456789";

    QTestEventList comma;
    comma.addKeyClicks("19,6");
    QTest::newRow("comma becomes a point") << comma << "19.6";

    QTestEventList others;
    others.addKeyClicks("1a -+2e%3");
    QTest::newRow("letters, signs and blanks discarded") << others << "123";

    QTestEventList points;
    points.addKeyClicks("1..2");
    QTest::newRow("points not limited") << points << "1..2";

    QTestEventList backspace;
    backspace.addKeyClicks("12");
    backspace.addKeyClick(Qt::Key_Backspace);
    QTest::newRow("backspace discarded") << backspace << "12";

    // Keys without a character still edit the field.
    QTestEventList editing;
    editing.addKeyClicks("123");
    editing.addKeyClick(Qt::Key_Left);
    editing.addKeyClick(Qt::Key_Delete);
    editing.addKeyClick(Qt::Key_Home);
    editing.addKeyClicks("9");
    QTest::newRow("delete and arrows") << editing << "912";
}

void TestFrmAbout::keyFilter()
{
    QFETCH(QTestEventList, keys);
    QFETCH(QString, shown);

    frmAbout *window = open();
    for (const char *name : {"TxtTVA1", "TxtTVA2"}) {
        auto *field = child<QLineEdit>(window, name);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        keys.simulate(field);
        QCOMPARE(field->text(), shown);
    }
}

void TestFrmAbout::editingKeys()
{
    QFETCH(editingkeys::Keys, keys);
    QFETCH(QString, shown);

    frmAbout *window = open();
    for (const char *name : {"TxtTVA1", "TxtTVA2"})
        QCOMPARE(editingkeys::afterKeys(child<QLineEdit>(window, name), keys), shown);
}

void TestFrmAbout::storing_data()
{
    QTest::addColumn<QString>("first"); // null: left as pre-filled
    QTest::addColumn<QString>("second");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("captioned"); // the first rate as the VAT frame names it
    QTest::addColumn<QString>("shownFirst");
    QTest::addColumn<QString>("shownSecond");

    QTest::newRow("pre-filled rates unedited")
        << QString() << QString() << QByteArray("19.6\r\n5.5\r\n") << "19.6"
        << "19,6"
        << "5,5";
    QTest::newRow("first shorter, typed comma") << "7"
                                                << "19,6" << QByteArray("7\r\n19.6\r\n") << "7"
                                                << "7"
                                                << "19,6";
    QTest::newRow("trailing point, trailing zero") << "5."
                                                   << "5.50" << QByteArray("5.\r\n5.50\r\n") << "5."
                                                   << "5"
                                                   << "5,5";
}

// Typed through the key filter, validated, converted by the timer, stored, closed; the window
// opened next shows the stored rates.
void TestFrmAbout::storing()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QByteArray, file);
    QFETCH(QString, captioned);
    QFETCH(QString, shownFirst);
    QFETCH(QString, shownSecond);

    frmAbout *window = open();
    QSignalSpy stored(&m_desk->rates(), &desk::Rates::changed);
    if (!first.isNull())
        typeInto(child<QLineEdit>(window, "TxtTVA1"), first);
    if (!second.isNull())
        typeInto(child<QLineEdit>(window, "TxtTVA2"), second);
    QTest::mouseClick(child<QPushButton>(window, "CmdValide"), Qt::LeftButton);
    QVERIFY(window->conversionTimer().isActive());
    QTRY_VERIFY(m_window.isNull());

    QCOMPARE(fileBytes(QDir(m_program->path()).filePath("Taux.ini")), file);
    QCOMPARE(stored.count(), 1);
    QCOMPARE(m_desk->rates().caption(), "       Taux de TVA : " + captioned + "%");
    QCOMPARE(m_desk->rates().NumTaux(), 1);

    frmAbout *next = open();
    QCOMPARE(child<QLineEdit>(next, "TxtTVA1")->text(), shownFirst);
    QCOMPARE(child<QLineEdit>(next, "TxtTVA2")->text(), shownSecond);
}

void TestFrmAbout::refusals_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("shownFirst");
    QTest::addColumn<QString>("shownSecond");

    const QString out = options::RefusedRate;
    const QString two = options::TwoSeparators;
    QTest::newRow("empty first") << ""
                                 << "5.5" << out << "5.5";
    QTest::newRow("both out of range") << "0.99"
                                       << "1000.01" << out << out;
    QTest::newRow("only the second out of range") << "7"
                                                  << "1001"
                                                  << "7" << out;
    QTest::newRow("two points in the first") << "19.6.1"
                                             << "5.5" << two << "5.5";
    QTest::newRow("two points in the second only") << "7"
                                                   << "1.2.3"
                                                   << "7" << two;
    QTest::newRow("two points in both") << "1.2.3"
                                        << "4.5.6" << two << two;
}

// A refusal leaves the rates, the main window and the file as they were, and the window
// open for a correction.
void TestFrmAbout::refusals()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, shownFirst);
    QFETCH(QString, shownSecond);

    frmAbout *window = open();
    QSignalSpy stored(&m_desk->rates(), &desk::Rates::changed);
    auto *field1 = child<QLineEdit>(window, "TxtTVA1");
    auto *field2 = child<QLineEdit>(window, "TxtTVA2");
    typeInto(field1, first);
    typeInto(field2, second);
    QTest::mouseClick(child<QPushButton>(window, "CmdValide"), Qt::LeftButton);
    QTRY_VERIFY(!window->conversionTimer().isActive());
    drainEvents();

    QVERIFY(!m_window.isNull());
    QVERIFY(window->isVisible());
    QCOMPARE(field1->text(), shownFirst);
    QCOMPARE(field2->text(), shownSecond);
    QCOMPARE(stored.count(), 0);
    QCOMPARE(fileBytes(QDir(m_program->path()).filePath("Taux.ini")), previousFile);
    QVERIFY(!QFile::exists(QDir(m_user->path()).filePath("Taux.ini")));
    QCOMPARE(m_desk->rates().shared().TauxTVA1, vat::Rate::fromNumber(19.6));
    QCOMPARE(m_desk->rates().shared().TauxTVA2, QStringLiteral("5,5"));

    // After a correction the same window stores the rates.
    typeInto(field1, "8");
    typeInto(field2, "2.1");
    QTest::mouseClick(child<QPushButton>(window, "CmdValide"), Qt::LeftButton);
    QTRY_VERIFY(m_window.isNull());
    QCOMPARE(fileBytes(QDir(m_program->path()).filePath("Taux.ini")), QByteArray("8\r\n2.1\r\n"));
}

void TestFrmAbout::closeBoxStoresNothing()
{
    frmAbout *window = open();
    QSignalSpy stored(&m_desk->rates(), &desk::Rates::changed);
    typeInto(child<QLineEdit>(window, "TxtTVA1"), "7");
    QTest::mouseClick(child<QPushButton>(window, "CmdValide"), Qt::LeftButton);
    QVERIFY(window->conversionTimer().isActive());
    window->close(); // what the close box does

    QTRY_VERIFY(m_window.isNull());
    drainEvents();
    QCOMPARE(stored.count(), 0);
    QCOMPARE(fileBytes(QDir(m_program->path()).filePath("Taux.ini")), previousFile);
    QCOMPARE(m_desk->rates().shared().TauxTVA1, vat::Rate::fromNumber(19.6));

    // Created afresh, it shows the rates again, not the discarded edit.
    QCOMPARE(child<QLineEdit>(open(), "TxtTVA1")->text(), QStringLiteral("19,6"));
}

void TestFrmAbout::linkLooks_data()
{
    QTest::addColumn<QStringList>("moves");
    QTest::addColumn<QString>("look");
    QTest::addColumn<bool>("frameShown");

    QTest::newRow("no move") << QStringList{} << "face" << true;
    QTest::newRow("over the link") << QStringList{"link"} << "green" << true;
    QTest::newRow("over the background") << QStringList{"background"} << "cyan" << false;
    QTest::newRow("over the other texts") << QStringList{"label", "rates"} << "face" << true;
    QTest::newRow("link, then other texts")
        << QStringList{"link", "label", "rates"} << "green" << true;
    QTest::newRow("across the green frame to the link")
        << QStringList{"green frame", "link"} << "green" << false;
    QTest::newRow("link, then background") << QStringList{"link", "background"} << "cyan" << false;
    QTest::newRow("the frame stays hidden")
        << QStringList{"background", "link", "label"} << "green" << false;
}

void TestFrmAbout::linkLooks()
{
    QFETCH(QStringList, moves);
    QFETCH(QString, look);
    QFETCH(bool, frameShown);

    frmAbout *window = open();
    auto *link = child<QLabel>(window, "LblVelnor");
    auto *frame = child<QFrame>(window, "Shape2");
    const QHash<QString, QPoint> places{
        {"link", link->geometry().center()},
        {"background", QPoint(4, 140)},
        {"green frame", frame->geometry().topLeft() + QPoint(1, 10)},
        {"label", child<QWidget>(window, "Label14")->geometry().center()},
        {"rates", child<QWidget>(window, "Frame1")->geometry().center() + QPoint(0, 20)},
    };
    const QHash<QString, QColor> looks{
        {"face", window->palette().color(QPalette::Window)},
        {"green", QColor(0xC0, 0xFF, 0xC0)},
        {"cyan", QColor(0xC0, 0xFF, 0xFF)},
    };
    QVERIFY(looks["face"] != looks["green"] && looks["face"] != looks["cyan"]);

    // Start from a place whose moves nobody sees, so that every move below changes the position.
    QTest::mouseMove(window,
                     child<QWidget>(window, "Frame1")->geometry().topLeft() + QPoint(3, 40));
    for (const QString &move : moves) {
        QVERIFY2(places.contains(move), qPrintable(move));
        QTest::mouseMove(window, places[move]);
    }
    QCOMPARE(link->palette().color(link->backgroundRole()), looks[look]);
    QCOMPARE(frame->isVisible(), frameShown);
}

void TestFrmAbout::linkClick()
{
    frmAbout *window = open();
    auto *link = child<QLabel>(window, "LblVelnor");
    QTest::mouseClick(link, Qt::LeftButton);
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(m_opened, QStringList(2, QStringLiteral(TARVEX_WEBSITE)));
    QVERIFY(window->isVisible());

    // Pressed on the link but released elsewhere: no click.
    QTest::mousePress(link, Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-20, -20));
    QTest::mouseClick(link, Qt::RightButton);
    QCOMPARE(m_opened.size(), 2);
}

QTEST_MAIN(TestFrmAbout)
#include "test_frmabout.moc"
