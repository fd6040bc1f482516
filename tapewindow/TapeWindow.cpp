// The tape window: a list view over the tape's rows, the grand total under it, and the buttons.
// The texts it copies and saves are made by the tape's own logic (tapetext.h); the window only
// asks the user where they go.
#include "tapewindow/TapeWindow.h"
#include "ui_TapeWindow.h"

#include "calculator/numbertext.h"
#include "desk/desk.h"
#include "desktop/docking.h"
#include "tape/tape.h"
#include "tape/tapemodel.h"
#include "tape/tapetext.h"
#include "tapewindow/tapedelegate.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <QTimer>

#include <utility>

namespace {

const QString placeKey = QStringLiteral("Ruban/geometry");

} // namespace

TapeWindow::TapeWindow(desk::Desk &desk, tape::TapeEditing *editing, QWidget *parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::TapeWindow>()), m_desk(desk),
      m_tape(std::as_const(desk).tape()), m_editing(editing)
{
    // Made here rather than among the members: a child tells this window through event(), which
    // reads members that are only complete once the constructor's body runs.
    m_model = new tape::TapeModel(m_tape, this);
    ui->setupUi(this);
    // Read-only, the window is as it always was: no corrections offered.
    for (QWidget *correcting : std::initializer_list<QWidget *>{
             ui->LblAide, ui->CmdCorriger, ui->CmdSupprimer, ui->CmdInserer, ui->CmdReprendre})
        correcting->setVisible(m_editing != nullptr);
    resize(size().expandedTo(minimumSizeHint()));
    m_model->setEditing(m_editing);
    ui->LstRuban->setModel(m_model);

    connect(ui->CmdCopier, &QPushButton::clicked, this, &TapeWindow::CmdCopier_Click);
    connect(ui->CmdEnregistrer, &QPushButton::clicked, this, &TapeWindow::CmdEnregistrer_Click);
    connect(ui->CmdImprimer, &QPushButton::clicked, this, &TapeWindow::CmdImprimer_Click);
    connect(ui->CmdEffacer, &QPushButton::clicked, this, &TapeWindow::CmdEffacer_Click);
    connect(ui->CmdVentilation, &QPushButton::clicked, this, &TapeWindow::CmdVentilation_Click);
    auto *copy = new QShortcut(QKeySequence::Copy, ui->LstRuban);
    copy->setContext(Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, &TapeWindow::CmdCopier_Click);

    connect(m_model, &QAbstractItemModel::rowsInserted, this, &TapeWindow::onRowsInserted);
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, &TapeWindow::keepChosenLine);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TapeWindow::showChosenLine);
    connect(&m_tape, &tape::Tape::problemChanged, this, &TapeWindow::showProblem);
    connect(&m_tape, &tape::Tape::changed, this, &TapeWindow::showGrandTotal);
    setUpEditing();

    showGrandTotal();
    showProblem();
}

TapeWindow::~TapeWindow()
{
    // The program can end with the window open (the calculator's quit button closes nothing).
    if (isVisible())
        rememberPlace();
}

QListView *TapeWindow::lines() const
{
    return ui->LstRuban;
}

tape::TapeModel *TapeWindow::model() const
{
    return m_model;
}

bool TapeWindow::restorePlace()
{
    const QByteArray place = QSettings().value(placeKey).toByteArray();
    return !place.isEmpty() && restoreGeometry(place);
}

QMargins TapeWindow::frameMargins() const
{
    return {geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
            frameGeometry().right() - geometry().right(),
            frameGeometry().bottom() - geometry().bottom()};
}

void TapeWindow::dockLeftOf(const QRect &mainWindowFrame)
{
    if (!m_dockTo) {
        m_dockTo = mainWindowFrame;
        // Long enough for any desktop to have framed the window; the user's moves are theirs.
        QTimer::singleShot(2000, this, [this] { m_dockTo.reset(); });
    }
    const QMargins frame = frameMargins();
    m_dockedWithFrame = frame;
    const QScreen *screen = QGuiApplication::screenAt(mainWindowFrame.center());
    const QRect available = screen ? screen->availableGeometry() : mainWindowFrame;
    const QRect place =
        dock::tapeWindowFrame(mainWindowFrame, width() + frame.left() + frame.right(), available);
    resize(width(), std::max(minimumHeight(), place.height() - frame.top() - frame.bottom()));
    move(place.topLeft());
}

bool TapeWindow::event(QEvent *event)
{
    // The desktop frames the window some time after it is shown, moving it as it does; until it
    // has, the window keeps docking itself again, so that its frame, not its inside, ends up
    // against the main window.
    const bool placed = QWidget::event(event);
    if (m_dockTo && (event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
        frameMargins() != m_dockedWithFrame)
        dockLeftOf(*m_dockTo);
    return placed;
}

void TapeWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The newest line in view, now that the list has its size, and the keyboard's place in the
    // list there too, so that the first Up chooses the line above it. Nothing is chosen yet.
    QListView *list = ui->LstRuban;
    if (const int rows = list->model()->rowCount(); rows > 0 && !list->currentIndex().isValid())
        list->selectionModel()->setCurrentIndex(list->model()->index(rows - 1, 0),
                                                QItemSelectionModel::NoUpdate);
    list->scrollToBottom();
    list->setFocus();
}

void TapeWindow::hideEvent(QHideEvent *event)
{
    rememberPlace();
    QWidget::hideEvent(event);
}

void TapeWindow::rememberPlace()
{
    QSettings().setValue(placeKey, saveGeometry());
}

void TapeWindow::onRowsInserted()
{
    if (!m_keepView)
        ui->LstRuban->scrollToBottom();
    showGrandTotal();
}

void TapeWindow::showGrandTotal()
{
    ui->TxtGT->setText(tape::centsText(m_tape.grandTotalCents(), calc::regionalDecimalMark()));
}

void TapeWindow::showProblem()
{
    QString notice = m_tape.problem();
    if (!m_actionProblem.isEmpty())
        notice = notice.isEmpty() ? m_actionProblem : notice + u' ' + m_actionProblem;
    ui->LblProbleme->setText(notice);
    ui->LblProbleme->setVisible(!notice.isEmpty());
}

void TapeWindow::CmdCopier_Click()
{
    const QModelIndexList selected = ui->LstRuban->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        QGuiApplication::clipboard()->setText(
            tape::copyText(m_tape.lines(), m_model->formerAmounts()));
        return;
    }
    const QList<int> chosen = m_model->lineNumbersOf(selected);
    QList<tape::Line> lines;
    lines.reserve(chosen.size());
    for (int line : chosen)
        lines += m_tape.lines()[line];
    QGuiApplication::clipboard()->setText(tape::copyText(lines, m_model->formerAmountsOf(chosen)));
}

void TapeWindow::CmdEnregistrer_Click()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(
        QStringLiteral("ruban-%1.csv").arg(QDate::currentDate().toString(Qt::ISODate)));
    QString fileName =
        QFileDialog::getSaveFileName(this, QStringLiteral("Enregistrer le ruban"), suggested,
                                     QStringLiteral("Fichiers CSV (*.csv);;Tous les fichiers (*)"));
    if (fileName.isEmpty())
        return;
    saveTo(fileName);
}

bool TapeWindow::saveTo(const QString &fileName)
{
    QSaveFile file(fileName);
    const bool saved = file.open(QIODevice::WriteOnly) &&
                       file.write(tape::csvFile(m_tape.lines(), m_model->formerAmounts())) >= 0 &&
                       file.commit();
    if (saved)
        rememberCsvFile(fileName);
    m_actionProblem = saved ? QString()
                            : QStringLiteral("Le ruban n'a pas pu être enregistré dans %1.")
                                  .arg(QDir::toNativeSeparators(fileName));
    showProblem();
    return saved;
}

void TapeWindow::CmdEffacer_Click()
{
    QMessageBox confirm(QMessageBox::Question, QStringLiteral("Tarvex - Ruban"),
                        QStringLiteral("Effacer tout le ruban et son grand total ?"),
                        QMessageBox::Yes | QMessageBox::No, this);
    confirm.button(QMessageBox::Yes)->setText(QStringLiteral("Effacer"));
    confirm.button(QMessageBox::No)->setText(QStringLiteral("Annuler"));
    confirm.setDefaultButton(QMessageBox::No);
    if (confirm.exec() == QMessageBox::Yes)
        m_desk.clearTape();
}
