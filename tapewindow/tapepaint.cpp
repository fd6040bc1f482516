#include "tapewindow/tapepaint.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRect>

namespace tapepaint {

int markColumnWidth(const QFont &font)
{
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    return metrics.horizontalAdvance(QStringLiteral("TTC")) + metrics.averageCharWidth() * 2;
}

QRect amountBox(const QFont &font, const QRect &bounds)
{
    const int markWidth = markColumnWidth(font);
    const int gap = QFontMetrics(font).averageCharWidth();
    return {bounds.left(), bounds.top(), bounds.width() - markWidth - gap, bounds.height()};
}

void paintLine(QPainter &painter, const QRect &bounds, const QString &label, const QString &amount,
               const QString &mark, bool result, const QString &former, Former style)
{
    painter.save();
    QFont font = painter.font();
    font.setBold(result);
    painter.setFont(font);
    const int markWidth = markColumnWidth(font);
    const int gap = painter.fontMetrics().averageCharWidth();
    const QRect markBox(bounds.right() - markWidth + 1, bounds.top(), markWidth, bounds.height());
    const QRect amounts = amountBox(font, bounds);
    painter.drawText(markBox.adjusted(gap, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, mark);
    painter.drawText(amounts, Qt::AlignRight | Qt::AlignVCenter, amount);
    int room = amounts.width() - painter.fontMetrics().horizontalAdvance(amount) - gap;
    if (!former.isEmpty()) {
        // The former amount keeps its place before the new one; the words give way first.
        const QString shown =
            style == Former::InWords ? QStringLiteral("corrigé : ") + former : former;
        QFont struck = font;
        struck.setStrikeOut(style == Former::StruckThrough);
        painter.setFont(struck);
        const QRect formerBox = amounts.adjusted(0, 0, -(amounts.width() - room), 0);
        painter.drawText(formerBox, Qt::AlignRight | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(shown, Qt::ElideLeft, room));
        room -= painter.fontMetrics().horizontalAdvance(shown) + gap;
        painter.setFont(font);
    }
    if (!label.isEmpty() && room > 0) {
        // The words give way to the amount when the tape is narrow.
        const QString shown = painter.fontMetrics().elidedText(label, Qt::ElideRight, room);
        painter.drawText(amounts, Qt::AlignLeft | Qt::AlignVCenter, shown);
    }
    painter.restore();
}

void paintHeading(QPainter &painter, const QRect &bounds, const QString &heading)
{
    painter.save();
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const int textWidth = metrics.horizontalAdvance(heading) + metrics.averageCharWidth() * 2;
    painter.drawText(bounds, Qt::AlignCenter, heading);
    // A rule either side of the date, as a printing calculator separates the days.
    const int y = bounds.center().y();
    const int left = bounds.center().x() - textWidth / 2;
    const int right = bounds.center().x() + textWidth / 2;
    QPen pen = painter.pen();
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    if (left > bounds.left())
        painter.drawLine(bounds.left(), y, left, y);
    if (right < bounds.right())
        painter.drawLine(right, y, bounds.right(), y);
    painter.restore();
}

} // namespace tapepaint
