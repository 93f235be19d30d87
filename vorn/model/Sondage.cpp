#include "Sondage.h"

#include "Couche.h"
#include "LumoraDevice.h"
#include "PointSondage.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

Sondage::Sondage(const std::string& name, const LumPoint& head, bool fictif)
    : Fictif(fictif), Nom(name), PosX(head.x), PosY(head.y), PosZ(head.z)
{
    RegisterXML();
}

Sondage::~Sondage()
{
    ClearPoints();
    if (mQuadric)
        gluDeleteQuadric(mQuadric);
}

void Sondage::RegisterXML()
{
    AddVariable("Nom", &Nom);
    AddVariable("Azimut", &Azimut);
    AddVariable("Pendage", &Pendage);
    AddVariable("PosX", &PosX);
    AddVariable("PosY", &PosY);
    AddVariable("PosZ", &PosZ);
    AddVariable("Profondeur", &Profondeur);
}

void Sondage::ClearPoints()
{
    for (auto& [name, point] : mPoints)
        delete point;
    mPoints.clear();
}

void Sondage::ToXML(XMLNode& node)
{
    XMLable::ToXML(node);
    for (auto& [name, point] : mPoints)
    {
        XMLNode child = node.addChild("PointSondage");
        point->ToXML(child);
    }
}

void Sondage::FromXML(const XMLNode& node)
{
    ClearPoints();
    XMLable::FromXML(node);
    const int n = node.nChildNode("PointSondage");
    for (int i = 0; i < n; ++i)
    {
        auto* point = new PointSondage(this, std::string(), 0.0);
        point->FromXML(node.getChildNode("PointSondage", i));
        // One point per layer: a second of the same layer replaces the first.
        PointSondage*& slot = mPoints[point->Couche];
        delete slot;
        slot = point;
    }
}

LumPoint Sondage::GetDirection() const
{
    const float degree = static_cast<float>(M_PI / 180.0);
    const float a = static_cast<float>(90.0 - gProjet.Nord - Azimut) * degree;
    const float p = static_cast<float>(Pendage) * degree;
    const float ca = std::cos(a), sa = std::sin(a), cp = std::cos(p), sp = std::sin(p);
    return LumPoint(cp * ca, cp * sa, -sp);
}

PointSondage* Sondage::SetPointSondage(const std::string& layer, double depth)
{
    PointSondage*& slot = mPoints[layer];
    delete slot;
    slot = new PointSondage(this, layer, depth);
    return slot;
}

PointSondage* Sondage::GetPointSondage(const std::string& layer) const
{
    const auto found = mPoints.find(layer);
    return found == mPoints.end() ? nullptr : found->second;
}

bool Sondage::RemovePointSondage(const std::string& layer)
{
    const auto found = mPoints.find(layer);
    if (found == mPoints.end())
        return false;
    delete found->second;
    mPoints.erase(found);
    return true;
}

LumPoint Sondage::GetPointAtDepth() const
{
    return GetPosition() + GetDirection() * Profondeur;
}

void Sondage::Render(LumoraDevice* device)
{
    // Outside a device's frame there is no context to draw with.
    if (!device || !device->IsRendering())
        return;
    if (!mQuadric)
        mQuadric = gluNewQuadric();
    if (!mQuadric || gProjet.GetNumberOfCouches() == 0)
        return;
    const Couche* first = gProjet.GetCouche(0);
    int red = first->R, green = first->G, blue = first->B;
    const LumPoint head = WorldToScene(gProjet, GetPosition());
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(head.x, head.y, head.z);
    // North turns the hole as it turns its crossing points, so that the
    // drawing runs through them.
    glRotated(Azimut + gProjet.Nord, 0.0, 0.0, -1.0);
    glRotated(Pendage + 90.0, -1.0, 0.0, 0.0);
    const double radius = std::fabs(gProjet.Limite1.x - gProjet.Limite2.x) / 200.0;
    double previous = 0.0;
    for (int i = 1; i < gProjet.GetNumberOfCouches(); ++i)
    {
        const Couche* couche = gProjet.GetCouche(i);
        const PointSondage* point = GetPointSondage(couche->Nom);
        if (!point)
            continue;
        const double length = point->Profondeur * 100.0 / gProjet.Echelle;
        glColor3d(red / 255.0, green / 255.0, blue / 255.0);
        gluCylinder(mQuadric, radius, radius, length - previous, 5, 1);
        glTranslated(0.0, 0.0, length - previous);
        previous = length;
        red = couche->R;
        green = couche->G;
        blue = couche->B;
    }
    const double length = Profondeur * 100.0 / gProjet.Echelle;
    glColor3d(red / 255.0, green / 255.0, blue / 255.0);
    gluCylinder(mQuadric, radius, radius, length - previous, 5, 1);
    if (gProjet.m3DAffichageInfos)
    {
        glColor3d(1.0, 1.0, 0.0);
        glLoadIdentity();
        glTranslated(head.x, head.y, head.z + 2.0);
        glRotated(90.0, 0.0, 90.0, 0.0);
        device->Draw2DText(Nom);
    }
    glPopMatrix();
}
