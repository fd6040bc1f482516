// Temporary: the navigation of the main window is being written.
#include "Form1.h"

#include <QMouseEvent>

void Form1::CmdOption_Click() {}
void Form1::CmdMarge_Click() {}
void Form1::CmdMinimise_Click() {}
void Form1::CmdQuitte_Click() {}
void Form1::mousePressEvent(QMouseEvent *event) { QWidget::mousePressEvent(event); }
void Form1::dockMarginWindow() {}
