#pragma once

#include "Couche.h"
#include "Coupe.h"
#include "ModelTestSupport.h"
#include "PointSondage.h"
#include "Sondage.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

// Model tests over a stack of square layers (0..100 in plan, scale 100 so
// that scene and world coordinates agree) with boreholes and sections.
class ElementTest : public ModelTest
{
protected:
    Couche* AddSquare(const std::string& name, double z, int index = -1)
    {
        if (index < 0)
            index = gProjet.GetNumberOfCouches();
        Couche* couche = gProjet.AddCouche(name, index);
        for (const auto& [x, y] : {std::pair{0, 0}, {100, 0}, {0, 100}, {100, 100}})
            couche->AddPoint(LumPoint(x, y, z), 1, 0, false, false);
        return couche;
    }
    // A vertical borehole from (x, y, 30) meeting the layers at those depths.
    static Sondage* Vertical(const std::string& name, double x, double y,
                             const std::vector<std::pair<std::string, double>>& depths, bool fictif = false)
    {
        auto* sondage = new Sondage(name, LumPoint(x, y, 30.0), fictif);
        sondage->Pendage = 90.0;
        for (const auto& [layer, depth] : depths)
            sondage->SetPointSondage(layer, depth);
        return sondage;
    }
    // A section along y = 50 whose image spans x 0..100 and z -80..20 (the
    // references at mid-height): a position (X, Y) is (100 X, 50, 70 - 100 Y).
    static Coupe* Section(const std::string& name,
                          const std::vector<std::pair<std::string, std::vector<CoupeCoord>>>& points)
    {
        auto* coupe = new Coupe(name, LumPoint(0, 50, 20), LumPoint(100, 50, 20));
        coupe->Ref1 = CoupeCoord(0.0, 0.5);
        coupe->Ref2 = CoupeCoord(1.0, 0.5);
        coupe->EchelleVerticale = 100.0;
        for (const auto& [layer, coords] : points)
        {
            coupe->Couches.push_back(layer);
            coupe->Coordinates.push_back(coords);
        }
        return coupe;
    }
    // Every live vertex of the layer as "x y z type param", sorted: the
    // model compared without vertex identifiers.
    static std::vector<std::string> Points(const Couche& couche)
    {
        std::vector<std::string> points;
        const KorMesh& mesh = couche.GetMesh();
        for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
            if (const KorVertex* v = mesh.GetVertex(id))
            {
                std::ostringstream text;
                text << v->X << " " << v->Y << " " << v->Z << " " << int(couche.GetVertexType(id).Type) << " "
                     << couche.GetVertexType(id).Param;
                points.push_back(text.str());
            }
        std::sort(points.begin(), points.end());
        return points;
    }
    // Layers with their points, boreholes with their depths, sections with
    // their positions, in list order.
    static std::vector<std::string> Model()
    {
        std::vector<std::string> model;
        for (int c = 0; c < gProjet.GetNumberOfCouches(); ++c)
        {
            model.push_back("couche " + gProjet.GetCouche(c)->Nom);
            for (const std::string& p : Points(*gProjet.GetCouche(c)))
                model.push_back(p);
        }
        for (int s = 0; s < gProjet.GetNumberOfSondages(); ++s)
        {
            const Sondage* sondage = gProjet.GetSondage(s);
            model.push_back("sondage " + sondage->Nom);
            for (const auto& [layer, point] : sondage->GetPointsSondage())
                model.push_back(layer + " " + std::to_string(point->Profondeur));
        }
        for (int s = 0; s < gProjet.GetNumberOfCoupes(); ++s)
        {
            Coupe* coupe = gProjet.GetCoupe(s);
            model.push_back("coupe " + coupe->Nom);
            for (const std::string& layer : coupe->Couches)
                if (const auto* coords = coupe->GetCoords(layer))
                    for (const CoupeCoord& c : *coords)
                        model.push_back(layer + " " + std::to_string(c.X) + " " + std::to_string(c.Y));
        }
        return model;
    }
    // The number of live vertices of that type and Param in the layer.
    static int Count(const Couche& couche, int type, int param = -1)
    {
        int n = 0;
        for (int id = 0; id < couche.GetMesh().GetVertexVectorSize(); ++id)
            if (couche.GetMesh().GetVertex(id) && couche.GetVertexType(id).Type == type &&
                (param < 0 || couche.GetVertexType(id).Param == param))
                ++n;
        return n;
    }
};
