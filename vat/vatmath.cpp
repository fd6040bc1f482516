#include "vatmath.h"

namespace vat {

double withVat(double price, double rate)
{
    const double hundredth = price / 100.0;
    return price + hundredth * rate;
}

double withoutVat(double price, double rate)
{
    return price / (rate / 100.0 + 1.0);
}

double vatOn(double price, double rate)
{
    return (price / 100.0) * rate;
}

double vatContained(double price, double rate)
{
    return price - withoutVat(price, rate);
}

} // namespace vat
