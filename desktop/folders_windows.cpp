// The user's folders on Windows: %APPDATA%\Tarvex and %LOCALAPPDATA%\Tarvex. The folders are asked
// of the shell by their identity, not read from the environment, so that a session without
// APPDATA (a service, a stripped-down account) still finds them; only when the shell cannot say
// are the variables tried, then Qt's own choice.
#include "desktop/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <shlobj.h>
#include <windows.h>

namespace desktop {

namespace {

// The shell's folder (without the program's name), or empty when neither the shell nor the
// environment knows it.
QString knownFolder(const KNOWNFOLDERID &id, const char *variable)
{
    QString folder;
    PWSTR path = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path)
        folder = QString::fromWCharArray(path);
    CoTaskMemFree(path);
    if (folder.isEmpty())
        folder = qEnvironmentVariable(variable);
    return QDir::fromNativeSeparators(folder);
}

QString programFolder(const QString &base, QStandardPaths::StandardLocation fallback)
{
    if (base.isEmpty())
        return QStandardPaths::writableLocation(fallback);
    return base + QLatin1Char('/') + QCoreApplication::applicationName();
}

} // namespace

QString settingsFolder()
{
    return programFolder(knownFolder(FOLDERID_RoamingAppData, "APPDATA"),
                         QStandardPaths::AppConfigLocation);
}

QString dataFolder()
{
    return programFolder(knownFolder(FOLDERID_LocalAppData, "LOCALAPPDATA"),
                         QStandardPaths::AppDataLocation);
}

void keepSettingsInFiles()
{
    // Qt's INI files for the user go to %APPDATA%\<organisation>\<application>.ini: with both
    // names "Tarvex", that is %APPDATA%\Tarvex\Tarvex.ini, beside the user's own Taux.ini.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    if (const QString roaming = knownFolder(FOLDERID_RoamingAppData, "APPDATA"); !roaming.isEmpty())
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, roaming);
}

} // namespace desktop
