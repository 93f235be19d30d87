#include "CoucheMove.h"
#include "ElementTestSupport.h"
#include "KorVertex.h"

#include <array>
#include <cmath>

namespace
{
using Matrix = std::array<std::array<double, 4>, 4>;

Matrix Product(const Matrix& a, const Matrix& b)
{
    Matrix m{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                m[i][j] += a[i][k] * b[k][j];
    return m;
}

Matrix Translation(double x, double y, double z)
{
    return {{{1, 0, 0, x}, {0, 1, 0, y}, {0, 0, 1, z}, {0, 0, 0, 1}}};
}

class CoucheMoveTest : public ElementTest
{
protected:
    void SetUp() override
    {
        ElementTest::SetUp();
        gProjet.Echelle = 100.0;
        AddSquare("Haut", 100.0);
        milieu = AddSquare("Milieu", 50.0);
        milieu->AddPoint(LumPoint(40, 60, 56), 1, 0, false, false);
        AddSquare("Bas", 0.0);
        gProjet.GetUndoManager().Clear();
    }
    std::string Xml(const std::string& name)
    {
        XMLNode top = XMLNode::createXMLTopNode("xml", 1);
        XMLNode node = top.addChild("Couche");
        milieu->ToXML(node);
        const std::string path = TempPath(name);
        top.writeToFile(path);
        const std::string text = ReadAll(path);
        std::remove(path.c_str());
        return text;
    }
    std::vector<LumPoint> Vertices() const
    {
        std::vector<LumPoint> points;
        const KorMesh& mesh = milieu->GetMesh();
        for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
            if (const KorVertex* v = mesh.GetVertex(id))
                points.emplace_back(v->X, v->Y, v->Z);
        return points;
    }
    unsigned Steps() const { return gProjet.GetUndoManager().GetCount(); }

    Couche* milieu = nullptr;
};

// Tilted by 10 degrees about x and 4 about y and raised by 3 around the
// centre of its box (50, 50, 53), every point lands where the matrix
// product T(c + dz) Rx Ry T(-c) puts it; undo gives the layer's XML back
// exactly and redo the moved one.
TEST_F(CoucheMoveTest, TiltMatchesTheMatrixAndUndoesExactly)
{
    const std::vector<LumPoint> before = Vertices();
    const std::string xmlBefore = Xml("before.xml");
    const double ax = 10.0 * M_PI / 180.0, ay = 4.0 * M_PI / 180.0;
    const Matrix rx = {{{1, 0, 0, 0},
                        {0, std::cos(ax), -std::sin(ax), 0},
                        {0, std::sin(ax), std::cos(ax), 0},
                        {0, 0, 0, 1}}};
    const Matrix ry = {{{std::cos(ay), 0, std::sin(ay), 0},
                        {0, 1, 0, 0},
                        {-std::sin(ay), 0, std::cos(ay), 0},
                        {0, 0, 0, 1}}};
    const Matrix m =
        Product(Product(Product(Translation(50, 50, 53 + 3), rx), ry), Translation(-50, -50, -53));

    ASSERT_TRUE(ApplyCoucheMove(1, 3.0f, 10.0f, 4.0f));
    EXPECT_EQ(Steps(), 1u);
    const std::vector<LumPoint> after = Vertices();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
    {
        const double p[4] = {before[i].x, before[i].y, before[i].z, 1.0};
        double q[3] = {0, 0, 0};
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 4; ++k)
                q[r] += m[r][k] * p[k];
        EXPECT_NEAR(after[i].x, q[0], 1e-4) << i;
        EXPECT_NEAR(after[i].y, q[1], 1e-4) << i;
        EXPECT_NEAR(after[i].z, q[2], 1e-4) << i;
    }
    const std::string xmlAfter = Xml("after.xml");
    EXPECT_NE(xmlAfter, xmlBefore);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(Xml("undone.xml"), xmlBefore);
    gProjet.GetUndoManager().Redo();
    EXPECT_EQ(Xml("redone.xml"), xmlAfter);
}

// No change applies nothing and records nothing; a move through the layer
// below is refused with its message and leaves the layer as it was.
TEST_F(CoucheMoveTest, NothingToApplyAndCrossingRefused)
{
    const std::string xmlBefore = Xml("before.xml");
    EXPECT_TRUE(ApplyCoucheMove(1, 0.0f, 5e-6f, -5e-6f));
    EXPECT_TRUE(ApplyCoucheMove(7, 3.0f, 0.0f, 0.0f)) << "no such layer";
    EXPECT_EQ(Steps(), 0u);
    for (const auto& [dz, tilt] : {std::pair{-60.0f, 0.0f}, {60.0f, 0.0f}, {0.0f, 80.0f}})
    {
        ui.Boxes.clear();
        EXPECT_FALSE(ApplyCoucheMove(1, dz, tilt, 0.0f)) << dz << " " << tilt;
        ASSERT_EQ(ui.Boxes.size(), 1u);
        EXPECT_EQ(ui.Boxes[0].Caption, "Erreur");
        EXPECT_EQ(ui.Boxes[0].Text,
                  "Certains points intersectent les couches voisines : Déplacement de couche impossible");
    }
    EXPECT_EQ(Steps(), 0u);
    EXPECT_EQ(Xml("after.xml"), xmlBefore);
}
} // namespace
