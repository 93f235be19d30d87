#include "ExcavationReference.h"

#include "KorEdge.h"
#include "KorFace.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

namespace
{
// The part of the terrain over the head that counts as touching a border.
constexpr double kTouch = 1e-7;

struct sFlat
{
    double X, Y;
};
// A convex polygon of a few corners: a triangle clipped by a few lines.
struct Polygon
{
    sFlat P[16];
    size_t N = 0;
    Polygon() = default;
    Polygon(std::initializer_list<sFlat> corners)
    {
        for (const sFlat& c : corners)
            P[N++] = c;
    }
    size_t size() const { return N; }
    const sFlat& operator[](size_t k) const { return P[k]; }
    void push_back(const sFlat& p)
    {
        if (N < 16)
            P[N++] = p;
    }
    const sFlat* begin() const { return P; }
    const sFlat* end() const { return P + N; }
};

// f(x, y) = A x + B y + C.
struct sLinear
{
    double A = 0.0, B = 0.0, C = 0.0;
    double At(double x, double y) const { return A * x + B * y + C; }
};

// The part of the polygon where f >= 0.
Polygon Clip(const Polygon& poly, const sLinear& f)
{
    Polygon out;
    const size_t n = poly.size();
    for (size_t i = 0; i < n; ++i)
    {
        const sFlat& p = poly[i];
        const sFlat& q = poly[(i + 1) % n];
        const double fp = f.At(p.X, p.Y), fq = f.At(q.X, q.Y);
        if (fp >= 0.0)
            out.push_back(p);
        if ((fp >= 0.0) != (fq >= 0.0))
        {
            const double t = fp / (fp - fq);
            out.push_back(sFlat{p.X + t * (q.X - p.X), p.Y + t * (q.Y - p.Y)});
        }
    }
    return out;
}

double SignedArea(const Polygon& poly)
{
    double twice = 0.0;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
        twice += poly[j].X * poly[i].Y - poly[i].X * poly[j].Y;
    return poly.size() < 3 ? 0.0 : 0.5 * twice;
}

// The integral of f over the polygon.
double Integral(const Polygon& poly, const sLinear& f)
{
    double total = 0.0;
    for (size_t k = 2; k < poly.size(); ++k)
    {
        const sFlat &a = poly[0], &b = poly[k - 1], &c = poly[k];
        const double twice = (b.X - a.X) * (c.Y - a.Y) - (c.X - a.X) * (b.Y - a.Y);
        total += 0.5 * std::fabs(twice) * (f.At(a.X, a.Y) + f.At(b.X, b.Y) + f.At(c.X, c.Y)) / 3.0;
    }
    return total;
}

// The half-planes inside a plan triangle; false for one of no area (its
// corners in a line, within rounding).
bool Sides(const sFlat* p, sLinear* sides)
{
    const double area = (p[1].X - p[0].X) * (p[2].Y - p[0].Y) - (p[1].Y - p[0].Y) * (p[2].X - p[0].X);
    double longest = 0.0;
    for (int k = 0; k < 3; ++k)
        longest = std::max(longest, std::hypot(p[(k + 1) % 3].X - p[k].X, p[(k + 1) % 3].Y - p[k].Y));
    if (std::fabs(area) <= 1e-12 * longest * longest)
        return false;
    const double s = area > 0.0 ? 1.0 : -1.0;
    for (int k = 0; k < 3; ++k)
    {
        const sFlat& a = p[k];
        const sFlat& b = p[(k + 1) % 3];
        // Left of a -> b, times the turning.
        sides[k].A = -(b.Y - a.Y) * s;
        sides[k].B = (b.X - a.X) * s;
        sides[k].C = ((b.Y - a.Y) * a.X - (b.X - a.X) * a.Y) * s;
    }
    return true;
}

// The plane z = f(x, y) through three points; false for a vertical one.
bool PlaneOf(const LumPoint& a, const LumPoint& b, const LumPoint& c, sLinear& f)
{
    const LumPoint n = (b - a) ^ (c - a);
    if (std::fabs(n.z) <= 1e-12 * std::sqrt(n * n))
        return false;
    f.A = -n.x / n.z;
    f.B = -n.y / n.z;
    f.C = a.z - f.A * a.x - f.B * a.y;
    return true;
}

struct sTriangle
{
    sFlat P[3];
    double Z[3];
    sLinear Inside[3];
    sLinear Height;
    double Lo[2], Hi[2];
};

} // namespace

// The terrain's triangles, found by plan box through a uniform grid.
class ExcavationReference::TerrainIndex
{
public:
    explicit TerrainIndex(const KorMesh& terrain)
    {
        std::vector<LumPoint> ring;
        for (int id = 0; id < terrain.GetFaceVectorSize(); ++id)
        {
            const KorFace* f = terrain.GetFace(id);
            if (!f)
                continue;
            terrain.GetFacePoints(f, ring);
            for (size_t k = 2; k < ring.size(); ++k)
            {
                sTriangle t;
                const LumPoint corners[3] = {ring[0], ring[k - 1], ring[k]};
                for (int c = 0; c < 3; ++c)
                {
                    t.P[c] = sFlat{corners[c].x, corners[c].y};
                    t.Z[c] = corners[c].z;
                }
                if (!Sides(t.P, t.Inside) || !PlaneOf(corners[0], corners[1], corners[2], t.Height))
                    continue;
                t.Lo[0] = std::min({t.P[0].X, t.P[1].X, t.P[2].X});
                t.Lo[1] = std::min({t.P[0].Y, t.P[1].Y, t.P[2].Y});
                t.Hi[0] = std::max({t.P[0].X, t.P[1].X, t.P[2].X});
                t.Hi[1] = std::max({t.P[0].Y, t.P[1].Y, t.P[2].Y});
                mTriangles.push_back(t);
            }
        }
        if (mTriangles.empty())
            return;
        mLo[0] = mLo[1] = 1e300;
        double hi[2] = {-1e300, -1e300}, area = 0.0;
        for (const sTriangle& t : mTriangles)
            for (int a = 0; a < 2; ++a)
            {
                mLo[a] = std::min(mLo[a], t.Lo[a]);
                hi[a] = std::max(hi[a], t.Hi[a]);
            }
        for (const sTriangle& t : mTriangles)
            area += (t.Hi[0] - t.Lo[0]) * (t.Hi[1] - t.Lo[1]);
        mCell = std::max(1e-9, std::sqrt(area / mTriangles.size()));
        for (int a = 0; a < 2; ++a)
            mCount[a] = std::max(1, std::min(2000, static_cast<int>((hi[a] - mLo[a]) / mCell) + 1));
        mCells.assign(static_cast<size_t>(mCount[0] * mCount[1]), {});
        for (size_t k = 0; k < mTriangles.size(); ++k)
        {
            int i0, j0, i1, j1;
            Range(mTriangles[k].Lo, mTriangles[k].Hi, i0, j0, i1, j1);
            for (int j = j0; j <= j1; ++j)
                for (int i = i0; i <= i1; ++i)
                    mCells[static_cast<size_t>(j * mCount[0] + i)].push_back(static_cast<int>(k));
        }
        mSeen.assign(mTriangles.size(), 0);
    }

    // The triangles whose plan box meets the box lo-hi, each once.
    const std::vector<int>& Near(const double* lo, const double* hi)
    {
        mFound.clear();
        if (mTriangles.empty())
            return mFound;
        ++mStamp;
        int i0, j0, i1, j1;
        Range(lo, hi, i0, j0, i1, j1);
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i)
                for (int k : mCells[static_cast<size_t>(j * mCount[0] + i)])
                {
                    const sTriangle& t = mTriangles[static_cast<size_t>(k)];
                    if (mSeen[static_cast<size_t>(k)] == mStamp || t.Lo[0] > hi[0] || t.Hi[0] < lo[0] ||
                        t.Lo[1] > hi[1] || t.Hi[1] < lo[1])
                        continue;
                    mSeen[static_cast<size_t>(k)] = mStamp;
                    mFound.push_back(k);
                }
        return mFound;
    }
    const sTriangle& Get(int k) const { return mTriangles[static_cast<size_t>(k)]; }

private:
    void Range(const double* lo, const double* hi, int& i0, int& j0, int& i1, int& j1) const
    {
        const auto cell = [this](double v, int a)
        { return std::max(0, std::min(mCount[a] - 1, static_cast<int>(std::floor((v - mLo[a]) / mCell)))); };
        i0 = cell(lo[0], 0);
        i1 = cell(hi[0], 0);
        j0 = cell(lo[1], 1);
        j1 = cell(hi[1], 1);
    }

    std::vector<sTriangle> mTriangles;
    std::vector<std::vector<int>> mCells;
    std::vector<unsigned> mSeen;
    std::vector<int> mFound;
    unsigned mStamp = 0;
    double mLo[2] = {0.0, 0.0};
    double mCell = 1.0;
    int mCount[2] = {1, 1};
};

namespace
{

// Whether the triangle's corners lie on or under the plane z = f(x, y):
// over it, the triangle's height above the plane never turns positive.
bool BelowPlane(const sTriangle& t, const sLinear& f)
{
    for (int c = 0; c < 3; ++c)
        if (t.Z[c] - f.At(t.P[c].X, t.P[c].Y) > 0.0)
            return false;
    return true;
}

// The range [w0, w1] of the plan segment a + w (b - a), w in [0, 1], over
// the triangle; false when empty.
bool SegmentOver(const sFlat& a, const sFlat& b, const sLinear* inside, double& w0, double& w1)
{
    w0 = 0.0;
    w1 = 1.0;
    for (int k = 0; k < 3; ++k)
    {
        const double fa = inside[k].At(a.X, a.Y), fb = inside[k].At(b.X, b.Y);
        if (fa < 0.0 && fb < 0.0)
            return false;
        if (fa < 0.0)
            w0 = std::max(w0, fa / (fa - fb));
        else if (fb < 0.0)
            w1 = std::min(w1, fa / (fa - fb));
    }
    return w0 <= w1;
}

// Whether above(w) - z(w), linear along the segment from a (height za) to
// b (zb), exceeds kTouch somewhere over [w0, w1], with above the plane.
bool RisesOver(const LumPoint& a, const LumPoint& b, const sLinear& plane, double w0, double w1,
               bool planeAbove)
{
    for (double w : {w0, w1})
    {
        const double x = a.x + w * (b.x - a.x), y = a.y + w * (b.y - a.y), z = a.z + w * (b.z - a.z);
        const double d = planeAbove ? plane.At(x, y) - z : z - plane.At(x, y);
        if (d > kTouch)
            return true;
    }
    return false;
}

// Whether the plan sides a-b and c-d cross strictly inside both; the
// crossing on a-b, with its height.
bool SidesCross(const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d, LumPoint& at)
{
    const auto cross = [](const LumPoint& o, const LumPoint& p, const LumPoint& q)
    { return (p.x - o.x) * (q.y - o.y) - (p.y - o.y) * (q.x - o.x); };
    const double c1 = cross(a, b, c), c2 = cross(a, b, d), c3 = cross(c, d, a), c4 = cross(c, d, b);
    if (!(c1 * c2 < 0.0 && c3 * c4 < 0.0))
        return false;
    const double t = c3 / (c3 - c4);
    at = a + (b - a) * t;
    return true;
}

// The faces' rings and the half-edges without a twin face, as segments.
void BorderSegments(const KorMesh& mesh, std::vector<std::pair<LumPoint, LumPoint>>& out)
{
    out.clear();
    for (int id = 0; id < mesh.GetEdgeVectorSize(); ++id)
    {
        const KorEdge* e = mesh.GetEdge(id);
        if (!e || e->Face < 0)
            continue;
        const KorEdge* twin = mesh.GetEdge(e->Opp);
        if (twin && twin->Face >= 0)
            continue;
        const KorVertex* a = mesh.GetVertex(e->Vertex);
        const KorVertex* b = twin ? mesh.GetVertex(twin->Vertex) : nullptr;
        if (a && b)
            out.emplace_back(LumPoint(a->X, a->Y, a->Z), LumPoint(b->X, b->Y, b->Z));
    }
}
} // namespace

ExcavationReference::ExcavationReference(const KorMesh& terrain)
    : mTerrain(terrain), mIndex(std::make_unique<TerrainIndex>(terrain))
{
}

ExcavationReference::~ExcavationReference() = default;

sReferenceCut ExcavationReference::Cut(const KorMesh& head) const
{
    const KorMesh& terrain = mTerrain;
    sReferenceCut cut;
    cut.FaceAreas.assign(static_cast<size_t>(std::max(head.GetFaceVectorSize(), 0)), 0.0);
    TerrainIndex& index = *mIndex;
    // The head's plan triangles with their heights, for the terrain's
    // border.
    struct sHeadTriangle
    {
        int Face;
        sFlat P[3];
        sLinear Inside[3];
        sLinear Height;
    };
    std::vector<sHeadTriangle> plan;
    double footLo[2] = {1e300, 1e300}, footHi[2] = {-1e300, -1e300};
    std::vector<LumPoint> ring;
    for (int id = 0; id < head.GetFaceVectorSize(); ++id)
    {
        const KorFace* face = head.GetFace(id);
        if (!face)
            continue;
        head.GetFacePoints(face, ring);
        double& area = cut.FaceAreas[static_cast<size_t>(id)];
        // The face is the fan of triangles from its first corner, each in
        // its own plane (a face's corners need not be exactly coplanar); a
        // quadrilateral folded over itself, two of its sides crossing, is
        // the two triangles either side of the crossing.
        std::vector<std::array<LumPoint, 3>> triangles;
        LumPoint crossing;
        if (ring.size() == 4 && SidesCross(ring[0], ring[1], ring[2], ring[3], crossing))
            triangles = {{crossing, ring[1], ring[2]}, {ring[0], crossing, ring[3]}};
        else if (ring.size() == 4 && SidesCross(ring[1], ring[2], ring[3], ring[0], crossing))
            triangles = {{crossing, ring[2], ring[3]}, {ring[1], crossing, ring[0]}};
        else
            for (size_t k = 2; k < ring.size(); ++k)
                triangles.push_back({ring[0], ring[k - 1], ring[k]});
        for (const std::array<LumPoint, 3>& triangle : triangles)
        {
            const LumPoint a = triangle[0], b = triangle[1], c = triangle[2];
            const LumPoint n = (b - a) ^ (c - a);
            const double length = std::sqrt(n * n);
            if (length == 0.0)
                continue;
            sHeadTriangle t;
            t.Face = id;
            const LumPoint corners[3] = {a, b, c};
            for (int m = 0; m < 3; ++m)
            {
                t.P[m] = sFlat{corners[m].x, corners[m].y};
                footLo[0] = std::min(footLo[0], corners[m].x);
                footLo[1] = std::min(footLo[1], corners[m].y);
                footHi[0] = std::max(footHi[0], corners[m].x);
                footHi[1] = std::max(footHi[1], corners[m].y);
            }
            const double lo[2] = {std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y})};
            const double hi[2] = {std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y})};
            // A steep triangle's area is taken in its own plane; another's
            // in plan too, with the volume.
            const bool steep = std::fabs(n.z) < 0.5 * length;
            // The volume, in plan, over the triangles seen from above.
            if (Sides(t.P, t.Inside) && PlaneOf(a, b, c, t.Height))
            {
                plan.push_back(t);
                for (int g : index.Near(lo, hi))
                {
                    const sTriangle& terrainTriangle = index.Get(g);
                    // Over a terrain triangle wholly under the face's plane
                    // the terrain stands nowhere above the face.
                    if (BelowPlane(terrainTriangle, t.Height))
                        continue;
                    Polygon piece{t.P[0], t.P[1], t.P[2]};
                    for (int side = 0; side < 3 && piece.size() >= 3; ++side)
                        piece = Clip(piece, terrainTriangle.Inside[side]);
                    const sLinear over{terrainTriangle.Height.A - t.Height.A,
                                       terrainTriangle.Height.B - t.Height.B,
                                       terrainTriangle.Height.C - t.Height.C};
                    if (piece.size() >= 3)
                        piece = Clip(piece, over);
                    if (piece.size() < 3)
                        continue;
                    cut.Volume += Integral(piece, over);
                    if (steep)
                        continue;
                    // Where the terrain lies on the face, it does not stand
                    // above it.
                    double highest = 0.0;
                    for (const sFlat& p : piece)
                        highest = std::max(highest, over.At(p.X, p.Y));
                    if (highest > kTouch)
                        area += std::fabs(SignedArea(piece)) * length / std::fabs(n.z);
                }
            }
            if (!steep)
                continue;
            // The area of a steep one, in its own plane: (u, v) along unit
            // vectors e1, e2 of it from a, where the plan position and the
            // terrain's height over the point are linear too.
            const LumPoint e1 = (b - a) * (1.0 / std::sqrt((b - a) * (b - a)));
            const LumPoint e2 = (n * (1.0 / length)) ^ e1;
            const Polygon own{{0.0, 0.0}, {(b - a) * e1, (b - a) * e2}, {(c - a) * e1, (c - a) * e2}};
            sLinear height;
            const bool seenFromAbove = PlaneOf(a, b, c, height);
            for (int g : index.Near(lo, hi))
            {
                const sTriangle& terrainTriangle = index.Get(g);
                if (seenFromAbove && BelowPlane(terrainTriangle, height))
                    continue;
                // f(x, y) = A x + B y + C pulled back to (u, v).
                const auto pull = [&](const sLinear& f, double dz)
                {
                    return sLinear{f.A * e1.x + f.B * e1.y - dz * e1.z, f.A * e2.x + f.B * e2.y - dz * e2.z,
                                   f.At(a.x, a.y) - dz * a.z};
                };
                Polygon piece = own;
                for (int side = 0; side < 3 && piece.size() >= 3; ++side)
                    piece = Clip(piece, pull(terrainTriangle.Inside[side], 0.0));
                const sLinear over = pull(terrainTriangle.Height, 1.0);
                if (piece.size() >= 3)
                    piece = Clip(piece, over);
                if (piece.size() < 3)
                    continue;
                // Where the terrain lies on the face, it does not stand
                // above it.
                double highest = 0.0;
                for (const sFlat& p : piece)
                    highest = std::max(highest, over.At(p.X, p.Y));
                if (highest > kTouch)
                    area += std::fabs(SignedArea(piece));
            }
        }
    }

    // The head's border under the terrain anywhere.
    std::vector<std::pair<LumPoint, LumPoint>> border;
    BorderSegments(head, border);
    for (const auto& [a, b] : border)
    {
        const sFlat fa{a.x, a.y}, fb{b.x, b.y};
        const double lo[2] = {std::min(a.x, b.x), std::min(a.y, b.y)},
                     hi[2] = {std::max(a.x, b.x), std::max(a.y, b.y)};
        for (int k : index.Near(lo, hi))
        {
            const sTriangle& g = index.Get(k);
            double w0, w1;
            bool under = false;
            if (std::hypot(b.x - a.x, b.y - a.y) == 0.0)
                // A vertical border edge: its foot against the terrain.
                under = SegmentOver(fa, fa, g.Inside, w0, w1) &&
                        g.Height.At(a.x, a.y) - std::min(a.z, b.z) > kTouch;
            else
                under = SegmentOver(fa, fb, g.Inside, w0, w1) && RisesOver(a, b, g.Height, w0, w1, true);
            if (under && cut.Inside)
            {
                cut.Inside = false;
                cut.Why = "head border under the terrain from (" + std::to_string(a.x) + ", " +
                          std::to_string(a.y) + ", " + std::to_string(a.z) + ") to (" + std::to_string(b.x) +
                          ", " + std::to_string(b.y) + ", " + std::to_string(b.z) + ")";
            }
        }
    }
    // The terrain's border over the head anywhere.
    BorderSegments(terrain, border);
    for (const auto& [a, b] : border)
    {
        if (std::max(a.x, b.x) < footLo[0] || std::min(a.x, b.x) > footHi[0] ||
            std::max(a.y, b.y) < footLo[1] || std::min(a.y, b.y) > footHi[1])
            continue;
        const sFlat fa{a.x, a.y}, fb{b.x, b.y};
        for (const sHeadTriangle& t : plan)
        {
            double w0, w1;
            if (SegmentOver(fa, fb, t.Inside, w0, w1) && RisesOver(a, b, t.Height, w0, w1, false) &&
                cut.Inside)
            {
                cut.Inside = false;
                cut.Why = "terrain border over head face " + std::to_string(t.Face) + " from (" +
                          std::to_string(a.x) + ", " + std::to_string(a.y) + ") to (" + std::to_string(b.x) +
                          ", " + std::to_string(b.y) + ")";
            }
        }
    }
    return cut;
}
