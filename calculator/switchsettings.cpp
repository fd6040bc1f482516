#include "switchsettings.h"

#include <QFile>
#include <QSettings>

#include <iterator>
#include <memory>
#include <utility>

namespace calc {

namespace {

const QString decimalsKey = QStringLiteral("Commutateurs/Decimales");
const QString roundingKey = QStringLiteral("Commutateurs/Arrondi");
const QString endingKey = QStringLiteral("Commutateurs/PrixDeVente");

// The words the file holds for each setting, in the order of the enumerations.
const QString decimalsNames[] = {
    QStringLiteral("F"), QStringLiteral("0"), QStringLiteral("1"),    QStringLiteral("2"),
    QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("Add2"),
};
const QString roundingNames[] = {QStringLiteral("5/4"), QStringLiteral("exces"),
                                 QStringLiteral("defaut")};
const QString endingNames[] = {QStringLiteral("non"), QStringLiteral("90"), QStringLiteral("95"),
                               QStringLiteral("99"), QStringLiteral("euro")};

// The setting a stored word names; the default (the first) for anything else.
template <typename Enum, std::size_t N>
Enum fromName(const QSettings &settings, const QString &key, const QString (&names)[N])
{
    const QString stored = settings.value(key).toString();
    for (std::size_t i = 0; i < N; ++i) {
        if (stored == names[i])
            return Enum(i);
    }
    return Enum(0);
}

} // namespace

SwitchSettings::SwitchSettings(QString filePath) : m_path(std::move(filePath)) {}

Switches SwitchSettings::load() const
{
    const auto settings = m_path.isEmpty()
                              ? std::make_unique<QSettings>()
                              : std::make_unique<QSettings>(m_path, QSettings::IniFormat);
    Switches switches;
    switches.decimals = fromName<Decimals>(*settings, decimalsKey, decimalsNames);
    switches.rounding = fromName<Rounding>(*settings, roundingKey, roundingNames);
    switches.priceEnding = fromName<PriceEnding>(*settings, endingKey, endingNames);
    return switches;
}

void SwitchSettings::saveDecimals(Decimals decimals) const
{
    save(decimalsKey, decimalsNames[std::size_t(decimals)]);
}

void SwitchSettings::saveRounding(Rounding rounding) const
{
    // The switch has three positions; 3.1's rounding is only ever a recorded calculation's.
    save(roundingKey, roundingNames[std::size_t(
                          rounding == Rounding::NearestEven ? Rounding::Nearest : rounding)]);
}

void SwitchSettings::savePriceEnding(PriceEnding ending) const
{
    save(endingKey, endingNames[std::size_t(ending)]);
}

void SwitchSettings::save(const QString &key, const QString &value) const
{
    const auto settings = m_path.isEmpty()
                              ? std::make_unique<QSettings>()
                              : std::make_unique<QSettings>(m_path, QSettings::IniFormat);
    settings->setValue(key, value);
    settings->sync();
}

} // namespace calc
