#pragma once

// The two VAT rates of the run, with up to two extra rates (vat/extrarates.h), and which one is
// active, with the texts the program shows of them: the active rate ("19,6") and the VAT frame's
// caption. One object for the whole run, held by the
// desk; the windows read it and redraw on changed(), and only the desk changes it.

#include "vat/extrarates.h"
#include "vat/rate.h"

#include <QChar>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace desk {

class Desk;

class Rates : public QObject
{
    Q_OBJECT

public:
    explicit Rates(QChar regionalMark, QObject *parent = nullptr);

    // The first rate (a number, or its text with the regional mark) and the second (a text).
    const vat::SharedRates &shared() const { return m_shared; }
    // The active rate, written with the regional decimal mark; empty while there is none (the
    // rates read at start-up are not converted yet, or the file gave none).
    const QString &TauxTVA() const { return m_active; }
    // Which rate is active: 1 the first, 0 the second, 3 the third, 4 the fourth.
    int NumTaux() const { return m_which; }
    // The extra rates as kept in their file, with their decimal point ("10", "2.1"); none by
    // default.
    const QStringList &extraRates() const { return m_extra; }
    // Every rate the switch steps through, as it names them ("20", "5,5", "10"), and the place of
    // the active one among them.
    QStringList all() const { return vat::switchedRates(m_shared, m_extra, m_mark); }
    int activeIndex() const { return vat::rateIndex(m_which); }
    // What the rate switch tells a screen reader: "3 taux de TVA : 20 %, 5,5 % et 10 %".
    QString description() const { return vat::ratesDescription(all()); }
    // The VAT frame's caption, naming the active rate.
    const QString &caption() const { return m_caption; }

    // The first rate as a number, whichever rate is active: the margin window works with it.
    std::optional<double> firstValue() const { return m_shared.TauxTVA1.value(m_mark); }
    // The first rate as text (regional number text when it is a number).
    QString firstText() const { return m_shared.TauxTVA1.text(m_mark); }

signals:
    // Any of the above changed.
    void changed();

private:
    // Only the desk changes the rates; it announces a whole change at once.
    friend class Desk;
    void announce() { emit changed(); }

    QChar m_mark;
    vat::SharedRates m_shared;
    QString m_active;
    int m_which = 1;
    QString m_caption;
    QStringList m_extra;
};

} // namespace desk
