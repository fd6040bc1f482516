// Temporary: the VAT handlers of the main window are being written.
#include "Form1.h"

QString Form1::vatCaption() const { return {}; }
void Form1::setVatCaption(const QString &) {}
void Form1::makeFirstRateActive() {}
void Form1::loadRates() {}
void Form1::Timer1_Timer() {}
void Form1::TVA_Click() {}
void Form1::CmdTTC_Click() {}
void Form1::CmdHT_Click() {}
void Form1::CmdTVA_Click() {}
void Form1::DontTVA_Click() {}
