#pragma once

/// Selector of the windowed sinc kernel used by CResize.
enum FilterKernel
{
    Lanczos = 0,
    Blackman = 1,
    BlackmanHarris = 2,
    Kaiser = 3
};

/// Zeroth-order modified Bessel function of the first kind, by its power
/// series; stops at the first term of at most 1e-7 (absolute).
double BesselI0(double x);

/// Kernels of radius argument a at offset x; 0 outside |x| < a.
double LanczosKernel(int a, double x);
double BlackmanKernel(int a, double x);
double BlackmanHarrisKernel(int a, double x);
/// i0Beta is BesselI0(beta), computed once per weight table by the caller.
double KaiserKernel(int a, double x, double beta, double i0Beta);
