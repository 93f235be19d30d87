// Any file opens as a project or is refused with a message, never a crash
// or a hang; the axis read computes its points, head and graduation; a
// project that opened saves, opens again and saves to the same bytes. Its
// layers then triangulate, answer altitudes (the grid's faces agreeing with
// the scan, every altitude finite), and the triangulated project, its first
// point and line deleted with undo, saves and opens again. Boreholes and
// sections then give their points and their CSV; the first of each, the
// first section's layer and a copied layer are deleted with undo, undone,
// redone and undone; families, scenery objects and background plans are
// edited, and every edit undone and redone. The results read are costed,
// queried, shown as curves and exported, and the head put back at their
// first calculation and undone. Runs headless (the default NullUi), in a
// folder of its own. A save the file system refuses (a full disk, a folder
// taken away) ends the run of that input without a fault: only a save
// refused on a sound file system is one.
#include "Axe.h"
#include "CalculSeries.h"
#include "Couche.h"
#include "Coupe.h"
#include "CurvesModel.h"
#include "Decor.h"
#include "Discontinuite.h"
#include "ElementRecorders.h"
#include "FondPlan.h"
#include "LigneNiveau.h"
#include "OVXAction.h"
#include "PointSondage.h"
#include "ProjetOVX.h"
#include "ResultatsOVX.h"
#include "Sondage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/statvfs.h>
#include <unistd.h>

namespace
{
std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string MakeFolder()
{
    std::string name = (std::filesystem::temp_directory_path() / "projet_fuzz_XXXXXX").string();
    if (!mkdtemp(name.data()))
    {
        std::perror("ProjetOVXFuzz: no folder of its own");
        std::abort();
    }
    return name;
}

void RemoveFolder();

// The process's own folder, made at the first run and removed at exit (the
// removal is registered once the name stands, so it runs before the name
// is destroyed).
const std::string& Folder()
{
    static const std::string folder = MakeFolder();
    static const bool removedAtExit = std::atexit(RemoveFolder) == 0;
    (void)removedAtExit;
    return folder;
}

void RemoveFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
}

// Whether the file system, not the program, stands in the way of a save:
// the folder gone or closed to writing, or its disk about full (under
// 64 MiB free, many times the projects these inputs make, or no inode
// left).
bool FileSystemRefuses()
{
    constexpr unsigned long long kRoom = 64ull << 20;
    struct statvfs disk;
    return statvfs(Folder().c_str(), &disk) != 0 || access(Folder().c_str(), W_OK | X_OK) != 0 ||
           static_cast<unsigned long long>(disk.f_bavail) * disk.f_frsize < kRoom || disk.f_favail == 0;
}

// An outside refusal of a save: the input is left there.
struct SaveRefused
{
};

// Saves the project: a refusal the file system explains throws SaveRefused,
// any other is a fault.
void Save()
{
    if (gProjet.Save())
        return;
    if (FileSystemRefuses())
        throw SaveRefused();
    std::abort();
}

// Opens the file after a clean close (the headless answer to the save
// question is Cancel); true when the project opened.
bool OpenClean(const std::string& path)
{
    gProjet.GetUndoManager().Clear();
    gProjet.Open(path);
    return gProjet.Nom == path;
}

// Every query of the axis read, on both types; none may hang on what a file
// holds (infinite points, a NaN head, a negative scale).
void ExerciseAxe()
{
    Axe& axe = gProjet.GetAxe();
    const int type = axe.Type;
    for (int t : {type, 0, 1})
    {
        axe.Type = t;
        std::vector<LumPoint> points;
        axe.GetPoints(points);
        LumPoint head;
        double direction = 0.0, slope = 0.0;
        axe.GetHeadPosition(head, direction, slope);
        axe.GetHeadDistance();
        axe.GetPointAtDistance(axe.PositionTeteMultiligne);
        axe.ComputeGraduation();
        if (axe.GetTicks().size() > 2u * Axe::MaxTicks)
            std::abort();
    }
    axe.Type = type;
    // The excavation's placement of the interface's head over the file's
    // first layer, whatever size its box has.
    LumPoint head;
    KorMesh placed;
    axe.PlaceHead(head, placed);
}

void Query(Couche& couche, double x, double y)
{
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (couche.GetFaceAt(fx, fy) != couche.GetFaceAtByScan(fx, fy))
        std::abort();
    double z = 0.0;
    if (couche.GetAltitude(x, y, z) && !std::isfinite(z))
        std::abort();
}

// Every identifier a level line lists names a contour point of that line.
void CheckLines(const Couche& couche)
{
    for (int l = 0; l < couche.GetNumberOfLignesNiveau(); ++l)
        for (int id : couche.GetLigneNiveau(l)->Points)
            if (couche.GetVertexType(id).Type != 2 || couche.GetVertexType(id).Param != l)
                std::abort();
}

// Deletes the first live vertex and the first level line with their undo
// records, then undoes, redoes and undoes both.
void EditLayer(Couche& couche)
{
    OVXUndoManager& undo = gProjet.GetUndoManager();
    undo.Clear();
    const KorMesh& mesh = couche.GetMesh();
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (mesh.GetVertex(id))
        {
            couche.DeletePoint(id, true);
            break;
        }
    couche.DeleteLigneNiveau(0, true);
    for (int step = 0; step < 3; ++step)
    {
        CheckLines(couche);
        if (step == 1)
            undo.Redo(), undo.Redo();
        else
            undo.Undo(), undo.Undo();
    }
    CheckLines(couche);
}

// Triangulates every layer and asks altitudes at its vertices and between
// consecutive ones, a bounded number of queries per layer; then edits it.
void ExerciseLayers()
{
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
    {
        Couche& couche = *gProjet.GetCouche(i);
        couche.Triangulate();
        const KorMesh& mesh = couche.GetMesh();
        const KorVertex* previous = nullptr;
        int queries = 0;
        for (int id = 0; id < mesh.GetVertexVectorSize() && queries < 200; ++id, ++queries)
            if (const KorVertex* v = mesh.GetVertex(id))
            {
                Query(couche, v->X, v->Y);
                if (previous)
                    Query(couche, (v->X + previous->X) / 2.0, (v->Y + previous->Y) / 2.0);
                previous = v;
            }
        EditLayer(couche);
        // The families' traces on walls along the layer's own points, with
        // whatever spacing and scale the file gave.
        couche.FrontPoints.clear();
        for (int id = 0; id < mesh.GetVertexVectorSize() && couche.FrontPoints.size() < 50; ++id)
            if (const KorVertex* v = mesh.GetVertex(id))
                couche.FrontPoints.push_back(LumPoint(v->X, v->Y, v->Z));
        couche.BuildDiscontinuite3D(gProjet.Limite1.z - 1.0);
    }
    // The fronts of the file's layers over its zone: every walk ends,
    // whatever the surfaces.
    gProjet.SetGeometryChanged();
    gProjet.ComputeAllFronts();
}

// A few edits of every kind on what the file held, then the whole history
// undone and redone: nothing may crash or read out of bounds, whatever the
// values read (NaN, huge, negative indexes).
void Exercise()
{
    for (int i = 0; i < gProjet.GetNumberOfDiscontinuites() && i < 4; ++i)
    {
        Discontinuite* f = gProjet.GetDiscontinuite(i);
        f->ApplyEdit(f->Azimut + 1.0, f->Pendage, f->Espace * 2.0, f->EcartType, !f->OrigineAffichee);
        f->SetOrigine(f->Origine + LumPoint(1.0, 2.0, 3.0), true);
    }
    if (const Discontinuite* f = gProjet.GetDiscontinuite(0))
        gProjet.DeleteDiscontinuite(f->Nom, true);
    gProjet.AddDiscontinuite("F", true, true);
    for (int i = 0; i < gProjet.GetNumberOfDecors() && i < 4; ++i)
    {
        Decor* d = gProjet.GetDecor(i);
        d->ApplyTransform(0.0, LumPoint(), LumPoint(30.0, 0.0, 0.0), true);
        d->ApplyTransform(2.0, LumPoint(), LumPoint(), true);
        d->ApplyTransform(1.0, LumPoint(1.0, 0.0, 0.0), LumPoint(), true);
        d->SetAppearance(1, 2, 3, "t.png", true);
    }
    gProjet.DeleteDecor(0, true);
    gProjet.SetFondPlanPlacement(1.0, 2.0, 3.0, true, true);
    gProjet.SetEchelle(gProjet.Echelle / 2.0, true);
    gProjet.SetOrigine(1.0, 2.0, 3.0, 4.0, true);
    OVXUndoManager& undo = gProjet.GetUndoManager();
    for (unsigned i = undo.GetCount(); i > 0; --i)
        undo.Undo();
    for (unsigned i = undo.GetCount(); i > 0; --i)
        undo.Redo();
}

void UndoRedoUndo(int steps)
{
    OVXUndoManager& undo = gProjet.GetUndoManager();
    for (int i = 0; i < steps; ++i)
        undo.Undo();
    for (int i = 0; i < steps; ++i)
        undo.Redo();
    for (int i = 0; i < steps; ++i)
        undo.Undo();
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
        CheckLines(*gProjet.GetCouche(i));
}

// Whatever the file's rows, records and names hold: costs, values, the
// curves of a few names with their CSV, and the head put back at the first
// calculation, then undone and redone.
void ExerciseResults()
{
    ResultatsOVX& results = gProjet.GetResultats();
    results.EvaluateCosts("300*S+10*V+PF");
    for (int row = -1; row < 3; ++row)
        for (int column = -1; column < 3; ++column)
        {
            results.GetValue("V", row, column);
            results.GetValue("Coût", row, column);
            results.GetPosition(row, column);
        }
    CurvesModel model;
    std::vector<std::string> names(results.Variables.begin(),
                                   results.Variables.begin() + std::min<size_t>(results.Variables.size(), 4));
    names.push_back("Coûts");
    for (const std::string& name : names)
    {
        model.Select(results, name);
        std::ostringstream csv;
        model.WriteCSV(csv);
        model.GetLabels(results, 0, 0);
    }
    XMLNode axis = OVXAction::NewSnapshot();
    results.AxeResultats.ToXML(axis);
    gProjet.GetUndoManager().Clear();
    GoToSeriesPosition(axis, results, 0, 0);
    UndoRedoUndo(1);
}

void ExerciseElements()
{
    gProjet.GetUndoManager().Clear();
    for (int k = 0; k < gProjet.GetNumberOfSondages() && k < 50; ++k)
    {
        Sondage* sondage = gProjet.GetSondage(k);
        sondage->GetPointAtDepth();
        for (const auto& [layer, point] : sondage->GetPointsSondage())
            point->GetPosition();
    }
    std::ostringstream csv;
    gProjet.WriteSondagesCSV(csv);
    for (int k = 0; k < gProjet.GetNumberOfCoupes() && k < 50; ++k)
    {
        Coupe* coupe = gProjet.GetCoupe(k);
        for (const auto& list : coupe->Coordinates)
            for (size_t i = 0; i < list.size() && i < 50; ++i)
                coupe->GetScenePoint(list[i]);
    }
    int steps = 0;
    if (Sondage* first = gProjet.GetSondage(0))
    {
        gProjet.DeleteSondage(first->Nom, true);
        ++steps;
    }
    if (Coupe* first = gProjet.GetCoupe(0))
    {
        const std::string layer = first->GetCoucheName(0);
        gProjet.DeleteCoupe(first->Nom, true);
        ++steps;
        if (Couche* couche = gProjet.GetCouche(layer))
        {
            const int index = gProjet.GetCoucheIndex(couche);
            RecordCoucheDelete(couche, index, index == 0 && gProjet.GetNumberOfSondages() > 0);
            gProjet.DeleteCouche(index, 0);
            ++steps;
        }
    }
    if (gProjet.GetNumberOfCouches() > 0 &&
        gProjet.CreateCouche("Fuzz copie", 1, 2, true, std::string(), 50.0, 1.0))
        ++steps;
    UndoRedoUndo(steps);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = Folder() + "/projet.ovx";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.close();
        // An input the disk did not take whole would be another input.
        if (!out)
        {
            std::remove(path.c_str());
            return 0;
        }
    }
    try
    {
        if (OpenClean(path))
        {
            ExerciseAxe();
            Save();
            const std::string first = ReadAll(path);
            if (!OpenClean(path))
                std::abort();
            Save();
            if (ReadAll(path) != first)
                std::abort();
            ExerciseLayers();
            ExerciseResults();
            ExerciseElements();
            Save();
            if (!OpenClean(path))
                std::abort();
            Exercise();
        }
    }
    catch (const SaveRefused&)
    {
        // The next input opens after a clean close all the same (OpenClean).
    }
    std::remove(path.c_str());
    return 0;
}
