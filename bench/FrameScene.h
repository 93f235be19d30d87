#pragma once

// The program's real main frame for the benchmarks that draw: wx started
// on the display (Xvfb), the frame shown at 900 x 700 over a project at
// scale 100 (scene and world agree), and terrains of inclined planes with a
// sinusoid (LayeredTerrain).

#include "Axe.h"
#include "Couche.h"
#include "FenetreTunnel.h"
#include "InterfaceModes.h"
#include "LayeredTerrain.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "OVXUndoManager.h"
#include "ProjetOVX.h"

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/utils.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

namespace FrameScene
{
inline FenetreTunnel*& Frame()
{
    static FenetreTunnel* frame = nullptr;
    return frame;
}

// Lets the toolkit map and paint the frame.
inline void Pump(int rounds)
{
    for (int i = 0; i < rounds; ++i)
    {
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
}

// The frame over an empty project; false without a display.
inline bool Open()
{
    static std::string path;
    if (Frame())
        return true;
    path = wxFileName::CreateTempFileName("vornbench").ToUTF8().data();
    std::ofstream(path) << "<?xml version=\"1.0\"?>\n<Projet><Echelle>100</Echelle></Projet>\n";
#ifdef VORN_PROGRAM_DIR
    // The icons and cursors the frame loads stand beside the program.
    gProjet.SetApplicationFolder(VORN_PROGRAM_DIR);
#endif
    Frame() = new FenetreTunnel(nullptr, "Vorn", wxPoint(0, 0), wxSize(900, 700));
    Frame()->Show();
    Pump(40);
    gProjet.Open(path);
    std::remove(path.c_str());
    return !gProjet.Nom.empty();
}

// Replaces the project's layers with `layers` terrains of about `triangles`
// triangles each over [-250, 250]^2, 6 m apart, the polyline axis along +Y
// with the head at its middle, the zone over the terrain; then the 3D view,
// seen from the south-west.
inline void BuildScene(int layers, int triangles)
{
    while (gProjet.GetNumberOfCouches() > 0)
        gProjet.DeleteCouche(0, -1);
    LayeredTerrain::Add(layers, triangles);
    Axe& axe = gProjet.GetAxe();
    axe.SetHeadPositionAtDistance(1000.0);
    gProjet.Limite1 = LumPoint(-240, 240, 0);
    gProjet.Limite2 = LumPoint(240, -240, 0);
    gProjet.Set3DGeometryChanged();
    gProjet.GetUndoManager().Clear();
    GetModelUi().EnterVisualisationMode(false);
    LumCamera* camera = Frame()->GetMainDevice()->GetCamera();
    camera->SetTarget(LumPoint(0, 0, 0));
    camera->SetPosition(LumPoint(-350, -450, 300));
}

// One frame of the main view, waited for.
inline void DrawFrame()
{
    Frame()->GetMainDevice()->RenderFrame();
    glFinish();
}

// wx started on the display, then the benchmarks; the frame closed last.
inline int Main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    wxInitializer initializer(argc, argv);
    if (!initializer.IsOk())
    {
        std::fprintf(stderr, "wxWidgets could not start (is there a display?)\n");
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxInitAllImageHandlers();
    if (!Open())
    {
        std::fprintf(stderr, "the project could not be opened\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gProjet.GetUndoManager().SetSaved(true);
    Frame()->Close(true);
    Pump(20);
    SetModelUi(nullptr);
    gProjet.Close();
    return 0;
}
} // namespace FrameScene

// The application object of a program that starts wx itself.
class FrameBenchApp : public wxApp
{
public:
    bool OnInit() override { return true; }
};
