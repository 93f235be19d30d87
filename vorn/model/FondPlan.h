#pragma once

#include "ElementOVX.h"
#include "XMLable.h"

#include <string>

// A background plan: an image file drawn under the plan view, placed at
// (PosX, PosY) in the scene with the size factor Taille. The file form is
// exactly the registered members. The image's size in pixels is not saved:
// the plan view fills it once it has loaded the image.
class FondPlan : public ElementOVX, public XMLable
{
public:
    explicit FondPlan(const std::string& path);
    FondPlan(const FondPlan& other);
    FondPlan& operator=(const FondPlan& other);

    std::string Nom;
    double PosX = 0.0;
    double PosY = 0.0;
    double Taille = 1.0;
    int ImageWidth = 0;
    int ImageHeight = 0;

private:
    void RegisterXML();
};
