#pragma once

// What the tape file's system-specific halves (tapefile_posix.cpp, tapefile_windows.cpp) share.

#include <QString>

namespace tape {

// Where a file that cannot be read is set aside: beside it, named after the moment, so that
// nothing is ever overwritten and the user can still look at it.
QString asidePath(const QString &path);

} // namespace tape
