#pragma once

// The editor that opens on a tape line's amount: a number field that reads what is typed as the
// calculator's keys do (digits and one decimal mark, "," or "."), takes a pasted price whole, and
// turns a typed operator into the entry's operator rather than into text.

#include "tape/tapeediting.h"

#include <QLineEdit>

#include <optional>

namespace tapewindow {

// The operator a typed character stands for: "+", "-", "*" or "x", "/"; nothing for the others.
std::optional<tape::EntryOperator> typedOperator(QChar key);
// The operator as the tape writes it in its mark column.
QString operatorMark(tape::EntryOperator op);

class AmountEditor : public QLineEdit
{
    Q_OBJECT

public:
    explicit AmountEditor(QWidget *parent = nullptr);

signals:
    void operatorTyped(tape::EntryOperator op);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void keyTyped(QChar &key);
    void pastePrice();
};

} // namespace tapewindow
