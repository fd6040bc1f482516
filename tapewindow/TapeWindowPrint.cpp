// Printing the tape: the platform's print dialog, then the lines laid out as a paper tape, a
// narrow column down the middle of each page, headed by the program's name and the date, each
// day under its heading, the grand total at the end, and the VAT breakdown under it when the tape
// holds VAT operations. The breakdown alone prints on the same pages.
#include "tapewindow/TapeWindow.h"

#include "calculator/numbertext.h"
#include "desk/desk.h"
#include "desktop/printing.h"
#include "tape/tape.h"
#include "tape/tapemodel.h"
#include "tape/tapetext.h"
#include "tape/vatbreakdown.h"
#include "tapewindow/tapepaint.h"

#include <QDateTime>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {

// A till roll is 80 mm wide; on a page the tape keeps that width, centred.
constexpr double tapeWidthMm = 80.0;

class TapePage
{
public:
    TapePage(QPainter &painter, QPagedPaintDevice &pages) : m_painter(painter), m_pages(pages)
    {
        const int width = std::min(pages.width(), int(tapeWidthMm / 25.4 * pages.logicalDpiX()));
        m_column = QRect((pages.width() - width) / 2, 0, width, pages.height());
        m_lineHeight = painter.fontMetrics().height() * 5 / 4;
        startPage();
    }

    // Starts a new page when fewer than the given number of lines still fit.
    void keepTogether(int lineCount)
    {
        if (m_y + lineCount * m_lineHeight > m_column.bottom() - m_lineHeight) {
            endPage();
            m_pages.newPage();
            ++m_page;
            startPage();
        }
    }

    QRect nextLine()
    {
        keepTogether(1);
        const QRect line(m_column.left() + m_inset, m_y, m_column.width() - 2 * m_inset,
                         m_lineHeight);
        m_y += m_lineHeight;
        return line;
    }

    void rule()
    {
        keepTogether(1);
        const int y = m_y + m_lineHeight / 2;
        m_painter.drawLine(m_column.left() + m_inset, y, m_column.right() - m_inset, y);
        m_y += m_lineHeight;
    }

    void endPage()
    {
        // The edges of the paper tape, as far as it went on this page.
        m_painter.save();
        m_painter.setPen(QPen(Qt::gray, 0));
        m_painter.drawLine(m_column.left(), m_top, m_column.left(), m_y);
        m_painter.drawLine(m_column.right(), m_top, m_column.right(), m_y);
        m_painter.restore();
    }

private:
    void startPage()
    {
        m_inset = m_painter.fontMetrics().averageCharWidth() * 2;
        m_top = 0;
        m_y = m_top + m_lineHeight / 2;
        if (m_page > 1) {
            const QRect header(m_column.left(), m_y, m_column.width(), m_lineHeight);
            m_painter.drawText(header, Qt::AlignCenter,
                               QStringLiteral("Tarvex - Ruban, page %1").arg(m_page));
            m_y += m_lineHeight * 3 / 2;
        }
    }

    QPainter &m_painter;
    QPagedPaintDevice &m_pages;
    QRect m_column;
    int m_lineHeight = 0;
    int m_inset = 0;
    int m_top = 0;
    int m_y = 0;
    int m_page = 1;
};

// The heading of a printout: the program's name and what it is, then when it was printed.
void paintTitle(QPainter &painter, TapePage &page, const QString &title)
{
    QFont bold = painter.font();
    bold.setBold(true);
    bold.setPointSizeF(11);
    painter.save();
    painter.setFont(bold);
    painter.drawText(page.nextLine(), Qt::AlignCenter, title);
    painter.restore();
    const QDateTime now = QDateTime::currentDateTime();
    painter.drawText(
        page.nextLine(), Qt::AlignCenter,
        QStringLiteral("Imprimé le %1 à %2")
            .arg(tape::dayHeading(now.date()),
                 QLocale(QLocale::French).toString(now.time(), QStringLiteral("HH:mm"))));
    page.rule();
}

// The breakdown as the tape prints amounts: for each rate its heading, then its three sums, each
// rate kept on one page; the totals last, in bold.
void paintBreakdown(QPainter &painter, TapePage &page, const tape::VatBreakdown &breakdown)
{
    const QChar mark = calc::regionalDecimalMark();
    auto paintRow = [&](const QString &heading, const tape::VatRow &row, bool total) {
        page.keepTogether(4);
        const QString operations = row.operations == 1
                                       ? QStringLiteral("1 opération")
                                       : QStringLiteral("%1 opérations").arg(row.operations);
        tapepaint::paintLine(painter, page.nextLine(), heading, operations, {}, total);
        tapepaint::paintLine(painter, page.nextLine(), QStringLiteral("Total HT"),
                             tape::centsText(row.htCents, mark), QStringLiteral("HT"), total);
        tapepaint::paintLine(painter, page.nextLine(), QStringLiteral("TVA"),
                             tape::centsText(row.vatCents, mark), QStringLiteral("TVA"), total);
        tapepaint::paintLine(painter, page.nextLine(), QStringLiteral("Total TTC"),
                             tape::centsText(row.ttcCents, mark), QStringLiteral("TTC"), total);
    };
    page.keepTogether(5);
    tapepaint::paintHeading(painter, page.nextLine(), QStringLiteral("Ventilation TVA"));
    for (const tape::VatRow &row : breakdown.rows)
        paintRow(QStringLiteral("TVA %1 %").arg(tape::breakdownRateText(row.rate, mark)), row,
                 false);
    page.rule();
    paintRow(QStringLiteral("Total"), breakdown.total, true);
}

} // namespace

void TapeWindow::CmdImprimer_Click()
{
    // Drawing the pages tells of its own failure; print support that could not be loaded is
    // told here. A dialog closed without printing leaves everything as it was.
    const desktop::PrintOutcome outcome = desktop::printPages(
        this, QStringLiteral("Imprimer le ruban"), QStringLiteral("Tarvex - Ruban"),
        [this](QPagedPaintDevice &pages) { return printTo(pages); });
    if (outcome == desktop::PrintOutcome::Unavailable)
        showPrintProblem();
}

void TapeWindow::showPrintProblem()
{
    m_actionProblem = QStringLiteral("Le ruban n'a pas pu être imprimé.");
    showProblem();
}

template <typename Paint> bool TapeWindow::paintPages(QPagedPaintDevice &pages, Paint paint)
{
    QPainter painter;
    if (!painter.begin(&pages)) {
        showPrintProblem();
        return false;
    }
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9);
    painter.setFont(font);
    TapePage page(painter, pages);
    paint(painter, page);
    page.endPage();
    if (!painter.end()) { // the file or the print job could not be finished
        showPrintProblem();
        return false;
    }
    return true;
}

bool TapeWindow::printTo(QPagedPaintDevice &pages)
{
    return paintPages(pages, [this](QPainter &painter, TapePage &page) {
        const QList<tape::Line> &lines = m_tape.lines();
        const QStringList former = m_model->formerAmounts();
        paintTitle(painter, page, QStringLiteral("Tarvex - Ruban"));

        QDate day;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const tape::Line &line = lines[i];
            if (i == 0 || line.time.date() != day) {
                day = line.time.date();
                page.keepTogether(2); // never a heading alone at the foot of a page
                tapepaint::paintHeading(painter, page.nextLine(), tape::dayHeading(day));
            }
            tapepaint::paintLine(painter, page.nextLine(), line.label, line.amount.trimmed(),
                                 line.mark, line.result, former.value(i).trimmed(),
                                 tapepaint::Former::InWords);
        }
        if (lines.isEmpty())
            painter.drawText(page.nextLine(), Qt::AlignCenter,
                             QStringLiteral("Le ruban est vide."));

        page.keepTogether(2);
        page.rule();
        tapepaint::paintLine(painter, page.nextLine(), {},
                             tape::centsText(m_tape.grandTotalCents(), calc::regionalDecimalMark()),
                             QStringLiteral("GT"), true);
        if (const tape::VatBreakdown breakdown =
                tape::vatBreakdown(lines, {}, m_desk.rates().all());
            !breakdown.rows.isEmpty()) {
            page.rule();
            paintBreakdown(painter, page, breakdown);
        }
    });
}

bool TapeWindow::printBreakdownTo(QPagedPaintDevice &pages)
{
    return paintPages(pages, [this](QPainter &painter, TapePage &page) {
        paintTitle(painter, page, QStringLiteral("Tarvex - Ventilation TVA"));
        int chosen = 0;
        const tape::VatBreakdown breakdown = vatBreakdown(&chosen);
        painter.drawText(page.nextLine(), Qt::AlignCenter,
                         chosen == 0   ? QStringLiteral("Tout le ruban")
                         : chosen == 1 ? QStringLiteral("1 ligne choisie du ruban")
                                       : QStringLiteral("%1 lignes choisies du ruban").arg(chosen));
        paintBreakdown(painter, page, breakdown);
    });
}
