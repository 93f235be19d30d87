#pragma once

#include <string>

// The text of the trench-head editor's fields and the values they send.
// The head is the only store of its parameters: a field shows a stored
// value rounded for reading, so what it sends must come from the head
// unless the user typed something else, or every apply would store the
// rounded text and record a change nobody made.

// The text a field shows: an angle (stored in radians) in degrees rounded to
// one decimal, a length as stored; six significant digits, no trailing
// zeros ("25", "8.5", 0.174533 rad gives "10").
std::string FormatTeteField(double stored, bool angle);

// The value a setter takes for a stored one: a length as it is, an angle in
// degrees that convert back to exactly the stored radians when some do (any
// angle a setter stored), so that sending it back leaves the head bit for
// bit as it was; otherwise the plain conversion, within an ulp.
double TeteSetterValue(double stored, bool angle);

// The value a field sends: the stored one (TeteSetterValue) while its text is
// still what the last fill wrote, else the typed number (TypedNumber: an
// empty text sends 0, "12,5" sends 12.5), marked in `typed`. False,
// after telling the user, when the typed number is not finite.
bool ReadTeteField(const std::string& text, const std::string& written, double stored, bool angle,
                   double& value, bool& typed);
