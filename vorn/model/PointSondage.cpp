#include "PointSondage.h"

#include "Sondage.h"

PointSondage::PointSondage(Sondage* owner, const std::string& layer, double depth)
    : Couche(layer), Profondeur(depth), mOwner(owner)
{
    RegisterXML();
}

void PointSondage::RegisterXML()
{
    AddVariable("Couche", &Couche);
    AddVariable("Profondeur", &Profondeur);
}

LumPoint PointSondage::GetPosition()
{
    if (!mKnown)
    {
        mPosition = mOwner->GetPosition() + mOwner->GetDirection() * Profondeur;
        mKnown = true;
    }
    return mPosition;
}
