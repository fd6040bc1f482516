#include "Form1.h"

#include "desktop/classiclook.h"
#include "desktop/folders.h"

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
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tarvex.Tarvex"));
    desktop::keepSettingsInFiles();

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
            // Qt's French texts are built into a program that carries Qt inside it (Windows);
            // elsewhere they come with the system's Qt.
            const QLocale french(QLocale::French);
            const QString name = QStringLiteral("qtbase");
            const QString prefix = QStringLiteral("_");
            if (qtTranslator.load(french, name, prefix, QStringLiteral(":/i18n")) ||
                qtTranslator.load(french, name, prefix,
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
                QApplication::installTranslator(&qtTranslator);
        },
        Qt::SingleShotConnection);
    window.show();
    return QApplication::exec();
}
