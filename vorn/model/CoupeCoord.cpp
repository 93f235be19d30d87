#include "CoupeCoord.h"

#include "KorNumbers.h"

CoupeCoord::CoupeCoord(double x, double y) : X(x), Y(y)
{
    RegisterXML();
}

CoupeCoord::CoupeCoord(const CoupeCoord& other) : XMLable(other), X(other.X), Y(other.Y)
{
    RegisterXML();
}

CoupeCoord& CoupeCoord::operator=(const CoupeCoord& other)
{
    X = other.X;
    Y = other.Y;
    return *this;
}

void CoupeCoord::RegisterXML()
{
    AddVariable("X", &X);
    AddVariable("Y", &Y);
}

void CoupeCoord::ToXML(XMLNode& node)
{
    node.addChild("X").addText(KorFormatFixed(X, 5).c_str());
    node.addChild("Y").addText(KorFormatFixed(Y, 5).c_str());
}

void CoupeCoord::FromXML(const XMLNode& node)
{
    if (const char* text = node.getChildNode("X").getText())
        X = KorAtof(text);
    if (const char* text = node.getChildNode("Y").getText())
        Y = KorAtof(text);
}
