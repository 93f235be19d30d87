#include "ShownValues.h"

#include "Excavation.h"

#include <algorithm>

const char* const NotComputedText = "non calculé";

std::string WithDecimalComma(std::string numberText)
{
    std::replace(numberText.begin(), numberText.end(), '.', ',');
    return numberText;
}

std::string ShownResult(double value, const std::string& numberText)
{
    return value == FailedResult ? std::string(NotComputedText) : WithDecimalComma(numberText);
}
