// Fortran output edit descriptors Ew.d, Fw.d and Gw.d, rendered exactly as
// a formatted write lays out one value: right-aligned in w characters, a
// minus sign only for negative values (negative zero included), the zero
// before the decimal point dropped when the width is too tight, and w
// asterisks when the value still does not fit. Decimal rounding is correct
// rounding of the exact binary value (ties to even). Non-finite values are
// written as "NaN", "Infinity" or "-Infinity" right-aligned in w, shortened
// to "Inf" / "-Inf" when the long form does not fit.
#pragma once

#include <string>

// Ew.d (d >= 1): [-]0.d1...dd followed by the exponent E+ee / E-ee, or +zzz /
// -zzz without the letter E when the exponent has three digits.
std::string fortran_e(double x, int w, int d);

// Fw.d: [-]integer part, decimal point, d decimals (a plain "0." when the
// integer part is zero and there are no decimals).
std::string fortran_f(double x, int w, int d);

// Gw.d (d >= 1): zero as F(w-4).(d-1) followed by 4 blanks; a value of
// magnitude from about 0.1 up to below 10^d - 0.5 in its decade s (the
// decade bounds 10^(s-1)·(1 - 0.5·10^-d) formed in double precision) as
// F(w-4).(d-s) followed by 4 blanks, or w asterisks if that does not fit;
// every other value as Ew.d.
std::string fortran_g(double x, int w, int d);

// One line of the format "(g15.5,2x,g15.5)", without the line end.
std::string format_g15_pair(double a, double b);
