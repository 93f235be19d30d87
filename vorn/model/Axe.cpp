#include "Axe.h"

#include "AnyPointer.h"
#include "AxeRecorders.h"
#include "AxeTools.h"
#include "Couche.h"
#include "KorException.h"
#include "KorGeometry.h"
#include "KorMatrix.h"
#include "KorNumbers.h"
#include "KorSinglePrecision.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "TeteTranchee.h"
#include "TypedValues.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace
{
// The arc's angles, in radians: the first point at 45 degrees, one degree
// less per point.
constexpr double kArcStart = 0.7853981625;
constexpr double kArcStep = 0.0174532925;
constexpr int kArcPoints = 90;
constexpr double kRadToDeg = 180.0 / 3.14159265358979323846;

using Matrix = std::unique_ptr<double[]>;

// A * B into a (B acts first on a point).
void Compose(double* a, const Matrix& b)
{
    MultGLMatrix(a, b.get(), a);
}

// acos and asin of a rounded cosine or sine slightly beyond 1 would be NaN.
double Clamp1(double v)
{
    return std::max(-1.0, std::min(1.0, v));
}

LumPoint Unit(LumPoint v)
{
    Normalize(v);
    return v;
}

LumPoint ArcLocalPoint(double radius, double angle)
{
    return LumPoint(-(1.0 - std::cos(angle)) * radius, radius * std::sin(angle), 0.0);
}

// The scene length of one metre.
double SceneMetre()
{
    return WorldToSceneLength(gProjet, 1.0);
}
} // namespace

Axe::Axe()
{
    RegisterXML();
    Init();
}

Axe::Axe(const Axe& other) : ElementOVX(other), XMLable(other)
{
    RegisterXML();
    *this = other;
}

void Axe::RegisterXML()
{
    AddVariable("Type", &Type);
    AddVariable("Origine", &Origine);
    AddVariable("Rayon", &Rayon);
    AddVariable("Orientation", &Orientation);
    AddVariable("Inclinaison", &Inclinaison);
    AddVariable("PositionTeteAngle", &PositionTeteAngle);
    AddVariable("PositionTeteMultiligne", &PositionTeteMultiligne);
    AddVariable("TeteInversee", &TeteInversee);
    AddVariable("PMPlace", &PMPlace);
    AddVariable("PM", &PM);
}

Axe& Axe::operator=(const Axe& other)
{
    if (this == &other)
        return *this;
    XMLable::operator=(other);
    Type = other.Type;
    Origine = other.Origine;
    Rayon = other.Rayon;
    Orientation = other.Orientation;
    Inclinaison = other.Inclinaison;
    PMPlace = other.PMPlace;
    PM = other.PM;
    mPoints = other.mPoints;
    mTicks = other.mTicks;
    std::memcpy(mMatrix, other.mMatrix, sizeof mMatrix);
    mGraduationValid = other.mGraduationValid;
    PositionTeteAngle = other.PositionTeteAngle;
    PositionTeteMultiligne = other.PositionTeteMultiligne;
    TeteInversee = other.TeteInversee;
    return *this;
}

void Axe::Init()
{
    Type = 0;
    Origine = LumPoint();
    Rayon = 1000.0;
    Orientation = 0.0;
    Inclinaison = 0.0;
    std::fill(mMatrix, mMatrix + 16, 0.0);
    PositionTeteAngle = -1.0;
    PositionTeteMultiligne = -1.0;
    TeteInversee = false;
    mGraduationValid = false;
    PMPlace = false;
    PM = LumPoint();
}

void Axe::ClearPolyline()
{
    mPoints.clear();
    mTicks.clear();
    mGraduationValid = false;
}

void Axe::ToXML(XMLNode& node)
{
    XMLable::ToXML(node);
    XMLNode multiligne = node.addChild("Multiligne");
    for (const LumPoint& point : mPoints)
    {
        XMLNode child = multiligne.addChild("Point");
        child.addText(AnyPointer(&point, "").GetAsString());
    }
}

void Axe::FromXML(const XMLNode& node)
{
    XMLable::FromXML(node);
    mPoints.clear();
    const XMLNode multiligne = node.getChildNode("Multiligne");
    if (!multiligne.isEmpty())
    {
        const int n = multiligne.nChildNode("Point");
        for (int i = 0; i < n; ++i)
        {
            const char* text = multiligne.getChildNode("Point", i).getText();
            if (!text)
                continue;
            LumPoint point;
            AnyPointer(&point, "").Set(text);
            mPoints.push_back(point);
        }
    }
    mGraduationValid = false;
}

std::string Axe::ReadRefusal(const XMLNode& node) const
{
    bool finite = NumbersFinite(node);
    for (const LumPoint& p : mPoints)
        finite = finite && std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
    if (!finite)
        return NonFiniteValuesText();
    // Type is an int: "1.5" or "1e308" would read as 1.
    const char* type = node.getChildNode("Type").getText(0);
    const double typed = type ? KorAtof(type) : Type;
    if (typed != 0.0 && typed != 1.0)
        return "Le type de l'axe doit valoir 0 ou 1";
    return ParametersRefusal(Rayon, Orientation, Inclinaison);
}

bool Axe::DropUnreachableHeadPositions()
{
    bool dropped = false;
    // Placed by an edit, an arc position is 90 - i - f for a segment i and
    // a fraction f in [0, 1] that rounding may push a little past 1.
    if (PositionTeteAngle != -1.0 && !(PositionTeteAngle >= 1.0 - 1e-3 && PositionTeteAngle <= 90.0))
    {
        PositionTeteAngle = -1.0;
        dropped = true;
    }
    if (PositionTeteMultiligne != -1.0)
    {
        double length = 0.0;
        for (size_t i = 0; i + 1 < mPoints.size(); ++i)
            length += (mPoints[i + 1] - mPoints[i]).Norm();
        // The walk of GetHeadPosition finds a point up to there.
        if (!(PositionTeteMultiligne >= 0.0 && PositionTeteMultiligne - 1e-5 < length))
        {
            PositionTeteMultiligne = -1.0;
            dropped = true;
        }
    }
    return dropped;
}

std::string Axe::ParametersRefusal(double radius, double orientation, double inclination)
{
    const double r = KorToSingle(radius), o = KorToSingle(orientation), i = KorToSingle(inclination);
    if (!std::isfinite(r) || !std::isfinite(o) || !std::isfinite(i))
        return NonFiniteValuesText();
    if (r <= 0.0)
        return "Le rayon de l'axe doit être un réel > 0";
    return std::string();
}

void Axe::BuildMatrix(double* m) const
{
    // Right-handed rotations: the builder turns by -angle, so the angles
    // of the rotations about +X and +Z are passed negated.
    const Matrix t(GetTranslationGLMatrix(Origine.x, Origine.y, Origine.z));
    std::memcpy(m, t.get(), 16 * sizeof(double));
    Compose(m, Matrix(GetRotationGLMatrix(0, -Inclinaison)));
    Compose(m, Matrix(GetRotationGLMatrix(2, static_cast<double>(gProjet.Nord))));
    Compose(m, Matrix(GetRotationGLMatrix(2, Orientation)));
}

const double* Axe::ComputeMatrix()
{
    BuildMatrix(mMatrix);
    return mMatrix;
}

void Axe::GetPoints(std::vector<LumPoint>& points) const
{
    if (Type == 1)
    {
        points = mPoints;
        return;
    }
    double m[16];
    BuildMatrix(m);
    points.clear();
    points.reserve(kArcPoints);
    double angle = kArcStart;
    for (int k = 0; k < kArcPoints; ++k, angle -= kArcStep)
        points.push_back(MultMatrixGLxLumPoint(m, ArcLocalPoint(Rayon, angle)));
}

double Axe::BearingOf(const LumPoint& planUnit)
{
    const double angle = std::acos(Clamp1(planUnit.y)) * kRadToDeg;
    return planUnit.x < 0.0 ? -angle : angle;
}

double Axe::SlopeOf(const LumPoint& unit)
{
    return std::asin(Clamp1(unit.z)) * kRadToDeg;
}

LumPoint Axe::GetNearestPoint(const LumPoint& point, double& direction, double& slope) const
{
    std::vector<LumPoint> p;
    GetPoints(p);
    LumPoint result;
    bool first = true;
    double best = 0.0;
    for (size_t i = 0; i + 1 < p.size(); ++i)
    {
        // The point's own projection, clamped to the segment: snapping to an
        // end within a fraction of the length, as a looser search would,
        // moves the head by that fraction of a segment, hundreds of units
        // on a long straight axis.
        const double dx = p[i + 1].x - p[i].x, dy = p[i + 1].y - p[i].y;
        const double length2 = dx * dx + dy * dy;
        if (!(length2 >= 1e-10)) // shorter than 1e-5 in plan
            continue;
        const double t =
            std::min(1.0, std::max(0.0, ((point.x - p[i].x) * dx + (point.y - p[i].y) * dy) / length2));
        const LumPoint q = t == 1.0 ? p[i + 1] : p[i] + (p[i + 1] - p[i]) * t;
        const double d = std::hypot(point.x - q.x, point.y - q.y);
        if (!first && !(d < best))
            continue;
        first = false;
        best = d;
        result = q;
        const LumPoint s = p[i + 1] - p[i];
        direction = BearingOf(Unit(LumPoint(s.x, s.y, 0.0)));
        slope = SlopeOf(Unit(s));
    }
    return result;
}

bool Axe::GetHeadPosition(LumPoint& point, double& direction, double& slope) const
{
    LumPoint head;
    if (Type == 0)
    {
        if (!(PositionTeteAngle >= 0.0))
            return false;
        double m[16];
        BuildMatrix(m);
        head = MultMatrixGLxLumPoint(m, ArcLocalPoint(Rayon, PositionTeteAngle * kArcStep - kArcStart));
    }
    else
    {
        const double position = PositionTeteMultiligne;
        if (!(position >= 0.0) || mPoints.size() < 2)
            return false;
        double length = 0.0;
        bool found = false;
        for (size_t i = 0; i + 1 < mPoints.size() && !found; ++i)
        {
            const LumPoint s = mPoints[i + 1] - mPoints[i];
            const double before = length;
            length += s.Norm();
            if (position - 1e-5 < length)
            {
                head = mPoints[i] + Unit(s) * (position - before);
                found = true;
            }
        }
        if (!found)
            return false;
    }
    point = GetNearestPoint(head, direction, slope);
    return true;
}

double Axe::GetHeadDistance() const
{
    LumPoint head;
    double direction = 0.0, slope = 0.0;
    GetHeadPosition(head, direction, slope);
    return DistanceAlong(head, 0.0);
}

double Axe::GetDistance(const LumPoint& point) const
{
    return DistanceAlong(point, 1.0 / 1000.0);
}

// The length along the axis to the point, on the first segment it lies on:
// within 1e-5 of the segment's line, plus the given part of its length.
double Axe::DistanceAlong(const LumPoint& point, double relativeTolerance) const
{
    std::vector<LumPoint> p;
    GetPoints(p);
    double along = 0.0;
    for (size_t i = 0; i + 1 < p.size(); ++i)
    {
        LumPoint s = p[i + 1] - p[i];
        const double length = s.Norm();
        const LumPoint o = point - p[i];
        LumPoint cross = s;
        cross ^= o;
        const double projection = Unit(s) * o;
        const double tolerance = relativeTolerance > 0.0 ? length * relativeTolerance : 1e-5;
        if (cross.Norm() < tolerance && projection >= 0.0 && projection <= length)
            return along + o.Norm();
        along += length;
    }
    return 0.0;
}

LumPoint Axe::GetPointAtDistance(double distance, bool* found) const
{
    std::vector<LumPoint> p;
    GetPoints(p);
    double along = 0.0;
    for (size_t i = 0; i + 1 < p.size(); ++i)
    {
        const LumPoint s = p[i + 1] - p[i];
        const double length = s.Norm();
        if (distance - 1e-5 < along + length)
        {
            if (found)
                *found = true;
            return p[i] + Unit(s) * (distance - along);
        }
        along += length;
    }
    if (found)
        *found = false;
    return LumPoint();
}

void Axe::SetHeadPosition(const LumPoint& point, bool reversed)
{
    TeteInversee = reversed;
    std::vector<LumPoint> p;
    GetPoints(p);
    int matched = -1;
    double fraction = 0.0;
    for (size_t i = 0; i + 1 < p.size(); ++i)
    {
        // Distance in plan to the nearest point of the segment. A point
        // found a few hundredths of a millimetre past a vertex (a position
        // turned into a point and back drifts that much on the arc) lies on
        // the next segment; snapping it onto the vertex would match neither.
        const double dx = p[i + 1].x - p[i].x, dy = p[i + 1].y - p[i].y;
        const double length2 = dx * dx + dy * dy;
        double t = length2 > 0.0 ? ((point.x - p[i].x) * dx + (point.y - p[i].y) * dy) / length2 : 0.0;
        t = std::min(1.0, std::max(0.0, t));
        const double d = std::hypot(point.x - (p[i].x + t * dx), point.y - (p[i].y + t * dy));
        if (!(d < 1e-5))
            continue;
        const double length = (p[i + 1] - p[i]).Norm();
        matched = static_cast<int>(i);
        fraction = length < 1e-5 ? 0.0 : (point - p[i]).Norm() / length;
    }
    if (Type == 0)
        PositionTeteAngle = matched < 0 ? -1.0 : 90.0 - matched - fraction;
    else if (matched < 0)
        PositionTeteMultiligne = -1.0;
    else
    {
        double before = 0.0;
        for (int i = 0; i < matched; ++i)
            before += (p[i + 1] - p[i]).Norm();
        PositionTeteMultiligne = before + fraction * (p[matched + 1] - p[matched]).Norm();
    }
    gProjet.InvalidateResults();
}

LumPoint Axe::SetHeadPositionAtDistance(double distance, bool* found)
{
    bool hit = false;
    const LumPoint point = GetPointAtDistance(distance, &hit);
    if (found)
        *found = hit;
    if (!hit)
        return LumPoint();
    SetHeadPosition(point, TeteInversee);
    return point;
}

void Axe::Translate(const LumPoint& vector)
{
    if (Type == 0)
        Origine += vector;
    else
        for (LumPoint& point : mPoints)
            point += vector;
    mGraduationValid = false;
}

void Axe::BuildHeadMatrix(const LumPoint& point, double direction, double slope, double* h) const
{
    const double s = SceneMetre();
    const Matrix t(GetTranslationGLMatrix(point.x, point.y, point.z));
    std::memcpy(h, t.get(), 16 * sizeof(double));
    // A turn about -Z by an angle is the builder's turn by that angle.
    Compose(h, Matrix(GetRotationGLMatrix(2, direction)));
    if (TeteInversee)
        Compose(h, Matrix(GetRotationGLMatrix(2, 180.0)));
    Compose(h, Matrix(GetRotationGLMatrix(0, TeteInversee ? slope : -slope)));
    Compose(h, Matrix(GetScaleGLMatrix(s, s, s)));
}

bool Axe::GetHeadPlacement(LumPoint& point, double* h)
{
    ComputeMatrix();
    double direction = 0.0, slope = 0.0;
    if (!GetHeadPosition(point, direction, slope))
        return false;
    BuildHeadMatrix(point, direction, slope, h);
    return true;
}

double Axe::GetHeadLength(const LumPoint& boxMin, const LumPoint& boxMax)
{
    return SceneToWorldLength(gProjet, (boxMax - boxMin).Norm() + 10.0);
}

bool Axe::PlaceHead(LumPoint& point, KorMesh& mesh, TeteTranchee* placedCopy)
{
    double h[16];
    if (!GetHeadPlacement(point, h))
        return false;
    const Couche* first = gProjet.GetCouche(0);
    if (!first)
        return false;
    LumPoint lo, hi;
    first->GetBoundingBox(lo, hi);
    const double w = GetHeadLength(lo, hi);
    // A scale of 0 or below, or a layer point at infinity, leaves no length
    // to give: the copy would silently keep the interface's small head.
    if (!(w > 0.0 && std::isfinite(w)))
        return false;
    // tan(86.0) takes radians: the height behind the exits is w * 2.4067297.
    TeteTranchee local;
    TeteTranchee& placed = placedCopy ? *placedCopy : local;
    if (!placed.CopyAndAdjust(GetModelUi().GetTete(), w, w * std::tan(86.0), w))
        return false;
    mesh = placed.GetMesh();
    mesh.GLTransform(h);
    // The builder leaves the normals of the head frame cached in the faces
    // and vertices; the placed mesh must be lit and measured in the scene.
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
        if (KorFace* f = mesh.GetFace(id))
            f->Normal = LumPoint();
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (KorVertex* v = mesh.GetVertex(id))
        {
            v->Normal = LumPoint();
            v->NormalGiven = false;
        }
    return true;
}

void Axe::ComputeGraduation()
{
    mTicks.clear();
    mGraduationValid = false;
    const double g = gProjet.GraduationAxe;
    if (!(g >= 1e-5))
        return;
    // A scale of 0 or below gives an infinite or negative step: no tick.
    const double step = std::max(g, 0.1) * SceneMetre();
    if (!std::isfinite(step) || !(step > 0.0))
        return;
    const double half = step / 6.0;
    std::vector<LumPoint> p;
    GetPoints(p);

    double remainder = 0.0;
    if (Type == 0)
    {
        // The reference point's distance reduced by whole steps into
        // (0, step] (fmod: bounded whatever the distance).
        double d0 = GetDistance(Origine);
        if (!std::isfinite(d0))
            d0 = 0.0;
        if (d0 > 0.0)
        {
            d0 = std::fmod(d0, step);
            if (d0 <= 0.0)
                d0 += step;
        }
        else
            d0 += step;
        remainder = d0;
    }
    double carry = remainder;

    bool bounded = false;
    for (size_t i = 1; i < p.size() && !bounded; ++i)
    {
        const LumPoint s = p[i] - p[i - 1];
        const double length = s.Norm();
        // A point at infinity (from a file) gives no usable segment.
        if (!std::isfinite(length))
            continue;
        const LumPoint u = Unit(s);
        remainder += length;
        double t = step - carry;
        if (t > step)
        {
            t = std::fmod(t, step);
            if (t <= 0.0)
                t += step;
        }
        const LumPoint n = Unit(LumPoint(u.y, -u.x, 0.0)) * half;
        while (remainder >= step)
        {
            if (static_cast<int>(mTicks.size()) >= 2 * MaxTicks)
            {
                KorReport("Axe::ComputeGraduation", "trop de graduations, le calcul est arrêté");
                bounded = true;
                break;
            }
            remainder -= step;
            const LumPoint q = p[i - 1] + u * t;
            mTicks.push_back(q + n);
            mTicks.push_back(q - n);
            t += step;
        }
        carry = remainder;
    }
    mGraduationValid = true;
}

void Axe::SetGeometryChanged()
{
    mGraduationValid = false;
    gProjet.SetGeometryChanged();
    gProjet.InvalidateResults();
    gProjet.RefreshWindows();
}

void Axe::SetType(int type, bool record)
{
    if (type == Type)
        return;
    Type = type;
    if (record)
        RecordAxeTypeChange(type);
    ModelUi& ui = GetModelUi();
    ui.ShowAxeType(type);
    ui.ShowAxeParameters(Rayon, Orientation, Inclinaison);
    ui.CheckMenuItem(42, type == 0);
    ui.CheckMenuItem(43, type == 1);
    SetGeometryChanged();
    ui.RefreshDisplay();
}

void Axe::SetParameters(const LumPoint& origin, double radius, double orientation, double inclination,
                        bool refresh, bool record, bool markChanged)
{
    const double old[6] = {Origine.x, Origine.y, Origine.z, Rayon, Orientation, Inclinaison};
    const double now[6] = {origin.x, origin.y, origin.z, radius, orientation, inclination};
    bool changed = false;
    for (int i = 0; i < 6; ++i)
        changed = changed || !(std::fabs(now[i] - old[i]) < 1e-5);
    if (!changed)
        return;
    if (record)
    {
        RecordAxeParametersChange(Origine, Rayon, Orientation, Inclinaison, origin, radius, orientation,
                                  inclination);
        gAxeCentreDragStart = origin;
    }
    Origine = origin;
    Rayon = radius;
    Orientation = orientation;
    Inclinaison = inclination;
    ModelUi& ui = GetModelUi();
    ui.ShowAxeParameters(Rayon, Orientation, Inclinaison);
    PlaceAxeCentreGizmo(origin);
    if (refresh)
        ui.RefreshDisplay();
    if (markChanged)
    {
        SetGeometryChanged();
        gProjet.InvalidateResults();
    }
}

void Axe::SetPM(const LumPoint& point)
{
    PM = point;
    PMPlace = true;
    SetGeometryChanged();
    // No undo record keeps the change, so the close question must.
    gProjet.MarkModified();
}

int Axe::InsertPoint(const LumPoint& point)
{
    for (const LumPoint& existing : mPoints)
        if ((existing - point).Norm() < 1e-5)
            return -1;
    const std::vector<LumPoint> old = mPoints;
    const int n = GetPointCount();
    int index = n;
    if (n >= 2)
    {
        index = -1;
        for (int i = 1; i < n && index < 0; ++i)
        {
            const LumPoint m = (mPoints[i - 1] + mPoints[i]) * 0.5;
            const LumPoint toPoint(point.x - m.x, point.y - m.y, 0.0);
            const LumPoint toEnd(mPoints[i].x - m.x, mPoints[i].y - m.y, 0.0);
            if (KorToSingle(toPoint * toPoint) <= KorToSingle(toEnd * toEnd))
                index = i;
        }
        if (index < 0)
        {
            const LumPoint toLast(point.x - mPoints[n - 1].x, point.y - mPoints[n - 1].y, 0.0);
            const LumPoint toFirst(point.x - mPoints[0].x, point.y - mPoints[0].y, 0.0);
            index = toLast.Norm2D() < toFirst.Norm2D() ? n : 0;
        }
    }
    mPoints.insert(mPoints.begin() + index, point);
    RecordAxePointsChange(old);
    SetGeometryChanged();
    return index;
}

void Axe::DeletePoint(int index)
{
    if (index < 0 || index >= GetPointCount())
        return;
    const std::vector<LumPoint> old = mPoints;
    mPoints.erase(mPoints.begin() + index);
    gSelectedAxePoint = -1;
    SetGeometryChanged();
    RecordAxePointsChange(old);
}

void Axe::MovePoint(int index, const LumPoint& point, bool record, bool markChanged)
{
    if (index < 0 || index >= GetPointCount() || !((point - mPoints[index]).Norm() >= 1e-5))
        return;
    const std::vector<LumPoint> old = mPoints;
    mPoints[index] = point;
    // The drawn ticks follow the point even while it is dragged.
    mGraduationValid = false;
    if (markChanged)
        SetGeometryChanged();
    if (record)
        RecordAxePointsChange(old);
}

void Axe::MoveHead(double distance, bool record)
{
    const double d = TeteInversee ? -distance : distance;
    double& position = Type == 0 ? PositionTeteAngle : PositionTeteMultiligne;
    const double before = position;
    // With no head there is nothing to move: a distance from nowhere would
    // create one that an undo could not take back.
    if (!(before >= 0.0))
        return;
    bool found = false;
    SetHeadPositionAtDistance(GetHeadDistance() + d, &found);
    // Past the end nothing is found; before the start the point found lies
    // off the axis and would unset the head. Either way the head stays,
    // and nothing is recorded that an undo would replay as a move.
    const bool moved = found && position >= 0.0;
    if (!moved)
        position = before;
    if (record && moved)
        RecordHeadMove(distance, Type, before, position);
    GetModelUi().RefreshDisplay();
}

void Axe::SetHeadPositionValue(int type, double position)
{
    if (type != Type)
        return;
    (Type == 0 ? PositionTeteAngle : PositionTeteMultiligne) = position;
    gProjet.InvalidateResults();
    GetModelUi().RefreshDisplay();
}

void Axe::ReplacePolyline(const std::vector<LumPoint>& points)
{
    mPoints = points;
    SetGeometryChanged();
}

namespace
{
void DrawPoints(const std::vector<LumPoint>& points, float size)
{
    glColor3d(0.5, 0.5, 0.5);
    glPointSize(size);
    glBegin(GL_POINTS);
    for (const LumPoint& p : points)
        glVertex3d(p.x, p.y, p.z);
    glEnd();
    glPointSize(1.0f);
}

// The axis line's style: dark grey, two pixels wide, dashed.
void BeginAxisLine()
{
    glColor3d(0.2, 0.2, 0.2);
    glLineWidth(2.0f);
    glLineStipple(1, 0xFF00);
    glEnable(GL_LINE_STIPPLE);
    glBegin(GL_LINE_STRIP);
}

void EndAxisLine()
{
    glEnd();
    glLineWidth(1.0f);
    glDisable(GL_LINE_STIPPLE);
}
} // namespace

void Axe::Render()
{
    const ModelUi::EventsManager tool = GetModelUi().GetEventsManager();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    if (Type == 0)
    {
        if (tool == &OnAxeCentreToolEvent)
            DrawPoints({Origine}, 7.0f);
        // M computed from the current values, never read back from GL.
        glLoadMatrixd(ComputeMatrix());
        BeginAxisLine();
        double angle = kArcStart;
        for (int k = 0; k < kArcPoints; ++k, angle -= kArcStep)
        {
            const LumPoint p = ArcLocalPoint(Rayon, angle);
            glVertex3d(p.x, p.y, p.z);
        }
        EndAxisLine();
        glLoadIdentity();
    }
    else
    {
        BeginAxisLine();
        for (const LumPoint& p : mPoints)
            glVertex3d(p.x, p.y, p.z);
        EndAxisLine();
        if (tool == &OnAxePointsToolEvent)
            DrawPoints(mPoints, 5.0f);
    }
    if (!mGraduationValid)
        ComputeGraduation();
    // The ticks take the colour last set.
    glLineWidth(2.0f);
    glBegin(GL_LINES);
    for (size_t i = 0; i + 1 < mTicks.size(); i += 2)
    {
        glVertex3d(mTicks[i].x, mTicks[i].y, mTicks[i].z);
        glVertex3d(mTicks[i + 1].x, mTicks[i + 1].y, mTicks[i + 1].z);
    }
    glEnd();
    glLineWidth(1.0f);
    glPopMatrix();
}

void Axe::RenderPoints() const
{
    if (Type == 0)
        DrawPoints({Origine}, 7.0f);
    else
        DrawPoints(mPoints, 5.0f);
}
