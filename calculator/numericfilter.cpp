#include "numericfilter.h"

namespace calc {

QChar filterNumericKey(QChar key)
{
    if (key == QLatin1Char(','))
        key = QLatin1Char('.');
    if (key == QLatin1Char('.') || (key >= QLatin1Char('0') && key <= QLatin1Char('9')))
        return key;
    return QChar();
}

QString filterNumericText(QStringView text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (const QChar k = filterNumericKey(c); !k.isNull())
            kept += k;
    }
    return kept;
}

} // namespace calc
