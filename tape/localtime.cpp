#include "tape/localtime.h"

#include <limits>

namespace tape {

QDateTime localTime(qint64 msecsSinceEpoch)
{
    constexpr qint64 hour = 3600 * 1000;
    // Offsets change on whole hours (summer time, time zone changes), so one look-up serves
    // every instant of the same hour. One cache per thread: the tape has one, tests may have more.
    thread_local qint64 cachedHour = std::numeric_limits<qint64>::min();
    thread_local int cachedOffset = 0;
    const qint64 h = msecsSinceEpoch / hour - (msecsSinceEpoch % hour < 0 ? 1 : 0);
    if (h != cachedHour) {
        cachedOffset = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch).offsetFromUtc();
        cachedHour = h;
    }
    return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::OffsetFromUTC, cachedOffset);
}

QDateTime localNow()
{
    return localTime(QDateTime::currentMSecsSinceEpoch());
}

} // namespace tape
