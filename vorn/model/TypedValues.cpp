#include "TypedValues.h"

#include "KorNumbers.h"
#include "ModelUi.h"

#include <algorithm>
#include <cmath>

std::string WithDecimalPoints(const std::string& text)
{
    std::string points = text;
    std::replace(points.begin(), points.end(), ',', '.');
    return points;
}

double TypedNumber(const std::string& text)
{
    return KorAtof(WithDecimalPoints(text));
}

const char* NonFiniteValuesText()
{
    return "Les valeurs saisies doivent être des nombres réels finis";
}

void ShowNonFiniteValuesMessage()
{
    GetModelUi().MessageBox(NonFiniteValuesText(), "Erreur");
}

bool ReadFiniteValue(const std::string& text, double& value)
{
    value = TypedNumber(text);
    if (std::isfinite(value))
        return true;
    ShowNonFiniteValuesMessage();
    return false;
}
