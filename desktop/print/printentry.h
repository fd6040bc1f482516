#pragma once

// What the program and its print module agree on. The module is the one part of the program that
// links Qt's print support; the program loads it when the user first prints, so that its start
// never pays for mapping that library.

class QPagedPaintDevice;
class QString;
class QWidget;

namespace desktop::print {

// What became of a print: the pages went to the printer, the user closed the dialog without
// printing, or the pages could not be drawn.
enum class Outcome : int
{
    Printed = 0,
    Cancelled = 1,
    Failed = 2
};

// Draws the pages on the printer the user chose; false when it could not.
using PaintPages = bool (*)(QPagedPaintDevice &pages, void *context);

// The module's entry point: shows the platform's print dialog over the parent, with the given
// title, for a document of the given name; once the user accepts it, hands the printer to paint.
// Returns an Outcome.
using PrintEntry = int (*)(QWidget *parent, const QString &title, const QString &documentName,
                           PaintPages paint, void *context);
inline constexpr char entryName[] = "tarvex_print_pages";

} // namespace desktop::print
