#pragma once

#include "ElementOVX.h"
#include "KorMesh.h"
#include "LumPoint.h"
#include "XMLable.h"

#include <vector>

class TeteTranchee;

// The tunnel axis along which the trench head is placed: an arc through a
// reference point (Type 0) or a polyline (Type 1), the head's position
// along it, the chainage origin PM and the graduation drawn across it.
// Every position is in scene coordinates, every angle in degrees.
//
// The arc is 90 points of a circle of radius Rayon in a local frame (tangent
// to +Y at the reference point, bending towards -X) placed by the axis
// matrix M = T(Origine) Rx(Inclinaison) Rz(-Nord) Rz(-Orientation). M is
// computed from the current values whenever it is read, so the arc is
// right before any drawing and right after Open.
//
// The head position that counts is PositionTeteAngle for the arc (in
// [1, 90], 90 the first arc point) and PositionTeteMultiligne for the
// polyline (a 3D length from its first point); a value that is not >= 0
// (negative, or NaN read from a file) is no position.
//
// Queries walk the discretised axis: O(n) per call for n points.
class Axe : public ElementOVX, public XMLable
{
public:
    // The graduation stops at this many ticks (two points each).
    static constexpr int MaxTicks = 1000000;

    Axe();
    Axe(const Axe& other);
    // Values only (the records stay this axis's own).
    Axe& operator=(const Axe& other);
    ~Axe() override = default;

    // The defaults; the polyline and the ticks are kept.
    void Init();
    // Empties the polyline and the ticks (the project reset, so that a
    // previous project's points do not reappear in the next).
    void ClearPolyline();

    void ToXML(XMLNode& node) override;
    void FromXML(const XMLNode& node) override;
    // After FromXML of that node: why the axis read cannot be used, or ""
    // when it can. A number that is not finite (the typed refusal's text),
    // a Type other than 0 or 1, or arc parameters the palette would refuse
    // typed (ParametersRefusal); the project is then not opened.
    std::string ReadRefusal(const XMLNode& node) const;
    // A head position read that no edit leaves, the arc's outside [1, 90]
    // or the polyline's below 0 or past its end, becomes -1 (no head):
    // true when one did. -1 itself is the saved form of no head.
    bool DropUnreachableHeadPositions();
    // Why the palette refuses typed arc parameters, or "": a value that is
    // not finite in single precision, in which the fields are read, or a
    // radius of 0 or below.
    static std::string ParametersRefusal(double radius, double orientation, double inclination);

    // The axis matrix from the current values (16 doubles, column-major);
    // also kept as the stored matrix.
    const double* ComputeMatrix();
    const double* GetMatrix() const { return mMatrix; }
    // The same, computed into m without touching the stored matrix.
    void BuildMatrix(double* m) const;

    int GetPointCount() const { return static_cast<int>(mPoints.size()); }
    const std::vector<LumPoint>& GetPolyline() const { return mPoints; }
    // The discretised axis: the polyline, or the 90 placed arc points.
    void GetPoints(std::vector<LumPoint>& points) const;
    // The nearest point in plan over the segments, with the segment's
    // bearing (from +Y, positive towards +X) and slope; (0, 0, 0) and the
    // outputs untouched with fewer than two points.
    LumPoint GetNearestPoint(const LumPoint& point, double& direction, double& slope) const;
    // The bearing in degrees of a plan unit vector (acos of y, negated for
    // x < 0) and the slope of a unit vector (asin of z); a component that
    // rounding put beyond +-1 counts as +-1.
    static double BearingOf(const LumPoint& planUnit);
    static double SlopeOf(const LumPoint& unit);
    bool GetHeadPosition(LumPoint& point, double& direction, double& slope) const;
    double GetHeadDistance() const;
    double GetDistance(const LumPoint& point) const;
    // (0, 0, 0) past the end; found (when given) tells whether a point was
    // found, since (0, 0, 0) may lie on the axis.
    LumPoint GetPointAtDistance(double distance, bool* found = nullptr) const;

    void SetHeadPosition(const LumPoint& point, bool reversed);
    // Past the end the head stays where it was, and found is false.
    LumPoint SetHeadPositionAtDistance(double distance, bool* found = nullptr);
    void Translate(const LumPoint& vector);

    // The head matrix H = T(point) R(direction about -Z) [R(180 about -Z)]
    // Rx(+-slope) S(s), s the scene length of one metre; the reversed
    // terms follow TeteInversee.
    void BuildHeadMatrix(const LumPoint& point, double direction, double slope, double* h) const;
    // The first steps of the head placement: M recomputed, the head's
    // point and H; false when there is no head position.
    bool GetHeadPlacement(LumPoint& point, double* h);
    // The world length that the placed head's height and extension take:
    // the box diagonal (scene units) plus 10 scene units.
    static double GetHeadLength(const LumPoint& boxMin, const LumPoint& boxMax);
    // The trench head placed for the excavation, in scene coordinates: a
    // copy of the interface's head made tall and long enough to pass the
    // first layer, moved by H. False, with the mesh untouched, when there is
    // no head position, no layer, no positive finite length (a scale of 0
    // or below, a layer point at infinity), or the copy cannot be built.
    // placed, when given, receives the copy whenever one was made (its face
    // classes name the mesh's faces): a false result with a copy whose
    // IsBuilt is false is a head that could not be built, not a head with
    // no place.
    bool PlaceHead(LumPoint& point, KorMesh& mesh, TeteTranchee* placed = nullptr);

    // Drawn by the plan and 3D views' draw callbacks, with the context
    // current: the arc (through M) or the polyline, dashed, the points the
    // running axis tool edits, and the graduation (repaired when stale).
    // The model-view matrix is left as it was found.
    void Render();
    // The 3D axis-points editor's overlay: the points that can be edited.
    void RenderPoints() const;

    void ComputeGraduation();
    const std::vector<LumPoint>& GetTicks() const { return mTicks; }
    bool IsGraduationValid() const { return mGraduationValid; }
    void InvalidateGraduation() { mGraduationValid = false; }
    void SetGeometryChanged();

    // Edits, with their undo records and palette effects.
    void SetType(int type, bool record);
    void SetParameters(const LumPoint& origin, double radius, double orientation, double inclination,
                       bool refresh, bool record, bool markChanged);
    void SetPM(const LumPoint& point);
    // The new point's index, or -1 when it lies on an existing point.
    int InsertPoint(const LumPoint& point);
    void DeletePoint(int index);
    void MovePoint(int index, const LumPoint& point, bool record, bool markChanged);
    void MoveHead(double distance, bool record);
    // Puts back a head position recorded under that axis type (nothing
    // under another type): an undo restores the value, it does not move
    // back by a distance, which would round.
    void SetHeadPositionValue(int type, double position);
    // Replaces the polyline (undo, DXF import): graduation, geometry flags,
    // results and section windows follow.
    void ReplacePolyline(const std::vector<LumPoint>& points);

    // Registered members, in file order after Type and Origine.
    int Type = 0;
    LumPoint Origine;
    double Rayon = 1000.0;
    double Orientation = 0.0;
    double Inclinaison = 0.0;
    bool PMPlace = false;
    LumPoint PM;
    double PositionTeteAngle = -1.0;
    double PositionTeteMultiligne = -1.0;
    bool TeteInversee = false;

private:
    double DistanceAlong(const LumPoint& point, double relativeTolerance) const;
    void RegisterXML();

    std::vector<LumPoint> mPoints;
    std::vector<LumPoint> mTicks;
    double mMatrix[16] = {};
    bool mGraduationValid = false;
};
