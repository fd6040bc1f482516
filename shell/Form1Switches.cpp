// The calculator's switches on the main window: the "Décimales" and "Arrondi" submenus of its
// context menu, the annunciator inside the display's left edge, and the margin window's price
// ending. The rules live in the calculator and margin logic; these handlers only pass the
// choices on, keep them in the user's settings and show them.
#include "Form1.h"
#include "ui_Form1.h"

#include "calculator/switchsettings.h"
#include "margin/Form2.h"

#include <QActionGroup>
#include <QLabel>
#include <QMenu>

#include <functional>
#include <utility>

namespace {

// One radio entry per choice; ticked afresh each time the submenu opens.
template <typename Choice>
void addChoices(QMenu *menu, std::initializer_list<std::pair<Choice, QString>> choices,
                std::function<Choice()> current, std::function<void(Choice)> choose)
{
    auto *group = new QActionGroup(menu);
    for (const auto &[choice, text] : choices) {
        QAction *action = menu->addAction(text);
        action->setCheckable(true);
        action->setActionGroup(group);
        QObject::connect(action, &QAction::triggered, menu, [choose, c = choice] { choose(c); });
        QObject::connect(menu, &QMenu::aboutToShow, action,
                         [action, current, c = choice] { action->setChecked(current() == c); });
    }
}

} // namespace

// Cheap enough for the start-up: one small settings file read, and nothing made or drawn while
// the switches stand at their defaults.
void Form1::loadSwitches()
{
    m_switches = calc::SwitchSettings().load();
    applySwitches();
}

void Form1::addSwitchMenus(QMenu *menu)
{
    using calc::Decimals;
    using calc::Rounding;
    QMenu *decimals = menu->addMenu(QStringLiteral("Décimales"));
    decimals->setObjectName(QStringLiteral("mnuDecimales"));
    addChoices<Decimals>(
        decimals,
        {{Decimals::Floating, QStringLiteral("F (toutes)")},
         {Decimals::Zero, QStringLiteral("0")},
         {Decimals::One, QStringLiteral("1")},
         {Decimals::Two, QStringLiteral("2")},
         {Decimals::Three, QStringLiteral("3")},
         {Decimals::Four, QStringLiteral("4")},
         {Decimals::Add2, QStringLiteral("Add2")}},
        [this] { return m_switches.decimals; }, [this](Decimals d) { chooseDecimals(d); });
    QMenu *rounding = menu->addMenu(QStringLiteral("Arrondi"));
    rounding->setObjectName(QStringLiteral("mnuArrondi"));
    addChoices<Rounding>(
        rounding,
        {{Rounding::Nearest, QStringLiteral("5/4 (au plus proche)")},
         {Rounding::Up, QStringLiteral("Par excès (↑)")},
         {Rounding::Down, QStringLiteral("Par défaut (↓)")}},
        [this] { return m_switches.rounding; }, [this](Rounding r) { chooseRounding(r); });
}

void Form1::chooseDecimals(calc::Decimals decimals)
{
    m_switches.decimals = decimals;
    calc::SwitchSettings().saveDecimals(decimals);
    applySwitches();
}

void Form1::chooseRounding(calc::Rounding rounding)
{
    m_switches.rounding = rounding;
    calc::SwitchSettings().saveRounding(rounding);
    applySwitches();
}

void Form1::choosePriceEnding(calc::PriceEnding ending)
{
    m_switches.priceEnding = ending;
    calc::SwitchSettings().savePriceEnding(ending);
    applySwitches();
}

// The calculation takes the switches from the next key on; what is on the display stays.
void Form1::applySwitches()
{
    m_engine.setSwitches(m_switches);
    if (m_form2 && m_form2->priceEnding() != m_switches.priceEnding)
        m_form2->setPriceEnding(m_switches.priceEnding);
    showSwitches();
}

// The annunciator, as a calculator's LCD shows its switches: the decimals above, the rounding
// below, in the display's own colours. The display's text keeps clear of it, so no digit is ever
// under it; at the defaults it is neither shown nor given room, and the display is as it was.
void Form1::showSwitches()
{
    const calc::Annunciator shown = calc::annunciator(m_switches);
    ui->Text1->setAccessibleDescription(calc::switchesDescription(m_switches));
    if (shown.isEmpty()) {
        if (m_annunciator) {
            m_annunciator->hide();
            ui->Text1->setTextMargins(0, 0, 0, 0);
        }
        return;
    }
    if (!m_annunciator) {
        m_annunciator = new QLabel(ui->Text1);
        m_annunciator->setObjectName(QStringLiteral("Annonciateur"));
        m_annunciator->setAttribute(Qt::WA_TransparentForMouseEvents);
        QFont font = ui->Text1->font();
        font.setPointSizeF(7.5);
        m_annunciator->setFont(font);
        QPalette palette = m_annunciator->palette();
        palette.setColor(QPalette::WindowText, ui->Text1->palette().color(QPalette::Text));
        m_annunciator->setPalette(palette);
        m_annunciator->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    QStringList lines;
    for (const QString &line : {shown.decimals, shown.rounding}) {
        if (!line.isEmpty())
            lines << line;
    }
    m_annunciator->setText(lines.join(QLatin1Char('\n')));
    const int left = 3;
    const int width = m_annunciator->sizeHint().width();
    m_annunciator->setGeometry(left, 0, width, ui->Text1->height());
    ui->Text1->setTextMargins(left + width, 0, 0, 0);
    m_annunciator->show();
}
