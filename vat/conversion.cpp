#include "conversion.h"

#include <algorithm>

namespace vat {

RateTextConversion::RateTextConversion(QChar from, QChar to, Order order)
    : m_from(from), m_to(to), m_order(order)
{
}

void RateTextConversion::start(const QString &first, const QString &second)
{
    m_sources[0] = first;
    m_sources[1] = second;
    for (int i = 0; i < 2; ++i) {
        m_results[i].clear();
        m_transit[i].clear();
        m_separators[i] = 0;
    }
    m_position = 0;
    m_status = Status::Running;
}

RateTextConversion::Status RateTextConversion::step()
{
    // Once finished either way, the outcome stands: a late tick must neither append to the
    // results nor turn a refusal into a completion.
    if (m_status != Status::Running)
        return m_status;

    ++m_position;
    if (m_order == Order::SecondThenFirst) {
        carry(1);
        carry(0);
    } else {
        carry(0);
        carry(1);
    }

    if (m_separators[0] >= 2 || m_separators[1] >= 2) {
        m_status = Status::Refused;
    } else {
        const qsizetype longer = std::max(m_sources[0].size(), m_sources[1].size());
        if (m_position == longer + 1)
            m_status = Status::Complete;
    }
    return m_status;
}

void RateTextConversion::carry(int i)
{
    const QString &source = m_sources[i];
    QString &transit = m_transit[i];
    if (m_position <= source.size())
        transit = source.at(m_position - 1);
    else
        transit.clear();
    if (transit == m_from)
        transit = m_to;
    if (transit == m_to)
        ++m_separators[i];
    m_results[i] += transit;
}

} // namespace vat
