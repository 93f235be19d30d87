#include "FondPlan.h"

#include "LumoraDevice.h"

#include <GL/gl.h>

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

void FondPlan::Render(LumoraDevice* device, int opacity)
{
    // Outside a device's frame there is no context to draw with.
    if (!device || !device->IsRendering() || opacity == 0)
        return;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(PosX, PosY, 0.0);
    glScaled(Taille, Taille, Taille);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glColor4d(1.0, 1.0, 1.0, opacity / 100.0);
    glEnable(GL_TEXTURE_2D);
    // The device's size is that of the last image it loaded: taken only
    // when this one loaded.
    const bool loaded = device->LoadTexture(Nom, 0) != 0;
    if (loaded && (ImageWidth == 0 || ImageHeight == 0))
    {
        ImageWidth = device->GetTextureWidth();
        ImageHeight = device->GetTextureHeight();
    }
    if (loaded && ImageWidth > 0 && ImageHeight > 0)
    {
        const double b = 50.0 * ImageWidth / ImageHeight;
        glBegin(GL_QUADS);
        glTexCoord2d(0, 1);
        glVertex3d(-b, 50.0, -1000.0);
        glTexCoord2d(1, 1);
        glVertex3d(b, 50.0, -1000.0);
        glTexCoord2d(1, 0);
        glVertex3d(b, -50.0, -1000.0);
        glTexCoord2d(0, 0);
        glVertex3d(-b, -50.0, -1000.0);
        glEnd();
    }
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glLoadIdentity();
}
