#include "Form2.h"

#include "ui_Form2.h"

#include "calculator/numbertext.h"
#include "calculator/numericfilter.h"
#include "desk/desk.h"
#include "desktop/docking.h"
#include "desktop/numericfield.h"
#include "desktop/platform.h"
#include "margin/margincalc.h"
#include "margin/marginmodes.h"
#include "margin/pricechange.h"

#include <QMouseEvent>
#include <QPainter>

Form2::Form2(QWidget *mainWindow, desk::Desk &desk, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), ui(std::make_unique<Ui::Form2>()),
      m_main(mainWindow), m_desk(desk), m_mark(calc::regionalDecimalMark()),
      m_background(desktop::picture(QStringLiteral(":/ui/form2-body.bmp"))),
      m_modes(std::make_unique<margin::MarginModes>()),
      m_margin(std::make_unique<margin::MarginCalculator>()),
      m_change(std::make_unique<margin::PriceChange>())
{
    ui->setupUi(this);
    setFixedSize(402, 328);

    // The window was drawn for MS Sans Serif; where it is missing, a face of the same narrow
    // build keeps the captions within their places. Sizes and weights stay those of the form.
    QFont windowFont = font();
    windowFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                            QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    setFont(windowFont);

    // The white frame around the margin calculator is only drawn: a press on it is a press on
    // the window's background.
    ui->Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    const QCursor hand = desktop::handCursor();
    for (QWidget *w : std::initializer_list<QWidget *>{
             ui->CmdMiniMarge, ui->OpPv, ui->CmdCalcul1, ui->cmdRaz, ui->Check1, ui->Option1,
             ui->Option2, ui->Option3, ui->Option4, ui->Check2, ui->Check3}) {
        w->setCursor(hand);
    }

    installNumberFields();
    connectElements();
    ui->CmdRaz2->setFocus();
    Form_Load();
}

Form2::~Form2() = default;

void Form2::Form_Load()
{
    desktop::applyRoundedOutline(this, 1, 1, 402, 328, 30, 30);
}

void Form2::connectElements()
{
    connect(ui->CmdMiniMarge, &QPushButton::clicked, this, &Form2::CmdMiniMarge_Click);
    connect(ui->CmdCalcul1, &QPushButton::clicked, this, &Form2::CmdCalcul1_Click);
    connect(ui->cmdRaz, &QPushButton::clicked, this, &Form2::cmdRaz_Click);
    connect(ui->CmdCalculer2, &QPushButton::clicked, this, &Form2::CmdCalculer2_Click);
    connect(ui->CmdRaz2, &QPushButton::clicked, this, &Form2::CmdRaz2_Click);

    // A check box runs its handler whenever its value changes.
    connect(ui->Check1, &QCheckBox::toggled, this, &Form2::Check1_Click);
    connect(ui->Check2, &QCheckBox::toggled, this, &Form2::Check2_Click);
    connect(ui->Check3, &QCheckBox::toggled, this, &Form2::Check3_Click);
    connect(ui->CheckTaux, &QCheckBox::toggled, this, &Form2::CheckTaux_Click);

    connectOptionButton(ui->Option1, &Form2::Option1_Click);
    connectOptionButton(ui->Option2, &Form2::Option2_Click);
    connectOptionButton(ui->Option3, &Form2::Option3_Click);
    connectOptionButton(ui->Option4, &Form2::Option4_Click);
    connectOptionButton(ui->OpPA, &Form2::OpPA_Click);
    connectOptionButton(ui->OpPv, &Form2::OpPv_Click);
    connectOptionButton(ui->OptionRem, &Form2::OptionRem_Click);
    connectOptionButton(ui->OptionHausse, &Form2::OptionHausse_Click);

    connect(ui->TxtN1, &QLineEdit::textChanged, this, &Form2::TxtN1_Change);
}

void Form2::installNumberFields()
{
    using Handler = void (Form2::*)(QChar &);
    const std::pair<QLineEdit *, Handler> keyHandlers[] = {
        {ui->TxtAchat, &Form2::TxtAchat_KeyPress},
        {ui->TxtVente, &Form2::TxtVente_KeyPress},
        {ui->TxtTauxMarge, &Form2::TxtTauxMarge_KeyPress},
        {ui->TxtTauxMarque, &Form2::TxtTauxMarque_KeyPress},
        {ui->TxtCoef, &Form2::TxtCoef_KeyPress},
        {ui->TxtMargeBrute, &Form2::TxtMargeBrute_KeyPress},
        {ui->TxtN1, &Form2::TxtN1_KeyPress},
        {ui->TxtN2, &Form2::TxtN2_KeyPress},
        {ui->TxtRem, &Form2::TxtRem_KeyPress},
    };
    for (const auto &entry : keyHandlers) {
        const auto handler = entry.second;
        numericfield::install(entry.first, [this, handler](QChar &key) { (this->*handler)(key); });
    }

    watchClicks(ui->TxtAchat, &Form2::TxtAchat_Click);
    watchClicks(ui->TxtVente, &Form2::TxtVente_Click);
    watchClicks(ui->TxtTauxMarge, &Form2::TxtTauxMarge_Click);
    watchClicks(ui->TxtTauxMarque, &Form2::TxtTauxMarque_Click);
    watchClicks(ui->TxtCoef, &Form2::TxtCoef_Click);
    watchClicks(ui->TxtMargeBrute, &Form2::TxtMargeBrute_Click);
    watchClicks(ui->TxtN1, &Form2::TxtN1_Click);
    watchClicks(ui->TxtN2, &Form2::TxtN2_Click);
    watchClicks(ui->TxtRem, &Form2::TxtRem_Click);
}

void Form2::watchClicks(QLineEdit *edit, void (Form2::*handler)())
{
    m_clickHandlers.insert(edit, handler);
    edit->installEventFilter(this);
}

// A click in a number field empties it, locked or not: that is how the user starts an entry.
bool Form2::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (const auto handler = m_clickHandlers.value(watched))
            (this->*handler)();
    }
    return QWidget::eventFilter(watched, event);
}

// The option buttons' handlers run when a button becomes selected by the user. The set-up then
// selects and clears buttons itself, without running their handlers again.
void Form2::connectOptionButton(QRadioButton *button, void (Form2::*handler)())
{
    connect(button, &QRadioButton::toggled, this, [this, handler](bool checked) {
        if (checked)
            (this->*handler)();
    });
}

void Form2::deselectOption(QRadioButton *button)
{
    // A selected button that excludes its neighbours refuses to be cleared on its own.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(exclusive);
}

void Form2::applyRole(QLineEdit *edit, margin::Role role)
{
    edit->setVisible(margin::isShown(role));
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, QColor(QRgb(margin::colourOf(role))));
    edit->setPalette(palette);
    edit->setReadOnly(margin::isLocked(role));
}

void Form2::dockMainWindow()
{
    if (m_main)
        m_main->move(dock::mainWindowPlace(geometry(), m_main->width()));
}

void Form2::CmdMiniMarge_Click()
{
    if (m_main)
        m_main->move(m_main->x() - dock::openingShift(width()), m_main->y());
    hide();
}

// Form_MouseDown: only a left press on the background itself (not on an element) drags.
void Form2::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !desktop::pressedOnBackground(this, event)) {
        QWidget::mousePressEvent(event);
        return;
    }
    desktop::makeTopmost(this);
    desktop::moveWithMouse(
        this, event, [this] { dockMainWindow(); }, m_main);
}

void Form2::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xA7, 0xA7, 0xA7));
    if (!m_background.isNull())
        painter.drawPixmap(0, 0, m_background);
}

// The number fields: the shared key filter, and a click that empties the field.

void Form2::TxtAchat_KeyPress(QChar &key)
{
    key = calc::filterNumericKey(key);
}
void Form2::TxtVente_KeyPress(QChar &key)
{
    key = calc::filterNumericKey(key);
}
void Form2::TxtTauxMarge_KeyPress(QChar &key)
{
    key = calc::filterNumericKey(key);
}
void Form2::TxtTauxMarque_KeyPress(QChar &key)
{
    key = calc::filterNumericKey(key);
}
void Form2::TxtCoef_KeyPress(QChar &key)
{
    key = calc::filterNumericKey(key);
}
void Form2::TxtMargeBrute_KeyPress(QChar &key)
{
    key = calc::filterNumericKey(key);
}
void Form2::TxtN1_KeyPress(QChar &key)
{
    key = calc::filterNumericKey(key);
}
void Form2::TxtN2_KeyPress(QChar &key)
{
    key = calc::filterNumericKey(key);
}
void Form2::TxtRem_KeyPress(QChar &key)
{
    key = calc::filterNumericKey(key);
}

void Form2::TxtAchat_Click()
{
    ui->TxtAchat->clear();
}
void Form2::TxtVente_Click()
{
    ui->TxtVente->clear();
}
void Form2::TxtTauxMarge_Click()
{
    ui->TxtTauxMarge->clear();
}
void Form2::TxtTauxMarque_Click()
{
    ui->TxtTauxMarque->clear();
}
void Form2::TxtCoef_Click()
{
    ui->TxtCoef->clear();
}
void Form2::TxtMargeBrute_Click()
{
    ui->TxtMargeBrute->clear();
}
