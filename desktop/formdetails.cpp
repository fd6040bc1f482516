#include "formdetails.h"

#include "classiclook.h"
#include "platform.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDynamicPropertyChangeEvent>
#include <QLabel>

namespace desktop {

FormDetails::FormDetails()
{
    QCoreApplication::instance()->installEventFilter(this);
}

FormDetails::~FormDetails()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool FormDetails::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (event->type() == QEvent::FontChange) {
        // Before the element sees its new font: a field lays its text out at once.
        const QString face = standInFace(widget->font().family());
        if (face != widget->font().family()) {
            QFont font = widget->font();
            font.setFamilies({face});
            widget->setFont(font);
        }
        return false;
    }
    if (event->type() != QEvent::DynamicPropertyChange)
        return false;
    const QByteArray name = static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName();
    const QVariant value = widget->property(name.constData());
    if (name == "pointSizeF" && value.isValid()) {
        QFont font = widget->font();
        font.setPointSizeF(value.toDouble());
        widget->setFont(font);
    } else if (name == "picture" && value.isValid()) {
        if (auto *label = qobject_cast<QLabel *>(widget))
            label->setPixmap(picture(value.toString()));
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->setIcon(icon(value.toString()));
    }
    return false;
}

} // namespace desktop
