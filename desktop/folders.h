#pragma once

// Where the program keeps what belongs to the user rather than to the shop: the rates they
// validated when the program's folder cannot be written, their switches and window places, and
// the tape. Each system has its own places for these.

#include <QString>

namespace desktop {

// The user's settings folder: where their own Taux.ini goes, and the settings file beside it.
// ~/.config/Tarvex/Tarvex on Linux; %APPDATA%\Tarvex on Windows (roaming with the user).
QString settingsFolder();

// The user's data folder, where the tape is kept: ~/.local/share/Tarvex/Tarvex on Linux;
// %LOCALAPPDATA%\Tarvex on Windows (a tape is the machine's, it does not roam).
QString dataFolder();

// Makes the settings of this run go to an INI file in settingsFolder(), never to a system
// registry, so that a copy of the program carried on a USB stick leaves the registry as it was.
// Call before the first setting is read.
void keepSettingsInFiles();

} // namespace desktop
