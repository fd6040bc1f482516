#pragma once

// The tape's corrections as its window asks for them, worked by the desk's journal: a corrected
// entry replays its calculation, and the calculator follows when the calculation was still its
// own. An amount taken back goes on the calculator as a paste of it would. QtCore only.

#include "tape/tapeediting.h"

namespace desk {

class Desk;

class TapeCorrections final : public tape::TapeEditing
{
public:
    explicit TapeCorrections(Desk &desk) : m_desk(desk) {}

    QString whyNotCorrectable(int line) const override;
    QString keyedText(int line) const override;
    QString formerAmount(int line) const override;

    bool replaceAmount(int line, const QString &text) override;
    bool setOperator(int line, tape::EntryOperator op) override;
    bool removeEntry(int line) override;
    bool insertBefore(int line, const QString &text, tape::EntryOperator op) override;

    bool canUndo() const override;
    bool undo() override;
    bool canRedo() const override;
    bool redo() override;

    bool takeBack(int line) override;

private:
    // After a correction: the calculator shows what the replay left it with.
    bool corrected(bool done);

    Desk &m_desk;
};

} // namespace desk
