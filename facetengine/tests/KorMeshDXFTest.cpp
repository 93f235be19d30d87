#include "IOTestHelpers.h"
#include "KorDXF.h"
#include "KorNumbers.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <sstream>

namespace
{
const std::string kHeader = std::string(VORN_TEST_DATA) + "/HeaderDXF.txt";
const std::string kCloser = std::string(VORN_TEST_DATA) + "/CloserDXF.txt";

// The entities of one mesh alone, between empty templates.
std::string Export(const KorMesh& mesh, int& handle)
{
    const std::string empty = WriteTemp("empty_template.txt", "");
    std::ostringstream out;
    EXPECT_TRUE(KorMesh::WriteDXFHeader(empty, out));
    EXPECT_TRUE(mesh.ToDXF(out, handle));
    EXPECT_TRUE(KorMesh::WriteDXFCloser(empty, out));
    return out.str();
}

// A framed file of the given meshes, read back.
KorDXF RoundTrip(const std::vector<const KorMesh*>& meshes, const std::string& name)
{
    std::ostringstream out;
    EXPECT_TRUE(KorMesh::WriteDXFHeader(kHeader, out));
    int handle = 4096;
    for (const KorMesh* m : meshes)
        EXPECT_TRUE(m->ToDXF(out, handle));
    EXPECT_TRUE(KorMesh::WriteDXFCloser(kCloser, out));
    return KorDXF(WriteTemp(name, out.str()));
}

// Bumps over an n x n grid of quadrilaterals from column col0 on; two grids
// whose columns meet have exactly the same positions there.
KorMesh Terrain(int n, double x0, double y0, int col0 = 0)
{
    KorMesh mesh;
    for (int j = 0; j <= n; ++j)
        for (int i = col0; i <= col0 + n; ++i)
            mesh.AddVertex(x0 + 0.1 * i + 1e-7 * j, y0 + 0.3 * j,
                           100.0 / 3.0 + std::sin(i * 0.7) * std::cos(j * 1.3));
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
        {
            const int a = j * (n + 1) + i;
            mesh.AddFace(4, a, a + 1, a + n + 2, a + n + 1);
        }
    return mesh;
}
} // namespace

TEST(KorMeshDXF, TriangleEntitiesByteForByte)
{
    KorMesh mesh = MeshOf({{0, 0, 0}, {1.5, 0, 0}, {0, 2.25, -0.5}}, {{0, 1, 2}});
    int handle = 4096;
    const std::string expected =
        "  0\nPOLYLINE\n  5\n1000\n330\n1F\n100\nAcDbEntity\n  8\n0\n100\nAcDbPolyFaceMesh\n"
        " 10\n0.0\n 20\n0.0\n 30\n0.0\n 70\n    64\n 71\n3\n"
        "  0\nVERTEX\n  5\n1001\n330\n1000\n100\nAcDbEntity\n  8\n0\n100\nAcDbVertex\n"
        "100\nAcDbPolyFaceMeshVertex\n 10\n0\n 20\n0\n 30\n0\n 70\n   192\n"
        "  0\nVERTEX\n  5\n1002\n330\n1000\n100\nAcDbEntity\n  8\n0\n100\nAcDbVertex\n"
        "100\nAcDbPolyFaceMeshVertex\n 10\n1.5\n 20\n0\n 30\n0\n 70\n   192\n"
        "  0\nVERTEX\n  5\n1003\n330\n1000\n100\nAcDbEntity\n  8\n0\n100\nAcDbVertex\n"
        "100\nAcDbPolyFaceMeshVertex\n 10\n0\n 20\n2.25\n 30\n-0.5\n 70\n   192\n"
        "  0\nVERTEX\n  5\n1004\n330\n1000\n100\nAcDbEntity\n  8\n0\n100\nAcDbFaceRecord\n"
        " 10\n0.0\n 20\n0.0\n 30\n0.0\n 70\n   128\n 71\n1\n 72\n2\n 73\n3\n 74\n-1\n"
        "  0\nSEQEND\n  5\n1005\n330\n1000\n100\nAcDbEntity\n  8\n0\n";
    EXPECT_EQ(Export(mesh, handle), expected);
    EXPECT_EQ(handle, 4102);
}

TEST(KorMeshDXF, QuadrilateralEntitiesByteForByte)
{
    // d --- c
    // |   / |    the diagonal a-c is invisible in both records
    // a --- b
    KorMesh mesh = MeshOf({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, {{0, 1, 2, 3}});
    int handle = 255;
    const std::string vertex = "  0\nVERTEX\n  5\n%h\n330\nff\n100\nAcDbEntity\n  8\n0\n100\nAcDbVertex\n"
                               "100\nAcDbPolyFaceMeshVertex\n 10\n%x\n 20\n%y\n 30\n0\n 70\n   192\n";
    auto v = [&](const char* h, const char* x, const char* y)
    {
        std::string s = vertex;
        s.replace(s.find("%h"), 2, h);
        s.replace(s.find("%x"), 2, x);
        s.replace(s.find("%y"), 2, y);
        return s;
    };
    const std::string face = "  0\nVERTEX\n  5\n%h\n330\nff\n100\nAcDbEntity\n  8\n0\n100\nAcDbFaceRecord\n"
                             " 10\n0.0\n 20\n0.0\n 30\n0.0\n 70\n   128\n";
    const std::string expected =
        "  0\nPOLYLINE\n  5\nff\n330\n1F\n100\nAcDbEntity\n  8\n0\n100\nAcDbPolyFaceMesh\n"
        " 10\n0.0\n 20\n0.0\n 30\n0.0\n 70\n    64\n 71\n4\n" +
        v("100", "0", "0") + v("101", "2", "0") + v("102", "2", "2") + v("103", "0", "2") +
        std::string(face).replace(face.find("%h"), 2, "104") + " 71\n1\n 72\n2\n 73\n-3\n 74\n-1\n" +
        std::string(face).replace(face.find("%h"), 2, "105") + " 71\n-1\n 72\n3\n 73\n4\n 74\n-1\n" +
        "  0\nSEQEND\n  5\n106\n330\nff\n100\nAcDbEntity\n  8\n0\n";
    EXPECT_EQ(Export(mesh, handle), expected);
    EXPECT_EQ(handle, 263);
}

TEST(KorMeshDXF, NumbersFollowLiveVerticesOnly)
{
    KorMesh mesh;
    for (int k = 0; k < 4; ++k)
        mesh.AddVertex(k, k * k, 0);
    mesh.DeleteVertex(1);
    mesh.AddFace(3, 0, 2, 3);
    int handle = 4096;
    const std::string text = Export(mesh, handle);
    EXPECT_NE(text.find("AcDbPolyFaceMesh\n 10\n0.0\n 20\n0.0\n 30\n0.0\n 70\n    64\n 71\n3\n"),
              std::string::npos);
    EXPECT_NE(text.find(" 71\n1\n 72\n2\n 73\n3\n 74\n-1\n"), std::string::npos);
    EXPECT_EQ(handle, 4096 + 2 + 3 + 1);

    KorMesh points;
    points.AddVertex(1234567.891, 0.000012345, -7);
    handle = 10;
    const std::string lone = Export(points, handle);
    EXPECT_EQ(lone.find("AcDbFaceRecord"), std::string::npos);
    EXPECT_NE(lone.find(" 10\n1234567.891\n 20\n1.2345e-05\n 30\n-7\n"), std::string::npos);
    EXPECT_NE(lone.find("SEQEND\n  5\nc\n"), std::string::npos);
    EXPECT_EQ(handle, 13);
}

// A template that cannot be read (missing, a folder) or a stream that has
// failed: false, and nothing is written.
TEST(KorMeshDXF, FailuresOfTemplatesAndStreams)
{
    KorMesh mesh = Terrain(2, 0, 0);
    int handle = 4096;
    std::ostringstream failed;
    failed.setstate(std::ios::badbit);
    EXPECT_FALSE(mesh.ToDXF(failed, handle));
    EXPECT_EQ(handle, 4096);
    EXPECT_FALSE(KorMesh::WriteDXFHeader(kHeader, failed));
    EXPECT_FALSE(KorMesh::WriteDXFCloser(kCloser, failed));
    EXPECT_EQ(failed.str(), "");

    std::ostringstream out;
    EXPECT_FALSE(KorMesh::WriteDXFHeader(TempPath("no_header.txt"), out));
    EXPECT_FALSE(KorMesh::WriteDXFCloser(TempPath("no_closer.txt"), out));
    EXPECT_FALSE(KorMesh::WriteDXFHeader(testing::TempDir(), out)); // a folder
    EXPECT_EQ(out.str(), "");
}

// The frame: every line pair is a code and a value; handles are unique, the
// templates' own and the handle seed below 1000 hex, the entities' from 1000
// hex on; the polyface mesh belongs to record 1F, the model-space block
// record; a template's final line end adds no empty line; CRLF templates
// are copied with the output's line ends.
TEST(KorMeshDXF, FramedFileIsWellFormed)
{
    KorMesh mesh = Terrain(2, 0, 0);
    std::string crlf;
    for (char c : ReadWhole(kHeader))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string crlfHeader = WriteTemp("header_crlf.txt", crlf);
    std::ostringstream out;
    ASSERT_TRUE(KorMesh::WriteDXFHeader(crlfHeader, out));
    int handle = 4096;
    ASSERT_TRUE(mesh.ToDXF(out, handle));
    ASSERT_TRUE(mesh.ToDXF(out, handle));
    ASSERT_TRUE(KorMesh::WriteDXFCloser(kCloser, out));
    const std::string text = out.str();
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.find("\n\n  0\nPOLYLINE"), std::string::npos);

    std::istringstream lines(text);
    std::vector<std::pair<int, std::string>> pairs;
    std::string code, value;
    while (std::getline(lines, code))
    {
        ASSERT_TRUE(std::getline(lines, value)) << "odd line count";
        ASSERT_FALSE(code.empty());
        ASSERT_EQ(code.find_first_not_of(" -0123456789"), std::string::npos) << code;
        pairs.emplace_back(std::stoi(code), value);
    }
    ASSERT_FALSE(pairs.empty());
    EXPECT_EQ(pairs.back(), std::make_pair(0, std::string("EOF")));

    std::set<long> handles;
    std::map<std::string, std::string> recordName; // block record handle -> name
    int sections = 0;
    for (size_t k = 0; k < pairs.size(); ++k)
    {
        const auto& [c, v] = pairs[k];
        if (c == 0 && v == "SECTION")
            ++sections;
        if (c == 0 && v == "ENDSEC")
            --sections;
        EXPECT_GE(sections, 0);
        if (c == 5 || c == 105)
        {
            const long h = std::stol(v, nullptr, 16);
            EXPECT_TRUE(handles.insert(h).second) << "handle " << v << " twice";
            const bool entity = h >= 0x1000;
            EXPECT_EQ(entity, h >= 4096 && h < handle) << v;
        }
        if (c == 0 && v == "BLOCK_RECORD" && k + 1 < pairs.size())
        {
            for (size_t j = k + 1; j < pairs.size() && pairs[j].first != 0; ++j)
                if (pairs[j].first == 2)
                    recordName[pairs[k + 1].second] = pairs[j].second;
        }
        if (c == 9 && v == "$HANDSEED" && k + 1 < pairs.size())
        {
            EXPECT_LT(std::stol(pairs[k + 1].second, nullptr, 16), 0x1000);
        }
        if (c == 0 && v == "POLYLINE" && k + 2 < pairs.size())
        {
            EXPECT_EQ(pairs[k + 2], std::make_pair(330, std::string("1F")));
        }
    }
    EXPECT_EQ(sections, 0);
    EXPECT_EQ(recordName["1F"], "*Model_Space");
    EXPECT_EQ(std::count_if(handles.begin(), handles.end(), [](long h) { return h >= 4096; }), handle - 4096);
}

TEST(KorMeshDXF, RoundTripGivesTheSameTriangles)
{
    // Map coordinates with digits a six-digit form would lose, quads, a
    // pentagon, and freed vertex slots.
    KorMesh mesh = Terrain(6, 600000.123456789, 5100000.987654321);
    const int apex = mesh.AddVertex(600000.123456789, 5100000.987654321 - 2.0, 34.5);
    const int free = mesh.AddVertex(1, 2, 3);
    const int pentagon = mesh.AddVertex(600000.123456789 + 0.3, 5100000.987654321 - 1.0, 34.0);
    mesh.AddFace(5, 0, apex, pentagon, 2, 1);
    mesh.DeleteVertex(free);
    ASSERT_TRUE(CheckMesh(mesh));

    KorDXF dxf = RoundTrip({&mesh}, "terrain.dxf");
    EXPECT_EQ(dxf.Version, "AC1021");
    ASSERT_EQ(dxf.Meshes.size(), 1u);
    for (const sDXFFaceRecord& f : dxf.Meshes[0].Faces)
        EXPECT_EQ(f.Index[3], f.Index[0]); // every record a triangle
    KorMesh back;
    EXPECT_TRUE(dxf.ConvertToKorMesh(back));
    EXPECT_TRUE(CheckMesh(back));
    EXPECT_EQ(VertexPositions(back), VertexPositions(mesh));
    EXPECT_EQ(FanTriangles(back), FanTriangles(mesh));
    EXPECT_EQ(back.GetNumberOfFaces(), 2 * 36 + 3);
    EXPECT_NEAR(back.GetSurface(), mesh.GetSurface(), 1e-9 * mesh.GetSurface());
}

TEST(KorMeshDXF, TwoMeshesSharingABorderAreFusedIntoOne)
{
    // Two terrains side by side, sharing the column x = 0.6 of positions.
    KorMesh left = Terrain(6, 0, 0);
    KorMesh right = Terrain(6, 0, 0, 6);
    KorDXF dxf = RoundTrip({&left, &right}, "two.dxf");
    ASSERT_EQ(dxf.Meshes.size(), 2u);

    KorMesh whole;
    EXPECT_TRUE(dxf.ConvertToKorMesh(whole));
    EXPECT_TRUE(CheckMesh(whole));
    EXPECT_EQ(whole.GetNumberOfVertices(), 2 * 49 - 7);
    EXPECT_EQ(whole.GetNumberOfFaces(), 2 * 72);
    EXPECT_EQ(BorderHalfEdges(whole), 2 * 12 + 2 * 6); // a 12 x 6 grid's border
    std::vector<Triangle> both = FanTriangles(left);
    const std::vector<Triangle> r = FanTriangles(right);
    both.insert(both.end(), r.begin(), r.end());
    std::sort(both.begin(), both.end());
    EXPECT_EQ(FanTriangles(whole), both);

    std::vector<KorMesh> apart;
    EXPECT_TRUE(dxf.ConvertToKorMeshes(apart));
    ASSERT_EQ(apart.size(), 2u);
    EXPECT_EQ(apart[1].GetNumberOfVertices(), 49);
    EXPECT_EQ(FanTriangles(apart[1]), r);
}
