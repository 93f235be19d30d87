#pragma once

#include <string>

// Numbers and results as the windows show them. A window writes a number
// the French way, with a decimal comma ("8,5"), which TypedNumber reads
// back as the same number; files keep the point. A result that could not be
// computed shows as "non calculé", never as its failure marker: "-1 m3"
// would read as a volume. Files, exports and the cost variables keep the
// marker.

// What a window shows in place of a result that was not computed.
extern const char* const NotComputedText;

// A number's text in the "C" form with its decimal point as a comma
// ("-2.00" gives "-2,00", "1.5e+06" gives "1,5e+06").
std::string WithDecimalComma(std::string numberText);

// A result as a window shows it: NotComputedText when the value is the
// failure marker (FailedResult), else its text as that window writes it
// (numberText) with a decimal comma.
std::string ShownResult(double value, const std::string& numberText);
