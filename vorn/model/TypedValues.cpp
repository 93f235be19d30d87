#include "TypedValues.h"

#include "KorNumbers.h"
#include "ModelUi.h"

#include <cmath>

void ShowNonFiniteValuesMessage()
{
    GetModelUi().MessageBox("Les valeurs saisies doivent être des nombres réels finis", "Erreur");
}

bool ReadFiniteValue(const std::string& text, double& value)
{
    value = KorAtof(text);
    if (std::isfinite(value))
        return true;
    ShowNonFiniteValuesMessage();
    return false;
}
