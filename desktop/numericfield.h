#pragma once

// Puts a number field's key handler between the keyboard and the field, the way the program's
// windows filter what is typed: the handler sees each typed character and may change it, or set
// it to a null QChar to discard it. A paste (context menu, Shift+Insert) is read as one price by
// calc::readPastedPrice; any other text arriving without a typed character (a drop) goes through
// calc::filterNumericText, so a field never holds what could not have been typed.

#include <QChar>

#include <functional>

class QLineEdit;

namespace numericfield {

using KeyPressHandler = std::function<void(QChar &key)>;

// Installs the handler, the price paste and the paste filter on the field (all live as long as
// the field).
void install(QLineEdit *field, KeyPressHandler keyPress);

} // namespace numericfield
