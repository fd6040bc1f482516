#include "desktop/printing.h"

#include "print/printentry.h"

#include <QDir>
#include <QLibrary>

namespace desktop {

#if TARVEX_PRINT_BUILT_IN
// Where Qt is linked into the program (Windows), the print dialog is part of the program.
extern "C" int tarvex_print_pages(QWidget *parent, const QString &title,
                                  const QString &documentName, print::PaintPages paint,
                                  void *context);
#endif

PrintOutcome printPages(QWidget *parent, const QString &title, const QString &documentName,
                        const PagePainter &paint, [[maybe_unused]] const QString &moduleFolder)
{
#if TARVEX_PRINT_BUILT_IN
    const print::PrintEntry entry = &tarvex_print_pages;
#else
    // Loaded once, the module stays for the rest of the run: Qt's print support keeps state of
    // its own (the printers found, the platform's print plug-in) that must outlive a print.
    QLibrary module(QDir(moduleFolder).filePath(QStringLiteral(TARVEX_PRINT_MODULE)));
    const auto entry = reinterpret_cast<print::PrintEntry>(module.resolve(print::entryName));
    if (!entry) {
        qWarning("Print support could not be loaded: %s", qPrintable(module.errorString()));
        return PrintOutcome::Unavailable;
    }
#endif
    const print::PaintPages paintThrough = [](QPagedPaintDevice &pages, void *context) {
        return (*static_cast<const PagePainter *>(context))(pages);
    };
    switch (print::Outcome(
        entry(parent, title, documentName, paintThrough, const_cast<PagePainter *>(&paint)))) {
    case print::Outcome::Printed:
        return PrintOutcome::Printed;
    case print::Outcome::Cancelled:
        return PrintOutcome::Cancelled;
    case print::Outcome::Failed:
        break;
    }
    return PrintOutcome::Failed;
}

} // namespace desktop
