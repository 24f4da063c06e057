// Damping of a Newton or Gummel update: large steps are shortened smoothly
// (dx / (1 + |dx d|)) so that an update of many thermal voltages cannot throw
// the exponentials of the carrier densities out of range.
#pragma once

// Damping-mode flags of nuParam::dampMode.
constexpr int EK_DAMP_POTENTIAL = 0x10;       // damp V; Fn, Fp relative to the damped V
constexpr int EK_DAMP_QUASI_FERMI = 0x20;     // damp Fn, Fp alone
constexpr int EK_DAMP_FERMI_RELATIVE = 0x40;  // damp Fn, Fp relative to the raw V

// Damping factors below this (or not finite) switch damping off whatever the
// mode.
constexpr double EK_DAMP_MIN = 1e-6;

// One Newton node: the three update components of V, Fn, Fp in place.
void ek_dampNewtonNode(double* dV, double* dFn, double* dFp, double damp, int mode);

// One component of a tridiagonal (Gummel or Poisson) update; only the
// EK_DAMP_POTENTIAL flag damps here.
double ek_dampTriDiag(double dx, double damp, int mode);

// The undamped update a damped one came from (the inverse of the two
// functions above, same damping and mode): how far the iteration really
// was from its solution. A component at or beyond the damping's bound
// (1 / damp) came from an infinitely large update.
void ek_undampNewtonNode(double* dV, double* dFn, double* dFp, double damp, int mode);
double ek_undampTriDiag(double dx, double damp, int mode);
