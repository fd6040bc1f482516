// The calculator's switches on the main window: the "Décimales" and "Arrondi" submenus of its
// context menu and the annunciator inside the display's left edge. The desk holds the switches,
// applies them and keeps them in the user's settings; these handlers only pass the choices on and
// show what the desk holds.
#include "Form1.h"
#include "ui_Form1.h"

#include "desk/desk.h"

#include <QActionGroup>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

// The annunciator: the decimals switch as text above, the rounding switch as an arrow below,
// like the small marks at the edge of a calculator's LCD, in the display's own colours. The arrow
// is drawn rather than taken from a font, where it is often a thin fallback glyph hard to make out
// at this size. The label's text ("2\n↓") is what it shows, for whoever reads the widget rather
// than looks at it.
//
// The display's text keeps clear of the marks, so they never cover a digit. The longest results
// (17 characters, "-.857142857142857") need nearly the display's whole width: while one is shown
// the marks step aside and the text has all the room, as it always had.
class Annunciator : public QLabel
{
public:
    explicit Annunciator(QLineEdit *display) : QLabel(display), m_display(display)
    {
        setObjectName(QStringLiteral("Annonciateur"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        QFont bold = display->font();
        bold.setPixelSize(rowHeight - 3);
        bold.setBold(true);
        setFont(bold);
        QPalette palette = this->palette();
        palette.setColor(QPalette::WindowText, display->palette().color(QPalette::Text));
        setPalette(palette);
        connect(display, &QLineEdit::textChanged, this, &Annunciator::fit);
    }

    void showMarks(const calc::Annunciator &marks)
    {
        m_marks = marks;
        QStringList lines;
        for (const QString &line : {marks.decimals, marks.rounding}) {
            if (!line.isEmpty())
                lines << line;
        }
        setText(lines.join(QLatin1Char('\n')));
        const int width = std::max(fontMetrics().horizontalAdvance(marks.decimals),
                                   marks.rounding.isEmpty() ? 0 : arrowWidth);
        setGeometry(frame() + 1, 0, width, m_display->height());
        fit();
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
        // One mark: in the middle of the display; two: one above the other.
        const bool both = !m_marks.decimals.isEmpty() && !m_marks.rounding.isEmpty();
        const QRect row(0, height() / 2 - rowHeight / 2, width(), rowHeight);
        if (!m_marks.decimals.isEmpty()) {
            const QRect top = both ? row.translated(0, -rowHeight / 2 - 1) : row;
            painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, m_marks.decimals);
        }
        if (!m_marks.rounding.isEmpty()) {
            const QRectF r =
                QRectF(both ? row.translated(0, rowHeight / 2 + 1) : row).adjusted(0, 2.5, 0, -2.5);
            const double x = arrowWidth / 2.0;
            const double half = arrowWidth / 2.0 - 0.75;
            const bool up = m_marks.rounding == QStringLiteral("↑");
            const double tip = up ? r.top() : r.bottom();
            const double tail = up ? r.bottom() : r.top();
            const double head = up ? half : -half;
            painter.drawLine(QPointF(x, tail), QPointF(x, tip));
            painter.drawPolyline(QPolygonF{QPointF(x - half, tip + head), QPointF(x, tip),
                                           QPointF(x + half, tip + head)});
        }
    }

private:
    static constexpr int rowHeight = 13;
    static constexpr int arrowWidth = 6;
    static constexpr int gap = 2;

    int frame() const
    {
        return m_display->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_display);
    }

    // Marks and text side by side when there is room for both; otherwise the text alone. The
    // display's text lies 2 pixels inside its frame, and needs 2 more for its cursor.
    void fit()
    {
        const bool wanted = !m_marks.isEmpty();
        const int margin = width() + 1 + gap - 2;
        const int room = m_display->width() - 2 * frame() - 4 - margin;
        const bool fits =
            wanted && m_display->fontMetrics().horizontalAdvance(m_display->text()) + 2 <= room;
        setVisible(fits);
        m_display->setTextMargins(fits ? margin : 0, 0, 0, 0);
    }

    QLineEdit *m_display;
    calc::Annunciator m_marks;
};

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
        [this] { return m_desk->switches().decimals; },
        [this](Decimals d) { m_desk->chooseDecimals(d); });
    QMenu *rounding = menu->addMenu(QStringLiteral("Arrondi"));
    rounding->setObjectName(QStringLiteral("mnuArrondi"));
    addChoices<Rounding>(
        rounding,
        {{Rounding::Nearest, QStringLiteral("5/4 (au plus proche)")},
         {Rounding::Up, QStringLiteral("Par excès (↑)")},
         {Rounding::Down, QStringLiteral("Par défaut (↓)")}},
        [this] { return m_desk->switches().rounding; },
        [this](Rounding r) { m_desk->chooseRounding(r); });
}

// What the display shows of the switches, and says of them to a screen reader. The annunciator
// is made when a switch first leaves its default; until then the display is as it always was.
void Form1::showSwitches()
{
    const calc::Switches &switches = m_desk->switches();
    const calc::Annunciator marks = calc::annunciator(switches);
    ui->Text1->setAccessibleDescription(calc::switchesDescription(switches));
    if (!m_annunciator && marks.isEmpty())
        return;
    if (!m_annunciator)
        m_annunciator = new Annunciator(ui->Text1);
    static_cast<Annunciator *>(m_annunciator)->showMarks(marks);
}
