// The main window's calculator driven by any sequence of key presses and button clicks, VAT keys
// included. After every event the calculator keeps what it always keeps
// (checks/engineinvariants.h): it shows only numbers, holds only numbers it can show, and its flags
// stay within their values.
//
// Input: one byte choosing the regional decimal mark, then one event per byte (see press()).

#include "calculator/engine.h"
#include "check.h"
#include "checks/engineinvariants.h"
#include "vat/vatkeys.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace {

// Active rates the main window can hold: the usual ones, one the options window would refuse
// but a hand-edited rate file can bring, and texts that are not rates at all.
const std::array<QString, 7> rates = {
    QStringLiteral("19,6"),
    QStringLiteral("5,5"),
    QStringLiteral("2.1"),
    QStringLiteral("0"),
    QStringLiteral("-100"),
    QStringLiteral("abc"),
    QString(),
};

struct Session
{
    calc::CalculatorEngine engine;
    std::size_t rate = 0;
};

// 0-9 the digit buttons, then the other buttons, the Delete key, the four VAT keys and the rate
// switch; every other byte is a character typed on the keyboard.
void press(Session &s, std::uint8_t event)
{
    calc::CalculatorEngine &e = s.engine;
    if (event <= 9) {
        e.digit(event);
        return;
    }
    switch (event) {
    case 10:
        e.decimalPoint();
        return;
    case 11:
        e.clear();
        return;
    case 12:
        e.operatorKey(calc::Division);
        return;
    case 13:
        e.operatorKey(calc::Multiplication);
        return;
    case 14:
        e.operatorKey(calc::Addition);
        return;
    case 15:
        e.operatorKey(calc::Subtraction);
        return;
    case 16:
        e.percent();
        return;
    case 17:
        e.equals();
        return;
    case 18:
        e.deleteKey();
        return;
    case 19:
        vat::applyVatKey(e, vat::VatKey::TTC, rates[s.rate]);
        return;
    case 20:
        vat::applyVatKey(e, vat::VatKey::HT, rates[s.rate]);
        return;
    case 21:
        vat::applyVatKey(e, vat::VatKey::TVA, rates[s.rate]);
        return;
    case 22:
        vat::applyVatKey(e, vat::VatKey::DontTVA, rates[s.rate]);
        return;
    case 23:
        s.rate = (s.rate + 1) % rates.size();
        return;
    case 24:
        e.evaluatePending();
        return;
    default:
        e.keyPress(QChar(char16_t(event)));
        return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    Session s{calc::CalculatorEngine(data[0] % 2 == 0 ? QLatin1Char(',') : QLatin1Char('.'))};
    for (std::size_t i = 1; i < size; ++i) {
        press(s, data[i]);
        const QString broken = checks::brokenEngineInvariant(s.engine);
        FUZZ_CHECK(broken.isEmpty(), QStringLiteral("after event %1: ").arg(i) + broken);
    }
    return 0;
}
