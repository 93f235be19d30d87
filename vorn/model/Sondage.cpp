#include "Sondage.h"

#include "PointSondage.h"
#include "ProjetOVX.h"

#include <cmath>

Sondage::Sondage(const std::string& name, const LumPoint& head, bool fictif)
    : Fictif(fictif), Nom(name), PosX(head.x), PosY(head.y), PosZ(head.z)
{
    RegisterXML();
}

Sondage::~Sondage()
{
    ClearPoints();
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
