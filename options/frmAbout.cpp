#include "frmAbout.h"

#include "ui_frmAbout.h"

#include "calculator/numericfilter.h"
#include "desk/desk.h"
#include "desktop/numericfield.h"
#include "desktop/platform.h"

#include <QCloseEvent>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>

namespace {

// Where the window was designed to stand on the screen, and its client area.
constexpr QRect designedGeometry(156, 129, 231, 200);

// The link's looks once the pointer has been over it, or over the window's background.
const QColor overLinkColour(0xC0, 0xFF, 0xC0);
const QColor overBackgroundColour(0xC0, 0xFF, 0xFF);

// A fixed dialog with a title bar and a close box only, and no taskbar button: a dialog owned by
// the main window gets none; without an owner, only a tool window is kept off the taskbar.
Qt::WindowFlags dialogFlags(const QWidget *parent)
{
    return (parent ? Qt::Dialog : Qt::Tool) | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
}

// Widens a label whose text overflows it (a face wider than the one it was drawn for, a longer
// web address), keeping in place what its alignment holds: the right edge of a right-aligned
// text, the centre of a centred one. Returns the new geometry.
QRect widenToText(QLabel *label)
{
    QRect place = label->geometry();
    const int needed = label->sizeHint().width();
    if (needed <= place.width())
        return place;
    if (label->alignment() & Qt::AlignRight) {
        place.setLeft(place.right() + 1 - needed);
    } else {
        const QPoint centre = place.center();
        place.setWidth(needed);
        place.moveCenter(centre);
    }
    label->setGeometry(place);
    return place;
}

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), colour);
    widget->setPalette(palette);
}

} // namespace

frmAbout::frmAbout(desk::Desk &desk, QWidget *parent)
    : QWidget(parent, dialogFlags(parent)), ui(std::make_unique<Ui::frmAbout>()), m_desk(desk),
      m_regionalMark(desk.regionalMark()), m_validation(m_regionalMark)
{
    ui->setupUi(this);
    // The title is the window's own text, as the label under the calculator's logo is; the
    // release it belongs to is said in full to whoever asks the window about itself.
    setWindowTitle(QStringLiteral("Tarvex 3.1"));
    setAccessibleDescription(QStringLiteral("Tarvex " TARVEX_VERSION));
    setUpWindow();
    Form_Load();
}

frmAbout::~frmAbout() = default;

void frmAbout::setUpWindow()
{
    // The main window keeps a guarded pointer and creates the window afresh after it closes.
    setAttribute(Qt::WA_DeleteOnClose);
    setGeometry(designedGeometry);
    setFixedSize(designedGeometry.size());

    // Working storage of the conversion, never shown.
    for (QWidget *hidden : {static_cast<QWidget *>(ui->Text1), static_cast<QWidget *>(ui->Text2),
                            static_cast<QWidget *>(ui->Trans1), static_cast<QWidget *>(ui->Trans2)})
        hidden->hide();

    const QCursor hand = desktop::handCursor();
    ui->TxtTVA1->setCursor(hand);
    ui->TxtTVA2->setCursor(hand);
    ui->CmdValide->setCursor(hand);
    ui->LblVelnor->setCursor(hand);

    numericfield::install(ui->TxtTVA1, [this](QChar &key) { TxtTVA1_KeyPress(key); });
    numericfield::install(ui->TxtTVA2, [this](QChar &key) { TxtTVA2_KeyPress(key); });
    connect(ui->CmdValide, &QPushButton::clicked, this, &frmAbout::CmdValide_Click);

    Timer1.setInterval(10);
    connect(&Timer1, &QTimer::timeout, this, &frmAbout::Timer1_Timer);

    ui->LblVelnor->setText(QStringLiteral(TARVEX_WEBSITE));
    widenToText(ui->Label14);
    // The green frame keeps its margins around the link.
    const QRect designedLink = ui->LblVelnor->geometry();
    const QRect link = widenToText(ui->LblVelnor);
    ui->Shape2->setGeometry(ui->Shape2->geometry().adjusted(
        link.left() - designedLink.left(), 0, link.right() - designedLink.right(), 0));
    // Moves without a button reach only the widgets that track the mouse: the window for its
    // background and the link. The green frame lets them through, so it counts as background.
    setMouseTracking(true);
    ui->LblVelnor->setMouseTracking(true);
    ui->LblVelnor->installEventFilter(this);
    ui->Shape2->setAttribute(Qt::WA_TransparentForMouseEvents);

    ui->TxtTVA1->setFocus();
}

void frmAbout::Form_Load()
{
    const options::RateFields fields =
        options::fieldsFromSharedRates(m_desk.rates().shared(), m_regionalMark);
    ui->TxtTVA1->setText(fields.first);
    ui->TxtTVA2->setText(fields.second);
}

void frmAbout::TxtTVA1_KeyPress(QChar &key)
{
    key = calc::filterNumericKey(key);
}

void frmAbout::TxtTVA2_KeyPress(QChar &key)
{
    TxtTVA1_KeyPress(key);
}

void frmAbout::CmdValide_Click()
{
    const options::CheckOutcome outcome =
        m_validation.check({ui->TxtTVA1->text(), ui->TxtTVA2->text()});
    if (outcome.fields.first != ui->TxtTVA1->text())
        ui->TxtTVA1->setText(outcome.fields.first);
    if (outcome.fields.second != ui->TxtTVA2->text())
        ui->TxtTVA2->setText(outcome.fields.second);
    showConversion();
    if (outcome.convert)
        Timer1.start();
    else
        Timer1.stop();
}

void frmAbout::Timer1_Timer()
{
    const options::StepOutcome outcome = m_validation.step();
    showConversion();
    if (outcome.complete) {
        storeRates();
        return;
    }
    if (outcome.refuseFirst) {
        ui->TxtTVA1->setText(options::TwoSeparators);
        Timer1.stop();
    }
    if (outcome.refuseSecond) {
        ui->TxtTVA2->setText(options::TwoSeparators);
        Timer1.stop();
    }
}

void frmAbout::showConversion()
{
    const vat::RateTextConversion &conversion = m_validation.conversion();
    ui->Text1->setText(conversion.firstResult());
    ui->Text2->setText(conversion.secondResult());
    ui->Trans1->setText(conversion.firstTransit());
    ui->Trans2->setText(conversion.secondTransit());
}

void frmAbout::storeRates()
{
    const vat::RateTextConversion &converted = m_validation.conversion();
    const desk::Desk::StoredRates stored =
        m_desk.storeRates(converted.firstResult(), converted.secondResult());
    ui->TxtTVA1->setText(stored.first);
    ui->TxtTVA2->setText(stored.second);
    close();
    Timer1.stop();
}

void frmAbout::LblVelnor_MouseMove()
{
    setBackground(ui->LblVelnor, overLinkColour);
}

void frmAbout::Form_MouseMove()
{
    setBackground(ui->LblVelnor, overBackgroundColour);
    ui->Shape2->hide();
}

void frmAbout::LblVelnor_Click()
{
    desktop::openWebSite(ui->LblVelnor->text());
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != ui->LblVelnor)
        return QWidget::eventFilter(watched, event);
    // The link keeps its mouse events to itself: a move over it is not a move over the window.
    switch (event->type()) {
    case QEvent::MouseMove:
        LblVelnor_MouseMove();
        return true;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_linkPressed = true;
        return true;
    case QEvent::MouseButtonRelease: {
        const auto *release = static_cast<QMouseEvent *>(event);
        if (release->button() != Qt::LeftButton)
            return true;
        // A click: pressed and released over the link.
        const bool click =
            m_linkPressed && ui->LblVelnor->rect().contains(release->position().toPoint());
        m_linkPressed = false;
        if (click)
            LblVelnor_Click();
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void frmAbout::mouseMoveEvent(QMouseEvent *event)
{
    // Only the background itself: a move that a child let through is not over the window.
    if (!childAt(event->position().toPoint()))
        Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

void frmAbout::closeEvent(QCloseEvent *event)
{
    // Closing discards the edits and any conversion still running: nothing is stored.
    Timer1.stop();
    QWidget::closeEvent(event);
}
