#pragma once

#include <string>

// Values typed by the user. A number is read by the atof prefix rule in the
// "C" convention (a text starting with no number reads 0, any locale),
// except that a decimal comma reads as the decimal point: a French user
// types "12,5" for 12.5. Files never go through here; they keep the "C"
// convention alone (KorAtof). "inf", "nan" and an overflowing number parse
// too, and none of them is a value anything can be placed at, so every
// field refuses them with one message.

// The text with every comma turned into a point ("12,5" gives "12.5"); the
// prefix rule then stops at a second separator ("1,2,3" reads 1.2).
std::string WithDecimalPoints(const std::string& text);

// The typed number: KorAtof of WithDecimalPoints.
double TypedNumber(const std::string& text);

// The text of that refusal, which a file's number that is not finite gets
// too: the same value typed would have been refused with it.
const char* NonFiniteValuesText();

// Tells the user, through the model's interface, that a typed value is not a
// finite number.
void ShowNonFiniteValuesMessage();

// The typed value (TypedNumber); false, after telling the user, when it is
// not finite.
bool ReadFiniteValue(const std::string& text, double& value);
