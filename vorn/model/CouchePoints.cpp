// Points of a layer: adding, deleting, moving and picking them under the
// neighbour rule, and the Params of borehole and section points.
#include "Couche.h"

#include "CoucheRecorders.h"
#include "KorException.h"
#include "KorRay.h"
#include "LigneNiveau.h"
#include "LumHandledMesh.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <locale>
#include <sstream>

namespace
{
const char* const kReasons[2] = {" :\nLa couche inférieure est plus haute",
                                 " :\nLa couche supérieure est plus basse"};

// A vertex that is not finite is saved as a text that no reader takes back:
// the whole project file would no longer open.
bool IsFinite(const char* origin, const LumPoint& p)
{
    if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z))
        return true;
    KorReport(origin, "Les coordonnées du point doivent être des nombres finis");
    return false;
}
} // namespace

std::string Couche::FormatPoint(const LumPoint& point)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << point.x << ";" << point.y << ";" << point.z;
    return text.str();
}

int Couche::CheckNeighbours(const LumPoint& point, double* altitude)
{
    const int index = gProjet.GetCoucheIndex(this);
    double a = 0.0;
    // Equal altitudes pass; a neighbour not covering (x, y) does not count.
    if (Couche* above = gProjet.GetCouche(index - 1))
        if (index > 0 && above->GetAltitude(point.x, point.y, a) && a < point.z)
        {
            if (altitude)
                *altitude = a;
            return 1;
        }
    if (Couche* below = gProjet.GetCouche(index + 1))
        if (index >= 0 && below->GetAltitude(point.x, point.y, a) && a > point.z)
        {
            if (altitude)
                *altitude = a;
            return -1;
        }
    return 0;
}

bool Couche::TakesPoint(const LumPoint& point) const
{
    return Editable && std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z);
}

int Couche::AddPoint(const LumPoint& point, int type, int param, bool check, bool record, int at)
{
    if (!Editable || !IsFinite("Couche::AddPoint", point))
        return -1;
    if (check)
    {
        const int refused = CheckNeighbours(point);
        if (refused != 0)
        {
            GetModelUi().MessageBox("Impossible de positionner un point à la coordonnée \n     " +
                                        FormatPoint(SceneToWorld(gProjet, point)) + kReasons[refused > 0],
                                    "Erreur");
            return -1;
        }
    }
    KorMesh& mesh = mMeshes[Surface];
    sAddition addition;
    addition.Slots = mesh.GetVertexVectorSize();
    addition.Types = GetNumberOfVertexTypes();
    int id = at >= 0 ? mesh.AddVertexAt(at, point) : -1;
    if (id < 0)
        id = mesh.AddVertex(point);
    addition.Id = id;
    addition.Old = GetVertexType(id);
    mLastAddition = addition;
    SetVertexType(id, type, param);
    SetGeometryChanged();
    if (record)
        RecordCouchePointAdd(gProjet.GetCoucheIndex(this), point, type, param, addition);
    return id;
}

void Couche::DeletePoint(int id, bool record)
{
    if (!Editable)
        return;
    if (id == mPickedVertex)
    {
        mPickedVertex = -1;
        GetModelUi().RemoveGizmo();
    }
    KorMesh& mesh = mMeshes[Surface];
    const KorVertex* v = mesh.GetVertex(id);
    if (record && v)
        RecordCouchePointDelete(this, id);
    const sVertexType kind = GetVertexType(id);
    // Identifiers are reused: a contour must not keep a freed one, or the
    // next point given that identifier would join it.
    if (kind.Type == 2)
        for (LigneNiveau* ligne : mLignes)
            ligne->Points.erase(std::remove(ligne->Points.begin(), ligne->Points.end(), id),
                                ligne->Points.end());
    mesh.DeleteVertex(id);
    if (id >= 0 && id < GetNumberOfVertexTypes())
        mVertexTypes[id].Type = 0;
    SetGeometryChanged();
}

void Couche::TakeBackPoint(const sAddition& addition)
{
    const int id = addition.Id;
    if (!Editable || id < 0)
        return;
    DeletePoint(id, false);
    mMeshes[Surface].TakeBackVertex(id, id >= addition.Slots);
    if (GetNumberOfVertexTypes() > addition.Types && addition.Types >= 0)
        mVertexTypes.resize(addition.Types);
    if (id < GetNumberOfVertexTypes())
        mVertexTypes[id] = addition.Old;
}

int Couche::MovePoint(int id, const LumPoint& point, bool check, bool record, bool retriangulate)
{
    if (!Editable)
        return -1;
    KorVertex* v = mMeshes[Surface].GetVertex(id);
    if (!v)
        return 1;
    if (!IsFinite("Couche::MovePoint", point))
        return -1;
    if (check)
    {
        const int refused = CheckNeighbours(point);
        if (refused != 0)
        {
            GetModelUi().MessageBox("Impossible de déplacer ce point à la coordonnée \n     " +
                                        FormatPoint(point) + kReasons[refused > 0],
                                    "Erreur");
            return refused;
        }
        // The neighbours' triangulation may have added vertices to their
        // own meshes only; this one's pointer stays good, but look it up
        // again all the same.
        v = mMeshes[Surface].GetVertex(id);
    }
    const LumPoint old(v->X, v->Y, v->Z);
    v->Define(point.x, point.y, point.z);
    if (!retriangulate)
    {
        Display(Surface)->ChangeVertex(id, point);
        SetDisplayChanged();
    }
    else
        SetGeometryChanged();
    if (record)
        RecordCouchePointMove(gProjet.GetCoucheIndex(this), id, old, point);
    return 1;
}

KorVertex* Couche::PickVertexInPlan(float x, float y, float radius)
{
    KorMesh& mesh = mMeshes[Surface];
    const float r2 = radius * radius;
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
    {
        KorVertex* v = mesh.GetVertex(id);
        if (!v)
            continue;
        const float dx = static_cast<float>(v->X) - x;
        const float dy = static_cast<float>(v->Y) - y;
        if (dx * dx + dy * dy <= r2)
            return v;
    }
    return nullptr;
}

KorVertex* Couche::PickVertex(const KorRay& ray, double radius)
{
    KorMesh& mesh = mMeshes[Surface];
    KorVertex* best = nullptr;
    double nearest = 0.0;
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
    {
        KorVertex* v = mesh.GetVertex(id);
        if (!v)
            continue;
        // A negative distance sets no bound; the nearest hit so far does.
        double t = best ? nearest : -1.0;
        if (ray.IntersectSphere(LumPoint(v->X, v->Y, v->Z), radius, 0.0, 1e10, t) && (!best || t < nearest))
        {
            best = v;
            nearest = t;
        }
    }
    return best;
}

void Couche::ShiftPoints(int type, int index)
{
    // No list reaches the largest int: a Param there names nothing and
    // stays, rather than overflow.
    for (sVertexType& record : mVertexTypes)
        if (record.Type == type && record.Param >= index &&
            record.Param < std::numeric_limits<int32_t>::max())
            ++record.Param;
}

void Couche::DeletePoints(int type, int index)
{
    for (int id = 0; id < GetNumberOfVertexTypes(); ++id)
    {
        const sVertexType record = mVertexTypes[id];
        if (record.Type != type)
            continue;
        if (record.Param == index)
            DeletePoint(id, false);
        else if (record.Param > index)
            --mVertexTypes[id].Param;
    }
}

int Couche::FreeStrayPoints(int type, int count)
{
    int freed = 0;
    for (int id = 0; id < GetNumberOfVertexTypes(); ++id)
    {
        sVertexType& record = mVertexTypes[static_cast<size_t>(id)];
        if (record.Type != type || (record.Param >= 0 && record.Param < count))
            continue;
        if (mMeshes[Surface].GetVertex(id))
        {
            record = {1, 0};
            ++freed;
        }
        else
            record.Type = 0;
    }
    return freed;
}

bool Couche::CopyPointsFrom(const Couche& source, float depth, float damping, bool check)
{
    const float mean = static_cast<float>(source.GetMeanAltitude());
    const float base = mean - static_cast<float>(WorldToScene(gProjet, LumPoint(0.0, 0.0, depth)).z);
    const float f = 1.0f - damping / 100.0f;
    const KorMesh& mesh = source.mMeshes[Surface];
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
        {
            const float z = (static_cast<float>(v->Z) - mean) * f + base;
            if (AddPoint(LumPoint(v->X, v->Y, z), 1, 0, check, false) < 0)
                return false;
        }
    return true;
}
