#include "resample/Kernels.h"

#include <cmath>

namespace
{

// Deliberately 15 digits, not the full double: the weight tables are defined
// with this value, so sinc at a non-zero whole number is about 1e-15, which
// the weight rounding turns into 0.
constexpr double kPi = 3.14159265358979;

bool OutsideSupport(std::int32_t a, double x)
{
    return std::fabs(x) >= static_cast<double>(a);
}

double Sinc(double x)
{
    if (x == 0.0)
        return 1.0;
    const double p = x * kPi;
    return std::sin(p) / p;
}

double CosineWindowedSinc(std::int32_t a, double x, double c0, double c1, double c2)
{
    if (OutsideSupport(a, x))
        return 0.0;
    const double p = x * kPi;
    const double w = ((c2 * std::cos((p + p) / a)) + (c1 * std::cos(p / a))) + c0;
    if (x == 0.0)
        return w;
    return (std::sin(p) / p) * w;
}

} // namespace

double LanczosKernel(std::int32_t a, double x)
{
    if (OutsideSupport(a, x))
        return 0.0;
    const double s = Sinc(x);
    const double y = x / a;
    if (y == 0.0)
        return s * 1.0;
    const double q = y * kPi;
    return s * (std::sin(q) / q);
}

double BlackmanKernel(std::int32_t a, double x)
{
    return CosineWindowedSinc(a, x, 0.42, 0.5, 0.08);
}

double BlackmanHarrisKernel(std::int32_t a, double x)
{
    return CosineWindowedSinc(a, x, 0.42323, 0.49755, 0.07922);
}

double KaiserKernel(std::int32_t a, double x, double beta, double i0Beta)
{
    if (OutsideSupport(a, x))
        return 0.0;
    // Reciprocal first, then the product: x / a can differ in the last bit.
    const double u = x * (1.0 / a);
    const double w = BesselI0(std::sqrt(1.0 - u * u) * beta) / i0Beta;
    if (x == 0.0)
        return w;
    const double p = x * kPi;
    return w * (std::sin(p) / p);
}

double BesselI0(double x)
{
    double sum = 1.0;
    const double q = (x * x) * 0.25;
    double term = q;
    for (std::int64_t k = 2; term > 1e-7; ++k)
    {
        sum = sum + term;
        term = (term / static_cast<double>(k * k)) * q;
    }
    return sum;
}
