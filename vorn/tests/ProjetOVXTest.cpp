#include "Axe.h"
#include "Couche.h"
#include "Coupe.h"
#include "Discontinuite.h"
#include "ModelTestSupport.h"
#include "RawXMLElement.h"
#include "ResultatsOVX.h"
#include "SectionWindow.h"
#include "Sondage.h"
#include "UnwritableFolder.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace
{
using ProjetOVXTest = ModelTest;

const std::string kCloseQuestion = "Le projet a été modifié : Voulez-vous l'enregistrer ?";

// A saved project with one element of every group, in file order, written
// by the XML layer as Save writes; the members come from the project.
std::string WriteProjectWithGroups(const std::string& path)
{
    // The axis as it writes itself: a polyline with a point of no short
    // fixed form.
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.PositionTeteMultiligne = 2.5;
    axe.ReplacePolyline({LumPoint(1.0, 2.0, 3.0), LumPoint(0.1, 1e-7, -1e12)});
    // Results as they write themselves, with numbers of no short form.
    ResultatsOVX& results = gProjet.GetResultats();
    results.Axe1 = {0.1, 2600123.456};
    results.Variables = {"V"};
    results.AddRecord(LumPoint(0.1, 1e-7, 1234567.0), {}, {}, 0.0);
    results.Couts = {{1.0 / 3.0}};
    results.AxeResultats = axe;
    gProjet.Nom = path;
    EXPECT_TRUE(gProjet.Save());
    XMLNode members = XMLNode::parseFile(path).getChildNode("Projet");
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode projet = top.addChild("Projet");
    for (int i = 0; i < members.nChildNode(); ++i)
        if (std::string(members.getChildNode(i).getName()) != "Axe" &&
            std::string(members.getChildNode(i).getName()) != "Tete" &&
            std::string(members.getChildNode(i).getName()) != "Resultats")
        {
            XMLNode member = projet.addChild(members.getChildNode(i).getName());
            RawXMLElement::CopyContent(members.getChildNode(i), member);
        }
    const XMLNode groups = XMLNode::parseString(R"(<G>
        <FondPlan><Nom>/plans/fond.png</Nom><PosX>1.500000</PosX><PosY>0.000000</PosY><Taille>2.000000</Taille></FondPlan>
        <Couche><Nom>Marne$grise</Nom><R>1</R><G>2</G><B>3</B><Opacite>40</Opacite><Texture>t.png</Texture>
        <Discontinuites>F$a|</Discontinuites><FrontAffiche>0</FrontAffiche><Editable>1</Editable>
        <Mesh><Vertices/><Edges/><Faces/></Mesh><TypesVertex><Types/></TypesVertex><LignesNiveau/></Couche>
        <Couche><Nom>Calcaire</Nom><R>0</R><G>0</G><B>0</B><Opacite>100</Opacite><Texture/><Discontinuites/>
        <FrontAffiche>1</FrontAffiche><Editable>0</Editable><Mesh><Vertices/><Edges/><Faces/></Mesh>
        <TypesVertex><Types/></TypesVertex><LignesNiveau/></Couche>
        <Sondage><Nom>S1</Nom><Azimut>45.500000</Azimut><Pendage>60.000000</Pendage><PosX>1.000000</PosX>
        <PosY>2.000000</PosY><PosZ>3.000000</PosZ><Profondeur>12.250000</Profondeur>
        <PointSondage><Couche>Calcaire</Couche><Profondeur>3.500000</Profondeur></PointSondage></Sondage>
        <Coupe><Nom>C1</Nom><Image>c.png</Image><Reference1>1.000|2.000|3.000</Reference1>
        <Reference2>4.000|5.000|6.000</Reference2><EchelleVerticale>20.000000</EchelleVerticale>
        <Couches>Calcaire|</Couches><Ref1><X>0.10000</X><Y>0.50000</Y></Ref1><Ref2><X>0.30000</X><Y>0.50000</Y></Ref2>
        <CoordCouche><Coord><X>0.25000</X><Y>0.55000</Y></Coord></CoordCouche></Coupe>
        <Discontinuite><Nom>F$a</Nom><Azimut>0.000000</Azimut><Pendage>30.000000</Pendage><Espace>0.000000</Espace>
            <EcartType>0.000000</EcartType><Origine>0.000|0.000|0.000</Origine><OrigineAffichee>0</OrigineAffichee>
        </Discontinuite>
        <Discontinuite><Nom>G</Nom><Azimut>0.000000</Azimut><Pendage>60.000000</Pendage><Espace>0.500000</Espace>
            <EcartType>0.000000</EcartType><Origine>1.000|2.000|3.000</Origine><OrigineAffichee>1</OrigineAffichee>
        </Discontinuite></G>)");
    RawXMLElement::CopyContent(groups.getChildNode("G"), projet);
    XMLNode axeNode = projet.addChild("Axe");
    RawXMLElement::CopyContent(members.getChildNode("Axe"), axeNode);
    // The trench head as it writes itself.
    XMLNode teteNode = projet.addChild("Tete");
    RawXMLElement::CopyContent(members.getChildNode("Tete"), teteNode);
    XMLNode resultatsNode = projet.addChild("Resultats");
    RawXMLElement::CopyContent(members.getChildNode("Resultats"), resultatsNode);
    const XMLNode rest = XMLNode::parseString(R"(<G>
        <Decor><Couleur>1.000|0.500|0.000</Couleur><Texture>arbre$1.png</Texture>
        <Mesh><Vertices/><Edges/><Faces/></Mesh></Decor></G>)");
    RawXMLElement::CopyContent(rest.getChildNode("G"), projet);
    EXPECT_TRUE(top.writeToFile(path));
    return ModelTest::ReadAll(path);
}

TEST_F(ProjetOVXTest, NewStartsFromTheResetValues)
{
    gProjet.EquationCout = "V";
    gProjet.Echelle = 3.0;
    gProjet.OrigineCameraX = 7.0;
    gProjet.OrigineCameraY = -7.0;
    gProjet.Limite2 = LumPoint(1.0, 1.0, 0.0);
    gProjet.m3DPoints = true;
    gProjet.Nom = "/somewhere/old.ovx";
    gProjet.New();

    EXPECT_EQ(gProjet.EquationCout, "300*S+10*V");
    EXPECT_EQ(gProjet.Echelle, 100.0);
    EXPECT_EQ(gProjet.ZoomDessus, 200.0);
    EXPECT_EQ(gProjet.OpaciteFond, 50);
    EXPECT_EQ(gProjet.GraduationAxe, 10.0);
    EXPECT_EQ(gProjet.CoucheCourante, -1);
    EXPECT_EQ(gProjet.FondUtilise, -1);
    EXPECT_TRUE(gProjet.PointsAffiches);
    EXPECT_EQ(gProjet.OrigineCameraX, 0.0);
    EXPECT_EQ(gProjet.OrigineCameraY, 0.0);
    EXPECT_EQ(gProjet.Limite2.x, 0.0);
    EXPECT_EQ(gProjet.CameraPosition.x, 100.0);
    EXPECT_EQ(gProjet.CameraPosition.y, -100.0);
    EXPECT_EQ(gProjet.CameraPosition.z, 150.0);
    const bool switches[] = {gProjet.m3DTriangles,      gProjet.m3DSegments,
                             gProjet.m3DPoints,         gProjet.m3DLignes,
                             gProjet.m3DSondages,       gProjet.m3DAxe,
                             gProjet.m3DAffichageTete,  gProjet.m3DAffichageLigneIntersection,
                             gProjet.m3DAffichageInfos, gProjet.TravauxTransparence};
    const bool expected[] = {true, false, false, true, true, true, false, false, false, false};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(switches[i], expected[i]) << i;
    EXPECT_TRUE(gProjet.Nom.empty());
    EXPECT_FALSE(gProjet.IsModified());
    EXPECT_EQ(ui.GetMode(), 1);
    // Without a background plan no project is made.
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text,
              "Vous devez choisir une image comme fond de plan.\nCréation de projet annulée.");
    EXPECT_EQ(ui.Boxes[0].Caption, "Erreur");
    EXPECT_EQ(ui.Boxes[0].Flags, ModelUi::BoxCentred);
    EXPECT_EQ(ui.Title, "Ovalis 1.0.5");
}

TEST_F(ProjetOVXTest, TitleIsTheFileNameWithoutFolderOrExtension)
{
    const std::string top = TempPath("titles");
    const std::string folders[] = {top, top + "/a", top + "/a/b.c"};
    for (const std::string& folder : folders)
    {
        mkdir(folder.c_str(), 0700);
        const std::string path = folder + "/projet1.ovx";
        gProjet.Nom = path;
        ASSERT_TRUE(gProjet.Save());
        gProjet.Nom = "/elsewhere/autre.ovx";
        gProjet.Open(path);
        EXPECT_EQ(ui.Title, "Ovalis 1.0.5 - projet1") << path;
        EXPECT_EQ(gProjet.Nom, path);
        std::remove(path.c_str());
    }
    for (auto folder = std::rbegin(folders); folder != std::rend(folders); ++folder)
        rmdir(folder->c_str());
}

// Members, digit-leading keys, blanks as '$' and every element group come
// back; a project opened and saved again is the same file, byte for byte.
TEST_F(ProjetOVXTest, SavedProjectReadsBackAndSavesIdentically)
{
    gProjet.Close();
    gProjet.EquationCout = "a b";
    gProjet.Echelle = 50.0;
    gProjet.OrigineX = 1000.125;
    gProjet.OrigineCameraX = 0.1;
    gProjet.m3DPoints = true;
    gProjet.m3DTriangles = false;
    gProjet.Nord = 33;
    gProjet.Limite1 = LumPoint(-1.5, 2.25, 0.001);
    gProjet.ZoomDessus = 1.0 / 3.0;
    gProjet.CoucheCourante = 1;
    gProjet.FondUtilise = 0;
    const std::string path = TempPath("roundtrip.ovx");
    const std::string original = WriteProjectWithGroups(path);
    EXPECT_NE(original.find("<EquationCout>a$b</EquationCout>"), std::string::npos);
    EXPECT_NE(original.find("<3DPoints>1</3DPoints>"), std::string::npos);

    gProjet.Close();
    gProjet.Open(path);
    EXPECT_TRUE(ui.Boxes.empty());
    EXPECT_EQ(gProjet.EquationCout, "a b");
    // The rest shows in the bytes: Save writes from the members read.
    EXPECT_EQ(gProjet.CoucheCourante, 1);
    EXPECT_EQ(gProjet.GetCoucheNames(), (std::vector<std::string>{"Marne grise", "Calcaire"}));
    EXPECT_EQ(ui.LayerChoice, gProjet.GetCoucheNames());
    EXPECT_EQ(gProjet.GetDiscontinuiteNames(), (std::vector<std::string>{"F a", "G"}));
    EXPECT_EQ(gProjet.GetAxe().GetPolyline()[1].y, 1e-7);
    EXPECT_FALSE(gProjet.IsModified());

    ASSERT_TRUE(gProjet.Save());
    EXPECT_EQ(ReadAll(path), original);
    gProjet.Open(path);
    ASSERT_TRUE(gProjet.Save());
    EXPECT_EQ(ReadAll(path), original);
    std::remove(path.c_str());
}

// The file's order of groups does not matter; families come back in name
// order; a family without a name is skipped and a second one of a stored
// name is read into it.
TEST_F(ProjetOVXTest, FamiliesAreKeyedByName)
{
    const std::string path = TempPath("families.ovx");
    WriteAll(path, R"(<?xml version="1.0"?><Projet>
        <Discontinuite><Nom>Z</Nom><Pendage>10</Pendage><Azimut>5</Azimut></Discontinuite>
        <Couche><Nom>A</Nom></Couche>
        <Discontinuite><Pendage>20</Pendage></Discontinuite>
        <Discontinuite><Nom/><Pendage>30</Pendage></Discontinuite>
        <Discontinuite><Nom>B</Nom></Discontinuite>
        <Discontinuite><Nom>Z</Nom><Pendage>40</Pendage><Azimut/><Espace>2</Espace></Discontinuite>
        <Echelle>100</Echelle></Projet>)");
    gProjet.Open(path);
    EXPECT_TRUE(ui.Boxes.empty());
    EXPECT_EQ(gProjet.GetDiscontinuiteNames(), (std::vector<std::string>{"B", "Z"}));
    EXPECT_EQ(gProjet.GetNumberOfCouches(), 1);
    ASSERT_TRUE(gProjet.Save());
    const XMLNode saved = XMLNode::parseFile(path).getChildNode("Projet");
    ASSERT_EQ(saved.nChildNode("Discontinuite"), 2);
    const XMLNode z = saved.getChildNode("Discontinuite", 1);
    EXPECT_STREQ(z.getChildNode("Pendage").getText(), "40.000000");
    EXPECT_STREQ(z.getChildNode("Azimut").getText(), "5.000000");
    EXPECT_STREQ(z.getChildNode("Espace").getText(), "2.000000");
    std::remove(path.c_str());
}

// Names a user could not have typed are renamed at Open, with a message: a
// '|' would split the lists naming them at the next save, an empty or a
// second layer, borehole or section name would make two elements one. The
// lists read split are mended; the saved project reads back as it was
// opened.
TEST_F(ProjetOVXTest, NamesReadFollowTheTypedNameRules)
{
    const std::string path = TempPath("names.ovx");
    WriteAll(path, R"(<?xml version="1.0"?><Projet>
        <Couche><Nom>a|b</Nom><Discontinuites>F|1|G|</Discontinuites></Couche>
        <Couche><Nom>A</Nom></Couche>
        <Couche><Nom>A</Nom></Couche>
        <Couche><Nom/></Couche>
        <Discontinuite><Nom>F|1</Nom></Discontinuite>
        <Discontinuite><Nom>G</Nom></Discontinuite>
        <Coupe><Nom>C</Nom><Couches>a|b|A|</Couches><CoordCouche/><CoordCouche/></Coupe>
        <Sondage><Nom>S</Nom></Sondage><Sondage><Nom>S</Nom></Sondage><Sondage><Nom/></Sondage>
        <Coupe><Nom>C</Nom></Coupe>
        <Echelle>100</Echelle></Projet>)");
    for (int pass = 0; pass < 2; ++pass)
    {
        ui.ClearLog();
        gProjet.Open(path);
        EXPECT_EQ(gProjet.GetCoucheNames(), (std::vector<std::string>{"a-b", "A", "A (2)", "Couche 4"}));
        EXPECT_EQ(gProjet.GetDiscontinuiteNames(), (std::vector<std::string>{"F-1", "G"}));
        ASSERT_EQ(gProjet.GetNumberOfCoupes(), 2);
        EXPECT_EQ(gProjet.GetCoupe(0)->Couches, (std::vector<std::string>{"a-b", "A"}));
        EXPECT_EQ(gProjet.GetCoupe(1)->Nom, "C (2)");
        ASSERT_EQ(gProjet.GetNumberOfSondages(), 3);
        EXPECT_EQ(gProjet.GetSondage(0)->Nom, "S");
        EXPECT_EQ(gProjet.GetSondage(1)->Nom, "S (2)");
        EXPECT_EQ(gProjet.GetSondage(2)->Nom, "Sondage 3");
        EXPECT_EQ(gProjet.GetCouche(0)->Discontinuites, (std::vector<std::string>{"F-1", "G"}));
        EXPECT_EQ(gProjet.IsModified(), pass == 0);
        if (pass == 1)
        {
            EXPECT_TRUE(ui.Boxes.empty());
            break;
        }
        ASSERT_EQ(ui.Boxes.size(), 1u);
        EXPECT_EQ(ui.Boxes[0].Caption, "Information");
        EXPECT_EQ(ui.Boxes[0].Text, "Des noms lus dans le fichier '" + path +
                                        "' ne sont pas valides :\nLa couche 'a|b' est renommée 'a-b'.\n"
                                        "La couche 'A' est renommée 'A (2)'.\nLa couche '' est renommée "
                                        "'Couche 4'.\nLe sondage 'S' est renommé 'S (2)'.\nLe sondage '' est "
                                        "renommé 'Sondage 3'.\nLa coupe 'C' est renommée 'C (2)'.\nLa "
                                        "discontinuité 'F|1' est renommée 'F-1'.");
        ASSERT_TRUE(gProjet.Save());
    }
    std::remove(path.c_str());
}

// Borehole and section points of a file whose Param names no element (the
// largest int among them, which the next insertion would overflow) become
// free points, with a box; the others stay and follow an insertion.
TEST_F(ProjetOVXTest, StrayBoreholeAndSectionPointsBecomeFreePoints)
{
    const std::string path = TempPath("stray.ovx");
    std::string mesh, types;
    for (const auto& [type, param] : {std::pair{3, 0}, {3, 2147483647}, {3, -1}, {4, 0}})
    {
        mesh += "<Vertex Exist=\"1\" X=\"0\" Y=\"0\" Z=\"0\" Edge=\"-1\"/>";
        types += "<TV Type=\"" + std::to_string(type) + "\" Param=\"" + std::to_string(param) + "\"/>";
    }
    WriteAll(path, "<?xml version=\"1.0\"?><Projet><Couche><Nom>A</Nom><Mesh><Vertices>" + mesh +
                       "</Vertices><Edges/><Faces/></Mesh><TypesVertex><Types>" + types +
                       "</Types></TypesVertex></Couche><Sondage><Nom>S</Nom></Sondage></Projet>");
    gProjet.Open(path);
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text,
              "Des points lus dans le fichier '" + path +
                  "' ne sont pas valides :\nLa couche 'A' a 2 points de sondage qui ne "
                  "renvoient à aucun sondage : ils deviennent des points libres.\nLa couche "
                  "'A' a 1 point de coupe qui ne renvoie à aucune coupe : il devient un point "
                  "libre.");
    EXPECT_TRUE(gProjet.IsModified());
    gProjet.SetSondage(new Sondage("T", LumPoint(), false), 0, false, false);
    std::vector<std::pair<int, int>> records;
    for (int id = 0; id < 4; ++id)
        records.emplace_back(gProjet.GetCouche(0)->GetVertexType(id).Type,
                             gProjet.GetCouche(0)->GetVertexType(id).Param);
    EXPECT_EQ(records, (std::vector<std::pair<int, int>>{{3, 1}, {1, 0}, {1, 0}, {1, 0}}));
    ASSERT_TRUE(gProjet.Save());
    ui.ClearLog();
    gProjet.Open(path);
    EXPECT_TRUE(ui.Boxes.empty());
    std::remove(path.c_str());
}

// Files that hold no readable project: a message naming the file, and no
// project left open, not even the name of the one before.
TEST_F(ProjetOVXTest, UnreadableFilesLeaveNoProject)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    for (int i = 0; i < 100000; ++i)
        deep += "</a>";
    const std::string binary("\x00\xff\x13<Projet>\x00\x01", 12);
    struct Case
    {
        const char* name;
        std::string content;
        bool parses;
    };
    const Case cases[] = {
        {"truncated", "<?xml version=\"1.0\"?><Projet><Nom>x</Nom><Echelle>5", false},
        {"binary", binary, false},
        {"empty", "", false},
        {"other", "<?xml version=\"1.0\"?><Tete><Largeur>1</Largeur></Tete>", true},
        // A NUL that would cut a name, forbidden by XML.
        {"NUL", "<?xml version=\"1.0\"?><Projet><Couche><Nom>a&#0;b</Nom></Couche></Projet>", false},
        {"deep", deep, true},
        // A mesh identifier beyond int.
        {"identifier",
         "<?xml version=\"1.0\"?><Projet><Couche><Nom>A</Nom><Mesh><Vertices><Vertex Exist=\"1\" X=\"0\" "
         "Y=\"0\" Z=\"0\" Edge=\"9999999999\"/></Vertices><Edges/><Faces/></Mesh></Couche></Projet>",
         false},
        {"missing", "", false},
        // Not regular files: reading would block for a writer, or never end.
        {"fifo", "", false},
        {"/dev/zero", "", false},
    };
    const std::string good = TempPath("good.ovx");
    gProjet.Nom = good;
    ASSERT_TRUE(gProjet.Save());
    for (const Case& c : cases)
    {
        gProjet.Open(good);
        gProjet.EquationCout = "V";
        ASSERT_EQ(gProjet.Nom, good);
        ui.ClearLog();
        const std::string name = c.name;
        const std::string path = name[0] == '/' ? name : TempPath(name);
        if (name == "fifo")
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        else if (name != "missing" && name[0] != '/')
            WriteAll(path, c.content);
        gProjet.Open(path);
        ASSERT_EQ(ui.Boxes.size(), 1u) << c.name;
        EXPECT_EQ(ui.Boxes[0].Caption, "Erreur");
        EXPECT_EQ(ui.Boxes[0].Text, c.parses ? "Aucun projet disponible dans le fichier '" + path + "'"
                                             : "Impossible de charger un projet depuis '" + path + "'")
            << c.name;
        EXPECT_TRUE(gProjet.Nom.empty()) << c.name;
        EXPECT_EQ(gProjet.EquationCout, "300*S+10*V");
        EXPECT_FALSE(gProjet.IsModified());
        EXPECT_EQ(ui.Title, "Ovalis 1.0.5");
        // Once by the Close that starts Open, once by the failure.
        EXPECT_EQ(ui.Count("SetNoProjectInterface"), 2) << c.name;
        EXPECT_EQ(ui.Count("EnableModeTools"), 0) << c.name;
        EXPECT_EQ(ui.Calls.back(), "SetCursor arrow");
        if (name[0] != '/')
            std::remove(path.c_str());
    }
    std::remove(good.c_str());
}

// A raw group nested as deep as saved elements go is kept; a deeper one
// (which written back indented would grow with the square of its depth) is
// refused. The results read only their own children: a deep subtree under
// them is passed over and the project opens.
TEST_F(ProjetOVXTest, NestingOfGroupsIsBounded)
{
    const struct
    {
        int depth;
        bool kept;
    } cases[] = {{RawXMLElement::MaxDepth, true}, {RawXMLElement::MaxDepth + 1, false}, {100000, false}};
    const std::string path = TempPath("deep.ovx");
    for (const auto& c : cases)
    {
        std::string deep = "<Resultats>";
        for (int i = 0; i < c.depth; ++i)
            deep += "<a>";
        deep += "z";
        for (int i = 0; i < c.depth; ++i)
            deep += "</a>";
        deep += "</Resultats>";
        const XMLNode node = XMLNode::parseString(deep).getChildNode("Resultats");
        RawXMLElement raw("Resultats");
        bool refused = false;
        try
        {
            raw.FromXML(node);
        }
        catch (...)
        {
            refused = true;
        }
        EXPECT_EQ(refused, !c.kept) << c.depth;

        ui.ClearLog();
        WriteAll(path, "<?xml version=\"1.0\"?><Projet><Nom>/other/file.ovx</Nom>" + deep + "</Projet>");
        gProjet.Open(path);
        EXPECT_EQ(gProjet.Nom, path) << c.depth;
        EXPECT_TRUE(ui.Boxes.empty());
    }

    // A file refused after its head was read leaves the head held before.
    WriteAll(path, "<?xml version=\"1.0\"?><Projet><Tete><lp>17</lp></Tete></Projet>");
    gProjet.Open(path);
    WriteAll(path, "<?xml version=\"1.0\"?><Projet><Tete><lp>18</lp></Tete><Couche><Nom>c</Nom>"
                   "<Mesh><Vertices><Vertex Id=\"0\" Exist=\"1\" X=\"nan\" Y=\"0\" Z=\"0\"/></Vertices>"
                   "</Mesh></Couche></Projet>");
    gProjet.Open(path);
    ASSERT_TRUE(gProjet.Nom.empty());
    ui.PathAnswers = {path};
    ASSERT_TRUE(gProjet.SaveAs());
    const std::string saved = ReadAll(path);
    EXPECT_NE(saved.find("<lp>17.000000</lp>"), std::string::npos);
    std::remove(path.c_str());
}

// A scale that would make every conversion infinite or NaN reads as 100,
// says so, and leaves the project modified so that the fix is saved.
TEST_F(ProjetOVXTest, InvalidScaleReadsAsOneHundred)
{
    struct Case
    {
        const char* text;
        double read;
    };
    const Case cases[] = {{"nan", 100.0}, {"inf", 100.0},     {"-inf", 100.0},
                          {"0", 100.0},   {"0.00001", 100.0}, {"-3", 100.0},
                          {"abc", 100.0}, {"0.0001", 0.0001}, {"250", 250.0}};
    const std::string path = TempPath("scale.ovx");
    for (const Case& c : cases)
    {
        gProjet.GetUndoManager().Clear();
        ui.ClearLog();
        WriteAll(path, std::string("<?xml version=\"1.0\"?><Projet><Echelle>") + c.text +
                           "</Echelle><OrigineCameraX>3.5</OrigineCameraX></Projet>");
        gProjet.Open(path);
        EXPECT_EQ(gProjet.Echelle, c.read) << c.text;
        EXPECT_EQ(gProjet.OrigineCameraX, 3.5);
        EXPECT_EQ(gProjet.Nom, path);
        const bool fixed = c.read == 100.0;
        EXPECT_EQ(gProjet.IsModified(), fixed) << c.text;
        ASSERT_EQ(ui.Boxes.size(), fixed ? 1u : 0u) << c.text;
        if (fixed)
        {
            EXPECT_EQ(ui.Boxes[0].Text, "L'échelle lue dans le fichier '" + path +
                                            "' n'est pas valide : la valeur 100 est utilisée.");
            EXPECT_EQ(ui.Boxes[0].Caption, "Information");
        }
    }
    std::remove(path.c_str());
}

// Saving a project that has no file yet asks for one; cancelling keeps
// the project modified, and closing it then is cancelled too.
TEST_F(ProjetOVXTest, SaveWithoutAPathAsksForOne)
{
    gProjet.MarkModified();
    EXPECT_FALSE(gProjet.Save());
    ASSERT_EQ(ui.FileRequests.size(), 1u);
    EXPECT_EQ(ui.FileRequests[0].Title, "Choisissez un fichier");
    EXPECT_EQ(ui.FileRequests[0].Wildcard, "Ovalis files (*.ovx)|*.ovx");
    EXPECT_TRUE(ui.FileRequests[0].Save);
    EXPECT_TRUE(gProjet.IsModified());
    // A Save As that cannot write keeps the project's name.
    ui.PathAnswers = {TempPath("none/x.ovx")};
    EXPECT_FALSE(gProjet.SaveAs());
    EXPECT_TRUE(gProjet.Nom.empty());

    ui.BoxAnswers = {ModelUi::IdYes};
    EXPECT_EQ(gProjet.Close(), ModelUi::IdCancel);
    // Headless, the question is cancelled: nothing is written or lost.
    SetModelUi(nullptr);
    EXPECT_EQ(gProjet.Close(), ModelUi::IdCancel);
    SetModelUi(&ui);
    EXPECT_EQ(ui.Boxes.back().Text, kCloseQuestion);
    EXPECT_EQ(ui.Boxes.back().Kind, ModelUi::Buttons::YesNoCancel);
    EXPECT_TRUE(gProjet.IsModified());

    const std::string path = TempPath("chosen.ovx");
    ui.BoxAnswers = {ModelUi::IdYes};
    ui.PathAnswers = {path};
    EXPECT_EQ(gProjet.Close(), ModelUi::IdOk);
    EXPECT_FALSE(gProjet.IsModified());
    EXPECT_EQ(std::string(XMLNode::parseFile(path).getChildNode("Projet").getChildNode("Nom").getText()),
              path);
    // A project saved under a new name shows it.
    gProjet.MarkModified();
    ui.PathAnswers = {path};
    EXPECT_TRUE(gProjet.SaveAs());
    EXPECT_EQ(ui.Title, "Ovalis 1.0.5 - vorn_" + std::to_string(getpid()) + "_chosen");
    std::remove(path.c_str());
}

// A save that cannot complete reports it, leaves the file on disk as it
// was and the project modified, so that Close does not throw it away. The
// superuser is refused too.
TEST_F(ProjetOVXTest, FailedSaveReportsAndKeepsTheOldFile)
{
    const std::string folder = TempPath("savefail");
    mkdir(folder.c_str(), 0700);
    const std::string directory = folder + "/dir.ovx";
    mkdir(directory.c_str(), 0700);
    const std::string regular = folder + "/plain";
    WriteAll(regular, "not a folder");
    const std::string old = folder + "/old.ovx";
    gProjet.Nom = old;
    gProjet.EquationCout = std::string(100000, 'S');
    ASSERT_TRUE(gProjet.Save());
    const std::string oldBytes = ReadAll(old);
    gProjet.EquationCout = std::string(200000, 'V');

    struct Case
    {
        const char* name;
        std::string target;
        bool limitFileSize;
    };
    const Case cases[] = {
        {"directory", directory, false},
        {"folder is a file", regular + "/p.ovx", false},
        {"file system refuses", old, true},
    };
    for (const Case& c : cases)
    {
        ui.ClearLog();
        gProjet.MarkModified();
        gProjet.Nom = c.target;
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (c.limitFileSize)
        {
            rlimit small = saved;
            small.rlim_cur = 4096;
            setrlimit(RLIMIT_FSIZE, &small);
        }
        const bool ok = gProjet.Save();
        ui.BoxAnswers = {ModelUi::IdYes};
        const int closed = gProjet.Close();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(ok) << c.name;
        ASSERT_EQ(ui.Boxes.size(), 3u) << c.name;
        EXPECT_EQ(ui.Boxes[0].Text, "Impossible d'enregistrer le projet dans le fichier '" + c.target + "'");
        EXPECT_EQ(ui.Boxes[0].Caption, "Erreur");
        EXPECT_EQ(ui.Boxes[1].Text, kCloseQuestion);
        EXPECT_EQ(ui.Boxes[2].Text, ui.Boxes[0].Text);
        EXPECT_TRUE(gProjet.IsModified()) << c.name;
        EXPECT_EQ(closed, ModelUi::IdCancel) << c.name;
        EXPECT_EQ(gProjet.EquationCout, std::string(200000, 'V'));
    }
    EXPECT_EQ(ReadAll(old), oldBytes);
    struct stat info;
    ASSERT_EQ(stat(directory.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(ReadAll(regular), "not a folder");
    gProjet.GetUndoManager().Clear();
    std::remove(old.c_str());
    std::remove(regular.c_str());
    rmdir(directory.c_str());
    rmdir(folder.c_str());
}

// A writable file in a folder that takes no new file cannot be replaced
// safely: the box says why, after its usual text.
TEST_F(ProjetOVXTest, SaveIntoAFolderTakingNoNewFileSaysWhy)
{
    const std::string folder = TempPath("lockedfolder"), path = folder + "/p.ovx";
    mkdir(folder.c_str(), 0755);
    WriteAll(path, "ancien");
    gProjet.Nom = path;
    gProjet.MarkModified();
    const std::string box = "Impossible d'enregistrer le projet dans le fichier '" + path +
                            "'\nLe dossier '" + folder +
                            "' n'autorise pas la création de fichiers : l'enregistrement y écrit d'abord un "
                            "fichier provisoire, qui remplace ensuite l'ancien.";
    const auto save = [&] { return !gProjet.Save() && ui.Boxes.size() == 1 && ui.Boxes[0].Text == box; };
    EXPECT_TRUE(RunWithUnwritableFolder(folder, path, save));
    EXPECT_EQ(ReadAll(path), "ancien");
    gProjet.GetUndoManager().Clear();
    std::remove(path.c_str());
    rmdir(folder.c_str());
}

class CountingWindow : public SectionWindow
{
public:
    explicit CountingWindow(bool shown) : mShown(shown) {}
    bool IsShown() const override { return mShown; }
    void Update() override { ++Updates; }
    int Updates = 0;

private:
    bool mShown;
};

// Of the ten display switches only the head's updates the section windows,
// and only the shown ones still registered.
TEST_F(ProjetOVXTest, HeadSwitchAloneUpdatesShownSectionWindows)
{
    CountingWindow shown(true), hidden(false), removed(true);
    for (CountingWindow* window : {&shown, &hidden, &removed})
        gProjet.AddWindow(window);
    gProjet.RemoveWindow(&removed);
    void (ProjetOVX::*setters[])(bool) = {
        &ProjetOVX::Set3DTriangles,      &ProjetOVX::Set3DSegments,
        &ProjetOVX::Set3DPoints,         &ProjetOVX::Set3DLignes,
        &ProjetOVX::Set3DSondages,       &ProjetOVX::Set3DAxe,
        &ProjetOVX::Set3DAffichageTete,  &ProjetOVX::Set3DAffichageLigneIntersection,
        &ProjetOVX::Set3DAffichageInfos, &ProjetOVX::SetTravauxTransparence};
    for (auto setter : setters)
        (gProjet.*setter)(true);
    EXPECT_EQ(shown.Updates, 1);
    EXPECT_EQ(hidden.Updates + removed.Updates, 0);
    EXPECT_TRUE(gProjet.m3DAffichageTete && gProjet.m3DSegments && gProjet.TravauxTransparence);
    EXPECT_EQ(ui.Count("ShowDisplaySwitch"), 10);
    EXPECT_EQ(ui.Calls[6], "ShowDisplaySwitch 52 1");
    gProjet.RemoveWindow(&shown);
    gProjet.RemoveWindow(&hidden);
}

// The current layer is -1 or a valid index, in the project, the palette's
// choice and its layer tools alike, whether set or read from a file.
TEST_F(ProjetOVXTest, CurrentLayerIsNoneOrValid)
{
    const std::string path = TempPath("layers.ovx");
    WriteAll(path, "<?xml version=\"1.0\"?><Projet><CoucheCourante>7</CoucheCourante><FondUtilise>0"
                   "</FondUtilise><Couche><Nom>A</Nom></Couche><Couche><Nom>B</Nom></Couche></Projet>");
    gProjet.Open(path);
    EXPECT_EQ(gProjet.CoucheCourante, -1);
    EXPECT_EQ(gProjet.FondUtilise, -1);
    const int cases[][2] = {{1, 1}, {0, 0}, {2, -1}, {-1, -1}, {-5, -1}};
    for (const auto& c : cases)
    {
        gProjet.SetCoucheCourante(c[0]);
        EXPECT_EQ(gProjet.CoucheCourante, c[1]) << c[0];
        EXPECT_EQ(ui.LayerSelection, c[1]);
        EXPECT_EQ(ui.LayerToolsEnabled, c[1] >= 0);
    }
    std::remove(path.c_str());
}

// A name chosen without an extension is saved with ".ovx", the form Open's
// filter shows; an existing file of the completed name is replaced only
// after Yes, and No asks for a name again. Another extension is kept.
TEST_F(ProjetOVXTest, SaveAsCompletesANameWithoutExtension)
{
    const std::string typed = TempPath("projet");
    const std::string completed = typed + ".ovx";
    std::remove(completed.c_str());
    gProjet.MarkModified();
    ui.PathAnswers = {typed};
    ASSERT_TRUE(gProjet.SaveAs());
    EXPECT_EQ(gProjet.Nom, completed);
    EXPECT_FALSE(std::ifstream(typed).good());
    EXPECT_NE(ReadAll(completed).find("<Projet>"), std::string::npos);
    EXPECT_TRUE(ui.Boxes.empty());

    // No keeps the file and asks again; a cancelled dialog then saves nothing.
    WriteAll(completed, "old");
    gProjet.MarkModified();
    ui.PathAnswers = {typed};
    ui.BoxAnswers = {ModelUi::IdNo};
    ui.FileRequests.clear();
    EXPECT_FALSE(gProjet.SaveAs());
    EXPECT_EQ(ReadAll(completed), "old");
    EXPECT_EQ(ui.FileRequests.size(), 2u);
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "Le fichier '" + completed + "' existe déjà.\nVoulez-vous le remplacer ?");
    EXPECT_EQ(ui.Boxes[0].Caption, "Enregistrer sous");
    EXPECT_EQ(ui.Boxes[0].Kind, ModelUi::Buttons::YesNo);
    EXPECT_TRUE(gProjet.IsModified());

    // No, then Yes on the name typed again: replaced.
    ui.ClearLog();
    ui.PathAnswers = {typed, typed};
    ui.BoxAnswers = {ModelUi::IdNo, ModelUi::IdYes};
    ASSERT_TRUE(gProjet.SaveAs());
    EXPECT_EQ(ui.Boxes.size(), 2u);
    EXPECT_NE(ReadAll(completed).find("<Projet>"), std::string::npos);
    EXPECT_FALSE(gProjet.IsModified());

    // A name with an extension of its own is kept, and the file dialog's
    // own question stands for it.
    const std::string other = TempPath("projet.xml");
    WriteAll(other, "old");
    ui.ClearLog();
    ui.PathAnswers = {other};
    ASSERT_TRUE(gProjet.SaveAs());
    EXPECT_EQ(gProjet.Nom, other);
    EXPECT_TRUE(ui.Boxes.empty());
    std::remove(completed.c_str());
    std::remove(other.c_str());
}
} // namespace
