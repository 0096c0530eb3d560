#pragma once

#include <QString>

#include <string>

namespace vantorel::transfer {

// How the values of a Jet file become the texts the store keeps.

// Jet 4 text (UTF-16, or "compressed" after the mark FF FE) as UTF-8 in `out`; a character outside
// the Basic Multilingual Plane arrives whole, a lone surrogate as U+FFFD.
void jet4Text(const unsigned char* bytes, size_t size, std::string& out);

// A Single or Double with up to `digits` significant digits, upper-case exponent: 2.5, 1E+20.
QString jetNumberText(double value, int digits);

// A Currency (ten-thousandths) without a currency sign or trailing zeros: 12.5, -0.25, 3.
QString jetCurrencyText(qint64 tenThousandths);

// A Date/Time (days since 30 December 1899 and the fraction of a day) as a US short date with a
// four-digit year and a long time, either alone when the other is zero: "1/8/2004",
// "8:13:29 AM", "1/8/2004 8:13:29 AM".
QString jetDateTimeText(double value);

} // namespace vantorel::transfer
