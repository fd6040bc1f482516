#pragma once

// What a Designer form cannot say by itself, kept in the form as dynamic properties beside the
// ordinary ones and applied by the program:
//   "pointSizeF"  the exact size of a font of a fractional point size (a form's font only holds
//                 whole points);
//   "picture"     one of the program's pictures (":/ui/..."), shown by a label or as a button's
//                 icon, at the screen's pixel density.
// While a FormDetails lives, each of them is applied the moment the form's generated code sets it,
// before the next element is made: a field never lays its text out in a size it will not keep,
// and no picture goes through Qt's general image loading, which loads every image plug-in
// installed to ask each whether it reads PNG. A face the form names that is not installed is
// replaced by its stand-in (standInFace) as it is set, for the same reason.

#include <QObject>

namespace desktop {

class FormDetails : public QObject
{
public:
    FormDetails();
    ~FormDetails() override;

    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace desktop
