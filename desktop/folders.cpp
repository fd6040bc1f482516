// The user's folders as Qt finds them on Linux (and any system without a file of its own here).
#include "desktop/folders.h"

#include <QStandardPaths>

namespace desktop {

QString settingsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void keepSettingsInFiles()
{
    // The settings are an INI file under ~/.config already.
}

} // namespace desktop
