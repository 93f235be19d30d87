#include "CoucheMove.h"

#include "Couche.h"
#include "KorException.h"
#include "LumHandledMesh.h"
#include "ModelUi.h"
#include "OVXAction.h"
#include "ProjetOVX.h"
#include "RecordedValues.h"

#include <cmath>
#include <vector>

LumPoint MoveCouchePoint(const LumPoint& p, const LumPoint& centre, double dz, double tiltX, double tiltY)
{
    const double ax = tiltX * 0.017453292, ay = tiltY * 0.017453292;
    const LumPoint q = p - centre;
    // Ry first, then Rx.
    const LumPoint r(q.x * std::cos(ay) + q.z * std::sin(ay), q.y, -q.x * std::sin(ay) + q.z * std::cos(ay));
    const LumPoint s(r.x, r.y * std::cos(ax) - r.z * std::sin(ax), r.y * std::sin(ax) + r.z * std::cos(ax));
    return s + centre + LumPoint(0.0, 0.0, dz);
}

bool ApplyCoucheMove(int index, float dz, float tiltX, float tiltY)
{
    if (std::fabs(dz) < 1e-5 && std::fabs(tiltX) < 1e-5 && std::fabs(tiltY) < 1e-5)
        return true;
    Couche* couche = gProjet.GetCouche(index);
    if (!couche)
        return true;
    const LumPoint centre = couche->GetCentre();
    KorMesh& mesh = couche->GetMesh();
    std::vector<std::pair<int, LumPoint>> moved;
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
            moved.emplace_back(id, MoveCouchePoint(LumPoint(v->X, v->Y, v->Z), centre, dz, tiltX, tiltY));
    for (const auto& point : moved)
        if (couche->CheckNeighbours(point.second) != 0)
        {
            GetModelUi().MessageBox("Certains points intersectent les couches voisines : "
                                    "Déplacement de couche impossible",
                                    "Erreur", ModelUi::Buttons::Ok, 0);
            return false;
        }
    XMLNode before = OVXAction::NewSnapshot();
    couche->ToXML(before);
    LumHandledMesh* display = couche->GetDisplayMesh();
    for (const auto& [id, p] : moved)
    {
        KorVertex* v = mesh.GetVertex(id);
        v->X = p.x;
        v->Y = p.y;
        v->Z = p.z;
        if (display)
            display->ChangeVertex(id, p);
    }
    // Tilted, the points' plan positions change: the surface is made again.
    couche->SetGeometryChanged();
    RecordCoucheMove(index, before);
    return true;
}

void RecordCoucheMove(int index, const XMLNode& before)
{
    Couche* couche = gProjet.GetCouche(index);
    if (!couche)
        return;
    auto* action = new OVXAction();
    action->AddVariable(index);
    action->Snapshots1.push_back(before);
    XMLNode after = OVXAction::NewSnapshot();
    couche->ToXML(after);
    action->Snapshots2.push_back(after);
    action->SetUndo(UndoCoucheMove);
    action->SetRedo(RedoCoucheMove);
    gProjet.GetUndoManager().AddAction(action);
}

namespace
{
void ReadCoucheBack(KorAction* action, bool after)
{
    auto* ovx = dynamic_cast<OVXAction*>(action);
    if (!ovx)
        return;
    const std::vector<XMLNode>& snapshots = after ? ovx->Snapshots2 : ovx->Snapshots1;
    Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 1));
    if (!couche || snapshots.empty())
        return;
    try
    {
        couche->FromXML(snapshots.front());
    }
    catch (const KorException&)
    {
        // The layer wrote this snapshot itself.
        KorReport(after ? "RedoCoucheMove" : "UndoCoucheMove",
                  "Impossible de relire la couche '" + couche->Nom + "'");
    }
    couche->SetGeometryChanged();
}
} // namespace

void UndoCoucheMove(KorAction* action)
{
    ReadCoucheBack(action, false);
}

void RedoCoucheMove(KorAction* action)
{
    ReadCoucheBack(action, true);
}
