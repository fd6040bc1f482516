// The print module: the platform's print dialog and the printer it sets up. Loaded by the program
// only when the user prints (see desktop/printing.h), it keeps Qt's print support out of the
// program's start.
#include "printentry.h"

#include <QPrintDialog>
#include <QPrinter>

#include <type_traits>

// Built into the program where Qt is linked into it (Windows), exported from the module elsewhere.
#if TARVEX_PRINT_BUILT_IN
#define TARVEX_PRINT_ENTRY
#else
#define TARVEX_PRINT_ENTRY Q_DECL_EXPORT
#endif

extern "C" TARVEX_PRINT_ENTRY int tarvex_print_pages(QWidget *parent, const QString &title,
                                                     const QString &documentName,
                                                     desktop::print::PaintPages paint,
                                                     void *context)
{
    using desktop::print::Outcome;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted)
        return int(Outcome::Cancelled);
    return int(paint(printer, context) ? Outcome::Printed : Outcome::Failed);
}

// The program finds this function by its name and calls it through the entry's type: they must
// stay one and the same.
static_assert(std::is_same_v<decltype(&tarvex_print_pages), desktop::print::PrintEntry>);
