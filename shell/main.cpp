#include "Form1.h"

#include "desktop/classiclook.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvex"));
    QApplication::setOrganizationName(QStringLiteral("Tarvex"));
    // The name of the installed menu entry, so that desktops match the windows to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.example.tarvex"));

    // The calculator was drawn for the classic Windows faces; elsewhere use their metric twins.
    desktop::useSubstituteFaces();

    Form1 window;
    QTranslator qtTranslator;
    // Neither the window icon nor Qt's own texts (the fields' context menus, the dialogs) are
    // seen before the window is: they are set once it is on the screen. The icon is the
    // built-in copy of the one the menu entry installs, which costs no icon-theme look-up.
    QObject::connect(
        &window, &Form1::firstShown, &app,
        [&qtTranslator] {
            QApplication::setWindowIcon(QIcon(QStringLiteral(":/ui/tarvex.png")));
            if (qtTranslator.load(QLocale(QLocale::French), QStringLiteral("qtbase"),
                                  QStringLiteral("_"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
                QApplication::installTranslator(&qtTranslator);
        },
        Qt::SingleShotConnection);
    window.show();
    return QApplication::exec();
}
