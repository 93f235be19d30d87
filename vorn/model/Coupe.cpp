#include "Coupe.h"

#include "ProjetOVX.h"

Coupe::Coupe(const std::string& name, const LumPoint& reference1, const LumPoint& reference2)
    : Nom(name), Reference1(reference1), Reference2(reference2)
{
    RegisterXML();
}

void Coupe::RegisterXML()
{
    AddVariable("Nom", &Nom);
    AddVariable("Image", &Image);
    AddVariable("Reference1", &Reference1);
    AddVariable("Reference2", &Reference2);
    AddVariable("EchelleVerticale", &EchelleVerticale);
    AddVariable("Couches", &Couches);
}

void Coupe::ToXML(XMLNode& node)
{
    XMLable::ToXML(node);
    XMLNode ref1 = node.addChild("Ref1");
    Ref1.ToXML(ref1);
    XMLNode ref2 = node.addChild("Ref2");
    Ref2.ToXML(ref2);
    for (std::vector<CoupeCoord>& list : Coordinates)
    {
        XMLNode child = node.addChild("CoordCouche");
        for (CoupeCoord& coord : list)
        {
            XMLNode one = child.addChild("Coord");
            coord.ToXML(one);
        }
    }
}

void Coupe::FromXML(const XMLNode& node)
{
    XMLable::FromXML(node);
    Ref1.FromXML(node.getChildNode("Ref1"));
    Ref2.FromXML(node.getChildNode("Ref2"));
    Coordinates.clear();
    const int lists = node.nChildNode("CoordCouche");
    for (int i = 0; i < lists; ++i)
    {
        const XMLNode child = node.getChildNode("CoordCouche", i);
        Coordinates.emplace_back();
        const int n = child.nChildNode("Coord");
        for (int k = 0; k < n; ++k)
        {
            CoupeCoord coord;
            coord.FromXML(child.getChildNode("Coord", k));
            Coordinates.back().push_back(coord);
        }
    }
}

std::string Coupe::GetCoucheName(int index) const
{
    return index >= 0 && index < GetNumberOfCouches() ? Couches[index] : std::string();
}

std::vector<CoupeCoord>* Coupe::GetCoords(const std::string& layer)
{
    for (size_t k = 0; k < Couches.size(); ++k)
        if (Couches[k] == layer)
            return k < Coordinates.size() ? &Coordinates[k] : nullptr;
    return nullptr;
}

void Coupe::AddCoord(const std::string& layer, double x, double y)
{
    for (size_t k = 0; k < Couches.size(); ++k)
        if (Couches[k] == layer)
        {
            // A section read with fewer lists than names gets the missing
            // ones as it needs them.
            if (Coordinates.size() <= k)
                Coordinates.resize(k + 1);
            Coordinates[k].emplace_back(x, y);
            return;
        }
}

bool Coupe::ClearCoords(const std::string& layer)
{
    std::vector<CoupeCoord>* list = GetCoords(layer);
    if (!list || list->empty())
        return false;
    list->clear();
    return true;
}

LumPoint Coupe::GetScenePoint(const CoupeCoord& position) const
{
    const float w = static_cast<float>(Ref2.X - Ref1.X);
    const LumPoint a(Reference1.x, Reference1.y, 0.0);
    const LumPoint b(Reference2.x, Reference2.y, 0.0);
    const LumPoint d = (b - a) / w;
    LumPoint p = a - d * Ref1.X + d * position.X;
    const float k = static_cast<float>(EchelleVerticale * 100.0 / gProjet.Echelle);
    const float top = k * static_cast<float>(Ref1.Y) + static_cast<float>(Reference1.z);
    p.z = top - k * static_cast<float>(position.Y);
    return p;
}
