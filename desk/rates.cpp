#include "rates.h"

namespace desk {

Rates::Rates(QChar regionalMark, QObject *parent) : QObject(parent), m_mark(regionalMark) {}

} // namespace desk
