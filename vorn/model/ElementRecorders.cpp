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
#include <map>
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

OVXAction* NewElementAction(const std::string& name, int index)
{
    auto* action = new OVXAction;
    action->AddVariable(name);
    action->AddVariable(index);
    return action;
}

std::vector<sAddedPoint> gStoredPoints;
// The identifiers planned for each layer, by layer index, in placing order.
std::map<int, std::deque<int>> gPlannedIdentifiers;

// Nine values per point: int layer index, int vertex identifier, double x,
// y, z, and its addition's four (zero for a point found, not added).
void AddPointGroups(OVXAction* action, const std::vector<sAddedPoint>& points)
{
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

// The groups of nine from value `first` on: `count` of them, or as many as
// the action holds when count is negative.
std::vector<sAddedPoint> ReadPointGroups(const KorAction* action, int first, int count = -1)
{
    if (count < 0)
        count = std::max(0, action->GetNombreVariables() - first + 1) / 9;
    std::vector<sAddedPoint> points;
    for (int g = 0; g < count; ++g)
    {
        const int at = first + 9 * g;
        sAddedPoint point;
        point.Layer = RecordedValue<int>(action, at);
        point.Id = RecordedValue<int>(action, at + 1);
        point.Point = LumPoint(RecordedValue<double>(action, at + 2), RecordedValue<double>(action, at + 3),
                               RecordedValue<double>(action, at + 4));
        point.Addition.Id = point.Id;
        point.Addition.Slots = RecordedValue<int>(action, at + 5);
        point.Addition.Types = RecordedValue<int>(action, at + 6);
        point.Addition.Old.Type = static_cast<int8_t>(RecordedValue<int>(action, at + 7));
        point.Addition.Old.Param = RecordedValue<int>(action, at + 8);
        points.push_back(point);
    }
    return points;
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

// Every borehole's points, then every section's, in the order storing them
// again at the end of the lists places them.
std::vector<sAddedPoint> AllElementPoints()
{
    std::vector<sAddedPoint> points;
    for (int k = 0; k < gProjet.GetNumberOfSondages(); ++k)
        for (const sAddedPoint& point : SondagePoints(gProjet.GetSondage(k)))
            points.push_back(point);
    for (int k = 0; k < gProjet.GetNumberOfCoupes(); ++k)
        for (const sAddedPoint& point : CoupePoints(gProjet.GetCoupe(k)))
            points.push_back(point);
    return points;
}

// The undo of an addition: its points taken back, latest first, so that
// the layers' tables are as before it.
void TakeBackPoints(const std::vector<sAddedPoint>& points)
{
    for (auto point = points.rbegin(); point != points.rend(); ++point)
        if (Couche* couche = gProjet.GetCouche(point->Layer))
            couche->TakeBackPoint(point->Addition);
}

// The identifiers the points take back when their element is stored again.
void PlanIdentifiers(const std::vector<sAddedPoint>& points)
{
    gPlannedIdentifiers.clear();
    for (const sAddedPoint& point : points)
        gPlannedIdentifiers[point.Layer].push_back(point.Id);
}

// The element stored again places its points from its file form (a
// section's positions have five decimals there): each goes back where it
// stood.
void PutPointsBack(const std::vector<sAddedPoint>& points)
{
    gPlannedIdentifiers.clear();
    for (const sAddedPoint& point : points)
    {
        Couche* couche = gProjet.GetCouche(point.Layer);
        const KorVertex* v = couche ? couche->GetMesh().GetVertex(point.Id) : nullptr;
        const LumPoint& p = point.Point;
        if (v && (v->X != p.x || v->Y != p.y || v->Z != p.z))
            couche->MovePoint(point.Id, p, false, false, true);
    }
}

// The snapshots stored again at the end of the lists, their points under
// their own identifiers.
void StoreListed(const OVXAction* action, const std::vector<sAddedPoint>& points)
{
    PlanIdentifiers(points);
    for (const XMLNode& node : action->Snapshots1)
        gProjet.SetSondage(NewSondage(node), -1, false, false);
    for (const XMLNode& node : action->Snapshots2)
        gProjet.SetCoupe(NewCoupe(node), -1, false, false);
    PutPointsBack(points);
}

// Add and delete records: int 1 for an addition (0 for a deletion) as value
// 3, then the point groups.
bool IsAddition(const KorAction* action)
{
    return RecordedValue<int>(action, 3) == 1;
}

std::vector<sAddedPoint> AddedOrDeletedPoints(const KorAction* action)
{
    return ReadPointGroups(action, 4);
}

// Change records: int N, N groups of the new state's points (with their
// additions), then the old state's points to the end.
std::vector<sAddedPoint> ChangedPoints(const KorAction* action, bool newState)
{
    const int n = std::max(0, RecordedValue<int>(action, 1));
    return newState ? ReadPointGroups(action, 2, n) : ReadPointGroups(action, 2 + 9 * n);
}

void RecordChange(const XMLNode& now, const XMLNode& old, const std::vector<sAddedPoint>& added,
                  const std::vector<sAddedPoint>& removed, KorAction::Callback undo, KorAction::Callback redo)
{
    auto* action = new OVXAction;
    action->Snapshots1.push_back(now);
    action->Snapshots1.push_back(old);
    action->AddVariable(static_cast<int>(added.size()));
    AddPointGroups(action, added);
    AddPointGroups(action, removed);
    AddAction(action, undo, redo);
}

// Replaces the borehole or section bearing the name of one state by the
// other, in place. The undo takes the new state's additions back before the
// old state's points come back under their identifiers; the redo removes
// the old state as the edit did and places the new one's again under
// theirs: the layers are exactly as at each end of the edit.
template <typename T, typename Find, typename Delete>
void ReplaceElement(KorAction* action, bool undo, T* (*read)(const XMLNode&), Find find, Delete remove,
                    void (*storeAgain)(const XMLNode&, int, const std::vector<sAddedPoint>&))
{
    auto* ovx = dynamic_cast<OVXAction*>(action);
    if (!ovx || ovx->Snapshots1.size() != 2)
        return;
    T* now = read(ovx->Snapshots1[undo ? 0 : 1]);
    const int k = find(now->Nom);
    if (k >= 0)
    {
        remove(now->Nom);
        if (undo)
            TakeBackPoints(ChangedPoints(action, true));
    }
    delete now;
    storeAgain(ovx->Snapshots1[undo ? 1 : 0], k, ChangedPoints(action, !undo));
}

void ReplaceSondage(KorAction* action, bool undo)
{
    ReplaceElement<Sondage>(
        action, undo, NewSondage, [](const std::string& name) { return gProjet.GetSondageIndex(name); },
        [](const std::string& name) { gProjet.DeleteSondage(name, false); }, StoreSondageAgain);
}

void ReplaceCoupe(KorAction* action, bool undo)
{
    ReplaceElement<Coupe>(
        action, undo, NewCoupe, [](const std::string& name) { return gProjet.GetCoupeIndex(name); },
        [](const std::string& name) { gProjet.DeleteCoupe(name, false); }, StoreCoupeAgain);
}
} // namespace

std::vector<sAddedPoint>& StoredElementPoints()
{
    return gStoredPoints;
}

int TakePlannedIdentifier(int layer)
{
    const auto planned = gPlannedIdentifiers.find(layer);
    if (planned == gPlannedIdentifiers.end() || planned->second.empty())
        return -1;
    const int id = planned->second.front();
    planned->second.pop_front();
    return id;
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

void StoreSondageAgain(const XMLNode& node, int index, const std::vector<sAddedPoint>& points)
{
    PlanIdentifiers(points);
    gProjet.SetSondage(NewSondage(node), index, false, false);
    PutPointsBack(points);
}

void StoreCoupeAgain(const XMLNode& node, int index, const std::vector<sAddedPoint>& points)
{
    PlanIdentifiers(points);
    gProjet.SetCoupe(NewCoupe(node), index, false, false);
    PutPointsBack(points);
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
    // A new layer draws its colour at random: the redo gives it this one.
    const Couche* couche = gProjet.GetCouche(index);
    const Couche::sColour colour = couche ? couche->GetColour() : Couche::sColour();
    action->AddVariable(colour.R);
    action->AddVariable(colour.G);
    action->AddVariable(colour.B);
    if (takeAway)
    {
        SnapshotAll(action);
        // As the layers stand once the undo has deleted the new one.
        std::vector<sAddedPoint> points;
        for (sAddedPoint point : AllElementPoints())
            if (point.Layer != index)
            {
                point.Layer -= point.Layer > index ? 1 : 0;
                points.push_back(point);
            }
        AddPointGroups(action, points);
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
    StoreListed(ovx, ReadPointGroups(action, 11));
}

void RedoCoucheAdd(KorAction* action)
{
    const bool created =
        gProjet.CreateCouche(RecordedValue<std::string>(action, 1), RecordedValue<int>(action, 2),
                             RecordedValue<int>(action, 3), false, RecordedValue<std::string>(action, 4),
                             RecordedValue<double>(action, 5), RecordedValue<double>(action, 6));
    Couche* couche = gProjet.GetCouche(RecordedValue<int>(action, 2));
    if (created && couche && action->GetNombreVariables() >= 10)
        couche->SetAppearance(
            {RecordedValue<int>(action, 8), RecordedValue<int>(action, 9), RecordedValue<int>(action, 10)},
            couche->Texture, couche->Opacite, couche->FrontAffiche, couche->Discontinuites, false);
    if (auto* ovx = dynamic_cast<OVXAction*>(action); ovx && created)
        DeleteListed(ovx);
    // The layer could not be made again (its name taken since, its file
    // gone): the step stays to be redone.
    if (!created)
        action->MarkFailed();
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
        const std::vector<sAddedPoint> points = AllElementPoints();
        DeleteAllSondages();
        DeleteAllCoupes();
        action->AddVariable(0);
        action->AddVariable(0);
        AddPointGroups(action, points);
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
    const bool listed = !ovx->Snapshots1.empty() || !ovx->Snapshots2.empty();
    StoreListed(ovx, listed ? ReadPointGroups(action, 5) : std::vector<sAddedPoint>());

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
    action->AddVariable(1);
    AddPointGroups(action, CheckedStoredPoints(3, gProjet.GetSondageIndex(sondage)));
    AddAction(action, UndoSondageAdd, RedoSondageAdd);
}

void RecordSondageDelete(Sondage* sondage)
{
    OVXAction* action = NewElementAction(sondage->Nom, gProjet.GetSondageIndex(sondage));
    action->Snapshot = TakeSnapshot(sondage);
    action->AddVariable(0);
    AddPointGroups(action, SondagePoints(sondage));
    AddAction(action, RedoSondageAdd, UndoSondageAdd);
}

void UndoSondageAdd(KorAction* action)
{
    const bool present = gProjet.GetSondage(RecordedValue<std::string>(action, 1)) != nullptr;
    gProjet.DeleteSondage(RecordedValue<std::string>(action, 1), false);
    if (present && IsAddition(action))
        TakeBackPoints(AddedOrDeletedPoints(action));
}

void RedoSondageAdd(KorAction* action)
{
    if (auto* ovx = dynamic_cast<OVXAction*>(action))
        StoreSondageAgain(ovx->Snapshot, RecordedValue<int>(action, 2), AddedOrDeletedPoints(action));
}

void RecordSondageChange(Sondage* sondage, const XMLNode& old, const std::vector<sAddedPoint>& oldPoints)
{
    RecordChange(TakeSnapshot(sondage), old, CheckedStoredPoints(3, gProjet.GetSondageIndex(sondage)),
                 oldPoints, UndoSondageChange, RedoSondageChange);
}

void UndoSondageChange(KorAction* action)
{
    ReplaceSondage(action, true);
}

void RedoSondageChange(KorAction* action)
{
    ReplaceSondage(action, false);
}

void RecordCoupeAdd(Coupe* coupe)
{
    OVXAction* action = NewElementAction(coupe->Nom, gProjet.GetCoupeIndex(coupe));
    action->Snapshot = TakeSnapshot(coupe);
    action->AddVariable(1);
    AddPointGroups(action, CheckedStoredPoints(4, gProjet.GetCoupeIndex(coupe)));
    AddAction(action, UndoCoupeAdd, RedoCoupeAdd);
}

void RecordCoupeDelete(Coupe* coupe)
{
    OVXAction* action = NewElementAction(coupe->Nom, gProjet.GetCoupeIndex(coupe));
    action->Snapshot = TakeSnapshot(coupe);
    action->AddVariable(0);
    AddPointGroups(action, CoupePoints(coupe));
    AddAction(action, RedoCoupeAdd, UndoCoupeAdd);
}

void UndoCoupeAdd(KorAction* action)
{
    const bool present = gProjet.GetCoupe(RecordedValue<std::string>(action, 1)) != nullptr;
    gProjet.DeleteCoupe(RecordedValue<std::string>(action, 1), false);
    if (present && IsAddition(action))
        TakeBackPoints(AddedOrDeletedPoints(action));
}

void RedoCoupeAdd(KorAction* action)
{
    if (auto* ovx = dynamic_cast<OVXAction*>(action))
        StoreCoupeAgain(ovx->Snapshot, RecordedValue<int>(action, 2), AddedOrDeletedPoints(action));
}

void RecordCoupeChange(Coupe* coupe, const XMLNode& old, const std::vector<sAddedPoint>& oldPoints)
{
    RecordChange(TakeSnapshot(coupe), old, CheckedStoredPoints(4, gProjet.GetCoupeIndex(coupe)), oldPoints,
                 UndoCoupeChange, RedoCoupeChange);
}

void UndoCoupeChange(KorAction* action)
{
    ReplaceCoupe(action, true);
}

void RedoCoupeChange(KorAction* action)
{
    ReplaceCoupe(action, false);
}
