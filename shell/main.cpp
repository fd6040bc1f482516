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
    // The name of the installed menu entry, so that desktops match the windows to it. The icon
    // is the built-in copy of the one the menu entry installs: looking it up in the icon theme
    // would cost the start-up a few milliseconds for the same picture.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.example.tarvex"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ui/tarvex.png")));

    // Qt's own texts (context menus of the fields) in French.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // The calculator was drawn for the classic Windows faces; elsewhere use their metric twins.
    desktop::useSubstituteFaces();

    Form1 window;
    window.show();
    return QApplication::exec();
}
