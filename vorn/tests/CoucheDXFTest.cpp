#include "ElementTestSupport.h"

#include <sys/stat.h>

namespace
{
class CoucheDXFTest : public ElementTest
{
protected:
    void SetUp() override
    {
        ElementTest::SetUp();
        folder = TempPath("dxfapp");
        mkdir(folder.c_str(), 0755);
        mkdir((folder + "/Icons").c_str(), 0755);
        WriteAll(folder + "/Icons/HeaderDXF.txt", "HEADER\n");
        WriteAll(folder + "/Icons/CloserDXF.txt", "CLOSER\n");
        saved = gProjet.GetApplicationFolder();
        gProjet.SetApplicationFolder(folder);
    }
    void TearDown() override
    {
        gProjet.SetApplicationFolder(saved);
        ElementTest::TearDown();
    }
    std::vector<double> Coordinates(const KorMesh& mesh)
    {
        std::vector<double> xyz;
        for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
            if (const KorVertex* v = mesh.GetVertex(id))
                xyz.insert(xyz.end(), {v->X, v->Y, v->Z});
        return xyz;
    }
    std::string folder, saved;
};

// Written in world metres from a copy: twice the same file, the layer's
// coordinates untouched to the bit; the surface alone unless the head is
// shown over an excavation cut; no template, no success and the old file.
TEST_F(CoucheDXFTest, ExportWritesWorldCoordinatesAndLeavesTheLayer)
{
    gProjet.Echelle = 30.0; // a scale whose round trip is not exact
    gProjet.OrigineX = 1000.0;
    Couche* couche = AddSquare("Haut", 0.1);
    couche->AddPoint(LumPoint(10, 20, 0.7), 1, 0, false, false);
    couche->Triangulate();
    const auto before = Coordinates(couche->GetMesh());
    KorMesh& cut = couche->GetMesh(Couche::Intersection);
    cut = couche->GetMesh();
    for (int id = 0; id < cut.GetVertexVectorSize(); ++id)
        if (KorVertex* v = cut.GetVertex(id))
            v->Define(v->X, v->Y, 300.0); // 90 m in the world

    const std::string a = TempPath("a.dxf"), b = TempPath("b.dxf"), c = TempPath("c.dxf");
    ASSERT_TRUE(couche->ExportDXF(a));
    ASSERT_TRUE(couche->ExportDXF(b));
    EXPECT_EQ(ReadAll(a), ReadAll(b));
    EXPECT_EQ(Coordinates(couche->GetMesh()), before);
    const std::string surface = ReadAll(a);
    EXPECT_EQ(surface.rfind("HEADER\n", 0), 0u);
    EXPECT_EQ(surface.substr(surface.size() - 7), "CLOSER\n");
    // Scene x 100 is world 1000 + 100 * 30 / 100.
    EXPECT_NE(surface.find("\n1030\n"), std::string::npos);
    EXPECT_EQ(surface.find("\n90\n"), std::string::npos);

    gProjet.Set3DAffichageTete(true);
    ASSERT_TRUE(couche->ExportDXF(c));
    EXPECT_NE(ReadAll(c).find("\n90\n"), std::string::npos);
    gProjet.Set3DAffichageTete(false);
    ASSERT_TRUE(couche->ExportDXF(c));
    EXPECT_EQ(ReadAll(c), surface);

    // A missing template fails the export and leaves the file as it was.
    std::remove((folder + "/Icons/CloserDXF.txt").c_str());
    EXPECT_FALSE(couche->ExportDXF(c));
    EXPECT_EQ(ReadAll(c), surface);
    std::remove((folder + "/Icons/HeaderDXF.txt").c_str());
    EXPECT_FALSE(couche->ExportDXF(c));
    EXPECT_EQ(ReadAll(c), surface);
    EXPECT_FALSE(couche->ExportDXF("/nonexistent/dir/x.dxf"));
    EXPECT_EQ(Coordinates(couche->GetMesh()), before);
    for (const std::string& p : {a, b, c})
        std::remove(p.c_str());
    rmdir((folder + "/Icons").c_str());
    rmdir(folder.c_str());
}
} // namespace
