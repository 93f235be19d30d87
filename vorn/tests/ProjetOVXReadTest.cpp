#include "Couche.h"
#include "KorDelaunay.h"
#include "KorException.h"
#include "KorNumbers.h"
#include "KorParallel.h"
#include "ModelTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace
{
enum class eFault
{
    None,
    NonFinite,  // a vertex with X = "inf"
    Unpaired,   // a half-edge its own twin
    TurnAstray, // a half-edge's Turn to a half-edge of another vertex
};

// Every slot of the three tables and the free queues, as text.
std::string Dump(const KorMesh& mesh)
{
    std::ostringstream out;
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
            out << "v" << id << ' ' << KorFormatDouble(v->X) << ' ' << KorFormatDouble(v->Y) << ' '
                << KorFormatDouble(v->Z) << ' ' << v->Edge << '\n';
    for (int id = 0; id < mesh.GetEdgeVectorSize(); ++id)
        if (const KorEdge* e = mesh.GetEdge(id))
            out << "e" << id << ' ' << e->Vertex << ' ' << e->Face << ' ' << e->Next << ' ' << e->Opp << ' '
                << e->Turn << '\n';
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
        if (const KorFace* f = mesh.GetFace(id))
            out << "f" << id << ' ' << f->Edge << '\n';
    out << "sizes " << mesh.GetVertexVectorSize() << ' ' << mesh.GetEdgeVectorSize() << ' '
        << mesh.GetFaceVectorSize() << "\nreused";
    // The order in which freed vertex slots are given again.
    KorMesh copy(mesh);
    for (int k = mesh.GetVertexVectorSize() - mesh.GetNumberOfVertices(); k > 0; --k)
        out << ' ' << copy.AddVertex(0.0, 0.0, 0.0);
    return out.str();
}

// The mesh's element, its items in chunks of 5 to 40 (those under 16 stay
// nodes of the tree, the others are read from the text), with the fault
// put in the second half of the identifiers.
std::string MeshXML(const KorMesh& mesh, eFault fault, std::mt19937& rng)
{
    std::uniform_int_distribution<int> size(5, 40);
    std::string xml = "<Mesh>";
    auto chunks = [&](const char* chunk, int slots, auto item)
    {
        for (int first = 0; first < slots;)
        {
            const int end = std::min(slots, first + size(rng));
            xml += std::string("<") + chunk + ">";
            for (int id = first; id < end; ++id)
                xml += item(id);
            xml += std::string("</") + chunk + ">\n";
            first = end;
        }
    };
    const int faultyVertex = mesh.GetVertexVectorSize() * 3 / 4;
    const int faultyEdge = mesh.GetEdgeVectorSize() * 2 / 3;
    chunks("Vertices", mesh.GetVertexVectorSize(),
           [&](int id)
           {
               const KorVertex* v = mesh.GetVertex(id);
               if (!v)
                   return std::string("<Vertex Exist=\"0\"/>");
               const std::string x = fault == eFault::NonFinite && id >= faultyVertex ? "inf" : KorFormatDouble(v->X);
               return "<Vertex Exist=\"1\" X=\"" + x + "\" Y=\"" + KorFormatDouble(v->Y) + "\" Z=\"" +
                      KorFormatDouble(v->Z) + "\" Edge=\"" + std::to_string(v->Edge) + "\"/>";
           });
    chunks("Edges", mesh.GetEdgeVectorSize(),
           [&](int id)
           {
               const KorEdge* e = mesh.GetEdge(id);
               if (!e)
                   return std::string("<Edge Exist=\"0\"/>");
               int opp = e->Opp, turn = e->Turn;
               if (id == faultyEdge && fault == eFault::Unpaired)
                   opp = id;
               if (id == faultyEdge && fault == eFault::TurnAstray)
                   turn = e->Opp;
               return "<Edge Exist=\"1\" Vertex=\"" + std::to_string(e->Vertex) + "\" Face=\"" +
                      std::to_string(e->Face) + "\" Next=\"" + std::to_string(e->Next) + "\" Opp=\"" +
                      std::to_string(opp) + "\" Turn=\"" + std::to_string(turn) + "\"/>";
           });
    chunks("Faces", mesh.GetFaceVectorSize(),
           [&](int id)
           {
               const KorFace* f = mesh.GetFace(id);
               return f ? "<Face Exist=\"1\" Edge=\"" + std::to_string(f->Edge) + "\"/>"
                        : std::string("<Face Exist=\"0\"/>");
           });
    return xml + "</Mesh>";
}

// The layer's vertex types in groups of 100: a free point per vertex but
// vertex 5, recorded as none (which deletes it on reading), none for free
// slots.
std::string TypesXML(const KorMesh& mesh)
{
    std::string xml = "<TypesVertex>";
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
    {
        if (id % 100 == 0)
            xml += id == 0 ? "<Types>" : "</Types><Types>";
        xml += mesh.GetVertex(id) && id != 5 ? "<TV Type=\"1\" Param=\"0\"/>" : "<TV Type=\"0\" Param=\"0\"/>";
    }
    return xml + "</Types></TypesVertex>";
}

class ProjetOVXReadTest : public ModelTest
{
};

// Layers whose meshes and vertex types are read side by side give what
// reading them one after the other gives: the same meshes (identifiers,
// links, free slots) and records,
// or, when some are faulty, the first faulty layer's line alone and the
// Open refused. Three layers of 400 scattered points, a few deleted.
TEST_F(ProjetOVXReadTest, LayersReadSideBySideAsInOrder)
{
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> coordinate(0.0, 100.0);
    std::vector<KorMesh> meshes(3);
    for (KorMesh& mesh : meshes)
    {
        for (int i = 0; i < 400; ++i)
            mesh.AddVertex(coordinate(rng), coordinate(rng), coordinate(rng));
        Delaunay2D(mesh);
        for (int id = 7; id < 400; id += 53)
            mesh.DeleteVertex(id);
    }
    using F = eFault;
    const std::vector<std::vector<eFault>> cases = {
        {F::None, F::None, F::None},           {F::None, F::NonFinite, F::None},
        {F::None, F::Unpaired, F::NonFinite},  {F::TurnAstray, F::None, F::Unpaired},
        {F::None, F::None, F::TurnAstray},     {F::NonFinite, F::NonFinite, F::NonFinite},
    };
    const std::string path = TempPath("side_by_side.ovx");
    for (const std::vector<eFault>& faults : cases)
    {
        std::string text = "<?xml version=\"1.0\"?>\n<Projet>\n";
        for (size_t k = 0; k < meshes.size(); ++k)
            text += "<Couche><Nom>C" + std::to_string(k) + "</Nom>" + MeshXML(meshes[k], faults[k], rng) +
                    TypesXML(meshes[k]) + "</Couche>\n";
        WriteAll(path, text + "</Projet>\n");
        SCOPED_TRACE(std::to_string(static_cast<int>(faults[0])) +
                     std::to_string(static_cast<int>(faults[1])) + std::to_string(static_cast<int>(faults[2])));

        // In order: each layer element read alone until one fails.
        testing::internal::CaptureStdout();
        const XMLNode top = XMLNode::parseFile(path);
        std::vector<std::string> inOrder;
        bool failed = false;
        for (int k = 0; k < top.getChildNode("Projet").nChildNode("Couche") && !failed; ++k)
        {
            Couche couche("x");
            try
            {
                couche.FromXML(top.getChildNode("Projet").getChildNode("Couche", k));
                inOrder.push_back(Dump(couche.GetMesh()));
            }
            catch (const KorException&)
            {
                failed = true;
            }
        }
        const std::string linesInOrder = testing::internal::GetCapturedStdout();
        EXPECT_EQ(failed, faults != std::vector<eFault>(3, F::None));

        ui.Boxes.clear();
        testing::internal::CaptureStdout();
        gProjet.Open(path);
        const std::string lines = testing::internal::GetCapturedStdout();
        EXPECT_EQ(lines, linesInOrder);
        EXPECT_EQ(lines.empty(), !failed);
        // A vertex that is not finite is named by its identifier, counted
        // over every chunk before it.
        const auto first = std::find_if(faults.begin(), faults.end(), [](eFault f) { return f != F::None; });
        if (first != faults.end() && *first == F::NonFinite)
        {
            const KorMesh& mesh = meshes[static_cast<size_t>(first - faults.begin())];
            int id = mesh.GetVertexVectorSize() * 3 / 4;
            while (!mesh.GetVertex(id))
                ++id;
            EXPECT_NE(lines.find("Vertex " + std::to_string(id) + " : the coordinate X = 'inf'"), std::string::npos)
                << lines;
        }
        if (failed)
        {
            ASSERT_EQ(ui.Boxes.size(), 1u);
            EXPECT_EQ(ui.Boxes[0].Text, "Impossible de charger un projet depuis '" + path + "'");
            continue;
        }
        ASSERT_EQ(gProjet.GetNumberOfCouches(), 3);
        for (int k = 0; k < 3; ++k)
        {
            // The source mesh but its vertex 5, which its record deletes.
            KorMesh expected = meshes[static_cast<size_t>(k)];
            expected.DeleteVertex(5);
            const Couche& couche = *gProjet.GetCouche(k);
            EXPECT_EQ(Dump(couche.GetMesh()), Dump(expected)) << k;
            EXPECT_EQ(inOrder[static_cast<size_t>(k)], Dump(expected)) << k;
            ASSERT_EQ(couche.GetNumberOfVertexTypes(), expected.GetVertexVectorSize());
            for (int id = 0; id < expected.GetVertexVectorSize(); ++id)
                EXPECT_EQ(couche.GetVertexType(id).Type, expected.GetVertex(id) ? 1 : 0) << id;
        }
        gProjet.GetUndoManager().Clear();
        gProjet.Close();
    }

    // However many layers, no more threads than the machine runs at once:
    // empty layers, each with its mesh and vertex types to read.
    std::string many = "<?xml version=\"1.0\"?>\n<Projet>\n";
    for (int k = 0; k < 2000; ++k)
        many += "<Couche><Nom>C" + std::to_string(k) + "</Nom><Mesh/><TypesVertex/></Couche>\n";
    WriteAll(path, many + "</Projet>\n");
    const long long started = KorThreadsStarted();
    gProjet.Open(path);
    EXPECT_EQ(gProjet.GetNumberOfCouches(), 2000);
    EXPECT_LE(KorThreadsStarted() - started, MachineThreads());
    std::remove(path.c_str());
}
} // namespace
