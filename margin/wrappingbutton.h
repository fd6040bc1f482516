#pragma once

// Option buttons and check boxes whose caption wraps onto several lines within the button's
// width, as the narrow "Options" column of the margin window needs ("Taux  marge fixe" over two
// lines beside its button). The whole rectangle of the button reacts to the mouse.

#include <QCheckBox>
#include <QRadioButton>

class WrappingRadioButton : public QRadioButton
{
    Q_OBJECT
    // Says to whoever lays out or checks captions that this one wraps.
    Q_PROPERTY(bool wordWrap READ wordWrap CONSTANT)

public:
    using QRadioButton::QRadioButton;
    bool wordWrap() const { return true; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
};

class WrappingCheckBox : public QCheckBox
{
    Q_OBJECT
    // Says to whoever lays out or checks captions that this one wraps.
    Q_PROPERTY(bool wordWrap READ wordWrap CONSTANT)

public:
    using QCheckBox::QCheckBox;
    bool wordWrap() const { return true; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
};
