#include "TeteFieldText.h"

#include "LumPoint.h"
#include "TypedValues.h"

#include <cmath>
#include <locale>
#include <sstream>

std::string FormatTeteField(double stored, bool angle)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << (angle ? Round(ToDegrees(stored), 1) : stored);
    return out.str();
}

double TeteSetterValue(double stored, bool angle)
{
    if (!angle)
        return stored;
    const double degrees = ToDegrees(stored);
    if (!std::isfinite(degrees) || ToRadian(degrees) == stored)
        return degrees;
    // The two conversions may round apart by an ulp or two; a neighbour of
    // the degrees then converts back exactly.
    double down = degrees, up = degrees;
    for (int i = 0; i < 4; ++i)
    {
        down = std::nextafter(down, -INFINITY);
        up = std::nextafter(up, INFINITY);
        if (ToRadian(down) == stored)
            return down;
        if (ToRadian(up) == stored)
            return up;
    }
    return degrees;
}

bool ReadTeteField(const std::string& text, const std::string& written, double stored, bool angle,
                   double& value, bool& typed)
{
    typed = text != written;
    if (!typed)
    {
        value = TeteSetterValue(stored, angle);
        return true;
    }
    return ReadFiniteValue(text, value);
}
