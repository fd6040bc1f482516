// Every caption of the three windows is whole: the text of each shown button, label, check box,
// option button and frame fits the place its element gives it, with the faces the program uses.
// Run at 100 % and at 200 %, where the faces are drawn at other sizes. No size or text is taken
// from the forms: each element is measured as it stands.

#include "shell/Form1.h"

#include "headless.h"

#include "desktop/classiclook.h"
#include "margin/Form2.h"
#include "options/frmAbout.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTextLayout>

#include <memory>

namespace {

// The place a caption is drawn in: empty for an element that has none.
struct CaptionPlace
{
    QRect area;
    int alignment = Qt::AlignCenter;
};

// Check boxes and option buttons: beside the indicator; a caption that wraps (the margin
// window's narrow options column) has the whole rest of the element.
CaptionPlace besideIndicator(const QAbstractButton *button, bool radio)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QStyle *style = button->style();
    if (button->property("wordWrap").toBool()) {
        const int indicator = style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth
                                                       : QStyle::PM_IndicatorWidth,
                                                 &option, button);
        const int spacing = style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing
                                                     : QStyle::PM_CheckBoxLabelSpacing,
                                               &option, button);
        return {button->rect().adjusted(indicator + spacing, 0, 0, 0), Qt::AlignLeft};
    }
    const auto contents = radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents;
    return {style->subElementRect(contents, &option, button), Qt::AlignLeft};
}

CaptionPlace placeOf(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w)) {
        const int margin = label->margin();
        return {label->contentsRect().adjusted(margin, margin, -margin, -margin),
                int(label->alignment())};
    }
    if (const auto *button = qobject_cast<const QPushButton *>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        if (button->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        if (button->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
        return {button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button)};
    }
    if (const auto *box = qobject_cast<const QCheckBox *>(w))
        return besideIndicator(box, false);
    if (const auto *radio = qobject_cast<const QRadioButton *>(w))
        return besideIndicator(radio, true);
    if (const auto *frame = qobject_cast<const QGroupBox *>(w)) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        option.textAlignment = frame->alignment();
        // The style gives the caption the room its text needs: it must lie within the frame.
        const QRect label = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, frame);
        return {label.intersected(frame->rect()), Qt::AlignLeft};
    }
    return {};
}

QString captionOf(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(w))
        return button->text();
    if (const auto *frame = qobject_cast<const QGroupBox *>(w))
        return frame->title();
    return {};
}

// The caption laid out as its element draws it, across its place: whole lines, each as wide as
// its text runs, and down from the ink's top to its bottom (the blank room a face keeps above
// its capitals and below its baseline may fall outside, as it does on classic buttons).
QRect captionExtent(const QWidget *w, const CaptionPlace &place, const QString &text)
{
    QTextLayout layout(text, w->font());
    QTextOption option;
    option.setWrapMode(w->property("wordWrap").toBool() ? QTextOption::WordWrap
                                                        : QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(place.area.width());
        line.setPosition({0, height});
        height += line.height();
    }
    layout.endLayout();

    qreal top = place.area.top() + (place.area.height() - height) / 2;
    if (place.alignment & Qt::AlignTop)
        top = place.area.top();
    else if (place.alignment & Qt::AlignBottom)
        top = place.area.bottom() + 1 - height;
    const QFontMetricsF metrics(w->font());
    QRectF extent;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const qreal width = line.naturalTextWidth();
        qreal left = place.area.left();
        if (place.alignment & Qt::AlignHCenter)
            left += (place.area.width() - width) / 2;
        else if (place.alignment & Qt::AlignRight)
            left += place.area.width() - width;
        const QRectF ink = metrics.tightBoundingRect(text.mid(line.textStart(), line.textLength()));
        const qreal baseline = top + line.y() + line.ascent();
        extent |= QRectF(left, baseline + ink.top(), width, ink.height());
    }
    return extent.toAlignedRect();
}

// The captions that do not fit the place their element gives them, named and measured.
QStringList clippedCaptions(const QWidget *window)
{
    QStringList clipped;
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        const QString text = captionOf(w);
        if (text.trimmed().isEmpty() || !w->isVisibleTo(window))
            continue;
        const CaptionPlace place = placeOf(w);
        // A check box or option button with no room beside its indicator shows the indicator
        // alone.
        if ((qobject_cast<const QCheckBox *>(w) || qobject_cast<const QRadioButton *>(w)) &&
            place.area.width() <= 0)
            continue;
        const QRect needed = captionExtent(w, place, text);
        if (!place.area.contains(needed))
            clipped << QStringLiteral("%1 \"%2\": needs %3x%4 at %5,%6 in %7x%8 at %9,%10")
                           .arg(w->objectName(), text)
                           .arg(needed.width())
                           .arg(needed.height())
                           .arg(needed.x())
                           .arg(needed.y())
                           .arg(place.area.width())
                           .arg(place.area.height())
                           .arg(place.area.x())
                           .arg(place.area.y());
    }
    return clipped;
}

} // namespace

class TestCaptions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        headless::quietPlatformLimits();
        desktop::useSubstituteFaces();
    }

    void everyCaptionWhole()
    {
        auto main = std::make_unique<Form1>();
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        for (const char *opener : {"CmdMarge", "CmdOption"})
            main->findChild<QPushButton *>(QLatin1String(opener))->click();
        QVERIFY(main->marginWindow() && main->optionsWindow());

        QStringList clipped;
        int captions = 0;
        for (QWidget *window :
             {static_cast<QWidget *>(main.get()), static_cast<QWidget *>(main->marginWindow()),
              static_cast<QWidget *>(main->optionsWindow())}) {
            QVERIFY(QTest::qWaitForWindowExposed(window));
            clipped += clippedCaptions(window);
            for (const QWidget *w : window->findChildren<QWidget *>())
                captions += !captionOf(w).trimmed().isEmpty() && w->isVisibleTo(window);
        }
        // The walk reached the elements of all three windows.
        QVERIFY2(captions > 40, qPrintable(QString::number(captions)));
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestCaptions)
#include "test_captions.moc"
