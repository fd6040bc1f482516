#pragma once

// The rate-text conversion: two rate texts are copied one character per timer tick into result
// texts, exchanging the decimal separator and counting separators. The main window runs it at
// start-up from "." to ","; the options window runs it from "," to "." before storing the rates.

#include <QChar>
#include <QString>

namespace vat {

class RateTextConversion
{
public:
    // In which order the two texts are treated within one step.
    enum class Order
    {
        SecondThenFirst,
        FirstThenSecond
    };
    enum class Status
    {
        Running,  // more steps are needed
        Complete, // both texts copied whole with at most one separator each
        Refused,  // a text holds two separators or more: it can never complete
    };

    RateTextConversion(QChar from, QChar to, Order order);

    // Starts afresh on two source texts: position 0, counts 0, results empty.
    void start(const QString &first, const QString &second);
    // One step: the next character of each text. The status after the step.
    Status step();
    // Running until the step that completes or refuses; it then keeps that outcome.
    Status status() const { return m_status; }
    QChar from() const { return m_from; }
    QChar to() const { return m_to; }

    int PosConv() const { return m_position; }
    int NbSep1() const { return m_separators[0]; }
    int NbSep2() const { return m_separators[1]; }
    const QString &firstResult() const { return m_results[0]; }
    const QString &secondResult() const { return m_results[1]; }
    // The character last carried for each text (after the exchange), empty past its end.
    const QString &firstTransit() const { return m_transit[0]; }
    const QString &secondTransit() const { return m_transit[1]; }

private:
    // Carries the character at the current position of text i (0: first, 1: second).
    void carry(int i);

    QChar m_from;
    QChar m_to;
    Order m_order;
    QString m_sources[2];
    QString m_results[2];
    QString m_transit[2];
    int m_separators[2] = {0, 0};
    int m_position = 0;
    Status m_status = Status::Running;
};

} // namespace vat
