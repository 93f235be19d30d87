#pragma once

#include "ElementOVX.h"
#include "LumPoint.h"
#include "XMLable.h"

#include <string>
#include <vector>

// A family of parallel rock fractures: the azimuth of its dip direction
// (degrees from +y towards +x), its dip (degrees from the horizontal), the
// mean spacing of its planes and its standard deviation, and a reference
// point (scene coordinates) through which one plane passes. The project
// keys its families by name; a layer refers to a family only by its name.
class Discontinuite : public ElementOVX, public XMLable
{
public:
    explicit Discontinuite(const std::string& name);
    Discontinuite(const Discontinuite& other);
    Discontinuite& operator=(const Discontinuite& other);

    // The characters a family name may not hold: '|' splits the layers'
    // name lists and '$' stands for a blank in the files. Returns the first
    // one found, or 0.
    static char ForbiddenNameChar(const std::string& name);
    // The editor's refusal of such a name (caption "Erreur"), empty when
    // the name is allowed.
    static std::string NameRefusal(const std::string& name);

    // Stores the four values. When one of them moves by more than 1e-5,
    // the layers that show the family rebuild their surfaces; redraws.
    void SetValues(const double& azimut, const double& pendage, const double& espace,
                   const double& ecartType);
    // The editor's apply step: when one of the four values differs from
    // the stored one by 1e-5 or more, records the change, stores the
    // values and the shown flag and returns true; otherwise changes
    // nothing (as it does for a value that is not finite).
    bool ApplyEdit(double azimut, double pendage, double espace, double ecartType, bool shown);
    // With record, the old and the new point are recorded first. Does not
    // redraw.
    void SetOrigine(const LumPoint& point, bool record);

    // Draws the reference plane in the 3D view's draw callback (context
    // current) when OrigineAffichee: a translucent blue square of side
    // 10000 through Origine, cut to the displayed zone's box widened by a
    // tenth of its width in plan and a fifth of its height, zmin and zmax
    // the zone's vertical extent that the fronts found. An Origine outside
    // that box (or not finite) is moved to the box's centre first, and
    // kept. The model-view matrix is left as it was found.
    void Render(double zmin, double zmax);

    // Takes the name out of every list that holds it and returns the
    // positions of those lists, in order: the layer side of a deletion,
    // given the layers' family lists top to bottom.
    static std::vector<int> RemoveFromLists(const std::string& name,
                                            const std::vector<std::vector<std::string>*>& lists);
    // Appends the name to each list at the given positions that lacks it
    // (positions naming no list are skipped) and returns the positions of
    // the lists it changed.
    static std::vector<int> GiveBackToLists(const std::string& name,
                                            const std::vector<std::vector<std::string>*>& lists,
                                            const std::vector<int>& positions);

    std::string Nom;
    double Azimut = 0.0;
    double Pendage = 0.0;
    double Espace = 0.0;
    double EcartType = 0.0;
    LumPoint Origine;
    bool OrigineAffichee = false;

private:
    void RegisterXML();
};
