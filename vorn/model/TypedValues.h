#pragma once

#include <string>

// Values typed by the user. A number is read by the atof prefix rule (a text
// starting with no number reads 0, any locale); "inf", "nan" and an
// overflowing number parse too, and none of them is a value anything can
// be placed at, so every field refuses them with one message.

// Tells the user, through the model's interface, that a typed value is not a
// finite number.
void ShowNonFiniteValuesMessage();

// The typed value; false, after telling the user, when it is not finite.
bool ReadFiniteValue(const std::string& text, double& value);
