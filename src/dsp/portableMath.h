#pragma once

// The transcendental functions of the audio path, parameter conversion and
// coefficients, built from + - * / only, so every platform and compiler gives
// the same bits (the C libraries differ in the last bits, and some pick FMA
// variants by CPU). Results are correctly rounded in all but very rare cases;
// special values (NaN, infinities, signed zeros, subnormals, overflow,
// underflow, pow's special cases) follow C99 Annex F. Floating-point
// exceptions flags are not part of the contract.
namespace portableMath {

double exp(double x);
double log(double x);
double pow(double x, double y);
double tan(double x);
double tanh(double x);
double atan(double x);

// For the audio path, where a few units in the last place are of no account
// but time is: not correctly rounded (within 2^-50 relative for exp, 2^-50
// absolute or relative, whichever is larger, for log), still + - * / only,
// so the same bits everywhere. Special values as exp and log.
double fastExp(double x);
double fastLog(double x);

} // namespace portableMath
