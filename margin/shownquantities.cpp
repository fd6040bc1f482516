#include "margin/shownquantities.h"

namespace margin {

namespace {

QString caption(Field field, const MarginSetup &setup)
{
    switch (field) {
    case Field::Achat:
        return QStringLiteral("Prix d'achat ") + priceLabel(setup.purchaseWithVat).caption;
    case Field::Vente:
        return QStringLiteral("Prix de vente ") + priceLabel(setup.sellingWithVat).caption;
    case Field::TauxMarge:
        return QStringLiteral("T de marge");
    case Field::TauxMarque:
        return QStringLiteral("T de marque");
    case Field::Coef:
        return QStringLiteral("Coefficient");
    case Field::MargeBrute:
        return QStringLiteral("Marge brute HT");
    }
    return QString();
}

} // namespace

QList<ShownQuantity> shownQuantities(const MarginSetup &setup, const FieldTexts &typed,
                                     const FieldWrites &writes, PriceEnding endingApplied)
{
    QList<ShownQuantity> shown;
    const SetupRow &row = setupRow(setup.mode, setup.given);
    bool wrote = false;
    for (const Field f : AllFields) {
        const std::optional<QString> &written = writes[index(f)];
        const bool isRate = f == Field::TauxMarge || f == Field::TauxMarque;
        if (written) {
            shown.append({caption(f, setup), *written, isRate, true});
            wrote = true;
            if (f == Field::Vente && endingApplied != PriceEnding::None)
                shown.append({priceEndingNote(endingApplied), QString(), false, false});
        } else if (row.role(f) == Role::Entry && !typed[index(f)].trimmed().isEmpty()) {
            shown.append({caption(f, setup), typed[index(f)], isRate, false});
        }
    }
    return wrote ? shown : QList<ShownQuantity>();
}

} // namespace margin
