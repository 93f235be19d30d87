#pragma once

#include "ElementOVX.h"
#include "KorConstrainedTriangulation.h"
#include "XMLable.h"

#include <vector>

class Couche;
class KorMesh;
class KorVertex;
class LumoraDevice;

// A level line of a layer: an open or closed contour at one altitude. Its
// points are the layer's Type 2 vertices whose Param is the line's index;
// the line lists their identifiers in order. It holds no pointer to its
// layer: the operations take it, or find it among the project's layers.
class LigneNiveau : public ElementOVX, public XMLable
{
public:
    explicit LigneNiveau(double profondeur);
    LigneNiveau(const LigneNiveau&) = delete;
    LigneNiveau& operator=(const LigneNiveau&) = delete;
    ~LigneNiveau() override = default;

    // KeepOwnPoints in the layer holding the line; nothing more when the
    // line is in no layer.
    void FromXML(const XMLNode& node) override;
    // Keeps, in order, the identifiers of live vertices of the layer whose
    // record is Type 2 with that index, each once (its first place): as
    // typed, a line lists each of its points once, and a freed identifier
    // would join the line to whatever point is next given it.
    void KeepOwnPoints(const Couche& couche, int index);

    // The layer of the project holding this line, null when none; the
    // line's index there, -1 when absent.
    Couche* GetCouche() const;
    int GetIndex() const;

    // Adds a vertex at (x, y) and the line's altitude; position -1 lets the
    // line place it (in the first segment whose diameter circle holds it,
    // else at the nearer end). The identifier, -1 when refused.
    // at >= 0: the vertex takes that identifier back (Couche::AddPoint).
    int AddPoint(Couche& couche, double x, double y, bool interactive, int position, int at = -1);
    void RemovePoint(Couche& couche, int id, bool record);
    void SetProfondeur(Couche& couche, float depth, bool record);
    // The live vertices of the line in order.
    std::vector<KorVertex*> GetVertices(Couche& couche) const;
    // Forces the line's segments into the triangulation.
    void Constrain(KorMesh& mesh) const;
    // A red line strip through the live vertices (closed when Fermee),
    // lifted by a thousandth of the device camera's view width above the
    // surface; lighting off. Inside a draw callback.
    void Render(Couche& couche, LumoraDevice* device) const;
    // Position of the identifier in Points, -1 when absent.
    int Find(int id) const;

    double Profondeur = 0.0;
    int Fermee = 0;
    std::vector<int> Points;

private:
    void RegisterXML();
};
