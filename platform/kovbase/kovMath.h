// The special functions of the suite's expression grammar that the C
// library does not have under the same name. Each returns NaN for an
// argument outside its domain (the grammar turns that into an error text).
#pragma once

// The Bernoulli function x/(e^x - 1), 1 at x = 0; computed without the
// cancellation of the plain formula near 0 and without overflow for large x.
double kov_bern(double x);
// Its derivative d/dx bern(x) (-1/2 at 0).
double kov_bernDerivative(double x);
// The divided difference (bern(x) - bern(y)) / (x - y), equal to the
// derivative at x when y = x; accurate for y close to x, where the plain
// quotient would cancel.
double kov_dbern(double x, double y);
// Normalised profiles: the Gaussian of mean mu and standard deviation sigma,
// and the Lorentzian of centre x0 and half width gamma (both integrate to 1).
double kov_gauss(double x, double mu, double sigma);
double kov_lorentz(double x, double x0, double gamma);
// n! for an integral n in 0..170, else NaN.
double kov_fact(double n);
// The beta function B(a, b) = Γ(a)Γ(b)/Γ(a+b).
double kov_beta(double a, double b);
// -1, 0 or 1.
double kov_sign(double x);
