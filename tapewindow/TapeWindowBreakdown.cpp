// The tape window's VAT breakdown ("Ventilation TVA"): the table of the lines chosen, or of the
// whole tape, kept up to date as the tape grows, is corrected or the choice changes, and what its
// buttons hand out: the copy, the CSV file beside the tape's, the print.
#include "tapewindow/TapeWindow.h"
#include "ui_TapeWindow.h"

#include "desk/desk.h"
#include "desktop/printing.h"
#include "tape/tape.h"
#include "tape/tapemodel.h"
#include "tape/vatbreakdown.h"
#include "tapewindow/VatBreakdownWindow.h"

#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace {

// Where the tape's CSV file was last saved: the breakdown's goes beside it.
const QString csvKey = QStringLiteral("Ruban/csv");

} // namespace

VatBreakdownWindow *TapeWindow::breakdownWindow() const
{
    return m_breakdown;
}

void TapeWindow::CmdVentilation_Click()
{
    if (!m_breakdown) {
        m_breakdown = new VatBreakdownWindow(this);
        connect(m_breakdown, &VatBreakdownWindow::copyWanted, this, &TapeWindow::copyBreakdown);
        connect(m_breakdown, &VatBreakdownWindow::saveWanted, this, &TapeWindow::saveBreakdown);
        connect(m_breakdown, &VatBreakdownWindow::printWanted, this, &TapeWindow::printBreakdown);
        // Whatever changes the lines or the choice changes the table at once.
        for (auto signal : {&tape::Tape::appended, &tape::Tape::changed})
            connect(&m_tape, signal, this, &TapeWindow::showBreakdown);
        connect(&m_tape, &tape::Tape::reset, this, &TapeWindow::showBreakdown);
        connect(ui->LstRuban->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &TapeWindow::showBreakdown);
    }
    m_breakdown->show();
    showBreakdown();
    m_breakdown->raise();
    m_breakdown->activateWindow();
}

tape::VatBreakdown TapeWindow::vatBreakdown(int *chosenLines) const
{
    const QModelIndexList selected = ui->LstRuban->selectionModel()->selectedRows();
    const QList<int> chosen = selected.isEmpty() ? QList<int>() : m_model->lineNumbersOf(selected);
    if (chosenLines)
        *chosenLines = int(chosen.size());
    // A choice of day headings alone holds no line: nothing is chosen then, rather than all.
    if (!selected.isEmpty() && chosen.isEmpty())
        return {};
    return tape::vatBreakdown(m_tape.lines(), chosen, m_desk.rates().all());
}

void TapeWindow::showBreakdown()
{
    if (!m_breakdown || !m_breakdown->isVisible())
        return;
    int chosen = 0;
    const tape::VatBreakdown breakdown = vatBreakdown(&chosen);
    m_breakdown->showBreakdown(breakdown, chosen);
}

void TapeWindow::copyBreakdown()
{
    QGuiApplication::clipboard()->setText(tape::breakdownCopyText(vatBreakdown()));
}

void TapeWindow::saveBreakdown()
{
    // Beside the tape's CSV file, named after it; in the documents folder before any was saved.
    const QFileInfo tapeFile(QSettings().value(csvKey).toString());
    const QString suggested =
        tapeFile.fileName().isEmpty()
            ? QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                  .filePath(QStringLiteral("ruban-%1-tva.csv")
                                .arg(QDate::currentDate().toString(Qt::ISODate)))
            : tapeFile.dir().filePath(tapeFile.completeBaseName() + QStringLiteral("-tva.csv"));
    const QString fileName = QFileDialog::getSaveFileName(
        m_breakdown, QStringLiteral("Enregistrer la ventilation de la TVA"), suggested,
        QStringLiteral("Fichiers CSV (*.csv);;Tous les fichiers (*)"));
    if (!fileName.isEmpty())
        saveBreakdownTo(fileName);
}

bool TapeWindow::saveBreakdownTo(const QString &fileName)
{
    QSaveFile file(fileName);
    const bool saved = file.open(QIODevice::WriteOnly) &&
                       file.write(tape::breakdownCsvFile(vatBreakdown())) >= 0 && file.commit();
    m_actionProblem = saved ? QString()
                            : QStringLiteral("La ventilation n'a pas pu être enregistrée dans %1.")
                                  .arg(QDir::toNativeSeparators(fileName));
    showProblem();
    return saved;
}

void TapeWindow::rememberCsvFile(const QString &fileName)
{
    QSettings().setValue(csvKey, QFileInfo(fileName).absoluteFilePath());
}

void TapeWindow::printBreakdown()
{
    const desktop::PrintOutcome outcome =
        desktop::printPages(m_breakdown, QStringLiteral("Imprimer la ventilation de la TVA"),
                            QStringLiteral("Tarvex - Ventilation TVA"),
                            [this](QPagedPaintDevice &pages) { return printBreakdownTo(pages); });
    if (outcome == desktop::PrintOutcome::Unavailable)
        showPrintProblem();
}
