#pragma once

// The VAT arithmetic of the whole program, at a rate in percent (19.6 means 19.6 %): the main
// window's VAT keys and the margin calculator's prices with and without VAT both work here.
//
// Each computation is worked in exactly the order written beside it. Another order can differ in
// the last binary place, and a result that sits on a half cent would then round the other way.
// Nothing is rounded or checked here: an unusable result (a rate of -100, an amount out of
// range) is the caller's to refuse.

namespace vat {

// The price with VAT of a price without VAT: x + (x / 100) * t.
double withVat(double price, double rate);
// The price without VAT of a price with VAT: x / (t / 100 + 1).
double withoutVat(double price, double rate);
// The VAT on a price without VAT: (x / 100) * t.
double vatOn(double price, double rate);
// The VAT contained in a price with VAT: x - x / (t / 100 + 1).
double vatContained(double price, double rate);

} // namespace vat
