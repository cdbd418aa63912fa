#pragma once

#include <cstdint>

/// Kernel selector stored in CResize. The application always uses Kaiser.
enum FilterKernel : std::int32_t
{
    Lanczos = 0,
    Blackman = 1,
    BlackmanHarris = 2,
    Kaiser = 3,
};

// Windowed sinc kernels K(a, x): a is the radius argument, x the offset of a
// tap from the sample position in kernel units. Every kernel is 0 for
// |x| >= a. The operation order of each one is fixed: the weight tables
// built from them must come out identical bit for bit on every build.

double LanczosKernel(std::int32_t a, double x);
double BlackmanKernel(std::int32_t a, double x);
double BlackmanHarrisKernel(std::int32_t a, double x);

/// Kaiser-windowed sinc; i0Beta is BesselI0(beta), computed once per table
/// by the caller.
double KaiserKernel(std::int32_t a, double x, double beta, double i0Beta);

/// Zeroth-order modified Bessel function of the first kind, by its power
/// series, stopped at the first term of at most 1e-7 (an absolute bound).
double BesselI0(double x);
