#pragma once

// The switches as the user left them, kept in the user's own settings file (never beside the
// program, where the rates are). A setting that cannot be read is its default, without a word; a
// value this version does not know (written by a later one) is taken as the default and left in
// the file until the user changes that very switch.

#include "switches.h"

#include <QString>

namespace calc {

class SwitchSettings
{
public:
    // The user's settings file of this program (QSettings' own choice of place).
    SwitchSettings() = default;
    // An INI file at the given path, for a test or a second profile.
    explicit SwitchSettings(QString filePath);

    Switches load() const;
    // Each writes its own switch only, so that the others keep what the file held.
    void saveDecimals(Decimals decimals) const;
    void saveRounding(Rounding rounding) const;
    void savePriceEnding(PriceEnding ending) const;

private:
    void save(const QString &key, const QString &value) const;

    QString m_path; // empty: the user's settings file
};

} // namespace calc
