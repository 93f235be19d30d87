#include "KorOBJ.h"
#include "IOTestHelpers.h"
#include "KorException.h"
#include "MeshChecker.h"

#include <gtest/gtest.h>

namespace
{
// Loads the text as a file and returns the messages of the exception it
// throws, or an empty list when it loads.
std::vector<std::string> LoadErrors(const std::string& text, KorOBJ& obj, std::string* pathOut = nullptr)
{
    const std::string path = WriteTemp("read.obj", text);
    if (pathOut)
        *pathOut = path;
    try
    {
        EXPECT_TRUE(obj.Load(path));
    }
    catch (const KorException& e)
    {
        EXPECT_EQ(e.GetType(), KorException::ERROR);
        EXPECT_FALSE(obj.IsOpen());
        return e.GetMessages();
    }
    return {};
}

std::vector<std::string> LoadErrors(const std::string& text)
{
    KorOBJ obj;
    return LoadErrors(text, obj);
}

bool EndsWith(const std::string& s, const std::string& end)
{
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}
} // namespace

TEST(KorOBJ, CrlfCubeWithTabsAndReferences)
{
    KorOBJ obj(DataPath("cube_crlf.obj"));
    ASSERT_TRUE(obj.IsOpen());
    ASSERT_EQ(obj.GetVertices().size(), 8u);
    const LumVertex& v2 = obj.GetVertices()[2];
    EXPECT_EQ(v2.X, 1.0);
    EXPECT_EQ(v2.Y, 1.0);
    EXPECT_EQ(v2.Z, 0.0);
    EXPECT_EQ(obj.GetVertices()[1].U, 1.0); // second vt
    EXPECT_EQ(obj.GetVertices()[0].NZ, -1.0);
    ASSERT_EQ(obj.GetFaces().size(), 6u);
    EXPECT_EQ(obj.GetFaces()[0], (std::vector<int>{0, 3, 2, 1}));
    EXPECT_EQ(obj.GetFaces()[1], (std::vector<int>{4, 5, 6, 7}));

    KorMesh mesh;
    EXPECT_TRUE(obj.ConvertToKorMesh(mesh));
    EXPECT_TRUE(CheckMesh(mesh));
    EXPECT_EQ(mesh.GetNumberOfFaces(), 6);
    EXPECT_EQ(BorderHalfEdges(mesh), 0);
    EXPECT_DOUBLE_EQ(Surface(mesh), 6.0);
    std::vector<KorMesh> meshes;
    EXPECT_TRUE(obj.ConvertToKorMeshes(meshes));
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(FanTriangles(meshes[0]), FanTriangles(mesh));
}

TEST(KorOBJ, VertexAndFaceForms)
{
    KorOBJ obj;
    EXPECT_TRUE(
        LoadErrors("v 1 2\nv 0 0 0\n  v 4 5 6  \nf 1 2 3\nf 1/1 2/2 3/3\nf 1//4 2//5 3//6\n"
                   "f 1/1/1 2/2/2 3/3/3\n# comment\ng group\no object\ns 1\nusemtl m\nmtllib m.mtl\n\n   \n",
                   obj)
            .empty());
    EXPECT_EQ(obj.GetVertices()[0].X, 1.0);
    EXPECT_EQ(obj.GetVertices()[0].Y, 2.0);
    EXPECT_EQ(obj.GetVertices()[0].Z, 0.0);
    EXPECT_EQ(obj.GetVertices()[2].Z, 6.0);
    ASSERT_EQ(obj.GetFaces().size(), 4u);
    for (const std::vector<int>& f : obj.GetFaces())
        EXPECT_EQ(f, (std::vector<int>{0, 1, 2}));

    // Faces may refer forward; two triangles without a shared edge give two
    // meshes.
    KorOBJ two;
    EXPECT_TRUE(LoadErrors("f 1 2 3\nf 3 4 5\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv -1 0 0\nv 0 -1 0\n", two).empty());
    std::vector<KorMesh> meshes;
    EXPECT_TRUE(two.ConvertToKorMeshes(meshes));
    EXPECT_EQ(meshes.size(), 2u);
}

TEST(KorOBJ, ErrorChainsNameFileLineAndCause)
{
    std::string path;
    KorOBJ obj;
    const std::vector<std::string> m = LoadErrors("v 0 0 0\nv 1 2 3 4\n", obj, &path);
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0], ".\\OBJ\\korobj -> KorOBJ::Load -> An error occured while reading the file '" + path +
                        "' at line 2");
    EXPECT_EQ(m[1],
              ".\\OBJ\\korobj -> KorOBJ::AnalyzeOBJLine -> Impossible to analyse the line 'v 1 2 3 4' : "
              "Impossible to get the coordinates");
    EXPECT_EQ(m[2], "Too many values for a vertex line : there must be 2 or 3 values");
    EXPECT_EQ(obj.GetVertices().size(), 1u); // what was read stays

    EXPECT_EQ(LoadErrors("v 1\n").back(),
              "Not enough values for a vertex line : there must be 2 or 3 values");

    const std::vector<std::string> few = LoadErrors("v 0 0 0\nf 1 2\n");
    ASSERT_EQ(few.size(), 3u);
    EXPECT_TRUE(EndsWith(few[1], "' : The vertices of the face are not valid"));
    EXPECT_EQ(few[2],
              "Not enough vertices to define a face in the line 'f 1 2' : there must be at least 3 vertices");

    for (const char* line : {"f 0 1 2\n", "f -1 -2 -3\n", "f x 1 2\n"})
        EXPECT_TRUE(EndsWith(LoadErrors(line).back(), "' : the indices of vertices must be > 0")) << line;
    EXPECT_EQ(LoadErrors("f /1 2 3\n").back(), "Invalid separator '/' in the line 'f /1 2 3'");

    const std::vector<std::string> vx = LoadErrors("vx 1 2 3\n");
    ASSERT_EQ(vx.size(), 2u);
    EXPECT_EQ(vx[1],
              "Impossible to analyse the line 'vx 1 2 3' : unknown declaration 'vx', valid ones that begin "
              "with v are 'v', 'vt' and 'vn'");
    EXPECT_EQ(LoadErrors("fo 1 2 3\n").back(),
              "Impossible to analyse the line 'fo 1 2 3' : unknown declaration "
              "'fo', the only valid one that begin with f if 'f'");
}

TEST(KorOBJ, LargestIndexIsCheckedAtTheEnd)
{
    const std::vector<std::string> m = LoadErrors("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nf 1 2 5\n");
    ASSERT_EQ(m.size(), 2u);
    EXPECT_TRUE(EndsWith(m[0], "' at line 5"));
    EXPECT_EQ(
        m[1],
        "The faces refence a vertex index maximum of 4 but there are only 4 vertices defined in the file");
    EXPECT_EQ(
        LoadErrors("# nothing\n").back(),
        "The faces refence a vertex index maximum of 0 but there are only 0 vertices defined in the file");
    // An index past int's range is clamped, not wrapped into a valid one.
    EXPECT_TRUE(
        EndsWith(LoadErrors("v 0 0 0\nf 1 1 99999999999999\n").back(), "vertices defined in the file"));

    // A failed load keeps the faces it read: converting them must not read
    // outside the vertices.
    KorOBJ obj;
    LoadErrors("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 3 9\n", obj);
    ASSERT_EQ(obj.GetFaces().size(), 2u);
    KorMesh mesh;
    EXPECT_FALSE(obj.ConvertToKorMesh(mesh));
    EXPECT_EQ(mesh.GetNumberOfFaces(), 1);
    std::vector<KorMesh> meshes;
    try
    {
        obj.ConvertToKorMeshes(meshes);
        ADD_FAILURE() << "no exception";
    }
    catch (const KorException& e)
    {
        ASSERT_EQ(e.GetMessages().size(), 1u);
        EXPECT_EQ(e.GetMessages()[0],
                  ".\\OBJ\\korobj -> KorOBJ::ConvertToKorMeshes -> Impossible to convert the OBJ "
                  "format from the file '' into a vector of meshes");
    }
}

TEST(KorOBJ, OnlyPositionLinesCreateVertices)
{
    KorOBJ obj;
    ASSERT_TRUE(
        LoadErrors("vt 0.5 0.5\nvt 1 1\nvn 0 0 1\nv 1 2 3\nv 4 5 6\nv 7 8 9\nvt 0.25 0.75\nvt 1 0\nvt 0 1\n"
                   "vt 9 9\nf 1 2 3\n",
                   obj)
            .empty());
    ASSERT_EQ(obj.GetVertices().size(), 3u);
    EXPECT_EQ(obj.GetVertices()[0].X, 1.0);
    // The third vt line of the file is the first that finds a vertex: vertex 2.
    EXPECT_EQ(obj.GetVertices()[2].U, 0.25);
    EXPECT_EQ(obj.GetVertices()[0].U, 0.0);
    EXPECT_EQ(obj.GetVertices()[0].NZ, 0.0);
}

TEST(KorOBJ, LongLinesAndMissingFiles)
{
    KorOBJ obj;
    EXPECT_FALSE(obj.Load(TempPath("missing.obj")));
    EXPECT_FALSE(obj.IsOpen());

    std::string face = "f";
    for (int k = 1; k <= 400; ++k)
        face += " " + std::to_string(k);
    std::string text = "#" + std::string(5000, '-') + "\n";
    for (int k = 0; k < 400; ++k)
        text += "v " + std::to_string(k) + std::string(300, ' ') + "0 0\n";
    text += face + "\n";
    ASSERT_TRUE(LoadErrors(text, obj).empty());
    EXPECT_EQ(obj.GetVertices().size(), 400u);
    EXPECT_EQ(obj.GetVertices()[399].X, 399.0);
    ASSERT_EQ(obj.GetFaces().size(), 1u);
    EXPECT_EQ(obj.GetFaces()[0].size(), 400u);
}

// A value that reads as no finite number fails the load through the usual
// chain; messages quote at most about 200 bytes of the line, NUL escaped; a
// path that is no regular file, or whose reading fails, gives false with one
// line.
TEST(KorOBJ, NonFiniteValuesLongLinesAndUnreadableFilesAreRefused)
{
    const std::string notFinite = "A value of the vertex line is not a finite number";
    const std::string mega(1 << 20, 'x');
    std::vector<std::pair<std::string, std::string>> cases; // line, start of the last message
    for (const std::string& v : NonFiniteTexts())
        for (const std::string& line : {"v " + v + " 0 0", "v 0 0 " + v, "vt 0 " + v, "vn " + v + " 0 1"})
            cases.emplace_back(line, notFinite);
    cases.insert(cases.end(), {{"v 1 " + std::string(1 << 20, '9'), notFinite},
                               {"v 1 2 3 " + mega, "Too many values for a vertex line"},
                               {"f 1 2 " + mega, "Impossible to get a vertex in the line 'f 1 2 xxx"},
                               {"f /" + mega, "Invalid separator '/' in the line 'f /xxx"},
                               {"vq" + mega, "Impossible to analyse the line 'vqxxx"},
                               {std::string("v 1\0 2 3 4", 10), "Too many values"}});
    for (const auto& [line, detail] : cases)
    {
        SCOPED_TRACE(line.substr(0, 12));
        KorOBJ obj;
        const std::vector<std::string> m = LoadErrors("v 0 0 0\n" + line + "\nf 1 1 1\n", obj);
        ASSERT_GE(m.size(), 2u);
        EXPECT_TRUE(EndsWith(m[0], "' at line 2"));
        EXPECT_EQ(m.back().rfind(detail, 0), 0u) << m.back().substr(0, 100);
        for (const std::string& s : m)
            EXPECT_TRUE(s.size() < 400 && s.find('\0') == std::string::npos) << s.substr(0, 100);
        if (line.size() > 200)
        {
            EXPECT_NE(m[1].find("…' : "), std::string::npos) << m[1].substr(0, 100);
        }
        EXPECT_EQ(obj.GetVertices().size(), 1u);
    }
    EXPECT_TRUE(EndsWith(LoadErrors(std::string("v 1\0 2 3 4\n", 11))[1],
                         "'v 1\\0 2 3 4' : Impossible to get the coordinates"));

    for (const auto& [name, path] : UnreadablePaths())
    {
        SCOPED_TRACE(name);
        KorOBJ obj;
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(obj.Load(path));
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_FALSE(obj.IsOpen());
        EXPECT_EQ(out.rfind("KorOBJ::Load -> ", 0), 0u) << out;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
        EXPECT_TRUE(obj.GetVertices().empty());
    }
}
