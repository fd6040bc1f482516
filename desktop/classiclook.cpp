#include "classiclook.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOptionButton>

namespace desktop {

void useSubstituteFaces()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

QString standInFace(const QString &family)
{
    const QStringList substitutes = QFont::substitutes(family);
    if (substitutes.isEmpty())
        return family;
    // The faces installed, by their case-folded names, read once: they do not change during a
    // run. (QFontDatabase::hasFamily would ask the system to resolve each name first.) A face
    // several foundries make is listed once for each, as "Name [foundry]".
    static const QHash<QString, QString> installed = [] {
        QHash<QString, QString> faces;
        for (QString name : QFontDatabase::families()) {
            if (const qsizetype foundry = name.indexOf(QLatin1String(" [")); foundry > 0)
                name.truncate(foundry);
            faces.insert(name.toCaseFolded(), name);
        }
        return faces;
    }();
    if (installed.contains(family.toCaseFolded()))
        return family;
    for (const QString &substitute : substitutes) {
        if (const auto face = installed.constFind(substitute.toCaseFolded());
            face != installed.cend())
            return *face;
    }
    return family;
}

namespace {

// Qt's own classic drawing (flat face in the palette's button colour, classic bevel, focus
// rectangle inside), with the caption word-wrapped as classic multi-line buttons show it.
class ClassicButtonStyle : public QProxyStyle
{
public:
    ClassicButtonStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

    // The caption may use the whole face inside the bevel's outer line, as on classic buttons,
    // where a caption as tall as the button covers the bevel's inner line.
    QRect subElementRect(SubElement element, const QStyleOption *option,
                         const QWidget *widget) const override
    {
        if (element == SE_PushButtonContents)
            return option->rect.adjusted(1, 1, -1, -1);
        return QProxyStyle::subElementRect(element, option, widget);
    }

    // Graphical buttons sit on a window, not in a dialog: no room kept around them for the
    // frame of a dialog's default button.
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        if (metric == PM_ButtonDefaultIndicator)
            return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
        if (element != CE_PushButtonLabel || !button || !button->icon.isNull()) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        QRect area = button->rect;
        if (button->state & (State_On | State_Sunken))
            area.translate(proxy()->pixelMetric(PM_ButtonShiftHorizontal, option, widget),
                           proxy()->pixelMetric(PM_ButtonShiftVertical, option, widget));
        const int flags = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextWordWrap;
        proxy()->drawItemText(painter, area, flags, button->palette, button->state & State_Enabled,
                              button->text, QPalette::ButtonText);
    }
};

QStyle *classicButtonStyle()
{
    // Made on first use and kept for the program's life: every graphical button shares it.
    static QStyle *style = [] {
        auto *made = new ClassicButtonStyle;
        made->setParent(qApp);
        return made;
    }();
    return style;
}

} // namespace

void drawGraphicalButtonsClassic(QWidget *window)
{
    for (QPushButton *button : window->findChildren<QPushButton *>()) {
        if (!button->palette().isBrushSet(QPalette::Active, QPalette::Button))
            continue;
        // The bevel in the classic system colours around the button's own face colour.
        QPalette palette = button->palette();
        const QColor face = palette.color(QPalette::Active, QPalette::Button);
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, QPalette::Light, Qt::white);
            palette.setColor(group, QPalette::Midlight, face);
            palette.setColor(group, QPalette::Dark, QColor(0x80, 0x80, 0x80));
            palette.setColor(group, QPalette::Shadow, Qt::black);
        }
        button->setPalette(palette);
        button->setStyle(classicButtonStyle());
        button->setProperty("wordWrap", true);
    }
}

} // namespace desktop
