#include "IOTestHelpers.h"
#include "KorMesh.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"
#include "TestMeshes.h"
#include "XMLNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{
// The two class-wide switches, restored after each test.
class KorMeshForms : public ::testing::Test
{
protected:
    void TearDown() override
    {
        KorMesh::mSaveNormals = true;
        KorMesh::mSaveTextureCoordinates = false;
    }
};

// 50 x 50 vertices (id = 50 row + column) with exact map coordinates; the
// triangles cover columns 1 to 49, so column 0 is isolated. Then slots 0,
// 1500 and 2400 of every table are freed, in a non-increasing order:
// vertices 2400, 0, 1500; the half-edge pairs of 1500, 0 and 2400 (with the
// faces on their sides); faces 2400, 0 and 1500 when still live.
void BuildMeshWithHoles(KorMesh& mesh)
{
    for (int j = 0; j < 50; ++j)
        for (int i = 0; i < 50; ++i)
        {
            const int id =
                mesh.AddVertex(6612345.678 + 0.001 * i + 1.0 / 3.0, 2123456.789 - j / 7.0, 512.25 + 1e-9 * i);
            KorVertex* v = mesh.GetVertex(id);
            v->Normal = LumPoint(0.1 * i, -1.0 / 3.0, 1e-17 * j);
            v->Texture = LumPoint(i / 49.0, j / 49.0, 0.0);
        }
    for (int j = 0; j + 1 < 50; ++j)
        for (int i = 1; i + 1 < 50; ++i)
        {
            const int a = j * 50 + i;
            mesh.AddFace(3, a, a + 1, a + 51);
            mesh.AddFace(3, a, a + 51, a + 50);
        }
    for (int id : {2400, 0, 1500})
        mesh.DeleteVertex(id);
    for (int id : {1500, 0, 2400})
        mesh.DeleteEdge(id, false);
    for (int id : {2400, 0, 1500})
        if (mesh.GetFace(id) != nullptr)
            mesh.DeleteFace(id, false);
}

template <typename Get> std::vector<int> FreeSlots(int slots, Get get)
{
    std::vector<int> free;
    for (int id = 0; id < slots; ++id)
        if (get(id) == nullptr)
            free.push_back(id);
    return free;
}

// Same slots, same live elements with the same fields. With
// freeVerticesComeBackLive (the text form), a free vertex slot of the
// original must be a vertex at the origin with no edge.
void ExpectSameTables(KorMesh& a, KorMesh& b, bool textures, bool freeVerticesComeBackLive = false)
{
    ASSERT_EQ(a.GetVertexVectorSize(), b.GetVertexVectorSize());
    ASSERT_EQ(a.GetEdgeVectorSize(), b.GetEdgeVectorSize());
    ASSERT_EQ(a.GetFaceVectorSize(), b.GetFaceVectorSize());
    for (int id = 0; id < a.GetVertexVectorSize(); ++id)
    {
        const KorVertex* u = a.GetVertex(id);
        const KorVertex* v = b.GetVertex(id);
        if (u == nullptr && freeVerticesComeBackLive)
        {
            ASSERT_NE(v, nullptr) << id;
            EXPECT_TRUE(v->X == 0.0 && v->Y == 0.0 && v->Z == 0.0 && v->Edge == -1) << id;
            continue;
        }
        ASSERT_EQ(u == nullptr, v == nullptr) << "vertex " << id;
        if (u == nullptr)
            continue;
        ASSERT_TRUE(u->X == v->X && u->Y == v->Y && u->Z == v->Z) << "vertex " << id;
        ASSERT_EQ(u->Edge, v->Edge) << id;
        ASSERT_TRUE(u->Normal.x == v->Normal.x && u->Normal.y == v->Normal.y && u->Normal.z == v->Normal.z)
            << id;
        EXPECT_FALSE(v->NormalGiven);
        if (textures)
        {
            ASSERT_TRUE(u->Texture.x == v->Texture.x && u->Texture.y == v->Texture.y) << id;
        }
        else
        {
            ASSERT_TRUE(v->Texture.IsNull()) << id;
        }
    }
    for (int id = 0; id < a.GetEdgeVectorSize(); ++id)
    {
        const KorEdge* e = a.GetEdge(id);
        const KorEdge* f = b.GetEdge(id);
        ASSERT_EQ(e == nullptr, f == nullptr) << "half-edge " << id;
        if (e != nullptr)
        {
            ASSERT_TRUE(e->Vertex == f->Vertex && e->Face == f->Face && e->Opp == f->Opp &&
                        e->Next == f->Next && e->Turn == f->Turn)
                << "half-edge " << id;
        }
    }
    for (int id = 0; id < a.GetFaceVectorSize(); ++id)
    {
        const KorFace* f = a.GetFace(id);
        const KorFace* g = b.GetFace(id);
        ASSERT_EQ(f == nullptr, g == nullptr) << "face " << id;
        if (f != nullptr)
        {
            ASSERT_EQ(f->Edge, g->Edge) << "face " << id;
        }
    }
}

// After a read, freed identifiers come back smallest first: three new
// vertices, then a triangle on them (its three new half-edge pairs and its
// face).
void ExpectReuseInIncreasingOrder(KorMesh& mesh, std::vector<int> freeVertices, std::vector<int> freeEdges,
                                  std::vector<int> freeFaces)
{
    std::vector<int> vertices;
    for (int k = 0; k < 3; ++k)
        vertices.push_back(mesh.AddVertex(1.0 * k, 2.0, 3.0 * k * k));
    EXPECT_EQ(vertices, std::vector<int>(freeVertices.begin(), freeVertices.begin() + 3));
    const int face = mesh.AddFace(vertices);
    EXPECT_EQ(face, freeFaces[0]);
    EXPECT_EQ(FaceEdgeRing(mesh, face), (std::vector<int>{freeEdges[0], freeEdges[2], freeEdges[4]}));
    EXPECT_TRUE(CheckMesh(mesh));
}

XMLNode WriteAndParse(KorMesh& mesh)
{
    XMLNode top = XMLNode::createXMLTopNode("Couche");
    XMLNode element = top.addChild("Maillage");
    mesh.ToXML(element);
    const std::string path = ::testing::TempDir() + "korvel_mesh_forms_" + std::to_string(getpid()) + ".xml";
    EXPECT_TRUE(top.writeToFile(path));
    XMLResults results;
    XMLNode document = XMLNode::parseFile(path, &results);
    EXPECT_TRUE(results) << results.message;
    return document.getChildNode("Couche").getChildNode("Maillage");
}

XMLNode ParseMesh(const std::string& text)
{
    XMLResults results;
    XMLNode document = XMLNode::parseString(text, &results);
    EXPECT_TRUE(results) << results.message;
    return document.getChildNode(0);
}

std::vector<std::string> ChildNames(const XMLNode& node)
{
    std::vector<std::string> names;
    for (int i = 0; i < node.nChildNode(); ++i)
        names.push_back(node.getChildNode(i).getName());
    return names;
}
} // namespace

TEST_F(KorMeshForms, MeshWithHolesRoundTripsThroughAnXMLFile)
{
    for (bool textures : {false, true})
    {
        KorMesh::mSaveTextureCoordinates = textures;
        KorMesh original;
        BuildMeshWithHoles(original);
        ASSERT_TRUE(CheckMesh(original));
        const auto freeVertices =
            FreeSlots(original.GetVertexVectorSize(), [&](int id) { return original.GetVertex(id); });
        const auto freeEdges =
            FreeSlots(original.GetEdgeVectorSize(), [&](int id) { return original.GetEdge(id); });
        const auto freeFaces =
            FreeSlots(original.GetFaceVectorSize(), [&](int id) { return original.GetFace(id); });
        EXPECT_EQ(freeVertices, (std::vector<int>{0, 1500, 2400}));
        for (int id : {0, 1500, 2400})
        {
            EXPECT_TRUE(std::count(freeEdges.begin(), freeEdges.end(), id));
            EXPECT_TRUE(std::count(freeFaces.begin(), freeFaces.end(), id));
        }

        KorMesh read;
        read.AddVertex(9.0, 9.0, 9.0); // replaced by the read
        read.FromXML(WriteAndParse(original));
        EXPECT_FALSE(read.LastReadFailed());
        ExpectSameTables(original, read, textures);
        ASSERT_TRUE(CheckMesh(read));
        ExpectReuseInIncreasingOrder(read, freeVertices, freeEdges, freeFaces);
    }
}

TEST_F(KorMeshForms, MeshWithHolesRoundTripsThroughTheTextForm)
{
    KorMesh original;
    BuildMeshWithHoles(original);
    const auto freeEdges =
        FreeSlots(original.GetEdgeVectorSize(), [&](int id) { return original.GetEdge(id); });
    const auto freeFaces =
        FreeSlots(original.GetFaceVectorSize(), [&](int id) { return original.GetFace(id); });

    std::stringstream text;
    original.ToASCII(text);
    KorMesh read;
    ASSERT_TRUE(read.FromASCII(text));
    EXPECT_FALSE(read.LastReadFailed());
    // The text form cannot mark a free vertex: those come back as vertices
    // at the origin; free half-edges and faces are free again.
    ExpectSameTables(original, read, false, true);
    ASSERT_TRUE(CheckMesh(read));
    EXPECT_EQ(read.GetNumberOfVertices(), 2500);
    ExpectReuseInIncreasingOrder(read, {2500, 2501, 2502}, freeEdges, freeFaces);
}

TEST_F(KorMeshForms, ChunksHoldAThousandItemsAndFreeSlotsOnlyExist)
{
    KorMesh empty;
    XMLNode node = XMLNode::createXMLTopNode("Maillage");
    empty.ToXML(node);
    EXPECT_EQ(ChildNames(node), (std::vector<std::string>{"Vertices", "Edges", "Faces"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(node.getChildNode(i).nChildNode(), 0);
    KorMesh read;
    read.AddVertex(1.0, 1.0, 1.0);
    read.FromXML(node);
    EXPECT_EQ(read.GetVertexVectorSize() + read.GetEdgeVectorSize() + read.GetFaceVectorSize(), 0);
    EXPECT_FALSE(read.LastReadFailed());

    XMLNode chunks;
    for (int slots : {1000, 1001, 2500})
    {
        KorMesh mesh;
        for (int i = 0; i < slots; ++i)
            mesh.AddVertex(i, 0.0, 0.0);
        mesh.DeleteVertex(slots > 1500 ? 1500 : 999);
        chunks = XMLNode::createXMLTopNode("Maillage");
        mesh.ToXML(chunks);
        std::vector<int> sizes;
        for (int i = 0; i < chunks.nChildNode("Vertices"); ++i)
            sizes.push_back(chunks.getChildNode("Vertices", i).nChildNode("Vertex"));
        const std::vector<int> expected = slots == 1000   ? std::vector<int>{1000}
                                          : slots == 1001 ? std::vector<int>{1000, 1}
                                                          : std::vector<int>{1000, 1000, 500};
        EXPECT_EQ(sizes, expected) << slots;
    }

    // The last mesh: 2500 slots, 1500 free.
    const XMLNode free = chunks.getChildNode("Vertices", 1).getChildNode(500);
    EXPECT_STREQ(free.getAttribute("Exist"), "0");
    EXPECT_EQ(free.getAttribute("X"), nullptr);
    const XMLNode live = chunks.getChildNode("Vertices", 0).getChildNode(500);
    EXPECT_STREQ(live.getAttribute("Exist"), "1");
    EXPECT_STREQ(live.getAttribute("X"), "500");
    EXPECT_STREQ(live.getAttribute("Edge"), "-1");
    EXPECT_STREQ(live.getAttribute("NX"), "0");
    EXPECT_EQ(live.getAttribute("TX"), nullptr);
}

TEST_F(KorMeshForms, NumbersAreWrittenShortAndExactAndOldSixDigitFilesStillRead)
{
    KorMesh mesh;
    mesh.AddVertex(0.1, 1e7 + 1.0 / 3.0, -6612345.678);
    XMLNode node = XMLNode::createXMLTopNode("Maillage");
    mesh.ToXML(node);
    const XMLNode vertex = node.getChildNode("Vertices").getChildNode(0);
    EXPECT_STREQ(vertex.getAttribute("X"), "0.1");
    EXPECT_STREQ(vertex.getAttribute("Z"), "-6612345.678");
    KorMesh read;
    read.FromXML(node);
    EXPECT_EQ(read.GetVertex(0)->Y, 1e7 + 1.0 / 3.0);

    const XMLNode old = ParseMesh("<Maillage><Vertices><Vertex Exist=\"1\" X=\"6.61235e+006\" Y=\"0.1\" "
                                  "Z=\"-1.5E-3\" NX=\"0\" NY=\"0\" NZ=\"1\" Edge=\"-1\"/></Vertices>"
                                  "<Edges/><Faces/></Maillage>");
    read.FromXML(old);
    ASSERT_NE(read.GetVertex(0), nullptr);
    EXPECT_EQ(read.GetVertex(0)->X, 6612350.0);
    EXPECT_EQ(read.GetVertex(0)->Y, 0.1);
    EXPECT_EQ(read.GetVertex(0)->Z, -0.0015);
    EXPECT_EQ(read.GetVertex(0)->Normal.z, 1.0);
}

TEST_F(KorMeshForms, MissingAttributesReadAsNoneZeroOrFree)
{
    // A triangle 0-1-2 whose items lack optional pieces: vertex 1 has no Z,
    // vertex 3 no Exist (a free slot), half-edge 5 no Face or Next (a
    // border half-edge).
    const std::string text = "<M><Vertices>"
                             "<Vertex Exist=\"1\" X=\"0\" Y=\"0\" Z=\"1\" Edge=\"0\"/>"
                             "<Vertex Exist=\"1\" X=\"1\" Y=\"0\" Edge=\"2\"/>"
                             "<Vertex Exist=\"1\" X=\"0\" Y=\"1\" Z=\"1\" Edge=\"4\"/>"
                             "<Vertex X=\"5\" Y=\"5\" Z=\"5\" Edge=\"0\"/>"
                             "</Vertices><Edges>"
                             "<Edge Exist=\"1\" Vertex=\"0\" Face=\"0\" Next=\"2\" Opp=\"1\" Turn=\"5\"/>"
                             "<Edge Exist=\"1\" Vertex=\"1\" Opp=\"0\" Turn=\"2\"/>"
                             "<Edge Exist=\"1\" Vertex=\"1\" Face=\"0\" Next=\"4\" Opp=\"3\" Turn=\"1\"/>"
                             "<Edge Exist=\"1\" Vertex=\"2\" Opp=\"2\" Turn=\"4\"/>"
                             "<Edge Exist=\"1\" Vertex=\"2\" Face=\"0\" Next=\"0\" Opp=\"5\" Turn=\"3\"/>"
                             "<Edge Exist=\"1\" Vertex=\"0\" Opp=\"4\" Turn=\"0\"/>"
                             "</Edges><Faces><Face Exist=\"1\" Edge=\"0\"/></Faces></M>";
    KorMesh mesh;
    mesh.FromXML(ParseMesh(text));
    ASSERT_FALSE(mesh.LastReadFailed());
    EXPECT_EQ(mesh.GetVertex(1)->Z, 0.0);
    EXPECT_EQ(mesh.GetVertex(3), nullptr);
    EXPECT_EQ(mesh.GetEdge(5)->Face, -1);
    EXPECT_EQ(mesh.GetEdge(5)->Next, -1);
    EXPECT_EQ(FaceVertexRing(mesh, 0), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(mesh.AddVertex(7.0, 7.0, 7.0), 3);
}

TEST_F(KorMeshForms, CorruptLinksLeaveTheMeshEmptyWithOneLine)
{
    const std::string head = "<M><Vertices>"
                             "<Vertex Exist=\"1\" X=\"0\" Y=\"0\" Z=\"0\" Edge=\"0\"/>"
                             "<Vertex Exist=\"1\" X=\"1\" Y=\"0\" Z=\"0\" Edge=\"1\"/>"
                             "<Vertex Exist=\"1\" X=\"0\" Y=\"1\" Z=\"0\" Edge=\"2\"/>"
                             "</Vertices><Edges>";
    const std::string tail = "</Edges><Faces><Face Exist=\"1\" Edge=\"0\"/></Faces></M>";
    const std::vector<std::string> corrupt = {
        // a Next link to a half-edge that does not exist
        "<Edge Exist=\"1\" Vertex=\"0\" Face=\"0\" Next=\"7\" Opp=\"-1\" Turn=\"0\"/>"
        "<Edge Exist=\"1\" Vertex=\"1\" Face=\"0\" Next=\"2\" Opp=\"-1\" Turn=\"1\"/>"
        "<Edge Exist=\"1\" Vertex=\"2\" Face=\"0\" Next=\"0\" Opp=\"-1\" Turn=\"2\"/>",
        // a Next ring that never comes back: 0 -> 1 -> 2 -> 1
        "<Edge Exist=\"1\" Vertex=\"0\" Face=\"0\" Next=\"1\" Opp=\"-1\" Turn=\"0\"/>"
        "<Edge Exist=\"1\" Vertex=\"1\" Face=\"0\" Next=\"2\" Opp=\"-1\" Turn=\"1\"/>"
        "<Edge Exist=\"1\" Vertex=\"2\" Face=\"0\" Next=\"1\" Opp=\"-1\" Turn=\"2\"/>",
        // a Turn ring that wanders to another vertex
        "<Edge Exist=\"1\" Vertex=\"0\" Face=\"0\" Next=\"1\" Opp=\"-1\" Turn=\"1\"/>"
        "<Edge Exist=\"1\" Vertex=\"1\" Face=\"0\" Next=\"2\" Opp=\"-1\" Turn=\"0\"/>"
        "<Edge Exist=\"1\" Vertex=\"2\" Face=\"0\" Next=\"0\" Opp=\"-1\" Turn=\"2\"/>",
        // a half-edge without its origin
        "<Edge Exist=\"1\" Face=\"0\" Next=\"1\" Opp=\"-1\" Turn=\"0\"/>"
        "<Edge Exist=\"1\" Vertex=\"1\" Face=\"0\" Next=\"2\" Opp=\"-1\" Turn=\"1\"/>"
        "<Edge Exist=\"1\" Vertex=\"2\" Face=\"0\" Next=\"0\" Opp=\"-1\" Turn=\"2\"/>",
    };
    for (const std::string& edges : corrupt)
    {
        KorMesh mesh;
        ::testing::internal::CaptureStdout();
        mesh.FromXML(ParseMesh(head + edges + tail));
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_TRUE(mesh.LastReadFailed()) << edges;
        EXPECT_EQ(mesh.GetVertexVectorSize() + mesh.GetEdgeVectorSize() + mesh.GetFaceVectorSize(), 0)
            << edges;
        EXPECT_EQ(out.rfind("KorMesh::FromXML -> ", 0), 0u) << out;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    }

    // No element at all, as from a file that did not parse, is a failed
    // read that keeps the mesh, not an empty mesh read successfully.
    KorMesh kept;
    BuildUnitCube(kept);
    ::testing::internal::CaptureStdout();
    kept.FromXML(XMLNode::parseString("<M", nullptr).getChildNode("Maillage"));
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(kept.LastReadFailed());
    EXPECT_EQ(kept.GetNumberOfFaces(), 6);
    EXPECT_EQ(out.rfind("KorMesh::FromXML -> ", 0), 0u) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;

    // A sound read afterwards clears the status.
    KorMesh mesh;
    mesh.FromXML(ParseMesh(head + tail));
    EXPECT_TRUE(mesh.LastReadFailed()); // the face names a missing half-edge
    BuildUnitCube(mesh);
    XMLNode node = XMLNode::createXMLTopNode("Maillage");
    mesh.ToXML(node);
    mesh.FromXML(node);
    EXPECT_FALSE(mesh.LastReadFailed());
    EXPECT_EQ(mesh.GetNumberOfFaces(), 6);
}

TEST_F(KorMeshForms, LegacyFlatLayoutReadsItemsByKind)
{
    KorMesh cube;
    BuildUnitCube(cube);
    cube.DeleteFace(2, false);

    // The items of the written form straight in the mesh element, vertices
    // first, without normals; reading prints nothing.
    XMLNode written = XMLNode::createXMLTopNode("Maillage");
    cube.ToXML(written);
    XMLNode flat = XMLNode::createXMLTopNode("Maillage");
    const char* kinds[3][2] = {{"Vertices", "Vertex"}, {"Edges", "Edge"}, {"Faces", "Face"}};
    for (const auto& kind : kinds)
    {
        const XMLNode chunk = written.getChildNode(kind[0]);
        for (int i = 0; i < chunk.nChildNode(); ++i)
        {
            XMLNode item = flat.addChild(kind[1]);
            for (const char* a : {"Exist", "X", "Y", "Z", "Edge", "Vertex", "Face", "Next", "Opp", "Turn"})
                if (chunk.getChildNode(i).getAttribute(a) != nullptr)
                    item.addAttribute(a, chunk.getChildNode(i).getAttribute(a));
        }
    }

    KorMesh read;
    ::testing::internal::CaptureStdout();
    read.FromXML(flat);
    const std::string echo = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(echo, "");
    ASSERT_FALSE(read.LastReadFailed());
    ExpectSameTables(cube, read, false);
    EXPECT_TRUE(CheckMesh(read));
    EXPECT_NEAR(read.GetSurface(), 5.0, 1e-12);
}

TEST_F(KorMeshForms, TextFormLinesPerRecordAndTruncation)
{
    KorMesh one;
    one.AddVertex(1.5, 2.5, 3.5);
    const auto lines = [&](bool normals, bool textures)
    {
        KorMesh::mSaveNormals = normals;
        KorMesh::mSaveTextureCoordinates = textures;
        std::stringstream text;
        one.ToASCII(text);
        const std::string s = text.str();
        return std::count(s.begin(), s.end(), '\n') - 4; // minus the 3 headers and "**"
    };
    EXPECT_EQ(lines(false, false), 4);
    EXPECT_EQ(lines(true, false), 7);
    EXPECT_EQ(lines(true, true), 10);

    KorMesh::mSaveNormals = true;
    KorMesh::mSaveTextureCoordinates = false;
    KorMesh cube;
    BuildUnitCube(cube);
    std::stringstream text;
    cube.ToASCII(text);
    const std::string whole = text.str();
    for (size_t cut : {whole.size() - 3, whole.size() / 2, size_t(20)})
    {
        std::stringstream truncated(whole.substr(0, cut));
        KorMesh read;
        EXPECT_FALSE(read.FromASCII(truncated)) << cut;
        EXPECT_TRUE(read.LastReadFailed());
        EXPECT_EQ(read.GetVertexVectorSize() + read.GetEdgeVectorSize() + read.GetFaceVectorSize(), 0);
    }

    // CRLF line ends read the same; a link to a missing face is refused.
    std::string crlf;
    for (char c : whole)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::stringstream windows(crlf);
    KorMesh read;
    ASSERT_TRUE(read.FromASCII(windows));
    ExpectSameTables(cube, read, false);

    std::string broken = whole;
    broken.replace(broken.find("___Faces\n"), 9, "___Faces\n77\n");
    std::stringstream corrupt(broken);
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(read.FromASCII(corrupt));
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("KorMesh::FromASCII -> ", 0), 0u) << out;
    EXPECT_EQ(read.GetNumberOfVertices(), 0);
}

// In an owner's text form, a mesh son that the reader does not know is
// skipped up to the mesh's own closing line, though its section headers
// look like son-list openings; an empty mesh likewise.
TEST_F(KorMeshForms, UnknownMeshSonIsSkippedWholeInTheTextForm)
{
    class Owner : public XMLable
    {
    public:
        Owner()
        {
            AddVariable("x", &x);
            AddSon("Maillage", &mesh);
        }
        int x = 7;
        KorMesh mesh;
    };
    class Reader : public XMLable
    {
    public:
        Reader() { AddVariable("x", &x); }
        int x = 0;
    };
    for (bool empty : {false, true})
    {
        Owner owner;
        if (!empty)
            BuildUnitCube(owner.mesh);
        std::stringstream in;
        owner.ToASCII(in);
        in << "_x\n8\n**\n"; // what follows the owner in its own owner's form
        Reader reader;
        ASSERT_TRUE(reader.FromASCII(in)) << empty;
        EXPECT_EQ(reader.x, 7) << empty;
        const std::string rest{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(rest, "_x\n8\n**\n") << empty;
    }
}

// A coordinate that reads as no finite number fails the read like corrupt
// links do: empty mesh, LastReadFailed, one line naming the vertex or the
// line and quoting at most about 200 bytes of the number.
TEST_F(KorMeshForms, NonFiniteCoordinatesFailTheRead)
{
    KorMesh::mSaveTextureCoordinates = true;
    KorMesh cube;
    BuildUnitCube(cube);
    XMLNode top = XMLNode::createXMLTopNode("M");
    cube.ToXML(top);
    const std::string path = TempPath("nonfinite.xml");
    ASSERT_TRUE(top.writeToFile(path));
    const std::string xml = ReadWhole(path);
    std::stringstream written;
    cube.ToASCII(written);
    const std::string text = written.str();

    // Attribute `name` of vertex 1, or the text form's line `line` (1-based),
    // given the number v.
    const auto inXML = [&](const std::string& name, const std::string& v)
    {
        const size_t at =
            xml.find(" " + name + "=\"", xml.find("<Vertex ", xml.find("<Vertex ") + 1)) + name.size() + 3;
        return xml.substr(0, at) + v + xml.substr(xml.find('"', at));
    };
    const auto inText = [&](int line, const std::string& v)
    {
        size_t at = 0;
        for (int k = 1; k < line; ++k)
            at = text.find('\n', at) + 1;
        return text.substr(0, at) + v + text.substr(text.find('\n', at));
    };
    const auto expectFailed =
        [](KorMesh& mesh, const std::string& out, const std::string& origin, const std::string& where)
    {
        EXPECT_TRUE(mesh.LastReadFailed());
        EXPECT_EQ(mesh.GetVertexVectorSize() + mesh.GetEdgeVectorSize() + mesh.GetFaceVectorSize(), 0);
        EXPECT_EQ(out.rfind(origin + " -> ", 0), 0u) << out.substr(0, 300);
        EXPECT_NE(out.find(where), std::string::npos) << out.substr(0, 300);
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
        EXPECT_LT(out.size(), 400u);
    };

    std::vector<std::string> values = NonFiniteTexts();
    values.push_back(std::string(1 << 20, '9'));
    for (const std::string& v : values)
    {
        SCOPED_TRACE(v.substr(0, 10));
        for (const char* name : {"Y", "TX", "NZ"})
        {
            KorMesh mesh;
            ::testing::internal::CaptureStdout();
            mesh.FromXML(ParseMesh(inXML(name, v)));
            expectFailed(mesh, ::testing::internal::GetCapturedStdout(), "KorMesh::FromXML", "Vertex 1 ");
        }
        // Vertex 1's Y and its normal's X: the header, then 10 lines a vertex.
        for (int line : {13, 18})
        {
            std::stringstream in(inText(line, v));
            KorMesh mesh;
            ::testing::internal::CaptureStdout();
            EXPECT_FALSE(mesh.FromASCII(in));
            expectFailed(mesh, ::testing::internal::GetCapturedStdout(), "KorMesh::FromASCII",
                         " line " + std::to_string(line) + " ");
        }
    }
    KorMesh sound;
    sound.FromXML(ParseMesh(inXML("Y", "1")));
    EXPECT_EQ(sound.GetNumberOfFaces(), 6);
    std::stringstream in(inText(13, "1"));
    EXPECT_TRUE(sound.FromASCII(in));
}

// An identifier beyond int names no element: the read fails as for corrupt
// links, naming the item by its kind and its index over all the chunks (the
// mesh of holes reads in two parts, half-edge 13500 in the second). The
// same value with leading zeros and a sign reads as itself.
TEST_F(KorMeshForms, IdentifiersBeyondIntFailTheRead)
{
    KorMesh holes;
    BuildMeshWithHoles(holes);
    XMLNode top = XMLNode::createXMLTopNode("M");
    holes.ToXML(top);
    const std::string path = TempPath("identifiers.xml");
    ASSERT_TRUE(top.writeToFile(path));
    const std::string xml = ReadWhole(path);
    std::remove(path.c_str());
    const struct
    {
        const char *tag, *name;
        int id;
    } cases[] = {{"Vertex", "Edge", 7}, {"Edge", "Next", 13500}, {"Face", "Edge", 4000}};
    for (const auto& c : cases)
    {
        size_t at = 0;
        for (int k = 0; k <= c.id; ++k)
            at = xml.find(std::string("<") + c.tag + " ", at + 1);
        at = xml.find(std::string(" ") + c.name + "=\"", at) + std::strlen(c.name) + 3;
        const std::string was = xml.substr(at, xml.find('"', at) - at);
        ASSERT_NE(was[0], '-') << c.tag;
        const auto read = [&](const std::string& v, KorMesh& mesh)
        { mesh.FromXML(ParseMesh(xml.substr(0, at) + v + xml.substr(at + was.size()))); };
        for (const std::string& v :
             std::vector<std::string>{"2147483648", "-9999999999", "1" + std::string(30, '0')})
        {
            KorMesh mesh;
            ::testing::internal::CaptureStdout();
            read(v, mesh);
            EXPECT_EQ(::testing::internal::GetCapturedStdout(),
                      std::string("KorMesh::FromXML -> ") + c.tag + " " + std::to_string(c.id) +
                          " : the identifier " + c.name + " = '" + v + "' is out of range, nothing read\n");
            EXPECT_EQ(mesh.GetVertexVectorSize() + mesh.GetEdgeVectorSize() + mesh.GetFaceVectorSize(), 0);
        }
        KorMesh mesh;
        read(" +0000000000000" + was, mesh);
        ASSERT_FALSE(mesh.LastReadFailed()) << c.tag;
        ExpectSameTables(holes, mesh, false);
    }
}
