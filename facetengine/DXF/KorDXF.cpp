#include "KorDXF.h"

#include "KorException.h"
#include "KorInputFile.h"
#include "KorNumbers.h"
#include "KorPreMesh.h"
#include "KorString.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace
{
const double kTolerance = 1e-5;

void Trim(std::string& s)
{
    const char* blanks = " \t\r\n\v\f";
    const size_t end = s.find_last_not_of(blanks);
    if (end == std::string::npos)
    {
        s.clear();
        return;
    }
    s.erase(end + 1);
    s.erase(0, s.find_first_not_of(blanks));
}

// A group code: an optional sign and decimal digits only, in int range.
bool ParseCode(const std::string& s, int& code)
{
    size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
    if (i >= s.size() || s.size() - i > 6)
        return false;
    for (size_t k = i; k < s.size(); ++k)
        if (s[k] < '0' || s[k] > '9')
            return false;
    code = KorAtoi(s);
    return true;
}

// |value| - 1 for the 1-based corners of a face record; 0 (no vertex) gives -1.
int CornerIndex(const std::string& value, long long base)
{
    const long long v = std::llabs(static_cast<long long>(KorAtoi(value)));
    if (v == 0)
        return -1;
    return static_cast<int>(std::min<long long>(v - 1 + base, INT_MAX));
}

// Group codes first, first + 10 and first + 20 carry a point's x, y and z
// (10, 20, 30 for a position; 210, 220, 230 for an extrusion); false for any
// other. `read` receives the value set.
bool ReadCoordinate(int code, const std::string& value, LumPoint& p, double& read, int first = 10)
{
    if (code != first && code != first + 10 && code != first + 20)
        return false;
    read = KorAtof(value);
    (code == first ? p.x : code == first + 10 ? p.y : p.z) = read;
    return true;
}

// The refusal of one entity: the first number of it that is not finite is
// reported with its line, once, and the entity is then left out whole.
struct EntityCheck
{
    EntityCheck(const std::string& file, const char* what) : fileName(file), entity(what) {}

    const std::string& fileName;
    const char* entity;
    bool refused = false;
    // A record's first number that is not finite, held until the record is
    // known to be kept.
    long long heldLine = 0;
    std::string heldText;

    void Hold(double v, long long line, const std::string& text)
    {
        if (heldLine == 0 && !std::isfinite(v))
        {
            heldLine = line;
            heldText = text;
        }
    }
    void CheckHeld(bool kept)
    {
        if (kept && heldLine != 0)
            Check(std::numeric_limits<double>::quiet_NaN(), heldLine, heldText);
        heldLine = 0;
    }

    // Refuses the entity for a reason that no one number shows.
    void Refuse(const std::string& why)
    {
        if (refused)
            return;
        refused = true;
        KorReport("KorDXF::Load", "The " + std::string(entity) + " of the file '" + MessageExcerpt(fileName) +
                                      "' is left out : " + why);
    }

    void Check(double v, long long line, const std::string& text)
    {
        if (refused || std::isfinite(v))
            return;
        refused = true;
        KorReport("KorDXF::Load", "The number '" + MessageExcerpt(text) + "' at line " +
                                      std::to_string(line) + " of the file '" + MessageExcerpt(fileName) +
                                      "' is not finite : the " + entity + " is left out");
    }
};

double Distance(const LumPoint& a, const LumPoint& b)
{
    return (a - b).Norm();
}

void AddPolyline(std::vector<sDXFPolyline>& out, sDXFPolyline& polyline)
{
    if (polyline.Points.empty())
        return;
    polyline.Length = 0.0;
    for (size_t k = 1; k < polyline.Points.size(); ++k)
        polyline.Length += Distance(polyline.Points[k - 1], polyline.Points[k]);
    out.push_back(std::move(polyline));
}

// A vertex of a 2D or lightweight polyline as read, in the entity's object
// coordinate system, with the bulge of the segment it starts.
struct sPlanVertex
{
    LumPoint P;
    double Bulge = 0.0;
};

// The axes of an object coordinate system in the world, by the arbitrary-
// axis rule: its z is the extrusion, its x lies in the world's x-y plane
// unless the extrusion is within 1/64 of the world's z, in which case it is
// taken square to the world's y. A null or non-finite extrusion is the
// world's z; so is the world's z itself, exactly.
struct sObjectAxes
{
    LumPoint X{1.0, 0.0, 0.0}, Y{0.0, 1.0, 0.0}, Z{0.0, 0.0, 1.0};
    bool Identity = true;

    explicit sObjectAxes(const LumPoint& extrusion)
    {
        const double scale =
            std::max({std::fabs(extrusion.x), std::fabs(extrusion.y), std::fabs(extrusion.z)});
        if (!(scale > 0.0) || !std::isfinite(scale))
            return;
        LumPoint n(extrusion.x / scale, extrusion.y / scale, extrusion.z / scale);
        n = n * (1.0 / n.Norm());
        if (n.x == 0.0 && n.y == 0.0 && n.z == 1.0)
            return;
        const LumPoint x = (std::fabs(n.x) < 1.0 / 64 && std::fabs(n.y) < 1.0 / 64)
                               ? LumPoint(0.0, 1.0, 0.0) ^ n
                               : LumPoint(0.0, 0.0, 1.0) ^ n;
        X = x * (1.0 / x.Norm());
        const LumPoint y = n ^ X;
        Y = y * (1.0 / y.Norm());
        Z = n;
        Identity = false;
    }

    LumPoint ToWorld(const LumPoint& p) const { return Identity ? p : X * p.x + Y * p.y + Z * p.z; }
};

// No chord drawn for an arc strays farther than this from it (a centimetre
// in metres), with at most kArcChords chords an arc.
const double kSagitta = 0.01;
const int kArcChords = 64;

// The points strictly between a and b along the arc of the given bulge (the
// tangent of a quarter of its angle, positive counter-clockwise in x-y),
// their z going linearly from a's to b's.
void AppendArc(const LumPoint& a, const LumPoint& b, double bulge, std::vector<LumPoint>& out)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    if (bulge == 0.0 || !std::isfinite(bulge) || !(std::hypot(dx, dy) > 0.0))
        return;
    // The centre lies on the chord's perpendicular bisector, to its left for
    // a counter-clockwise arc of less than half a turn.
    const double k = (1.0 - bulge * bulge) / (4.0 * bulge);
    const double cx = (a.x + b.x) / 2 - dy * k, cy = (a.y + b.y) / 2 + dx * k;
    const double radius = std::hypot(a.x - cx, a.y - cy);
    const double angle = 4.0 * std::atan(bulge);
    if (!std::isfinite(radius) || !std::isfinite(cx) || !std::isfinite(cy))
        return;
    // The sagitta of one chord of n: r (1 - cos(angle / 2n)).
    const auto sagitta = [&](int n)
    {
        const double s = std::sin(angle / (4.0 * n));
        return 2.0 * radius * s * s;
    };
    int n = 1;
    while (n < kArcChords && sagitta(n) >= kSagitta)
        ++n;
    const double start = std::atan2(a.y - cy, a.x - cx);
    for (int i = 1; i < n; ++i)
    {
        const double t = static_cast<double>(i) / n;
        const double phi = start + angle * t;
        out.push_back(
            LumPoint(cx + radius * std::cos(phi), cy + radius * std::sin(phi), a.z + (b.z - a.z) * t));
    }
}

// The world points of a polyline read in its object coordinate system: each
// vertex, then the points along the bulge it starts (the last vertex's
// closes the polyline when it is closed). A point closer than the tolerance
// to the last one kept is dropped, and one at exactly the tolerance too when
// `strict`. False when a point placed is not finite.
bool PlaceInWorld(const std::vector<sPlanVertex>& vertices, bool closed, const LumPoint& extrusion,
                  bool strict, std::vector<LumPoint>& out)
{
    const sObjectAxes axes(extrusion);
    std::vector<LumPoint> plan;
    for (size_t k = 0; k < vertices.size(); ++k)
    {
        plan.push_back(vertices[k].P);
        const bool last = k + 1 == vertices.size();
        if (!last || (closed && vertices.size() > 1))
            AppendArc(vertices[k].P, vertices[last ? 0 : k + 1].P, vertices[k].Bulge, plan);
    }
    for (const LumPoint& p : plan)
    {
        const LumPoint w = axes.ToWorld(p);
        if (!std::isfinite(w.x) || !std::isfinite(w.y) || !std::isfinite(w.z))
            return false;
        const double d = out.empty() ? 0.0 : (out.back() - w).Norm();
        if (out.empty() || d > kTolerance || (!strict && d == kTolerance))
            out.push_back(w);
    }
    return true;
}

KorException ConversionError(const std::string& function, const std::string& fileName,
                             const std::string& ending)
{
    return KorException(".\\DXF\\kordxf -> " + function +
                            " -> Impossible to convert the DXF format from the file '" + fileName + "' " +
                            ending,
                        KorException::ERROR);
}
} // namespace

// Group code / value pairs of the file, trimmed, with one pair of look-back
// so that a reader can hand the "0" pair that ends its entity back to its
// caller. Lines are counted so that a refusal can name the value's line.
class KorDXF::PairReader
{
public:
    explicit PairReader(std::istream& in) : mIn(in) {}

    bool Next(int& code, std::string& value)
    {
        if (mHeld)
        {
            mHeld = false;
            code = mCode;
            value = mValue;
            mValueLine = mHeldLine;
            return true;
        }
        std::string line;
        for (;;)
        {
            if (!std::getline(mIn, line))
                return false;
            ++mLines;
            Trim(line);
            if (ParseCode(line, code))
                break;
        }
        if (!std::getline(mIn, value))
            return false;
        mValueLine = ++mLines;
        Trim(value);
        return true;
    }

    // The next pair of the entity being read; false at its end, where the
    // next entity's first pair (code 0) is held back for the caller.
    bool NextOfEntity(int& code, std::string& value)
    {
        if (!Next(code, value))
            return false;
        if (code != 0)
            return true;
        PushBack(code, value);
        return false;
    }

    void PushBack(int code, const std::string& value)
    {
        mHeld = true;
        mCode = code;
        mValue = value;
        mHeldLine = mValueLine;
    }

    // The 1-based line of the value Next gave last.
    long long ValueLine() const { return mValueLine; }

private:
    std::istream& mIn;
    bool mHeld = false;
    int mCode = 0;
    std::string mValue;
    long long mLines = 0;
    long long mValueLine = 0;
    long long mHeldLine = 0;
};

KorDXF::KorDXF(const std::string& fileName)
{
    Load(fileName);
}

bool KorDXF::Load(const std::string& fileName)
{
    mOpen = false;
    FileName = fileName;
    KorInputFile file;
    if (!file.Open(fileName))
    {
        KorReport("KorDXF::Load",
                  "The file '" + MessageExcerpt(fileName) + "' cannot be read : " + file.GetError());
        return false;
    }
    // A read error leaves the lists as they were before this load.
    const size_t points = Points.size(), faceRecords = FaceRecords.size(), polylines = Polylines.size(),
                 meshes = Meshes.size();
    const std::string version = Version;
    const int units = Units, precision = Precision, refusedMeshes = mRefusedMeshes;
    const std::map<std::string, int> leftOut = LeftOut;

    PairReader in(file.Stream());
    int base = 0;
    int code = 0;
    std::string value;
    // Entities are read in the ENTITIES section, and outside any section
    // for a file that has none; block definitions and the other sections
    // are passed over whole.
    enum class Section
    {
        None,
        Entities,
        Skipped
    } section = Section::None;
    while (in.Next(code, value))
    {
        if (code == 0 && value == "SECTION")
        {
            if (!in.Next(code, value))
                break;
            if (code == 2 && value == "HEADER")
                ReadHeader(in);
            else if (code == 2 && value == "ENTITIES")
                section = Section::Entities;
            else
            {
                section = Section::Skipped;
                in.PushBack(code, value);
            }
            continue;
        }
        if (code == 0 && value == "ENDSEC")
        {
            section = Section::None;
            continue;
        }
        if (section == Section::Skipped)
            continue;
        if (code == 2 && value == "HEADER")
            ReadHeader(in);
        else if (code != 0)
            continue;
        else if (value == "VERTEX")
            GetVertex(in, base);
        else if (value == "POLYLINE")
            GetPolyline(in, base);
        else if (value == "LWPOLYLINE")
            GetLWPolyline(in);
        else if (value == "POINT")
            GetPoint(in);
        // The attributes of an INSERT go with it; EOF ends the file.
        else if (value != "SEQEND" && value != "ATTRIB" && value != "EOF" && !value.empty())
            SkipEntity(in, value);
    }
    if (file.ReadFailed())
    {
        KorReport("KorDXF::Load",
                  "The file '" + MessageExcerpt(fileName) + "' cannot be read : " + file.GetError());
        Points.resize(points);
        FaceRecords.resize(faceRecords);
        Polylines.resize(polylines);
        Meshes.resize(meshes);
        Version = version;
        Units = units;
        Precision = precision;
        mRefusedMeshes = refusedMeshes;
        LeftOut = leftOut;
        return false;
    }
    mOpen = true;
    return true;
}

void KorDXF::ReadHeader(PairReader& in)
{
    int code = 0;
    std::string value;
    while (in.Next(code, value))
    {
        if (code == 0 && value == "ENDSEC")
            return;
        if (code != 9)
            continue;
        std::string variable = value;
        if (variable != "$ACADVER" && variable != "$LUNITS" && variable != "$LUPREC")
            continue;
        if (!in.Next(code, value))
            return;
        if (variable == "$ACADVER")
            Version = value;
        else if (variable == "$LUNITS")
            Units = KorAtoi(value);
        else
            Precision = KorAtoi(value);
    }
}

void KorDXF::GetPoint(PairReader& in)
{
    sDXFPoint point;
    EntityCheck check(FileName, "POINT");
    bool paper = false;
    int code = 0;
    std::string value;
    double v = 0.0;
    while (in.NextOfEntity(code, value))
    {
        if (code == 67)
            paper = KorAtoi(value) == 1;
        else if (ReadCoordinate(code, value, point.Position, v))
            check.Check(v, in.ValueLine(), value);
    }
    if (paper)
        return;
    if (check.refused)
        ++LeftOut["POINT"];
    else
        Points.push_back(point);
}

void KorDXF::GetVertex(PairReader& in, int& base)
{
    sDXFPoint point;
    sDXFFaceRecord face;
    EntityCheck check(FileName, "VERTEX");
    bool paper = false;
    int code = 0;
    std::string value;
    double v = 0.0;
    while (in.NextOfEntity(code, value))
    {
        if (ReadCoordinate(code, value, point.Position, v))
        {
            check.Hold(v, in.ValueLine(), value);
            continue;
        }
        if (code == 70)
            point.Flags = static_cast<std::int16_t>(KorAtoi(value));
        else if (code == 67)
            paper = KorAtoi(value) == 1;
        else if (code >= 71 && code <= 74 && point.Flags == 128)
            face.Index[code - 71] = CornerIndex(value, base);
    }
    check.CheckHeld(point.Flags != 128);
    if (paper)
        return;
    if (point.Flags == 128)
        FaceRecords.push_back(face);
    else if (check.refused)
        ++LeftOut["VERTEX"];
    else
        Points.push_back(point);
}

void KorDXF::GetPolyline(PairReader& in, int& base)
{
    sDXFPolyline polyline;
    EntityCheck check(FileName, "POLYLINE");
    int flags = 0;
    double elevation = 0.0;
    LumPoint extrusion(0.0, 0.0, 1.0);
    bool paper = false;
    std::vector<sPlanVertex> vertices;
    int code = 0;
    std::string value;
    double v = 0.0;
    while (in.Next(code, value))
    {
        if (code == 0 && value == "SEQEND")
            break;
        if (code == 0 && value != "VERTEX")
        {
            // An entity without its SEQEND: it ends where the next one starts.
            in.PushBack(code, value);
            break;
        }
        if (code == 70)
        {
            flags = KorAtoi(value);
            if (flags & 64)
            {
                base = static_cast<int>(std::min<size_t>(Points.size(), INT_MAX));
                GetMesh(in, paper);
                return;
            }
            continue;
        }
        if (code == 67)
            paper = KorAtoi(value) == 1;
        else if (code == 30)
        {
            elevation = KorAtof(value);
            check.Check(elevation, in.ValueLine(), value);
        }
        else if (ReadCoordinate(code, value, extrusion, v, 210))
            check.Check(v, in.ValueLine(), value);
        if (code != 0)
            continue;

        sPlanVertex vertex;
        bool hasFlags = false;
        int vertexFlags = 0;
        while (in.NextOfEntity(code, value))
        {
            if (code == 70)
            {
                hasFlags = true;
                vertexFlags = KorAtoi(value);
            }
            else if (code == 42)
            {
                vertex.Bulge = KorAtof(value);
                check.Hold(vertex.Bulge, in.ValueLine(), value);
            }
            else if (ReadCoordinate(code, value, vertex.P, v))
                check.Hold(v, in.ValueLine(), value);
        }
        // A 3D polyline (or polygon mesh) keeps its 3D vertices; a 2D one
        // every vertex but the spline frame's control points.
        const bool kept =
            (flags & (8 | 16)) ? !hasFlags || vertexFlags == 32 : (vertexFlags & (16 | 64 | 128)) == 0;
        check.CheckHeld(kept);
        if (kept)
            vertices.push_back(vertex);
    }
    if (paper)
        return;
    if (!check.refused)
    {
        polyline.Closed = (flags & 1) != 0 && !(flags & 16);
        if (flags & (8 | 16))
        {
            for (const sPlanVertex& vertex : vertices)
                if (polyline.Points.empty() || Distance(polyline.Points.back(), vertex.P) > kTolerance)
                    polyline.Points.push_back(vertex.P);
        }
        else
        {
            for (sPlanVertex& vertex : vertices)
                vertex.P.z = elevation;
            if (!PlaceInWorld(vertices, polyline.Closed, extrusion, true, polyline.Points))
                check.Refuse("its points placed in the world are not finite");
        }
    }
    if (check.refused || polyline.Points.empty())
        ++LeftOut["POLYLINE"];
    else
        AddPolyline(Polylines, polyline);
}

void KorDXF::GetLWPolyline(PairReader& in)
{
    sDXFPolyline polyline;
    EntityCheck check(FileName, "LWPOLYLINE");
    std::vector<sPlanVertex> vertices;
    double elevation = 0.0;
    LumPoint extrusion(0.0, 0.0, 1.0);
    bool paper = false;
    int code = 0;
    std::string value;
    double v = 0.0;
    while (in.NextOfEntity(code, value))
    {
        if (code == 70)
        {
            const int flags = KorAtoi(value);
            if (flags == 0)
                polyline.ZeroFlag = true;
            polyline.Closed = (flags & 1) != 0;
        }
        else if (code == 67)
            paper = KorAtoi(value) == 1;
        else if (code == 38)
        {
            elevation = KorAtof(value);
            check.Check(elevation, in.ValueLine(), value);
        }
        else if (code == 42)
        {
            const double bulge = KorAtof(value);
            check.Check(bulge, in.ValueLine(), value);
            if (!vertices.empty())
                vertices.back().Bulge = bulge;
        }
        else if (ReadCoordinate(code, value, extrusion, v, 210))
            check.Check(v, in.ValueLine(), value);
        else if (code == 10)
        {
            const double x = KorAtof(value);
            check.Check(x, in.ValueLine(), value);
            if (!in.Next(code, value))
                break;
            if (code != 20)
            {
                in.PushBack(code, value);
                continue;
            }
            sPlanVertex vertex;
            vertex.P = LumPoint(x, KorAtof(value), elevation);
            check.Check(vertex.P.y, in.ValueLine(), value);
            vertices.push_back(vertex);
        }
    }
    if (paper)
        return;
    if (!check.refused && !PlaceInWorld(vertices, polyline.Closed, extrusion, false, polyline.Points))
        check.Refuse("its points placed in the world are not finite");
    if (check.refused || polyline.Points.empty())
        ++LeftOut["LWPOLYLINE"];
    else
        AddPolyline(Polylines, polyline);
}

void KorDXF::GetMesh(PairReader& in, bool paper)
{
    sDXFMesh mesh;
    EntityCheck check(FileName, "polyface mesh");
    int code = 0;
    std::string value;
    double v = 0.0;
    while (in.Next(code, value))
    {
        if (code == 0 && value == "SEQEND")
            break;
        if (code == 0 && value != "VERTEX")
        {
            in.PushBack(code, value);
            break;
        }
        if (code == 67)
            paper = KorAtoi(value) == 1;
        if (code != 0)
            continue;

        int flags = 0;
        bool dropped = false;
        sDXFFaceRecord face;
        LumPoint p;
        while (in.NextOfEntity(code, value))
        {
            if (code == 70)
            {
                flags = KorAtoi(value);
                if ((flags & (32 | 128)) == 0)
                    dropped = true;
            }
            else if (code >= 71 && code <= 74)
                face.Index[code - 71] = CornerIndex(value, 0);
            else if (ReadCoordinate(code, value, p, v))
                check.Hold(v, in.ValueLine(), value);
        }
        // Only a vertex record's position is kept: a face record's is not read.
        check.CheckHeld(!dropped && flags != 128);
        if (dropped)
            continue;
        if (flags == 128)
            mesh.Faces.push_back(face);
        else
            mesh.Points.push_back(p);
    }
    if (paper)
        return;
    if (mesh.Faces.empty())
    {
        ++LeftOut["POLYLINE"];
        return;
    }
    if (check.refused)
    {
        ++mRefusedMeshes;
        ++LeftOut["POLYLINE"];
    }
    else
        Meshes.push_back(std::move(mesh));
}

std::string KorDXF::DescribeLeftOut() const
{
    std::string text;
    for (const auto& [kind, count] : LeftOut)
        text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + kind;
    return text;
}

void KorDXF::SkipEntity(PairReader& in, const std::string& kind)
{
    bool paper = false;
    int code = 0;
    std::string value;
    while (in.NextOfEntity(code, value))
    {
        if (code == 67)
            paper = KorAtoi(value) == 1;
    }
    if (!paper)
        ++LeftOut[kind];
}

void KorDXF::DeleteDoubles()
{
    struct Entry
    {
        LumPoint p;
        int a;
        int b; // -1 for a point record, else the point's index in polyline a
    };
    std::vector<Entry> work;
    for (size_t i = 0; i < Points.size(); ++i)
        work.push_back({Points[i].Position, static_cast<int>(i), -1});
    for (size_t i = 0; i < Polylines.size(); ++i)
        for (size_t k = 0; k < Polylines[i].Points.size(); ++k)
            work.push_back({Polylines[i].Points[k], static_cast<int>(i), static_cast<int>(k)});
    // Exact order, list order among equal positions: the first of a cluster
    // is the one kept. NaN coordinates compare as equal to everything with
    // '<', so they are ordered apart first.
    auto key = [](const LumPoint& p)
    { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); };
    std::stable_sort(work.begin(), work.end(),
                     [&](const Entry& l, const Entry& r)
                     {
                         const bool fl = key(l.p), fr = key(r.p);
                         if (fl != fr)
                             return fl;
                         if (!fl)
                             return false;
                         if (l.p.x != r.p.x)
                             return l.p.x < r.p.x;
                         if (l.p.y != r.p.y)
                             return l.p.y < r.p.y;
                         return l.p.z < r.p.z;
                     });

    // Cells of the tolerance's size: two points in one cell are within the
    // tolerance on each axis, so a cell holds at most one kept point, and a
    // point's possible matches lie in its cell and the 26 around it.
    struct CellHash
    {
        size_t operator()(const std::array<long long, 3>& c) const
        {
            const auto u = [](long long v) { return static_cast<unsigned long long>(v); };
            return static_cast<size_t>(u(c[0]) * 73856093ULL ^ u(c[1]) * 19349663ULL ^ u(c[2]) * 83492791ULL);
        }
    };
    std::unordered_map<std::array<long long, 3>, LumPoint, CellHash> kept;
    std::vector<bool> removePoint(Points.size(), false);
    std::vector<std::vector<bool>> removeVertex(Polylines.size());
    for (size_t i = 0; i < Polylines.size(); ++i)
        removeVertex[i].assign(Polylines[i].Points.size(), false);

    const double limit = 4e18 * kTolerance; // cells stay inside long long
    for (const Entry& e : work)
    {
        if (!key(e.p) || std::fabs(e.p.x) > limit || std::fabs(e.p.y) > limit || std::fabs(e.p.z) > limit)
            continue;
        const std::array<long long, 3> cell = {static_cast<long long>(std::floor(e.p.x / kTolerance)),
                                               static_cast<long long>(std::floor(e.p.y / kTolerance)),
                                               static_cast<long long>(std::floor(e.p.z / kTolerance))};
        bool isDouble = false;
        for (int dx = -1; dx <= 1 && !isDouble; ++dx)
            for (int dy = -1; dy <= 1 && !isDouble; ++dy)
                for (int dz = -1; dz <= 1 && !isDouble; ++dz)
                {
                    auto it = kept.find({cell[0] + dx, cell[1] + dy, cell[2] + dz});
                    isDouble = it != kept.end() && std::fabs(it->second.x - e.p.x) < kTolerance &&
                               std::fabs(it->second.y - e.p.y) < kTolerance &&
                               std::fabs(it->second.z - e.p.z) < kTolerance;
                }
        if (!isDouble)
            kept.emplace(cell, e.p);
        else if (e.b < 0)
            removePoint[static_cast<size_t>(e.a)] = true;
        else
            removeVertex[static_cast<size_t>(e.a)][static_cast<size_t>(e.b)] = true;
    }

    size_t out = 0;
    for (size_t i = 0; i < Points.size(); ++i)
        if (!removePoint[i])
            Points[out++] = Points[i];
    Points.resize(out);
    for (size_t i = 0; i < Polylines.size(); ++i)
    {
        std::vector<LumPoint>& pts = Polylines[i].Points;
        out = 0;
        for (size_t k = 0; k < pts.size(); ++k)
            if (!removeVertex[i][k])
                pts[out++] = pts[k];
        pts.resize(out);
    }
}

namespace
{
// Adds one DXF mesh's face records to the pre-mesh with its points starting
// at `offset`. A record whose corners name no point of its own mesh is left
// out with one line; false then.
bool AddFaceRecords(const sDXFMesh& m, size_t meshIndex, int offset, KorPreMesh& pre, const char* origin)
{
    bool result = true;
    const long long n = static_cast<long long>(m.Points.size());
    for (size_t k = 0; k < m.Faces.size(); ++k)
    {
        const int* q = m.Faces[k].Index;
        const bool valid =
            q[0] >= 0 && q[0] < n && q[1] >= 0 && q[1] < n && q[2] >= 0 && q[2] < n && q[3] >= -1 && q[3] < n;
        if (!valid)
        {
            KorReport(origin, "The face record " + std::to_string(k) + " of the mesh " +
                                  std::to_string(meshIndex) +
                                  " names a vertex the mesh does not have: it is left out");
            result = false;
            continue;
        }
        const int d = (q[3] == q[0] || q[3] < 0) ? -1 : q[3] + offset;
        pre.AddPreFace(q[0] + offset, q[1] + offset, q[2] + offset, d);
    }
    return result;
}
} // namespace

bool KorDXF::ConvertToKorMesh(KorMesh& mesh)
{
    mesh.Clear();
    KorPreMesh pre;
    bool result = mRefusedMeshes == 0;
    for (size_t m = 0; m < Meshes.size(); ++m)
    {
        const int offset = static_cast<int>(pre.GetPoints().size());
        for (const LumPoint& p : Meshes[m].Points)
            pre.AddVertex(p);
        if (!AddFaceRecords(Meshes[m], m, offset, pre, "KorDXF::ConvertToKorMesh"))
            result = false;
    }
    try
    {
        if (!pre.ConvertToKorMesh(mesh))
            result = false;
        mesh.FuseVertices(kTolerance, nullptr);
    }
    catch (const KorException& e)
    {
        KorException error = ConversionError("KorDXF::ConvertToKorMesh", FileName, "into a mesh");
        error << e;
        throw error;
    }
    catch (...)
    {
        throw ConversionError("KorDXF::ConvertToKorMesh", FileName, "into a mesh");
    }
    return result;
}

bool KorDXF::ConvertToKorMeshes(std::vector<KorMesh>& meshes)
{
    try
    {
        bool result = mRefusedMeshes == 0;
        for (size_t m = 0; m < Meshes.size(); ++m)
        {
            KorPreMesh pre;
            for (const LumPoint& p : Meshes[m].Points)
                pre.AddVertex(p);
            if (!AddFaceRecords(Meshes[m], m, 0, pre, "KorDXF::ConvertToKorMeshes"))
                result = false;
            meshes.emplace_back();
            if (!pre.ConvertToKorMesh(meshes.back()))
                result = false;
            meshes.back().FuseVertices(kTolerance, nullptr);
        }
        return result;
    }
    catch (const KorException& e)
    {
        KorException error =
            ConversionError("KorDXF::ConvertToKorMeshes", FileName, "into a vector of meshes");
        error << e;
        throw error;
    }
    catch (...)
    {
        throw ConversionError("KorDXF::ConvertToKorMeshes", FileName, "into a vector of meshes");
    }
}
