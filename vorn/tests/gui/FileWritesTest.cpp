// Every file the program writes, through the command the user runs: Save As,
// the trench head, the three CSV exports, the layer's DXF and the section
// image in its three formats; each through a file-size limit, into a
// read-only folder and through a dangling link. A failure is told with the
// command's message and leaves the old file byte for byte and no side file;
// a success leaves exactly the bytes of an unconstrained run.

#include "CoupeTerrain.h"
#include "CurvesModel.h"
#include "DialogTete.h"
#include "FenetreCoupe.h"
#include "KorString.h"
#include "ProjectFrameTest.h"
#include "ResultatsOVX.h"
#include "ResultsTable.h"
#include "Sondage.h"
#include "TestFiles.h"
#include "View3D.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <iostream>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <tuple>
#include <unistd.h>

namespace fs = std::filesystem;

using TestFiles::Names;
using TestFiles::ReadAll;

namespace
{
// The process's file-size limit while it lives, SIGXFSZ ignored as the
// program does, so that a write past the limit fails.
struct FileSizeLimit
{
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
    }
    rlimit saved{};
    void (*handler)(int) = nullptr;
};

class FileWritesTest : public ProjectFrameTest
{
protected:
    void SetUp() override { OpenProjectFrame(); }
    void TearDown() override
    {
        if (section)
            section->Destroy();
        gProjet.Nom = projectPath;
        CloseProjectFrame();
    }
    CoupeTerrain* section = nullptr;
};

TEST_F(FileWritesTest, EachWriteIsWholeOrKeepsTheOldFile)
{
    gProjet.SetApplicationFolder(GetFolderFromPath(VORN_PROGRAM)); // the DXF templates
    AddSquareLayer("Couche", 0, 7)->Triangulate();
    gProjet.SetSondage(new Sondage("S1", LumPoint(10, 20, 7), false), -1, false, false);
    ResultsTable table;
    table.Build({"Couche"}, false, 45, {829.0}, {std::vector<double>(13, 12.5)});
    ResultatsOVX& results = gProjet.GetResultats();
    results.Clear();
    results.BuildVariableNames(false, 45, 1);
    results.Axe1 = {-1.0, 2.0};
    for (double v : {829.0, 1234567.0})
        results.AddRecord(LumPoint(), {v}, {std::vector<double>(13, 1.0)}, 2.0);
    CurvesModel curves;
    curves.Select(results, "V");
    SectionPlane plane;
    plane.First = LumPoint(-90, 0, 0);
    plane.Second = LumPoint(90, 0, 0);
    section = new CoupeTerrain(plane, "Coupe A", false, false);
    section->Show();
    GuiTest::WaitFor([this] { return section->IsShownOnScreen(); });
    DialogTete* head = frame->GetHeadDialog();

    const std::string csv = "Erreur: Impossible d'exporter sous le fichier '";
    const std::string image = "Erreur: Impossible d'exporter l'image dans le fichier '";
    const auto exportImage = [&] { section->Drawing->ExportImage(); };
    // Each command asks for its file (the answer is queued), then writes.
    const std::vector<std::tuple<std::string, std::function<void()>, std::string>> targets = {
        {"ovx", [] { gProjet.SaveAs(); }, "Erreur: Impossible d'enregistrer le projet dans le fichier '"},
        {"ovr",
         [&]
         {
             wxCommandEvent click(wxEVT_BUTTON, 66);
             click.SetEventObject(head->FindWindow(66));
             head->GetEventHandler()->ProcessEvent(click);
         },
         "Erreur: Impossible d'enregistrer la tête de tranchée dans le fichier '"},
        {"csv", [] { gProjet.ExportSondagesCSV(); }, csv},
        {"csv", [&] { table.ExportCSV(); }, csv},
        {"csv", [&] { curves.ExportCSV(); }, csv},
        {"dxf",
         []
         {
             gPickedCouche = 0;
             OnExportCoucheDXF();
         },
         "Message: Impossible d'exporter la couche dans le fichier '"},
        {"png", exportImage, image},
        {"jpg", exportImage, image},
        {"bmp", exportImage, image}};
    enum Fault
    {
        LimitBelow,     // a file-size limit of half the file: refused
        LimitExact,     // a limit of exactly its size: written
        DanglingLink,   // the link stays, the file it names is written
        ReadOnlyFolder, // refused
    };
    std::vector<Fault> faults = {LimitBelow, LimitExact, DanglingLink, ReadOnlyFolder};
    if (geteuid() == 0)
    {
        faults.pop_back();
        std::cout << "Read-only folder left out: the superuser writes any folder\n";
    }
    const std::string old = "ancien contenu\n";
    for (size_t t = 0; t < targets.size(); ++t)
        for (Fault fault : faults)
        {
            const auto& [extension, command, message] = targets[t];
            const std::string what = std::to_string(t) + " " + extension + " fault " + std::to_string(fault);
            std::string folder = testing::TempDir() + "vorn_writes_XXXXXX";
            ASSERT_NE(mkdtemp(folder.data()), nullptr);
            const std::string name = "sortie." + extension, path = folder + "/" + name;
            const auto run = [&]
            {
                ui->boxes.clear();
                ui->paths = {path};
                command();
            };
            run(); // the reference, on the same path
            ASSERT_TRUE(ui->boxes.empty()) << what << ": " << ui->boxes[0];
            const std::string reference = ReadAll(path);
            std::set<std::string> names = {name};
            if (fault == DanglingLink)
            {
                fs::remove(path);
                fs::create_directory(folder + "/ailleurs");
                fs::create_symlink("ailleurs/" + name, path);
                names.insert("ailleurs");
            }
            else
                std::ofstream(path, std::ios::binary) << old;
            {
                std::unique_ptr<FileSizeLimit> limit;
                if (fault == LimitBelow || fault == LimitExact)
                    limit = std::make_unique<FileSizeLimit>(reference.size() / (fault == LimitBelow ? 2 : 1));
                if (fault == ReadOnlyFolder)
                    chmod(folder.c_str(), 0555);
                run();
                chmod(folder.c_str(), 0755);
            }
            if (fault == LimitBelow || fault == ReadOnlyFolder)
            {
                // A folder that takes no new file is the one fault the box
                // explains.
                const std::string why = "\nLe dossier '" + folder +
                                        "' n'autorise pas la création de fichiers : l'enregistrement y écrit "
                                        "d'abord un fichier provisoire, qui remplace ensuite l'ancien.";
                ASSERT_EQ(ui->boxes.size(), 1u) << what;
                EXPECT_EQ(ui->boxes[0], message + path + "'" + (fault == ReadOnlyFolder ? why : "")) << what;
                EXPECT_EQ(ReadAll(path), old) << what;
            }
            else
            {
                EXPECT_TRUE(ui->boxes.empty()) << what << ": " << ui->boxes[0];
                EXPECT_EQ(ReadAll(path), reference) << what; // through the link too
            }
            EXPECT_EQ(Names(folder), names) << what;
            if (fault == DanglingLink)
            {
                EXPECT_TRUE(fs::is_symlink(path)) << what;
                EXPECT_EQ(Names(folder + "/ailleurs"), std::set<std::string>{name}) << what;
            }
            fs::remove_all(folder);
        }
}
} // namespace
