#include "DXFLeftOut.h"

std::string LeftOutLine(const std::string& leftOut)
{
    return "Non importés : " + (leftOut.empty() ? std::string("aucun") : leftOut);
}
