#pragma once

#include "ElementOVX.h"
#include "XMLable.h"

#include <string>

class LumoraDevice;

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

    // Draws the image in the plan view's draw callback (context current):
    // 100 scene units tall before Taille, in its own proportions, centred
    // on (PosX, PosY) at z -1000, at the given opacity (percent; 0 draws
    // nothing). The image's size is taken from the device the first time
    // the image loads; an image that does not load draws nothing, nor does
    // a call outside the device's frame.
    void Render(LumoraDevice* device, int opacity);

    std::string Nom;
    double PosX = 0.0;
    double PosY = 0.0;
    double Taille = 1.0;
    int ImageWidth = 0;
    int ImageHeight = 0;

private:
    void RegisterXML();
};
