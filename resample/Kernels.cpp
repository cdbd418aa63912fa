#include "resample/Kernels.h"

#include <cmath>

namespace
{

// Fifteen digits, not M_PI: the weight tables are defined with this value, so
// sinc at a whole number is about 1e-15 rather than 0 and rounds away later.
constexpr double kPi = 3.14159265358979;

double Sinc(double x)
{
    if (x == 0.0)
        return 1.0;
    const double p = x * kPi;
    return std::sin(p) / p;
}

// The two Blackman windows differ only in their coefficients; the grouping
// of the sum is part of the bit-exact result.
double BlackmanFamily(int a, double x, double c0, double c1, double c2)
{
    if (std::fabs(x) >= static_cast<double>(a))
        return 0.0;
    const double p = x * kPi;
    const double w = ((c2 * std::cos((p + p) / a)) + (c1 * std::cos(p / a))) + c0;
    if (x == 0.0)
        return w;
    return (std::sin(p) / p) * w;
}

} // namespace

double BesselI0(double x)
{
    double sum = 1.0;
    const double q = (x * x) * 0.25;
    double term = q;
    int k = 2;
    while (term > 1e-7)
    {
        sum = sum + term;
        term = (term / static_cast<double>(k * k)) * q;
        ++k;
    }
    return sum;
}

double LanczosKernel(int a, double x)
{
    if (std::fabs(x) >= static_cast<double>(a))
        return 0.0;
    const double s = Sinc(x);
    const double y = x / a;
    if (y == 0.0)
        return s * 1.0;
    const double q = y * kPi;
    return s * (std::sin(q) / q);
}

double BlackmanKernel(int a, double x)
{
    return BlackmanFamily(a, x, 0.42, 0.5, 0.08);
}

double BlackmanHarrisKernel(int a, double x)
{
    return BlackmanFamily(a, x, 0.42323, 0.49755, 0.07922);
}

double KaiserKernel(int a, double x, double beta, double i0Beta)
{
    if (std::fabs(x) >= static_cast<double>(a))
        return 0.0;
    // Reciprocal first, then the product: x / a may differ in the last bit.
    const double u = x * (1.0 / a);
    const double w = BesselI0(std::sqrt(1.0 - u * u) * beta) / i0Beta;
    if (x == 0.0)
        return w;
    const double p = x * kPi;
    return w * (std::sin(p) / p);
}
