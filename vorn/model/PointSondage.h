#pragma once

#include "ElementOVX.h"
#include "LumPoint.h"
#include "XMLable.h"

#include <string>

class Sondage;

// Where a borehole meets one layer: the layer's name and the depth along
// the hole from its head. The world position is computed once and kept for
// the point's life: points are made anew whenever their borehole changes.
class PointSondage : public ElementOVX, public XMLable
{
public:
    PointSondage(Sondage* owner, const std::string& layer, double depth);
    PointSondage(const PointSondage&) = delete;
    PointSondage& operator=(const PointSondage&) = delete;

    LumPoint GetPosition();

    std::string Couche;
    double Profondeur = 0.0;

private:
    void RegisterXML();

    Sondage* mOwner;
    bool mKnown = false;
    LumPoint mPosition;
};
