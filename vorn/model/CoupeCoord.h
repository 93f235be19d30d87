#pragma once

#include "XMLable.h"

// One position on a section image, as fractions of the image's width (X,
// from the left edge) and height (Y, from the top edge).
class CoupeCoord : public XMLable
{
public:
    CoupeCoord(double x = 0.0, double y = 0.0);
    CoupeCoord(const CoupeCoord& other);
    CoupeCoord& operator=(const CoupeCoord& other);

    // "X" and "Y" with five decimals; reading takes the first of each and
    // leaves a value whose child has no text as it was.
    void ToXML(XMLNode& node) override;
    void FromXML(const XMLNode& node) override;

    double X = 0.0;
    double Y = 0.0;

private:
    void RegisterXML();
};
