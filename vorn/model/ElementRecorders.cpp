#include "ElementRecorders.h"

#include "Couche.h"
#include "Coupe.h"
#include "KorException.h"
#include "ModelUi.h"
#include "OVXAction.h"
#include "PointSondage.h"
#include "ProjetOVX.h"
#include "RecordedValues.h"
#include "SceneCoordinates.h"
#include "Sondage.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace
{
void AddAction(OVXAction* action, KorAction::Callback undo, KorAction::Callback redo)
{
    action->SetUndo(undo);
    action->SetRedo(redo);
    gProjet.GetUndoManager().AddAction(action);
}

template <typename T> XMLNode TakeSnapshot(T* element)
{
    XMLNode node = OVXAction::NewSnapshot();
    element->ToXML(node);
    return node;
}

Sondage* NewSondage(const XMLNode& node)
{
    auto* sondage = new Sondage(std::string(), LumPoint(), false);
    sondage->FromXML(node);
    return sondage;
}

Coupe* NewCoupe(const XMLNode& node)
{
    auto* coupe = new Coupe(std::string(), LumPoint(), LumPoint());
    coupe->FromXML(node);
    return coupe;
}

// Every borehole and section into lists 1 and 2, in list order.
void SnapshotAll(OVXAction* action)
{
    for (int k = 0; k < gProjet.GetNumberOfSondages(); ++k)
        action->Snapshots1.push_back(TakeSnapshot(gProjet.GetSondage(k)));
    for (int k = 0; k < gProjet.GetNumberOfCoupes(); ++k)
        action->Snapshots2.push_back(TakeSnapshot(gProjet.GetCoupe(k)));
}

void DeleteAllSondages()
{
    for (int k = gProjet.GetNumberOfSondages() - 1; k >= 0; --k)
        gProjet.DeleteSondage(gProjet.GetSondage(k)->Nom, false);
}

void DeleteAllCoupes()
{
    for (int k = gProjet.GetNumberOfCoupes() - 1; k >= 0; --k)
        gProjet.DeleteCoupe(gProjet.GetCoupe(k)->Nom, false);
}

// The removals of lists that are not empty, from the last element.
void DeleteListed(const OVXAction* action)
{
    if (!action->Snapshots1.empty())
        DeleteAllSondages();
    if (!action->Snapshots2.empty())
        DeleteAllCoupes();
}

// The snapshots stored again at the end of the lists.
void StoreListed(const OVXAction* action)
{
    for (const XMLNode& node : action->Snapshots1)
        gProjet.SetSondage(NewSondage(node), -1, false, false);
    for (const XMLNode& node : action->Snapshots2)
        gProjet.SetCoupe(NewCoupe(node), -1, false, false);
}

// A borehole or section edited in place: the one bearing the name of
// `current` is replaced by a copy of `wanted` at its index.
void ReplaceSondage(const XMLNode& current, const XMLNode& wanted)
{
    Sondage* now = NewSondage(current);
    const int k = gProjet.GetSondageIndex(now->Nom);
    if (k >= 0)
        gProjet.DeleteSondage(now->Nom, false);
    delete now;
    gProjet.SetSondage(NewSondage(wanted), k, false, false);
}

void ReplaceCoupe(const XMLNode& current, const XMLNode& wanted)
{
    Coupe* now = NewCoupe(current);
    const int k = gProjet.GetCoupeIndex(now->Nom);
    if (k >= 0)
        gProjet.DeleteCoupe(now->Nom, false);
    delete now;
    gProjet.SetCoupe(NewCoupe(wanted), k, false, false);
}

OVXAction* NewElementAction(const std::string& name, int index)
{
    auto* action = new OVXAction;
    action->AddVariable(name);
    action->AddVariable(index);
    return action;
}

std::vector<sAddedPoint> gStoredPoints;
std::deque<int> gPlannedIdentifiers;

void AddPointGroups(OVXAction* action, bool addition, const std::vector<sAddedPoint>& points)
{
    action->AddVariable(addition ? 1 : 0);
    for (const sAddedPoint& point : points)
    {
        action->AddVariable(point.Layer);
        action->AddVariable(point.Id);
        action->AddVariable(point.Point.x);
        action->AddVariable(point.Point.y);
        action->AddVariable(point.Point.z);
        action->AddVariable(point.Addition.Slots);
        action->AddVariable(point.Addition.Types);
        action->AddVariable(static_cast<int>(point.Addition.Old.Type));
        action->AddVariable(static_cast<int>(point.Addition.Old.Param));
    }
}

// The points an element just stored placed, when each is still the vertex
// of that type and Param it was given; none otherwise.
std::vector<sAddedPoint> CheckedStoredPoints(int type, int param)
{
    for (const sAddedPoint& point : gStoredPoints)
    {
        const Couche* couche = gProjet.GetCouche(point.Layer);
        if (!couche || !couche->GetMesh().GetVertex(point.Id) ||
            couche->GetVertexType(point.Id).Type != type || couche->GetVertexType(point.Id).Param != param)
            return {};
    }
    return gStoredPoints;
}

// The vertices of that type and Param nearest to the given points of a
// layer, in the order of the points, each vertex once: the points an
// element placed there, wherever a layer move or the rounding of its file
// form has put them since.
void FindPoints(int layer, int type, int param, const std::vector<LumPoint>& at,
                std::vector<sAddedPoint>& out)
{
    const Couche* couche = gProjet.GetCouche(layer);
    if (!couche)
        return;
    const KorMesh& mesh = couche->GetMesh();
    std::vector<bool> taken(static_cast<size_t>(mesh.GetVertexVectorSize()), false);
    for (const LumPoint& p : at)
    {
        int best = -1;
        double nearest = 0.0;
        for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        {
            const KorVertex* v = mesh.GetVertex(id);
            if (!v || taken[id] || couche->GetVertexType(id).Type != type ||
                couche->GetVertexType(id).Param != param)
                continue;
            const double d = (LumPoint(v->X, v->Y, v->Z) - p).Norm();
            if (best < 0 || d < nearest)
                best = id, nearest = d;
        }
        if (best < 0)
            continue;
        taken[best] = true;
        const KorVertex* v = mesh.GetVertex(best);
        sAddedPoint found;
        found.Layer = layer;
        found.Id = best;
        found.Point = LumPoint(v->X, v->Y, v->Z);
        out.push_back(found);
    }
}

std::vector<sAddedPoint> SondagePoints(Sondage* sondage)
{
    std::vector<sAddedPoint> points;
    const int k = gProjet.GetSondageIndex(sondage);
    for (int c = 0; c < gProjet.GetNumberOfCouches(); ++c)
        if (PointSondage* point = sondage->GetPointSondage(gProjet.GetCouche(c)->Nom))
            FindPoints(c, 3, k, {WorldToScene(gProjet, point->GetPosition())}, points);
    return points;
}

std::vector<sAddedPoint> CoupePoints(Coupe* coupe)
{
    std::vector<sAddedPoint> points;
    const int s = gProjet.GetCoupeIndex(coupe);
    for (int k = 0; k < coupe->GetNumberOfCouches() && k < static_cast<int>(coupe->Coordinates.size()); ++k)
    {
        std::vector<LumPoint> at;
        for (const CoupeCoord& coord : coupe->Coordinates[k])
            at.push_back(coupe->GetScenePoint(coord));
        FindPoints(gProjet.GetCoucheIndex(gProjet.GetCouche(coupe->Couches[k])), 4, s, at, points);
    }
    return points;
}

// Groups of nine values from value 4 on.
int PointGroups(const KorAction* action)
{
    return std::max(0, action->GetNombreVariables() - 3) / 9;
}

// The undo of an addition: its points taken back, latest first.
void TakeBackPoints(const KorAction* action)
{
    if (RecordedValue<int>(action, 3) != 1)
        return;
    for (int g = PointGroups(action) - 1; g >= 0; --g)
    {
        const int at = 4 + 9 * g;
        Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, at));
        if (!couche)
            continue;
        Couche::sAddition addition;
        addition.Id = RecordedValue<int>(action, at + 1);
        addition.Slots = RecordedValue<int>(action, at + 5);
        addition.Types = RecordedValue<int>(action, at + 6);
        addition.Old.Type = static_cast<int8_t>(RecordedValue<int>(action, at + 7));
        addition.Old.Param = RecordedValue<int>(action, at + 8);
        couche->TakeBackPoint(addition);
    }
}

// The identifiers the element's points take back when it is stored again.
void PlanIdentifiers(const KorAction* action)
{
    gPlannedIdentifiers.clear();
    for (int g = 0; g < PointGroups(action); ++g)
        gPlannedIdentifiers.push_back(RecordedValue<int>(action, 5 + 9 * g));
}

// The element stored again places its points from its file form (a
// section's positions have five decimals there): each goes back where it
// stood.
void PutPointsBack(const KorAction* action)
{
    gPlannedIdentifiers.clear();
    for (int g = 0; g < PointGroups(action); ++g)
    {
        const int at = 4 + 9 * g;
        Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, at));
        const int id = RecordedValue<int>(action, at + 1);
        const KorVertex* v = couche ? couche->GetMesh().GetVertex(id) : nullptr;
        const LumPoint p(RecordedValue<double>(action, at + 2), RecordedValue<double>(action, at + 3),
                         RecordedValue<double>(action, at + 4));
        if (v && (v->X != p.x || v->Y != p.y || v->Z != p.z))
            couche->MovePoint(id, p, false, false, true);
    }
}
} // namespace

std::vector<sAddedPoint>& StoredElementPoints()
{
    return gStoredPoints;
}

int TakePlannedIdentifier()
{
    if (gPlannedIdentifiers.empty())
        return -1;
    const int id = gPlannedIdentifiers.front();
    gPlannedIdentifiers.pop_front();
    return id;
}

void RecordCoucheAdd(const std::string& name, int index, int method, const std::string& path, double value,
                     double depth, int previous, bool takeAway)
{
    auto* action = new OVXAction;
    action->AddVariable(name);
    action->AddVariable(index);
    action->AddVariable(method);
    action->AddVariable(path);
    action->AddVariable(value);
    action->AddVariable(depth);
    action->AddVariable(previous);
    if (takeAway)
    {
        SnapshotAll(action);
        DeleteListed(action);
    }
    AddAction(action, UndoCoucheAdd, RedoCoucheAdd);
}

void UndoCoucheAdd(KorAction* action)
{
    auto* ovx = dynamic_cast<OVXAction*>(action);
    if (!ovx)
        return;
    // After a redo that could not create the layer, the one at the index
    // is another: it stays, and nothing was taken away to give back.
    const int index = RecordedValue<int>(action, 2);
    const Couche* couche = gProjet.GetCouche(index);
    if (!couche || couche->Nom != RecordedValue<std::string>(action, 1))
        return;
    gProjet.DeleteCouche(index, RecordedValue<int>(action, 7));
    StoreListed(ovx);
}

void RedoCoucheAdd(KorAction* action)
{
    const bool created =
        gProjet.CreateCouche(RecordedValue<std::string>(action, 1), RecordedValue<int>(action, 2),
                             RecordedValue<int>(action, 3), false, RecordedValue<std::string>(action, 4),
                             RecordedValue<double>(action, 5), RecordedValue<double>(action, 6));
    if (auto* ovx = dynamic_cast<OVXAction*>(action); ovx && created)
        DeleteListed(ovx);
}

void RecordCoucheDelete(Couche* couche, int index, bool top)
{
    auto* action = new OVXAction;
    action->AddVariable(index);
    action->AddVariable(couche->Nom);
    action->Snapshot = TakeSnapshot(couche);
    if (top)
    {
        SnapshotAll(action);
        DeleteAllSondages();
        DeleteAllCoupes();
        action->AddVariable(0);
        action->AddVariable(0);
    }
    else
    {
        std::vector<std::pair<std::string, double>> depths;
        for (int k = 0; k < gProjet.GetNumberOfSondages(); ++k)
        {
            Sondage* sondage = gProjet.GetSondage(k);
            if (const PointSondage* point = sondage->GetPointSondage(couche->Nom))
            {
                depths.emplace_back(sondage->Nom, point->Profondeur);
                sondage->RemovePointSondage(couche->Nom);
            }
        }
        action->AddVariable(static_cast<int>(depths.size()));
        for (const auto& [name, depth] : depths)
        {
            action->AddVariable(name);
            action->AddVariable(depth);
        }
        std::vector<std::pair<std::string, std::vector<CoupeCoord>>> positions;
        for (int k = 0; k < gProjet.GetNumberOfCoupes(); ++k)
        {
            Coupe* coupe = gProjet.GetCoupe(k);
            const std::vector<CoupeCoord>* coords = coupe->GetCoords(couche->Nom);
            bool listed = false;
            for (const std::string& name : coupe->Couches)
                listed = listed || name == couche->Nom;
            if (!listed)
                continue;
            positions.emplace_back(coupe->Nom, coords ? *coords : std::vector<CoupeCoord>());
            coupe->ClearCoords(couche->Nom);
        }
        action->AddVariable(static_cast<int>(positions.size()));
        for (const auto& [name, coords] : positions)
        {
            action->AddVariable(name);
            action->AddVariable(static_cast<int>(coords.size()));
            for (const CoupeCoord& coord : coords)
            {
                action->AddVariable(coord.X);
                action->AddVariable(coord.Y);
            }
        }
    }
    AddAction(action, UndoCoucheDelete, RedoCoucheDelete);
}

void UndoCoucheDelete(KorAction* action)
{
    auto* ovx = dynamic_cast<OVXAction*>(action);
    if (!ovx)
        return;
    const int index = RecordedValue<int>(action, 1);
    const std::string name = RecordedValue<std::string>(action, 2);
    if (index < 0)
        return;
    Couche* couche = gProjet.AddCouche(name, static_cast<unsigned int>(index));
    if (!couche)
        return;
    try
    {
        couche->FromXML(ovx->Snapshot);
    }
    catch (const KorException&)
    {
        // The layer wrote this snapshot itself: keep the empty layer rather
        // than lose the rest of the undo.
        KorReport("UndoCoucheDelete", "Impossible de relire la couche '" + name + "'");
    }
    for (int k = static_cast<int>(ovx->Snapshots1.size()) - 1; k >= 0; --k)
        couche->DeleteSondagePoints(k);
    for (int k = static_cast<int>(ovx->Snapshots2.size()) - 1; k >= 0; --k)
        couche->DeleteCoupePoints(k);
    StoreListed(ovx);

    int position = 3;
    const int boreholes = RecordedValue<int>(action, position++);
    for (int b = 0; b < boreholes; ++b, position += 2)
        if (Sondage* sondage = gProjet.GetSondage(RecordedValue<std::string>(action, position)))
            sondage->SetPointSondage(name, RecordedValue<double>(action, position + 1));
    const int sections = RecordedValue<int>(action, position++);
    for (int s = 0; s < sections; ++s)
    {
        Coupe* coupe = gProjet.GetCoupe(RecordedValue<std::string>(action, position));
        const int n = RecordedValue<int>(action, position + 1);
        position += 2;
        for (int k = 0; k < n; ++k, position += 2)
            if (coupe)
                coupe->AddCoord(name, RecordedValue<double>(action, position),
                                RecordedValue<double>(action, position + 1));
    }
    GetModelUi().RefreshDisplay();
}

void RedoCoucheDelete(KorAction* action)
{
    const int index = RecordedValue<int>(action, 1);
    const Couche* couche = gProjet.GetCouche(index);
    auto* ovx = dynamic_cast<OVXAction*>(action);
    if (!couche || !ovx)
        return;
    const std::string name = couche->Nom;
    gProjet.DeleteCouche(index, 0);
    DeleteListed(ovx);
    if (ovx->Snapshots1.empty())
    {
        for (int k = 0; k < gProjet.GetNumberOfSondages(); ++k)
            gProjet.GetSondage(k)->RemovePointSondage(name);
        for (int k = 0; k < gProjet.GetNumberOfCoupes(); ++k)
            gProjet.GetCoupe(k)->ClearCoords(name);
    }
    GetModelUi().RefreshDisplay();
}

void RecordSondageAdd(Sondage* sondage)
{
    OVXAction* action = NewElementAction(sondage->Nom, gProjet.GetSondageIndex(sondage));
    action->Snapshot = TakeSnapshot(sondage);
    AddPointGroups(action, true, CheckedStoredPoints(3, gProjet.GetSondageIndex(sondage)));
    AddAction(action, UndoSondageAdd, RedoSondageAdd);
}

void RecordSondageDelete(Sondage* sondage)
{
    OVXAction* action = NewElementAction(sondage->Nom, gProjet.GetSondageIndex(sondage));
    action->Snapshot = TakeSnapshot(sondage);
    AddPointGroups(action, false, SondagePoints(sondage));
    AddAction(action, RedoSondageAdd, UndoSondageAdd);
}

void UndoSondageAdd(KorAction* action)
{
    gProjet.DeleteSondage(RecordedValue<std::string>(action, 1), false);
    TakeBackPoints(action);
}

void RedoSondageAdd(KorAction* action)
{
    auto* ovx = dynamic_cast<OVXAction*>(action);
    if (!ovx)
        return;
    PlanIdentifiers(action);
    gProjet.SetSondage(NewSondage(ovx->Snapshot), RecordedValue<int>(action, 2), false, false);
    PutPointsBack(action);
}

void RecordSondageChange(Sondage* sondage, const XMLNode& old)
{
    auto* action = new OVXAction;
    action->Snapshots1.push_back(TakeSnapshot(sondage));
    action->Snapshots1.push_back(old);
    AddAction(action, UndoSondageChange, RedoSondageChange);
}

void UndoSondageChange(KorAction* action)
{
    auto* ovx = dynamic_cast<OVXAction*>(action);
    if (ovx && ovx->Snapshots1.size() == 2)
        ReplaceSondage(ovx->Snapshots1[0], ovx->Snapshots1[1]);
}

void RedoSondageChange(KorAction* action)
{
    auto* ovx = dynamic_cast<OVXAction*>(action);
    if (ovx && ovx->Snapshots1.size() == 2)
        ReplaceSondage(ovx->Snapshots1[1], ovx->Snapshots1[0]);
}

void RecordCoupeAdd(Coupe* coupe)
{
    OVXAction* action = NewElementAction(coupe->Nom, gProjet.GetCoupeIndex(coupe));
    action->Snapshot = TakeSnapshot(coupe);
    AddPointGroups(action, true, CheckedStoredPoints(4, gProjet.GetCoupeIndex(coupe)));
    AddAction(action, UndoCoupeAdd, RedoCoupeAdd);
}

void RecordCoupeDelete(Coupe* coupe)
{
    OVXAction* action = NewElementAction(coupe->Nom, gProjet.GetCoupeIndex(coupe));
    action->Snapshot = TakeSnapshot(coupe);
    AddPointGroups(action, false, CoupePoints(coupe));
    AddAction(action, RedoCoupeAdd, UndoCoupeAdd);
}

void UndoCoupeAdd(KorAction* action)
{
    gProjet.DeleteCoupe(RecordedValue<std::string>(action, 1), false);
    TakeBackPoints(action);
}

void RedoCoupeAdd(KorAction* action)
{
    auto* ovx = dynamic_cast<OVXAction*>(action);
    if (!ovx)
        return;
    PlanIdentifiers(action);
    gProjet.SetCoupe(NewCoupe(ovx->Snapshot), RecordedValue<int>(action, 2), false, false);
    PutPointsBack(action);
}

void RecordCoupeChange(Coupe* coupe, const XMLNode& old)
{
    auto* action = new OVXAction;
    action->Snapshots1.push_back(TakeSnapshot(coupe));
    action->Snapshots1.push_back(old);
    AddAction(action, UndoCoupeChange, RedoCoupeChange);
}

void UndoCoupeChange(KorAction* action)
{
    auto* ovx = dynamic_cast<OVXAction*>(action);
    if (ovx && ovx->Snapshots1.size() == 2)
        ReplaceCoupe(ovx->Snapshots1[0], ovx->Snapshots1[1]);
}

void RedoCoupeChange(KorAction* action)
{
    auto* ovx = dynamic_cast<OVXAction*>(action);
    if (ovx && ovx->Snapshots1.size() == 2)
        ReplaceCoupe(ovx->Snapshots1[1], ovx->Snapshots1[0]);
}
