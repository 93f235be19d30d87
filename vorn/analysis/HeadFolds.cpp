#include "HeadFolds.h"

#include "KorEdge.h"
#include "KorExactPredicates.h"
#include "KorFace.h"
#include "KorMesh.h"
#include "KorVertex.h"
#include "TeteTranchee.h"

#include <algorithm>
#include <cmath>

namespace
{
int Orient(const LumPoint& a, const LumPoint& b, const LumPoint& c)
{
    return Orient2DSign(a.x, a.y, b.x, b.y, c.x, c.y);
}

double PlanArea(const std::vector<LumPoint>& ring)
{
    double twice = 0.0;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        twice += ring[j].x * ring[i].y - ring[i].x * ring[j].y;
    return 0.5 * twice;
}

// Whether the plan sides a-b and c-d cross strictly inside both.
bool Cross(const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d)
{
    return Orient(a, b, c) * Orient(a, b, d) < 0 && Orient(c, d, a) * Orient(c, d, b) < 0;
}

// The first pair of non-adjacent sides (i, i + 1) and (j, j + 1) that
// cross; false for none.
bool FirstCrossing(const std::vector<LumPoint>& ring, size_t& i, size_t& j)
{
    const size_t n = ring.size();
    for (i = 0; i < n; ++i)
        for (j = i + 2; j < n; ++j)
        {
            if ((j + 1) % n == i)
                continue;
            if (Cross(ring[i], ring[(i + 1) % n], ring[j], ring[(j + 1) % n]))
                return true;
        }
    return false;
}

// Where the plan side a-b meets the plan line c-d, with its height along
// a-b (the face is planar, both sides give the same point).
LumPoint Meeting(const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d)
{
    const double ca = (d.x - c.x) * (a.y - c.y) - (d.y - c.y) * (a.x - c.x);
    const double cb = (d.x - c.x) * (b.y - c.y) - (d.y - c.y) * (b.x - c.x);
    return a + (b - a) * (ca / (ca - cb));
}

// The panel's name of a slope of the head and its fields.
struct sSlope
{
    std::string Group;
    bool Front = false;
};

std::string LevelField(const sSlope& slope, int level)
{
    static const char* const kLevels[] = {"inférieur", "supérieur", "final"};
    return slope.Group + " : Inclinaison verticale du " + (slope.Front ? "front " : "talus ") +
           kLevels[std::clamp(level, 0, 2)];
}

std::string SkewField(const sSlope& slope)
{
    return slope.Group + (slope.Front ? " : Biais Horizontal" : " : Biais latéral du talus");
}

// What a face class of the head is: the slope it belongs to (index into
// the stacks), its bench level (0 to 2) or berm (-1 first, -2 second), or
// an outer slope plane (level 3).
struct sClassPart
{
    int Stack = -1;
    int Level = 0;
};

class Namer
{
public:
    explicit Namer(const TeteTranchee& head) : mHead(head)
    {
        const bool left = head.DoubleEntree && head.CoteAvance == 46;
        const std::string first = left ? "Droite" : "Gauche", second = left ? "Gauche" : "Droite";
        // With the symmetry the second column's fields are copies of the
        // first's: the fields to change are those.
        const std::string copied = head.SymetrieGD ? first : second;
        if (head.DoubleEntree)
        {
            // Front 1, platform-1 side, step, front 2, platform-2 side, then
            // the outer slopes on the platform-1 and platform-2 sides.
            mStacks = {{"Front d'attaque reculé", true},
                       {left ? "Talus latéral droite 1" : "Talus latéral gauche 1", false},
                       {"Talus latéraux 2 (" + first + ")", false},
                       {"Front d'attaque avancé", true},
                       {"Talus latéraux 2 (" + copied + ")", false},
                       {"Talus latéraux 3 (" + first + ")", false},
                       {"Talus latéraux 3 (" + copied + ")", false}};
            mNeighbours = {{1, 2}, {0, 5}, {0, 3}, {2, 4}, {3, 6}, {1, 1}, {4, 4}};
            mBerms = "Plateformes / Risbermes";
            // The berm records list the platform-1 side, front 1, the step,
            // front 2 and the platform-2 side.
            mBermStacks = {1, 0, 2, 3, 4};
            const int benches[][4] = {
                {22, 23, 24, 0}, {30, 31, 32, 1}, {34, 35, 36, 2}, {26, 27, 28, 3}, {38, 39, 40, 4}};
            for (const auto& b : benches)
                for (int level = 0; level < 3; ++level)
                    mClasses.push_back({b[level], {b[3], level}});
            mClasses.push_back({42, {5, 3}});
            mClasses.push_back({44, {6, 3}});
        }
        else
        {
            // The front, the left and right slopes 1, the outer slopes 2.
            mStacks = {{"Front d'attaque", true},
                       {"Talus latéraux 1 (Gauche)", false},
                       {"Talus latéraux 1 (" + copied + ")", false},
                       {"Talus latéraux 2 (Gauche)", false},
                       {"Talus latéraux 2 (" + copied + ")", false}};
            mNeighbours = {{1, 2}, {0, 3}, {0, 4}, {1, 1}, {2, 2}};
            mBerms = "Plateforme / Risbermes";
            mBermStacks = {1, 0, 2};
            const int benches[][4] = {{4, 5, 6, 0}, {8, 9, 10, 1}, {14, 15, 16, 2}};
            for (const auto& b : benches)
                for (int level = 0; level < 3; ++level)
                    mClasses.push_back({b[level], {b[3], level}});
            mClasses.push_back({12, {3, 3}});
            mClasses.push_back({18, {4, 3}});
        }
    }

    void Name(int face, std::vector<std::string>& fields) const
    {
        sClassPart part;
        for (const auto& [faceClass, what] : mClasses)
            if (Holds(faceClass, face))
                part = what;
        for (int berm : {1, 2})
        {
            const sClasseFaces record = mHead.GetClassFaces(berm);
            for (size_t k = 0; k < mBermStacks.size(); ++k)
                if (record.Faces[k] == face && face >= 0)
                    part = {mBermStacks[k], -berm};
        }
        // A face of no slope (an end face or a floor) names no field of its
        // own: the head's dimensions as a whole make it.
        if (part.Stack < 0)
            return;
        const sSlope& slope = mStacks[static_cast<size_t>(part.Stack)];
        if (part.Level == 3)
        {
            Add(fields, SkewField(slope));
            Add(fields, slope.Group + " : Inclinaison verticale du talus");
            return;
        }
        if (part.Level < 0)
            Add(fields, mBerms + (part.Level == -1 ? " : Largeur des risbermes"
                                                   : " : Largeur des risbermes supérieures"));
        // A bench face narrows between its neighbours' faces of the same
        // level; a berm between those of the bench under it.
        const int level = part.Level >= 0 ? part.Level : (part.Level == -1 ? 0 : 1);
        Add(fields, SkewField(slope));
        if (part.Level >= 0)
            Add(fields, LevelField(slope, level));
        const std::pair<int, int>& beside = mNeighbours[static_cast<size_t>(part.Stack)];
        for (int neighbour : {beside.first, beside.second})
        {
            const sSlope& other = mStacks[static_cast<size_t>(neighbour)];
            // The outer slope planes have one angle of their own.
            if (static_cast<size_t>(neighbour) >= (mHead.DoubleEntree ? 5u : 3u))
                Add(fields, other.Group + " : Inclinaison verticale du talus");
            else
                Add(fields, LevelField(other, level));
        }
    }

private:
    bool Holds(int faceClass, int face) const
    {
        const sClasseFaces record = mHead.GetClassFaces(faceClass);
        return std::find(std::begin(record.Faces), std::end(record.Faces), face) != std::end(record.Faces) &&
               face >= 0;
    }
    static void Add(std::vector<std::string>& fields, const std::string& field)
    {
        if (std::find(fields.begin(), fields.end(), field) == fields.end())
            fields.push_back(field);
    }

    const TeteTranchee& mHead;
    std::vector<sSlope> mStacks;
    std::vector<std::pair<int, int>> mNeighbours;
    std::string mBerms;
    std::vector<int> mBermStacks;
    std::vector<std::pair<int, sClassPart>> mClasses;
};
} // namespace

std::vector<sHeadFold> HeadFolds::Find(const KorMesh& mesh)
{
    std::vector<std::pair<int, std::vector<LumPoint>>> rings;
    double total = 0.0;
    LumPoint lo(1e300, 1e300, 0), hi(-1e300, -1e300, 0);
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
        if (const KorFace* f = mesh.GetFace(id))
        {
            rings.emplace_back(id, std::vector<LumPoint>());
            mesh.GetFacePoints(f, rings.back().second);
            total += PlanArea(rings.back().second);
            for (const LumPoint& p : rings.back().second)
            {
                lo = LumPoint(std::min(lo.x, p.x), std::min(lo.y, p.y), 0);
                hi = LumPoint(std::max(hi.x, p.x), std::max(hi.y, p.y), 0);
            }
        }
    // Sizes below this part of the head's are the rounding of its
    // coordinates: a face that small in plan, or a turned area that small,
    // is no fold.
    const double size = (hi - lo).Norm2D() * 1e-9;
    const int turn = total > 0.0 ? 1 : (total < 0.0 ? -1 : 0);
    std::vector<sHeadFold> folds;
    if (turn == 0)
        return folds;
    for (const auto& [id, ring] : rings)
    {
        double perimeter = 0.0;
        for (size_t k = 0; k < ring.size(); ++k)
            perimeter += (ring[(k + 1) % ring.size()] - ring[k]).Norm2D();
        if (ring.size() < 3 || perimeter <= size)
            continue;
        sHeadFold fold;
        fold.Face = id;
        size_t i = 0, j = 0;
        if (FirstCrossing(ring, i, j))
        {
            if (ring.size() == 4)
            {
                // Sides q0-q1 and q2-q3 cross at the pinch: the loops
                // (pinch, q1, q2) and (q0, pinch, q3) turn as (q0, q1, q2)
                // and (q0, q2, q3) do, exactly.
                LumPoint q[4];
                for (size_t k = 0; k < 4; ++k)
                    q[k] = ring[(i + k) % 4];
                const int lower = Orient(q[0], q[1], q[2]), upper = Orient(q[0], q[2], q[3]);
                fold.Pinch = Meeting(q[0], q[1], q[2], q[3]);
                if (lower == turn && upper == -turn)
                {
                    fold.Pinched = true;
                    fold.Upper[0] = fold.Pinch;
                    fold.Upper[1] = q[3];
                    fold.Upper[2] = q[0];
                }
                else if (upper == turn && lower == -turn)
                {
                    fold.Pinched = true;
                    fold.Upper[0] = fold.Pinch;
                    fold.Upper[1] = q[1];
                    fold.Upper[2] = q[2];
                }
            }
            folds.push_back(fold);
            continue;
        }
        // A simple outline turned the other way; a vertical face's plan
        // area is nil up to the rounding of its corners.
        const double area = PlanArea(ring);
        if (area * turn < 0.0 && std::fabs(area) > size * perimeter)
            folds.push_back(fold);
    }
    return folds;
}

bool HeadFolds::Unfold(KorMesh& mesh)
{
    // Splitting a face re-adds its neighbours under new identifiers: the
    // folds are found again after each split. A split face leaves no pinch.
    const std::vector<sHeadFold> first = Find(mesh);
    const auto pinched = [](const sHeadFold& f) { return f.Pinched; };
    const long count = std::count_if(first.begin(), first.end(), pinched);
    for (long round = 0; round < count; ++round)
    {
        const std::vector<sHeadFold> folds = Find(mesh);
        const auto it = std::find_if(folds.begin(), folds.end(), pinched);
        if (it == folds.end())
            return true;
        const sHeadFold& fold = *it;
        const KorFace* face = mesh.GetFace(fold.Face);
        std::vector<int> ids;
        std::vector<LumPoint> ring;
        mesh.GetFaceVertices(face, ids);
        mesh.GetFacePoints(face, ring);
        size_t i = 0, j = 0;
        if (ids.size() != 4 || !FirstCrossing(ring, i, j))
            return false;
        int q[4];
        for (size_t k = 0; k < 4; ++k)
            q[k] = ids[(i + k) % 4];
        const auto edge = [&mesh](int a, int b)
        {
            const KorEdge* e = mesh.GetEdgeBetween(mesh.GetVertex(a), mesh.GetVertex(b));
            return e ? e->GetID() : -1;
        };
        const int origin = mesh.GetFaceOrigin(fold.Face);
        // Each crossing side takes a vertex at the pinch, and so does the
        // neighbour beyond it; the face, re-added, is then replaced by its
        // two loops.
        const int a = mesh.AddVertexOnEdge(edge(q[0], q[1]), fold.Pinch, true);
        const int b = a < 0 ? -1 : mesh.AddVertexOnEdge(edge(q[2], q[3]), fold.Pinch, true);
        const KorEdge* inside =
            b < 0 ? nullptr : mesh.GetEdgeBetween(mesh.GetVertex(q[1]), mesh.GetVertex(q[2]));
        if (!inside || inside->Face < 0)
            return false;
        mesh.DeleteFace(inside->Face, false);
        if (mesh.AddFaceFrom({a, q[1], q[2], b}, origin, true) < 0 ||
            mesh.AddFaceFrom({b, q[3], q[0], a}, origin, true) < 0)
            return false;
    }
    const std::vector<sHeadFold> left = Find(mesh);
    return std::none_of(left.begin(), left.end(), pinched);
}

std::vector<std::string> HeadFolds::Fields(const TeteTranchee& head, const std::vector<sHeadFold>& folds)
{
    const Namer namer(head);
    std::vector<std::string> fields;
    for (const sHeadFold& fold : folds)
        namer.Name(fold.Face, fields);
    return fields;
}
