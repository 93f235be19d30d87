#include "Axe.h"
#include "Couche.h"
#include "Excavation.h"
#include "LigneNiveau.h"
#include "ModelTestSupport.h"

#include <cmath>
#include <functional>

namespace
{
using ProjectFileRoadsTest = ModelTest;

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The lines of a file but those holding one of the tags.
std::string WithoutLines(const std::string& text, const std::vector<std::string>& tags)
{
    std::string out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        bool drop = false;
        for (const std::string& tag : tags)
            drop = drop || line.find(tag) != std::string::npos;
        if (!drop)
            out += line + "\n";
    }
    return out;
}

// The same file read through the tree's nodes, as every file was before
// large lists were read from the text: a comment at the start of each list
// keeps the list in the tree and changes nothing that is read.
std::string ThroughNodes(const std::string& text)
{
    std::string out = text;
    for (const char* tag : {"<Vertices>", "<Edges>", "<Faces>", "<Types>"})
        out = Replaced(out, tag, std::string(tag) + "<!---->");
    return out;
}

// Two layers of 21 x 21 points over [-250, 250]^2, an inclined plane with a
// relief, the lower 6 m under the upper; a closed level line and a deleted
// point in the upper one; the lower one read-only, keeping its mesh; the
// axis along +Y with the head at its middle.
void BuildLayeredProject()
{
    for (int k = 0; k < 2; ++k)
    {
        Couche* layer = gProjet.AddCouche("Couche" + std::to_string(k), static_cast<unsigned>(k));
        for (int i = 0; i < 21; ++i)
            for (int j = 0; j < 21; ++j)
            {
                const double x = -250.0 + 25.0 * i + 0.37, y = -250.0 + 25.0 * j + 0.61;
                layer->AddPoint(LumPoint(x, y, 0.5 * (y + 10.0) + 2.0 * std::sin(x / 13.0) - 6.0 * k), 1, 0, false,
                                false);
            }
        if (k == 0)
        {
            const std::vector<float> square = {100.1f, 100.2f, 140.3f, 100.4f, 140.5f, 140.6f, 100.7f, 140.8f};
            layer->GetLigneNiveau(layer->AddLigneNiveau(60.0f, -1, false, &square))->Fermee = 1;
            layer->DeletePoint(5, false);
        }
        layer->Triangulate();
        layer->Editable = k == 0;
    }
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(0, -1000, 0), LumPoint(0, 1000, 0)});
    axe.SetHeadPositionAtDistance(1000.0);
}

// Opens the file, computes the excavation and saves it; the volumes and the
// saved bytes.
std::pair<std::vector<double>, std::string> OpenComputeSave(ScriptedUi& ui, const std::string& path)
{
    gProjet.Open(path);
    EXPECT_TRUE(ui.Boxes.empty()) << path;
    ComputeExcavation();
    EXPECT_EQ(gCalculationErrors, 0) << path;
    std::vector<double> volumes = gResults.Volumes;
    EXPECT_TRUE(gProjet.Save());
    return {volumes, ModelTest::ReadAll(path)};
}
} // namespace

// Saved, opened and saved again, a project is the same file byte for byte,
// whatever form it was read from: the sample, layers of points and level
// lines (one read-only), and the older form of the same layers (items
// directly in the mesh and in "TypesVertex"). Read from the file's text or
// through the tree's nodes, a project gives the same first volumes and the
// same file.
TEST_F(ProjectFileRoadsTest, SavesAreStableAndBothReadingRoadsAgree)
{
    const std::string layered = TempPath("layered.ovx");
    BuildLayeredProject();
    gProjet.Nom = layered;
    ASSERT_TRUE(gProjet.Save());
    const std::string layeredText = ReadAll(layered);
    gProjet.Close();

    const struct
    {
        const char* what;
        std::string text;
    } cases[] = {
        {"sample", ReadAll(VORN_SAMPLE)},
        {"layers", layeredText},
        {"older form", WithoutLines(layeredText, {"<Vertices", "</Vertices>", "<Edges", "</Edges>", "<Faces",
                                                  "</Faces>", "<Types>", "<Types />", "</Types>"})},
    };
    std::string layersSaved;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const std::string path = TempPath("road.ovx");
        const std::string nodes = TempPath("nodes.ovx"); // as long as path
        WriteAll(path, c.text);
        const auto first = OpenComputeSave(ui, path);
        ASSERT_FALSE(first.first.empty());
        const auto second = OpenComputeSave(ui, path);
        EXPECT_EQ(second.second, first.second);
        EXPECT_EQ(second.first, first.first);
        // The older form of the layers is read as the layers are.
        if (std::string(c.what) == "layers")
            layersSaved = first.second;
        if (std::string(c.what) == "older form")
        {
            EXPECT_EQ(first.second, layersSaved);
        }

        WriteAll(nodes, ThroughNodes(first.second));
        const auto throughNodes = OpenComputeSave(ui, nodes);
        EXPECT_EQ(throughNodes.first, first.first);
        EXPECT_EQ(Replaced(throughNodes.second, nodes, path), first.second);
        gProjet.Close();
        std::remove(path.c_str());
        std::remove(nodes.c_str());
    }
    std::remove(layered.c_str());
}
