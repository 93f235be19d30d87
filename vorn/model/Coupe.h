#pragma once

#include "CoupeCoord.h"
#include "ElementOVX.h"
#include "LumPoint.h"
#include "XMLable.h"

#include <string>
#include <vector>

// An image cross-section placed in the model by two reference points: Ref1
// and Ref2 are their positions on the image, Reference1 and Reference2 their
// scene positions (Reference1's z is that image point's altitude), and
// EchelleVerticale the image's height in world metres. The k-th coordinate
// list holds the clicked positions of the k-th name of Couches; a stored
// section at index s owns the layers' section vertices of Param s. A fictive
// section only places free points and is never kept by the project.
class Coupe : public ElementOVX, public XMLable
{
public:
    Coupe(const std::string& name, const LumPoint& reference1, const LumPoint& reference2);
    Coupe(const Coupe&) = delete;
    Coupe& operator=(const Coupe&) = delete;

    void ToXML(XMLNode& node) override;
    void FromXML(const XMLNode& node) override;

    int GetNumberOfCouches() const { return static_cast<int>(Couches.size()); }
    std::string GetCoucheName(int index) const;
    // Appends a position to that layer's list; nothing when the section
    // lists no such layer.
    void AddCoord(const std::string& layer, double x, double y);
    // The list of the first name equal to layer; null when none.
    std::vector<CoupeCoord>* GetCoords(const std::string& layer);
    // Empties that list, the name staying; true when it held a position.
    bool ClearCoords(const std::string& layer);
    // The scene point of an image position.
    LumPoint GetScenePoint(const CoupeCoord& position) const;

    bool Fictive = false;
    CoupeCoord Ref1;
    CoupeCoord Ref2;
    std::vector<std::vector<CoupeCoord>> Coordinates;

    // Registered members, in file order.
    std::string Nom;
    std::string Image;
    LumPoint Reference1;
    LumPoint Reference2;
    double EchelleVerticale = -1.0;
    std::vector<std::string> Couches;

private:
    void RegisterXML();
};
