#include "LumKdTree.h"

#include "KorBoundingBox.h"
#include "KorException.h"
#include "KorMesh.h"
#include "KorRay.h"
#include "KorVertex.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <tuple>

namespace
{
const double kEps = 1e-5;
const char* kSource = ".\\Tree\\lumkdtree";

double Coord(const LumPoint& p, int axis)
{
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

// Wraps whatever the body threw in this level's context.
[[noreturn]] void Rethrow(const std::string& function, const std::string& message)
{
    KorException outer(std::string(kSource) + " -> " + function + " -> " + message, KorException::ERROR);
    try
    {
        throw;
    }
    catch (const KorException& inner)
    {
        outer << inner;
    }
    catch (...)
    {
    }
    throw outer;
}

KorException Error(const std::string& text)
{
    return KorException(text, KorException::ERROR);
}

std::string PointText(const LumPoint& p)
{
    std::ostringstream s;
    s.imbue(std::locale::classic());
    s.precision(17);
    s << p.x << ", " << p.y << ", " << p.z;
    return s.str();
}
} // namespace

LumKdTree::LumKdTree(KorMesh& mesh, unsigned maxLeafFaces, unsigned maxDepth)
    : LumTree(mesh), mMaxLeafFaces(maxLeafFaces), mMaxDepth(maxDepth)
{
    ClearTree();
    mCreated = Build(mesh);
    if (!mCreated)
        ClearTree();
}

LumKdTree::~LumKdTree()
{
    ClearTree();
}

void LumKdTree::ClearTree()
{
    delete mMainVoxel;
    mMainVoxel = nullptr;
}

LumKdTree* LumKdTree::GetOrCreate(KorMesh& mesh)
{
    if (LumKdTree* tree = dynamic_cast<LumKdTree*>(mesh.GetTree()))
        return tree;
    mesh.SetTree(nullptr);
    LumKdTree* tree = new LumKdTree(mesh, 5, 15);
    mesh.SetTree(tree);
    return tree;
}

bool LumKdTree::Build(KorMesh& mesh)
{
    try
    {
        ClearTree();
        if (mesh.GetNumberOfFaces() <= 0)
            throw Error("The mesh has no face");
        KorBoundingBox box;
        box.Define(mesh);
        mMainVoxel = new KdVoxel(nullptr, box.GetMin(), box.GetMax());
        BuildVoxel(mMainVoxel, mesh, nullptr, -1.0);
        return true;
    }
    catch (...)
    {
        ClearTree();
        Rethrow("LumKdTree::Build", "Impossible to build the Kd-Tree");
    }
}

double LumKdTree::GetSAHCost(double inv, double SL, double SP, double SR, int nL, int nP, int nR, int& side)
{
    const double traversal = 6.0;
    const double costA =
        (nL + nP == 0 || nR == 0) ? -1.0 : (nL + nP) * (SL + SP) * inv + traversal + nR * SR * inv;
    const double costB =
        (nL == 0 || nP + nR == 0) ? -1.0 : nL * SL * inv + traversal + (nP + nR) * (SP + SR) * inv;
    if (costB <= -kEps || (costA <= costB && costA >= 0))
    {
        side = 0;
        return costA;
    }
    side = 1;
    return costB;
}

void LumKdTree::SortEvents(KorMesh& mesh, const KdVoxel& voxel, int axis, std::vector<sPlaneEvent>& events,
                           const std::vector<int>* faces)
{
    try
    {
        events.clear();
        if (!faces)
            throw Error("None triangle list is given as a parameter to sort the events");
        if (axis < 0 || axis > 2)
            throw Error("The direction number " + std::to_string(axis) +
                        " is unknown : it must be 0 for X, 1 for Y or 2 for Z");
        const double lo = Coord(voxel.GetP1(), axis), hi = Coord(voxel.GetP2(), axis);
        events.reserve(faces->size() * 2);
        for (int id : *faces)
        {
            const KorFace* f = mesh.GetFace(id);
            if (!f)
                throw Error("Impossible to find the face which ID is " + std::to_string(id));
            LumPoint a, b, c;
            mesh.GetFaceTriangle(f, a, b, c);
            double v[3] = {Coord(a, axis), Coord(b, axis), Coord(c, axis)};
            for (double& x : v)
                x = std::min(std::max(x, lo), hi);
            const double mn = std::min({v[0], v[1], v[2]}), mx = std::max({v[0], v[1], v[2]});
            if (mx - mn < kEps)
                events.push_back({id, mn, 2});
            else
            {
                events.push_back({id, mn, 3});
                events.push_back({id, mx, 1});
            }
        }
        std::sort(events.begin(), events.end(), sEventCompare());
    }
    catch (...)
    {
        Rethrow("LumKdTree::SortEvents", "A problem occured while sorting the triangle's plane events");
    }
}

namespace
{
// Consecutive sorted events whose positions lie within 1e-5 of the group's
// first position form one group (one candidate plane at that position).
void GroupStarts(const std::vector<LumKdTree::sPlaneEvent>& events, std::vector<size_t>& starts)
{
    starts.clear();
    for (size_t i = 0; i < events.size(); ++i)
        if (starts.empty() || events[i].Position - events[starts.back()].Position >= 1e-5)
            starts.push_back(i);
    starts.push_back(events.size());
}
} // namespace

void LumKdTree::BuildVoxel(KdVoxel* root, KorMesh& mesh, std::vector<int>* rootFaces, double rootSurface)
{
    struct sTask
    {
        KdVoxel* Voxel;
        std::vector<int> Faces;
        bool HasList;
        double Surface;
    };
    std::vector<sTask> stack;
    stack.push_back({root, rootFaces ? *rootFaces : std::vector<int>(), rootFaces != nullptr, rootSurface});
    std::vector<sPlaneEvent> events[3];
    std::vector<size_t> groups;
    // Per-face scratch shared by all voxels (sized once: a voxel touches only
    // the entries of its own faces, so the build stays O(n log^2 n)).
    const size_t slots = static_cast<size_t>(std::max(mesh.GetFaceVectorSize(), 0));
    std::vector<double> area(slots, -1.0);
    std::vector<char> toLeft(slots, 0), toRight(slots, 0);
    while (!stack.empty())
    {
        sTask task = std::move(stack.back());
        stack.pop_back();
        KdVoxel* voxel = task.Voxel;
        try
        {
            if (voxel->GetDepth() > mMaxDepth || (task.HasList && task.Faces.size() <= mMaxLeafFaces))
            {
                voxel->SetLeaves(task.Faces);
                continue;
            }
            if (!task.HasList)
            {
                for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
                    if (mesh.GetFace(id))
                        task.Faces.push_back(id);
                if (task.Surface < 0)
                    task.Surface = mesh.GetSurface();
                // A small mesh is one leaf, as any small list is.
                if (task.Faces.size() <= mMaxLeafFaces)
                {
                    voxel->SetLeaves(task.Faces);
                    continue;
                }
            }
            const double boxSurface = voxel->GetSurface();
            if (boxSurface < kEps)
                throw Error("A voxel has a NULL surface : impossible to calculate the SAH");
            const double inv = 1.0 / boxSurface;
            for (int id : task.Faces)
                if (area[static_cast<size_t>(id)] < 0)
                    area[static_cast<size_t>(id)] = mesh.GetFaceSurface(mesh.GetFace(id));

            bool found = false;
            double bestCost = 0, bestPosition = 0, bestLeft = 0, bestRight = 0;
            int bestAxis = 0, bestSide = 0;
            size_t bestGroup = 0;
            const int n = static_cast<int>(task.Faces.size());
            for (int axis = 0; axis < 3; ++axis)
            {
                SortEvents(mesh, *voxel, axis, events[axis], &task.Faces);
                const std::vector<sPlaneEvent>& ev = events[axis];
                GroupStarts(ev, groups);
                int nL = 0, nR = n, nP = 0;
                double SL = 0, SR = task.Surface, SP = 0;
                for (size_t g = 0; g + 1 < groups.size(); ++g)
                {
                    int starts = 0;
                    double startArea = 0;
                    for (size_t k = groups[g]; k < groups[g + 1]; ++k)
                    {
                        const double a = area[static_cast<size_t>(ev[k].Face)];
                        if (ev[k].Type == 1)
                        {
                            --nR;
                            SR -= a;
                        }
                        else if (ev[k].Type == 2)
                        {
                            ++nP;
                            --nR;
                            SP += a;
                            SR -= a;
                        }
                        else
                        {
                            ++starts;
                            startArea += a;
                        }
                    }
                    const bool last = g + 2 == groups.size();
                    if (g > 0 || (nP > 0 && !last))
                    {
                        int side = 0;
                        const double cost = GetSAHCost(inv, SL, SP, SR, nL, nP, nR, side);
                        if (cost > -kEps && (!found || cost < bestCost))
                        {
                            found = true;
                            bestCost = cost;
                            bestAxis = axis;
                            bestPosition = ev[groups[g]].Position;
                            bestGroup = g;
                            bestSide = side;
                            bestLeft = side == 0 ? SL + SP : SL;
                            bestRight = side == 0 ? SR : SP + SR;
                        }
                    }
                    nL += starts + nP;
                    SL += startArea + SP;
                    nP = 0;
                    SP = 0;
                }
            }
            if (!found)
                throw Error("No plane found");

            // Sides from the best axis's events, group by group.
            const std::vector<sPlaneEvent>& ev = events[bestAxis];
            GroupStarts(ev, groups);
            for (size_t g = 0; g + 1 < groups.size(); ++g)
                for (size_t k = groups[g]; k < groups[g + 1]; ++k)
                {
                    const size_t f = static_cast<size_t>(ev[k].Face);
                    if (g < bestGroup && (ev[k].Type == 3 || ev[k].Type == 2))
                        toLeft[f] = 1;
                    else if (g == bestGroup && ev[k].Type == 2)
                        (bestSide == 0 ? toLeft : toRight)[f] = 1;
                    else if (g > bestGroup && (ev[k].Type == 1 || ev[k].Type == 2))
                        toRight[f] = 1;
                }
            std::vector<int> left, right;
            for (int id : task.Faces)
            {
                if (toLeft[static_cast<size_t>(id)])
                    left.push_back(id);
                if (toRight[static_cast<size_t>(id)])
                    right.push_back(id);
                toLeft[static_cast<size_t>(id)] = toRight[static_cast<size_t>(id)] = 0;
            }
            voxel->DefineSplit(bestAxis + 1, bestPosition, bestSide == 0);
            if (left.size() >= task.Faces.size() || right.size() >= task.Faces.size())
            {
                voxel->SetLeaves(task.Faces);
                voxel->DefineSplit(VOXEL_SPLIT_NONE, -1.0, true);
                continue;
            }
            stack.push_back({voxel->GetSon2(), std::move(right), true, bestRight});
            stack.push_back({voxel->GetSon1(), std::move(left), true, bestLeft});
        }
        catch (...)
        {
            Rethrow("LumKdTree::BuildVoxel", "A problem occured in the creation of a voxel which depth is " +
                                                 std::to_string(voxel->GetDepth()));
        }
    }
}

bool LumKdTree::IntersectRay(const KorRay& ray, KorMesh& mesh, const double& tmin, const double& tmax,
                             double& t, bool countAll, int& hits, int& face) const
{
    if (!mMainVoxel)
        return false;
    face = -1;
    t = 1e20;
    hits = 0;
    try
    {
        struct sVisit
        {
            const KdVoxel* Voxel;
            double T0, T1;
        };
        double t0, t1;
        int f0, f1;
        if (!mMainVoxel->RayRange(ray, t0, t1, f0, f1))
            return false;
        std::vector<sVisit> stack(1, sVisit{mMainVoxel, t0, t1});
        std::vector<double> seen;
        const LumPoint& o = ray.GetOrigin();
        const LumPoint& d = ray.GetDirection();
        while (!stack.empty())
        {
            const sVisit v = stack.back();
            stack.pop_back();
            // Only the part of the ray inside the voxel and the window.
            if (v.T0 > tmax + kEps || v.T1 < tmin - kEps)
                continue;
            if (!v.Voxel->IsSplit())
            {
                bool leafHit = false;
                // A face reaching into several voxels is counted only where
                // the hit lies, so a nearer face in a later voxel is not lost.
                const double lo = std::max(tmin, v.T0 - kEps), hi = std::min(tmax, v.T1 + kEps);
                for (int id : v.Voxel->GetLeaves())
                {
                    const KorFace* f = mesh.GetFace(id);
                    if (!f)
                        throw Error("Impossible to find the face which ID is " + std::to_string(id) +
                                    " defined in a leaf of the tree : ray casting canceled");
                    LumPoint a, b, c;
                    mesh.GetFaceTriangle(f, a, b, c);
                    double th = -1.0;
                    if (!ray.IntersectTriangle(a, b, c, lo, hi, th))
                        continue;
                    if (countAll)
                    {
                        const bool again = std::any_of(seen.begin(), seen.end(),
                                                       [&](double s) { return std::fabs(s - th) < kEps; });
                        if (again)
                        {
                            if (std::fabs(th) < std::fabs(t))
                            {
                                t = th;
                                face = id;
                            }
                            continue;
                        }
                        seen.push_back(th);
                    }
                    leafHit = true;
                    ++hits;
                    if (std::fabs(th) < std::fabs(t))
                    {
                        t = th;
                        face = id;
                    }
                }
                if (leafHit && !countAll)
                {
                    hits = 1;
                    return true;
                }
                continue;
            }
            // Sons in the order the ray meets them. Where the ray enters or
            // leaves on the split plane, the son beyond the plane is still
            // visited at that point: faces lying in the plane may have gone
            // to it.
            const int axis = v.Voxel->GetSplitDirection() - 1;
            const double s = v.Voxel->GetSplitPosition();
            const double oa = Coord(o, axis), da = Coord(d, axis);
            const double enter = oa + da * v.T0, leave = oa + da * v.T1;
            const bool enterOn = std::fabs(enter - s) < kEps, leaveOn = std::fabs(leave - s) < kEps;
            const KdVoxel* son1 = v.Voxel->GetSon1();
            const KdVoxel* son2 = v.Voxel->GetSon2();
            if (da == 0.0 || (enterOn && leaveOn))
            {
                // Parallel to the plane: the side of the origin, both when on it.
                if (enterOn && leaveOn)
                {
                    stack.push_back({son2, v.T0, v.T1});
                    stack.push_back({son1, v.T0, v.T1});
                }
                else
                    stack.push_back({oa < s ? son1 : son2, v.T0, v.T1});
                continue;
            }
            if (enterOn)
            {
                const KdVoxel* inside = leave < s ? son1 : son2;
                stack.push_back({inside, v.T0, v.T1});
                stack.push_back({inside == son1 ? son2 : son1, v.T0, v.T0});
                continue;
            }
            if (leaveOn)
            {
                const KdVoxel* inside = enter < s ? son1 : son2;
                stack.push_back({inside == son1 ? son2 : son1, v.T1, v.T1});
                stack.push_back({inside, v.T0, v.T1});
                continue;
            }
            const KdVoxel* first = enter < s ? son1 : son2;
            const KdVoxel* second = first == son1 ? son2 : son1;
            const double ts = (s - oa) / da;
            if (ts > v.T0 && ts < v.T1)
            {
                stack.push_back({second, ts, v.T1});
                stack.push_back({first, v.T0, ts});
            }
            else
                stack.push_back({first, v.T0, v.T1});
        }
        return hits > 0;
    }
    catch (...)
    {
        Rethrow("LumKdTree::IntersectRay", "Impossible to cast the ray which origin is (" +
                                               PointText(ray.GetOrigin()) + ") and direction is (" +
                                               PointText(ray.GetDirection()) + ")");
    }
}

bool LumKdTree::PointInsideMesh(const LumPoint& point, KorMesh& mesh) const
{
    const KorRay ray(point, LumPoint(1.0, 2.0, 3.0));
    double t = 1e20;
    int hits = 0, face = -1;
    if (!IntersectRay(ray, mesh, -kEps, 1e20, t, true, hits, face))
        return false;
    return hits % 2 == 1 && std::fabs(t) >= kEps;
}

bool LumKdTree::EdgesCrossOther(KdVoxel* root, KorMesh& mesh, const LumKdTree& other, KorMesh& otherMesh,
                                std::vector<char>& flags) const
{
    std::vector<KdVoxel*> stack(1, root);
    std::vector<KorEdge*> edges;
    while (!stack.empty())
    {
        KdVoxel* v = stack.back();
        stack.pop_back();
        if (!v->IntersectVoxel(*other.GetMainVoxel()))
            continue;
        if (v->IsSplit())
        {
            stack.push_back(v->GetSon2());
            stack.push_back(v->GetSon1());
            continue;
        }
        for (int id : v->GetLeaves())
        {
            const KorFace* f = mesh.GetFace(id);
            if (!f)
                throw Error("Impossible to find the triangle which ID is " + std::to_string(id));
            mesh.GetFaceEdges(f, edges);
            for (const KorEdge* e : edges)
            {
                if (!e || e->ID < 0 || static_cast<size_t>(e->ID) >= flags.size() ||
                    flags[static_cast<size_t>(e->ID)])
                    continue;
                LumPoint a, b;
                if (mesh.GetEdgePoints(e, a, b))
                {
                    const double len = std::sqrt((b - a) * (b - a));
                    double t = 1e20;
                    int hits = 0, face = -1;
                    if (other.IntersectRay(KorRay(a, b - a), otherMesh, -kEps, len + kEps, t, false, hits,
                                           face) &&
                        t >= kEps && t <= len - kEps)
                        return true;
                    if (other.PointInsideMesh((a + b) / 2, otherMesh))
                        return true;
                }
                flags[static_cast<size_t>(e->ID)] = 1;
            }
        }
    }
    return false;
}

bool LumKdTree::IntersectMesh(KorMesh& mesh1, KorMesh& mesh2)
{
    try
    {
        LumKdTree* other = GetOrCreate(mesh2);
        if (!other)
            throw Error("Impossible to get a KdTree for the second mesh");
        if (!mMainVoxel)
            throw Error("The first tree contains no main voxel");
        if (!other->GetMainVoxel())
            throw Error("The second tree contains no main voxel");
        std::vector<char> flags(static_cast<size_t>(mesh1.GetEdgeVectorSize()), 0);
        if (EdgesCrossOther(mMainVoxel, mesh1, *other, mesh2, flags))
            return true;
        flags.assign(static_cast<size_t>(mesh2.GetEdgeVectorSize()), 0);
        if (other->EdgesCrossOther(other->GetMainVoxel(), mesh2, *this, mesh1, flags))
            return true;
        if (!mMainVoxel->IntersectVoxel(*other->GetMainVoxel()))
            return false;
        auto firstVertex = [](KorMesh& m, LumPoint& p)
        {
            for (int id = 0; id < m.GetVertexVectorSize(); ++id)
                if (const KorVertex* v = m.GetVertex(id))
                {
                    p = LumPoint(v->X, v->Y, v->Z);
                    return true;
                }
            return false;
        };
        LumPoint p;
        if (firstVertex(mesh1, p) && other->PointInsideMesh(p, mesh2))
            return true;
        if (firstVertex(mesh2, p) && PointInsideMesh(p, mesh1))
            return true;
        // No crossing and neither inside the other: overlapping only if one
        // mesh's vertices all are the other's (the same surface twice).
        KorMesh& larger = mesh1.GetNumberOfVertices() >= mesh2.GetNumberOfVertices() ? mesh1 : mesh2;
        KorMesh& smaller = &larger == &mesh1 ? mesh2 : mesh1;
        std::vector<std::tuple<double, double, double>> sorted;
        for (int id = 0; id < larger.GetVertexVectorSize(); ++id)
            if (const KorVertex* v = larger.GetVertex(id))
                sorted.emplace_back(v->X, v->Y, v->Z);
        std::sort(sorted.begin(), sorted.end());
        for (int id = 0; id < smaller.GetVertexVectorSize(); ++id)
            if (const KorVertex* v = smaller.GetVertex(id))
                if (!std::binary_search(sorted.begin(), sorted.end(), std::make_tuple(v->X, v->Y, v->Z)))
                    return false;
        return true;
    }
    catch (...)
    {
        Rethrow("LumKdTree::IntersectMesh", "Impossible to test the intersection");
    }
}

void LumKdTree::Render(LumoraDevice* device, int maxDepth)
{
    if (!mMainVoxel)
        return;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glDisable(GL_LIGHTING);
    glBegin(GL_QUADS);
    mMainVoxel->Render(device, maxDepth);
    glEnd();
    glEnable(GL_LIGHTING);
}
