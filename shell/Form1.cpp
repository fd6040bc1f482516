// The main window's layout, its calculator keys and the keyboard. The form (ui/Form1.ui) holds
// the layout; the desk does all the work; these handlers only forward clicks and keys to it and
// put its display into Text1.
#include "Form1.h"
#include "ui_Form1.h"

#include "calculator/numbertext.h"
#include "calculator/switchsettings.h"
#include "desk/desk.h"
#include "desktop/classiclook.h"
#include "desktop/folders.h"
#include "desktop/formdetails.h"
#include "desktop/platform.h"
#include "margin/Form2.h"
#include "options/frmAbout.h"
#include "options/frmAutresTaux.h"
#include "tapewindow/TapeWindow.h"
#include "vat/ratefile.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOptionGroupBox>

#include <utility>

namespace {

// The window's background colour, seen wherever the calculator body picture does not reach.
constexpr QRgb backgroundColour = 0xFF808080;

// The decorative frame behind the display (Shape3): slightly larger than the display, which lies
// in front of it, so that only a thin blue edge shows.
constexpr QRect shape3Bounds(14, 63, 188, 34);
constexpr QRgb shape3Colour = 0xFF0000C0;
constexpr int shape3Width = 4;

// The VAT frame's caption begins with blanks that leave room for the peach rate button lying over
// the frame's corner. Faces with narrower blanks than the calculator's own would slide the caption
// under the button, so its text never starts left of the button's right edge.
class CaptionClearOfButton : public QProxyStyle
{
public:
    explicit CaptionClearOfButton(int textStartAtLeast) : m_textStart(textStartAtLeast) {}

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                         const QWidget *widget) const override
    {
        QRect rect = QProxyStyle::subControlRect(control, option, sub, widget);
        if (control == CC_GroupBox && sub == SC_GroupBoxLabel) {
            const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
            if (box) {
                const QString text = box->text;
                const qsizetype blanks = text.size() - QStringView(text).trimmed().size();
                const int textStart =
                    rect.left() + box->fontMetrics.horizontalAdvance(text.left(blanks));
                if (textStart < m_textStart)
                    rect.translate(m_textStart - textStart, 0);
            }
        }
        return rect;
    }

private:
    int m_textStart;
};

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), ui(std::make_unique<Ui::Form1>()),
      m_desk(std::make_unique<desk::Desk>(
          calc::regionalDecimalMark(),
          vat::RateFile(QCoreApplication::applicationDirPath(), desktop::settingsFolder()),
          desktop::dataFolder())),
      m_body(desktop::picture(QStringLiteral(":/ui/form1-body.gif")))
{
    {
        const desktop::FormDetails details;
        ui->setupUi(this);
    }
    // The label under the logo keeps the text the calculator was drawn with, whatever the
    // release.
    ui->Label1->setText(QStringLiteral("V 3.1"));
    setFixedSize(219, 328);
    ui->Text1->setToolTip(QStringLiteral(" Tarvex - " TARVEX_WEBSITE " - "));
    // A right-click on the display opens the window's menu rather than the text field's own.
    ui->Text1->setContextMenuPolicy(Qt::NoContextMenu);
    applyFormDetails();
    connectElements();
    setUpTapeWindowKey();

    // Key preview: the window sees every key before the element that has the focus.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);

    connect(m_desk.get(), &desk::Desk::displayChanged, this, &Form1::showDisplay);
    connect(&m_desk->rates(), &desk::Rates::changed, this, &Form1::showRates);
    connect(m_desk.get(), &desk::Desk::switchesChanged, this, &Form1::showSwitches);

    ui->egal->setFocus();
    // The switches as the user left them: one small settings file, nothing drawn at the defaults.
    m_desk->loadSwitches(calc::SwitchSettings());
    Form_Load();

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

// The other windows have no owner (each has its own taskbar button), so nothing else would delete
// them; they work on the desk, so they go before it.
Form1::~Form1()
{
    delete m_tapeWindow;
    delete m_form2;
    delete m_about;
    delete m_extraRates;
}

Form2 *Form1::marginWindow() const
{
    return m_form2;
}

frmAbout *Form1::optionsWindow() const
{
    return m_about;
}

// What the form's details (exact font sizes, pictures) leave to the window: the VAT frame's caption
// clear of the rate button, and the classic faces of the graphical buttons.
void Form1::applyFormDetails()
{
    auto *captionStyle =
        new CaptionClearOfButton(ui->TVA->geometry().right() + 3 - ui->FrmTVA->x());
    captionStyle->setParent(ui->FrmTVA);
    ui->FrmTVA->setStyle(captionStyle);
    desktop::drawGraphicalButtonsClassic(this);
}

// The program's own hand replaces Qt's pointing hand once the window is on the screen: nobody
// points at a key before then, and the picture would only delay the first sight of the window.
void Form1::applyHandCursor()
{
    const QCursor hand = desktop::handCursor();
    for (QWidget *w : findChildren<QWidget *>()) {
        if (w->testAttribute(Qt::WA_SetCursor) && w->cursor().shape() == Qt::PointingHandCursor)
            w->setCursor(hand);
    }
}

void Form1::connectElements()
{
    const std::pair<QAbstractButton *, void (Form1::*)()> clicks[] = {
        {ui->C0, &Form1::C0_Click},
        {ui->C1, &Form1::C1_Click},
        {ui->C2, &Form1::C2_Click},
        {ui->C3, &Form1::C3_Click},
        {ui->C4, &Form1::C4_Click},
        {ui->C5, &Form1::C5_Click},
        {ui->C6, &Form1::C6_Click},
        {ui->C7, &Form1::C7_Click},
        {ui->C8, &Form1::C8_Click},
        {ui->C9, &Form1::C9_Click},
        {ui->virgule, &Form1::virgule_Click},
        {ui->efface, &Form1::efface_Click},
        {ui->plus, &Form1::plus_Click},
        {ui->moins, &Form1::moins_Click},
        {ui->Multi, &Form1::Multi_Click},
        {ui->Div, &Form1::Div_Click},
        {ui->egal, &Form1::egal_Click},
        {ui->CmdPourCent, &Form1::CmdPourCent_Click},
        {ui->TVA, &Form1::TVA_Click},
        {ui->CmdTTC, &Form1::CmdTTC_Click},
        {ui->CmdHT, &Form1::CmdHT_Click},
        {ui->CmdTVA, &Form1::CmdTVA_Click},
        {ui->DontTVA, &Form1::DontTVA_Click},
        {ui->CmdOption, &Form1::CmdOption_Click},
        {ui->CmdMarge, &Form1::CmdMarge_Click},
        {ui->CmdMinimise, &Form1::CmdMinimise_Click},
        {ui->CmdQuitte, &Form1::CmdQuitte_Click},
    };
    for (const auto &[button, handler] : clicks)
        connect(button, &QAbstractButton::clicked, this, handler);
    connect(ui->Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
}

void Form1::Form_Load()
{
    desktop::applyRoundedOutline(this, 1, 1, 215, 330, 30, 30);
    m_desk->startUp();
}

void Form1::showDisplay()
{
    if (ui->Text1->text() != m_desk->display())
        ui->Text1->setText(m_desk->display());
}

void Form1::Text1_Change()
{
    m_desk->displayEdited(ui->Text1->text());
}

// --- Calculator keys ------------------------------------------------------------------------

void Form1::pressDigit(int k)
{
    m_desk->pressDigit(k);
}

void Form1::C0_Click()
{
    pressDigit(0);
}
void Form1::C1_Click()
{
    pressDigit(1);
}
void Form1::C2_Click()
{
    pressDigit(2);
}
void Form1::C3_Click()
{
    pressDigit(3);
}
void Form1::C4_Click()
{
    pressDigit(4);
}
void Form1::C5_Click()
{
    pressDigit(5);
}
void Form1::C6_Click()
{
    pressDigit(6);
}
void Form1::C7_Click()
{
    pressDigit(7);
}
void Form1::C8_Click()
{
    pressDigit(8);
}
void Form1::C9_Click()
{
    pressDigit(9);
}

void Form1::virgule_Click()
{
    m_desk->pressDecimalPoint();
}

void Form1::efface_Click()
{
    m_desk->pressClear();
}

void Form1::plus_Click()
{
    m_desk->pressOperator(calc::Addition);
}

void Form1::moins_Click()
{
    m_desk->pressOperator(calc::Subtraction);
}

void Form1::Multi_Click()
{
    m_desk->pressOperator(calc::Multiplication);
}

void Form1::Div_Click()
{
    m_desk->pressOperator(calc::Division);
}

void Form1::egal_Click()
{
    m_desk->pressEquals();
}

void Form1::CmdPourCent_Click()
{
    m_desk->pressPercent();
}

// --- Keyboard -------------------------------------------------------------------------------

void Form1::Form_KeyPress(QChar key)
{
    m_desk->typeKey(key);
}

// key is Qt's key code; of all the keys going down, only Delete means something here.
void Form1::Form_KeyDown(int key)
{
    if (key == Qt::Key_Delete) {
        m_desk->pressDelete();
    }
}

// A key event starts at the focused element and climbs through its containers until one of
// them accepts it. The preview watches every element, so it acts where the event starts and
// lets the same event pass by on its way up.
bool Form1::startsKeyEvent(QWidget *watched, const QEvent *event)
{
    const bool climbing =
        event == m_keyEvent && m_keyReceiver && watched->isAncestorOf(m_keyReceiver);
    m_keyEvent = event;
    m_keyReceiver = watched;
    return !climbing;
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (startsKeyEvent(static_cast<QWidget *>(watched), event)) {
            Form_KeyDown(key->key());
            // Consumed, so that the display does not also copy its own selection.
            if (clipboardShortcut(key))
                return true;
            // Shortcuts with Ctrl or Alt type nothing, and the Delete key types no character.
            const bool typesCharacter =
                !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
                key->key() != Qt::Key_Delete && !key->text().isEmpty();
            if (typesCharacter)
                Form_KeyPress(key->text().front());
        }
    } else if (event->type() == QEvent::KeyRelease) {
        m_keyEvent = nullptr;
    }
    // Never consumed: the focused element still receives the key, so Enter and the space bar
    // press the focused button.
    return QWidget::eventFilter(watched, event);
}

// --- Painting -------------------------------------------------------------------------------

void Form1::paintEvent(QPaintEvent *)
{
    if (!m_painted) {
        // What can wait runs once the first picture of the window has been handed to the screen.
        m_painted = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                applyHandCursor();
                emit firstShown();
            },
            Qt::QueuedConnection);
    }
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(backgroundColour));
    if (!m_body.isNull())
        painter.drawPixmap(0, 0, m_body);

    desktop::paintOutline(painter, shape3Bounds, QColor::fromRgb(shape3Colour), shape3Width);
}
