#pragma once

#include "ElementOVX.h"
#include "LumPoint.h"
#include "XMLable.h"

#include <map>
#include <string>

class LumoraDevice;
class PointSondage;
struct GLUquadric;

// A straight borehole from a head on the terrain, given by its azimuth
// (degrees clockwise from north), its dip below the horizontal and its total
// depth, with the depth at which it meets each layer (one point per layer
// name, in name order). Its crossing points stand in the layers as borehole
// vertices whose Param is its index in the project's list. A fictitious
// borehole only places free points and is never kept by the project.
class Sondage : public ElementOVX, public XMLable
{
public:
    Sondage(const std::string& name, const LumPoint& head, bool fictif);
    Sondage(const Sondage&) = delete;
    Sondage& operator=(const Sondage&) = delete;
    ~Sondage() override;

    void ToXML(XMLNode& node) override;
    void FromXML(const XMLNode& node) override;

    LumPoint GetPosition() const { return LumPoint(PosX, PosY, PosZ); }
    // The unit direction of the hole in world coordinates, computed in
    // single precision from the project's north.
    LumPoint GetDirection() const;
    // Replaces the point of that layer.
    PointSondage* SetPointSondage(const std::string& layer, double depth);
    PointSondage* GetPointSondage(const std::string& layer) const;
    // Removes and deletes the point of that layer; false when there is none.
    bool RemovePointSondage(const std::string& layer);
    const std::map<std::string, PointSondage*>& GetPointsSondage() const { return mPoints; }
    // The bottom of the hole, in world coordinates.
    LumPoint GetPointAtDepth() const;

    // Draws the hole in the 3D view's draw callback (context current): a
    // thin cylinder from the head, coloured in each stretch by the layer it
    // crosses there, and its name when the project shows the 3D infos.
    // Outside the device's frame, or with no layer, nothing is drawn.
    void Render(LumoraDevice* device);

    bool Fictif = false;

    // Registered members, in file order.
    std::string Nom;
    double Azimut = 0.0;
    double Pendage = 0.0;
    double PosX = 0.0;
    double PosY = 0.0;
    double PosZ = 0.0;
    double Profondeur = 100.0;

private:
    void RegisterXML();
    void ClearPoints();

    std::map<std::string, PointSondage*> mPoints;
    GLUquadric* mQuadric = nullptr;
};
