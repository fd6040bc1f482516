#pragma once

// What the calculator keeps true after every key, whatever came before: it never shows anything
// but a number, every number it holds can be shown, and its bookkeeping stays within its few
// allowed values. The randomised test and the fuzz target check the same list.

#include "calculator/engine.h"
#include "calculator/numbertext.h"

#include <QString>

#include <optional>

namespace checks {

// Empty while everything holds; otherwise what is broken, followed by the whole state.
inline QString brokenEngineInvariant(const calc::CalculatorEngine &engine)
{
    const calc::CalculatorState &s = engine.state();
    const QString &shown = engine.display();
    auto finite = [](const std::optional<double> &value) {
        return !value || calc::isShowable(*value);
    };

    QString broken;
    if (shown.contains(QLatin1String("inf"), Qt::CaseInsensitive) ||
        shown.contains(QLatin1String("nan"), Qt::CaseInsensitive))
        broken = QStringLiteral("the display shows no number");
    else if (!calc::isShowable(engine.displayValue()))
        broken = QStringLiteral("the display reads as no number");
    else if (!finite(s.N1) || !finite(s.N2) || !finite(s.N3) || !calc::isShowable(s.Pourcent))
        broken = QStringLiteral("a number of the state is not finite");
    else if (s.Compteur != 0 && s.Compteur != 1)
        broken = QStringLiteral("Compteur is neither 0 nor 1");
    else if (s.TF != 0 && s.TF != 1)
        broken = QStringLiteral("TF is neither 0 nor 1");
    else if (s.Signe > calc::Percentage)
        broken = QStringLiteral("Signe is no operation");
    else if (s.ClicTva != 0 && s.ClicTva != -1)
        broken = QStringLiteral("ClicTva is neither 0 nor -1");
    else if (shown.isEmpty() && !s.virg)
        broken = QStringLiteral("the display is empty without the decimal point available");
    if (broken.isEmpty())
        return broken;

    auto number = [](const std::optional<double> &value) {
        return value ? QString::number(*value, 'g', 17) : QStringLiteral("none");
    };
    return broken +
           QStringLiteral(": display [%1] N1 %2 N2 %3 N3 %4 Pourcent %5")
               .arg(shown, number(s.N1), number(s.N2), number(s.N3), number(s.Pourcent)) +
           QStringLiteral(" Signe %1 TF %2 virg %3 ClicTva %4 Compteur %5")
               .arg(s.Signe)
               .arg(s.TF)
               .arg(int(s.virg))
               .arg(s.ClicTva)
               .arg(s.Compteur);
}

} // namespace checks
