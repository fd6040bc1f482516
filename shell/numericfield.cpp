#include "numericfield.h"

#include "calculator/numericfilter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace numericfield {

namespace {

// Every character that reaches the field without a key press (a paste) is filtered here; typed
// characters arrive already filtered, so the validator leaves them alone.
class PasteFilter : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &position) const override
    {
        const QString kept = calc::filterNumericText(input);
        if (kept != input) {
            position = std::min<int>(position - (input.size() - kept.size()), kept.size());
            position = std::max(position, 0);
            input = kept;
        }
        return Acceptable;
    }
};

class KeyFilter : public QObject
{
public:
    KeyFilter(QLineEdit *field, KeyPressHandler handler)
        : QObject(field), m_field(field), m_handler(std::move(handler))
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_field || event->type() != QEvent::KeyPress)
            return false;
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        const QString text = keyEvent->text();
        // Keys without a character (Delete, arrows, Home, End) keep their usual effect.
        if (text.size() != 1)
            return false;
        QChar key = text.front();
        m_handler(key);
        if (key.isNull())
            return true; // discarded: the field receives nothing
        if (key != text.front()) {
            if (!m_field->isReadOnly())
                m_field->insert(QString(key));
            return true;
        }
        return false;
    }

private:
    QLineEdit *m_field;
    KeyPressHandler m_handler;
};

} // namespace

void install(QLineEdit *field, KeyPressHandler keyPress)
{
    field->setValidator(new PasteFilter(field));
    field->installEventFilter(new KeyFilter(field, std::move(keyPress)));
}

} // namespace numericfield
