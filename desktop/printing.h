#pragma once

// Printing through the platform's print dialog. Qt's print support is a library of its own that
// the dynamic loader would otherwise map and relocate at every start of the program, although
// nobody prints before the first window is up: it lives in a module beside the program (the
// tarvex_print module, desktop/print/), loaded here when the user first prints.

#include <QCoreApplication>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QWidget;

namespace desktop {

enum class PrintOutcome
{
    Printed,     // the pages went to the printer
    Cancelled,   // the user closed the dialog: nothing to tell
    Unavailable, // print support could not be loaded
    Failed,      // the pages could not be drawn
};

// Draws the pages on the printer chosen; false when it could not.
using PagePainter = std::function<bool(QPagedPaintDevice &)>;

// Shows the print dialog over the parent, with the given title, for a document of the given name;
// once the user accepts it, paint draws the pages on the printer chosen. The module is looked for
// in the given folder, the program's own by default.
PrintOutcome printPages(QWidget *parent, const QString &title, const QString &documentName,
                        const PagePainter &paint,
                        const QString &moduleFolder = QCoreApplication::applicationDirPath());

} // namespace desktop
