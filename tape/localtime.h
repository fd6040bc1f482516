#pragma once

// Local time, quickly. Turning an instant into local time asks the system for the time zone
// (microseconds each time); a tape stamps every calculation and reads back thousands of lines,
// so the offset from UTC is asked once for each hour and the time carries it.

#include <QDateTime>

namespace tape {

// The local time of an instant, as a time at the offset from UTC in force then.
QDateTime localTime(qint64 msecsSinceEpoch);
// Now, in local time.
QDateTime localNow();

} // namespace tape
