#pragma once

#include "KorMesh.h"
#include "LumPoint.h"

#include <cstdint>
#include <istream>
#include <map>
#include <string>
#include <vector>

struct sDXFPoint
{
    LumPoint Position;
    std::int16_t Flags = 0; // group 70 of a VERTEX, 0 for a POINT
};

// The 0-based vertex indices of groups 71 to 74, the sign that marks an
// invisible edge dropped. -1 where the group is absent or 0: a record with -1
// in one of its first three corners is no face, -1 in the fourth is a triangle.
struct sDXFFaceRecord
{
    int Index[4] = {-1, -1, -1, -1};
};

struct sDXFPolyline
{
    std::vector<LumPoint> Points;
    double Length = 0.0;
    bool ZeroFlag = false; // an LWPOLYLINE with group 70 exactly 0
    // Bit 1 of group 70: the last point joins the first (not repeated).
    bool Closed = false;
};

struct sDXFMesh
{
    std::vector<LumPoint> Points;
    std::vector<sDXFFaceRecord> Faces;
};

// Reads an ASCII DXF file into plain lists: points (POINT entities and VERTEX
// records met outside a POLYLINE), 2D, 3D and lightweight polylines, polyface
// meshes, and the header variables $ACADVER, $LUNITS and $LUPREC, all in
// world coordinates. Only the model space is read: block definitions and
// paper-space entities (group 67 = 1) add nothing; the model-space entities
// of other kinds (INSERT, LINE, ARC, 3DFACE, ...) are counted in LeftOut.
//
// LWPOLYLINE and 2D POLYLINE vertices lie in the entity's object coordinate
// system: their x, y and the elevation are placed in the world through the
// extrusion (groups 210, 220, 230) by the arbitrary-axis rule, and a bulge
// (group 42) is followed by points along its arc, no farther than 0.01 from
// it and at most 63 an arc. POINT, 3D POLYLINE and polyface vertices are
// already in world coordinates.
//
// The file is read as group code / value pairs, each line trimmed of blanks,
// tabs and the carriage return of CRLF files, so codes need not be right-
// aligned; a code line that is not an integer is skipped alone, which puts the
// pairs back in step after a stray line. Lines are read whole whatever their
// length; every loop ends at the end of the file, so a truncated file or one
// without its closing section ends cleanly. Numbers are read as doubles in
// the "C" convention whatever the process locale. Load appends to the lists.
class KorDXF
{
public:
    KorDXF() = default;
    explicit KorDXF(const std::string& fileName);

    bool IsOpen() const { return mOpen; }
    // False, with one printed line and the lists untouched, when the path
    // cannot be opened, names no regular file (a folder, a device, a pipe),
    // or a read fails before the end of the file. An entity holding a number
    // that is not finite (nan, inf, 1e999) is left out with one line naming
    // the number's line.
    bool Load(const std::string& fileName);

    // Removes points that lie within 1e-5 in X, Y and Z of a point kept
    // before them in (X, Y, Z) order, from the points list and from the
    // polylines. Expected cost O(n log n): one sort, then a hash of 1e-5 cells
    // where each cell holds at most one kept point. Non-finite points are kept.
    // Polyline lengths are not recomputed; meshes are not touched.
    void DeleteDoubles();

    // All polyface meshes into one mesh, their coinciding vertices fused. A
    // face record that names no vertex of its mesh is left out with one
    // printed line and makes the result false, as does a face AddFace refuses
    // and a polyface mesh the loads left out.
    // Throws KorException when the conversion itself fails.
    bool ConvertToKorMesh(KorMesh& mesh);
    // One mesh per polyface mesh, appended to the vector.
    bool ConvertToKorMeshes(std::vector<KorMesh>& meshes);

    std::string FileName;
    std::string Version;
    int Units = 0;
    int Precision = 0;
    std::vector<sDXFPoint> Points;
    std::vector<sDXFFaceRecord> FaceRecords;
    std::vector<sDXFPolyline> Polylines;
    std::vector<sDXFMesh> Meshes;
    // Model-space entities not read, by kind: those of kinds the reader does
    // not take, polylines that kept no vertex, and entities refused for a
    // number that is not finite.
    std::map<std::string, int> LeftOut;
    // LeftOut as "1 INSERT, 2 LINE"; empty for none.
    std::string DescribeLeftOut() const;

private:
    class PairReader;

    void ReadHeader(PairReader& in);
    void GetPoint(PairReader& in);
    void GetVertex(PairReader& in, int& base);
    void GetPolyline(PairReader& in, int& base);
    void GetLWPolyline(PairReader& in);
    void GetMesh(PairReader& in, bool paper);
    void SkipEntity(PairReader& in, const std::string& kind);

    bool mOpen = false;
    // Polyface meshes left out by the loads for a number that is not finite.
    int mRefusedMeshes = 0;
};
