#include "KorDXF.h"
#include "IOTestHelpers.h"
#include "KorException.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
void ExpectPoint(const LumPoint& p, double x, double y, double z)
{
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.z, z);
}

std::vector<int> Corners(const sDXFFaceRecord& f)
{
    return {f.Index[0], f.Index[1], f.Index[2], f.Index[3]};
}

// What a reader kept, flattened so that two readers compare whole.
std::vector<double> Content(const KorDXF& dxf)
{
    std::vector<double> out = {double(dxf.Points.size()), double(dxf.Polylines.size())};
    for (const sDXFPoint& p : dxf.Points)
        out.insert(out.end(), {p.Position.x, p.Position.y, p.Position.z});
    for (const sDXFPolyline& l : dxf.Polylines)
        out.push_back(double(l.Points.size()));
    for (const sDXFMesh& m : dxf.Meshes)
    {
        out.insert(out.end(), {double(m.Points.size()), double(m.Faces.size())});
        for (const LumPoint& p : m.Points)
            out.insert(out.end(), {p.x, p.y, p.z});
        for (const sDXFFaceRecord& f : m.Faces)
            out.insert(out.end(),
                       {double(f.Index[0]), double(f.Index[1]), double(f.Index[2]), double(f.Index[3])});
    }
    return out;
}
} // namespace

// 2 x 1 strip of unit squares: a quadrilateral, a record whose fourth index
// repeats the first, a record without group 74; invisible-edge signs.
TEST(KorDXF, PolyfaceQuadsAndTriangles)
{
    KorDXF dxf(DataPath("polyface_strip.dxf"));
    ASSERT_TRUE(dxf.IsOpen());
    EXPECT_TRUE(dxf.Polylines.empty());
    EXPECT_TRUE(dxf.Points.empty());
    ASSERT_EQ(dxf.Meshes.size(), 1u);
    const sDXFMesh& m = dxf.Meshes[0];
    ASSERT_EQ(m.Points.size(), 6u);
    ExpectPoint(m.Points[5], 2, 1, 0);
    ASSERT_EQ(m.Faces.size(), 3u);
    EXPECT_EQ(Corners(m.Faces[0]), (std::vector<int>{0, 1, 4, 3}));
    EXPECT_EQ(Corners(m.Faces[1]), (std::vector<int>{1, 2, 5, 1}));
    EXPECT_EQ(Corners(m.Faces[2]), (std::vector<int>{1, 5, 4, -1}));

    KorMesh mesh;
    EXPECT_TRUE(dxf.ConvertToKorMesh(mesh));
    EXPECT_TRUE(CheckMesh(mesh));
    EXPECT_EQ(mesh.GetNumberOfVertices(), 6);
    ASSERT_EQ(mesh.GetNumberOfFaces(), 3);
    for (int id = 0; id < 3; ++id)
        EXPECT_EQ(FaceVertexRing(mesh, id).size(), id == 0 ? 4u : 3u) << id;
    EXPECT_DOUBLE_EQ(Surface(mesh), 2.0);
    EXPECT_EQ(BorderHalfEdges(mesh), 6);

    std::vector<KorMesh> meshes;
    EXPECT_TRUE(dxf.ConvertToKorMeshes(meshes));
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(FanTriangles(meshes[0]), FanTriangles(mesh));
}

// A tetrahedron with CRLF line ends, a header, and 74 = 0 on every record.
TEST(KorDXF, CrlfTetrahedronIsClosed)
{
    KorDXF dxf(DataPath("tetra_crlf.dxf"));
    ASSERT_TRUE(dxf.IsOpen());
    EXPECT_EQ(dxf.Version, "AC1018");
    EXPECT_EQ(dxf.Units, 2);
    EXPECT_EQ(dxf.Precision, 3);
    KorMesh mesh;
    EXPECT_TRUE(dxf.ConvertToKorMesh(mesh));
    EXPECT_TRUE(CheckMesh(mesh));
    EXPECT_EQ(mesh.GetNumberOfFaces(), 4);
    EXPECT_EQ(mesh.GetNumberOfEdges(), 12);
    EXPECT_EQ(BorderHalfEdges(mesh), 0);
    // Three right triangles of legs 3 and the equilateral one of side 3 sqrt 2.
    EXPECT_NEAR(Surface(mesh), 3 * 4.5 + std::sqrt(3.0) / 4 * 18, 1e-12);
}

// 3DFACE and LINE skipped; codes not right-aligned, blanks and tabs around
// values; a POINT kept as a double; an LWPOLYLINE at an elevation; a 3D
// polyline; points closer than 1e-5 to the previous one dropped.
TEST(KorDXF, MixedEntitiesWithLooseFormatting)
{
    KorDXF dxf(DataPath("mixed_entities.dxf"));
    ASSERT_TRUE(dxf.IsOpen());
    EXPECT_EQ(dxf.Version, "AC1015");
    EXPECT_EQ(dxf.Units, 4);
    EXPECT_TRUE(dxf.Meshes.empty());
    ASSERT_EQ(dxf.Points.size(), 1u);
    ExpectPoint(dxf.Points[0].Position, 600000.123, -12.5, 7.25);
    EXPECT_EQ(dxf.Points[0].Flags, 0);

    ASSERT_EQ(dxf.Polylines.size(), 2u);
    const sDXFPolyline& contour = dxf.Polylines[0];
    ASSERT_EQ(contour.Points.size(), 3u);
    ExpectPoint(contour.Points[1], 4, 0, 12.5);
    ExpectPoint(contour.Points[2], 4, 3, 12.5);
    EXPECT_FALSE(contour.ZeroFlag); // 70 = 1, closed
    EXPECT_DOUBLE_EQ(contour.Length, 7.0);
    const sDXFPolyline& axis = dxf.Polylines[1];
    ASSERT_EQ(axis.Points.size(), 2u);
    ExpectPoint(axis.Points[1], 3, 4, 1);
    EXPECT_DOUBLE_EQ(axis.Length, 5.0);

    KorMesh mesh;
    mesh.AddVertex(1, 1, 1);
    EXPECT_TRUE(dxf.ConvertToKorMesh(mesh));
    EXPECT_EQ(mesh.GetNumberOfVertices(), 0);
}

TEST(KorDXF, LineEndsAlignmentAndLengthDoNotChangeWhatIsRead)
{
    const std::string original = ReadWhole(DataPath("polyface_strip.dxf"));
    KorDXF reference(DataPath("polyface_strip.dxf"));

    std::string crlf, leftAligned;
    std::istringstream lines(original);
    std::string line;
    bool codeLine = true;
    while (std::getline(lines, line))
    {
        crlf += line + "\r\n";
        if (codeLine)
            line = std::to_string(std::atoi(line.c_str())) + " \t";
        leftAligned += line + "\n";
        codeLine = !codeLine;
    }
    for (const std::string& text : {crlf, leftAligned})
    {
        KorDXF variant(WriteTemp("variant.dxf", text));
        EXPECT_EQ(variant.Version, reference.Version);
        EXPECT_EQ(Content(variant), Content(reference));
    }

    // A 1000-character layer name, a number padded past any line buffer, and
    // "VERTEX" as the value of a code other than 0 (a layer name).
    const std::string longLines = "  0\nPOINT\n  8\n" + std::string(1000, 'L') + "\n 10\n" +
                                  std::string(400, '0') + "1.5\n 20\n2\n  8\nVERTEX\n 30\n-3\n  0\nEOF\n";
    KorDXF c(WriteTemp("long.dxf", longLines));
    ASSERT_EQ(c.Points.size(), 1u);
    ExpectPoint(c.Points[0].Position, 1.5, 2, -3);
}

TEST(KorDXF, TruncatedFilesEndCleanly)
{
    // No header, no section, no EOF, no final line end.
    KorDXF dxf(DataPath("truncated.dxf"));
    ASSERT_TRUE(dxf.IsOpen());
    ASSERT_EQ(dxf.Polylines.size(), 1u);
    EXPECT_TRUE(dxf.Polylines[0].ZeroFlag);
    EXPECT_DOUBLE_EQ(dxf.Polylines[0].Length, 2.0);

    // A polyface mesh cut off inside a face record keeps what it read.
    const std::string text = ReadWhole(DataPath("polyface_strip.dxf"));
    KorDXF cut(WriteTemp("cut.dxf", text.substr(0, text.find("128") + 12)));
    ASSERT_EQ(cut.Meshes.size(), 1u);
    EXPECT_EQ(cut.Meshes[0].Points.size(), 6u);
    EXPECT_EQ(cut.Meshes[0].Faces.size(), 1u);

    KorDXF empty(WriteTemp("empty.dxf", ""));
    EXPECT_TRUE(empty.IsOpen());
}

TEST(KorDXF, FaceRecordsWithoutVerticesAreLeftOut)
{
    KorDXF dxf(DataPath("bad_faces.dxf"));
    ASSERT_EQ(dxf.Meshes.size(), 1u);
    const sDXFMesh& m = dxf.Meshes[0];
    ASSERT_EQ(m.Faces.size(), 3u);
    EXPECT_EQ(Corners(m.Faces[0]), (std::vector<int>{-1, 1, 2, -1}));
    EXPECT_EQ(Corners(m.Faces[1]), (std::vector<int>{0, 1, 8, -1}));

    KorMesh mesh;
    testing::internal::CaptureStdout();
    const bool ok = dxf.ConvertToKorMesh(mesh);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(ok);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 2);
    EXPECT_EQ(printed.rfind("KorDXF::ConvertToKorMesh -> ", 0), 0u);
    EXPECT_EQ(mesh.GetNumberOfFaces(), 1);
    EXPECT_TRUE(CheckMesh(mesh));

    std::vector<KorMesh> meshes;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(dxf.ConvertToKorMeshes(meshes));
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0].GetNumberOfFaces(), 1);
}

TEST(KorDXF, VerticesOutsidePolylinesAndRepeatedLoads)
{
    const std::string text = "  0\nVERTEX\n 10\n1\n 20\n2\n 30\n3\n 70\n16\n"
                             "  0\nVERTEX\n 70\n128\n 71\n-1\n 72\n2\n 73\n3\n"
                             "  0\nPOINT\n 10\n4\n  0\nEOF\n";
    const std::string path = WriteTemp("loose.dxf", text);
    KorDXF dxf;
    EXPECT_FALSE(dxf.Load(TempPath("missing.dxf")));
    EXPECT_FALSE(dxf.IsOpen());
    ASSERT_TRUE(dxf.Load(path));
    ASSERT_EQ(dxf.Points.size(), 2u);
    ExpectPoint(dxf.Points[0].Position, 1, 2, 3);
    EXPECT_EQ(dxf.Points[0].Flags, 16);
    ASSERT_EQ(dxf.FaceRecords.size(), 1u);
    EXPECT_EQ(Corners(dxf.FaceRecords[0]), (std::vector<int>{0, 1, 2, -1}));

    ASSERT_TRUE(dxf.Load(path)); // appends
    EXPECT_EQ(dxf.Points.size(), 4u);
    EXPECT_FALSE(dxf.Load(TempPath("missing.dxf")));
    EXPECT_EQ(dxf.Points.size(), 4u);
}

TEST(KorDXF, DeleteDoublesKeepsTheFirstOfEachCluster)
{
    KorDXF dxf;
    dxf.Points.push_back({LumPoint(10, 20, 30), 0});
    dxf.Points.push_back({LumPoint(10 + 5e-6, 20, 30), 0});
    dxf.Points.push_back({LumPoint(10, 20 + 2e-5, 30), 0}); // apart in Y
    dxf.Points.push_back({LumPoint(10, 20, 30 - 5e-6), 0});
    dxf.Points.push_back({LumPoint(NAN, 0, 0), 0});
    sDXFPolyline line;
    line.Points = {LumPoint(0, 0, 0), LumPoint(10, 20, 30), LumPoint(1, 1, 1), LumPoint(1, 1, 1 + 1e-6)};
    line.Length = 42.0;
    dxf.Polylines.push_back(line);

    dxf.DeleteDoubles();
    ASSERT_EQ(dxf.Points.size(), 3u);
    // List order kept; of the cluster, the smallest in (X, Y, Z) order stays.
    ExpectPoint(dxf.Points[0].Position, 10, 20 + 2e-5, 30);
    ExpectPoint(dxf.Points[1].Position, 10, 20, 30 - 5e-6);
    EXPECT_TRUE(std::isnan(dxf.Points[2].Position.x));
    ASSERT_EQ(dxf.Polylines[0].Points.size(), 2u);
    ExpectPoint(dxf.Polylines[0].Points[1], 1, 1, 1);
    EXPECT_EQ(dxf.Polylines[0].Length, 42.0);
}

// A number that is not finite leaves its whole entity out with one line naming
// its line, and a refused polyface mesh makes the conversions false; a path
// that is no regular file, or whose reading fails, gives false with one line
// and leaves the lists as they were.
TEST(KorDXF, NonFiniteNumbersAndUnreadableFilesAreRefused)
{
    const std::string point = "0\nPOINT\n10\n1\n20\n2\n30\n3\n";
    const std::string triangle =
        "0\nPOLYLINE\n70\n64\n0\nVERTEX\n70\n192\n0\nVERTEX\n70\n192\n10\n1\n0\nVERTEX\n"
        "70\n192\n20\n1\n0\nVERTEX\n70\n128\n71\n1\n72\n2\n73\n3\n0\nSEQEND\n";
    const struct
    {
        std::string entity; // '@' stands for the number
        bool isMesh;
    } kinds[] = {
        {"0\nPOINT\n10\n1\n20\n@\n", false},
        {"0\nLWPOLYLINE\n10\n0\n20\n0\n10\n@\n20\n1\n", false},
        {"0\nLWPOLYLINE\n38\n@\n10\n0\n20\n0\n", false},
        {"0\nPOLYLINE\n70\n8\n0\nVERTEX\n70\n32\n10\n0\n0\nVERTEX\n70\n32\n30\n@\n0\nSEQEND\n", false},
        {"0\nPOLYLINE\n70\n64\n0\nVERTEX\n70\n192\n10\n@"
         "\n0\nVERTEX\n70\n128\n71\n1\n72\n1\n73\n1\n0\nSEQEND\n",
         true},
    };
    std::vector<std::string> values = NonFiniteTexts();
    values.push_back(std::string(1 << 20, '9')); // overflows, and is quoted short
    for (const auto& kind : kinds)
        for (const std::string& v : values)
        {
            SCOPED_TRACE(kind.entity.substr(2, 10) + v.substr(0, 10));
            const size_t at = kind.entity.find('@');
            const std::string head = point + kind.entity.substr(0, at);
            const std::string line = std::to_string(std::count(head.begin(), head.end(), '\n') + 1);
            KorDXF dxf;
            ::testing::internal::CaptureStdout();
            EXPECT_TRUE(
                dxf.Load(WriteTemp("nonfinite.dxf", head + v + kind.entity.substr(at + 1) + triangle)));
            const std::string out = ::testing::internal::GetCapturedStdout();
            EXPECT_EQ(out.rfind("KorDXF::Load -> ", 0), 0u) << out.substr(0, 300);
            EXPECT_NE(out.find(" line " + line + " "), std::string::npos) << out.substr(0, 300);
            EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
            EXPECT_LT(out.size(), 400u);
            ASSERT_EQ(Content(dxf), Content(KorDXF(WriteTemp("sound.dxf", point + triangle))));
            KorMesh mesh;
            EXPECT_EQ(dxf.ConvertToKorMesh(mesh), !kind.isMesh);
            EXPECT_DOUBLE_EQ(Surface(mesh), 0.5);
        }

    for (const auto& [name, path] : UnreadablePaths())
    {
        SCOPED_TRACE(name);
        KorDXF dxf(WriteTemp("sound.dxf", point + triangle));
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(dxf.Load(path));
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_FALSE(dxf.IsOpen());
        EXPECT_EQ(out.rfind("KorDXF::Load -> ", 0), 0u) << out;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
        EXPECT_EQ(Content(dxf), Content(KorDXF(WriteTemp("sound.dxf", point + triangle))));
    }
}
