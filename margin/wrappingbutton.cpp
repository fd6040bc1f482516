#include "wrappingbutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

struct IndicatorMetrics
{
    QStyle::PrimitiveElement indicator;
    QStyle::PixelMetric width;
    QStyle::PixelMetric height;
    QStyle::PixelMetric spacing;
};

// The style's indicator at the left, vertically centred, and the caption word-wrapped in the
// rest of the button.
void paintWrapped(QAbstractButton *button, const QStyleOptionButton &option,
                  const IndicatorMetrics &metrics)
{
    QStylePainter painter(button);
    QStyle *style = button->style();
    const int width = style->pixelMetric(metrics.width, &option, button);
    const int height = style->pixelMetric(metrics.height, &option, button);
    const int spacing = style->pixelMetric(metrics.spacing, &option, button);

    QStyleOptionButton indicator = option;
    indicator.rect = QRect(0, (button->height() - height) / 2, width, height);
    painter.drawPrimitive(metrics.indicator, indicator);

    const QRect textArea(width + spacing, 0, button->width() - width - spacing, button->height());
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    painter.drawItemText(textArea, flags, option.palette, button->isEnabled(), button->text(),
                         QPalette::WindowText);

    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.initFrom(button);
        focus.rect = painter.fontMetrics().boundingRect(textArea, flags, button->text());
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace

void WrappingRadioButton::paintEvent(QPaintEvent *)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    paintWrapped(this, option,
                 {QStyle::PE_IndicatorRadioButton, QStyle::PM_ExclusiveIndicatorWidth,
                  QStyle::PM_ExclusiveIndicatorHeight, QStyle::PM_RadioButtonLabelSpacing});
}

bool WrappingRadioButton::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void WrappingCheckBox::paintEvent(QPaintEvent *)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    paintWrapped(this, option,
                 {QStyle::PE_IndicatorCheckBox, QStyle::PM_IndicatorWidth,
                  QStyle::PM_IndicatorHeight, QStyle::PM_CheckBoxLabelSpacing});
}

bool WrappingCheckBox::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}
