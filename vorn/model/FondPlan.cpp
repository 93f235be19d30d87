#include "FondPlan.h"

FondPlan::FondPlan(const std::string& path) : Nom(path)
{
    RegisterXML();
}

FondPlan::FondPlan(const FondPlan& other)
    : ElementOVX(other), XMLable(other), Nom(other.Nom), PosX(other.PosX), PosY(other.PosY),
      Taille(other.Taille), ImageWidth(other.ImageWidth), ImageHeight(other.ImageHeight)
{
    RegisterXML();
}

FondPlan& FondPlan::operator=(const FondPlan& other)
{
    Nom = other.Nom;
    PosX = other.PosX;
    PosY = other.PosY;
    Taille = other.Taille;
    ImageWidth = other.ImageWidth;
    ImageHeight = other.ImageHeight;
    return *this;
}

void FondPlan::RegisterXML()
{
    AddVariable("Nom", &Nom);
    AddVariable("PosX", &PosX);
    AddVariable("PosY", &PosY);
    AddVariable("Taille", &Taille);
}
