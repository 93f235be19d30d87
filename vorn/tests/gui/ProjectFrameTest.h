#pragma once

#include "AnsweringUi.h"
#include "Couche.h"
#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "GuiTestHelpers.h"
#include "InterfaceModes.h"
#include "KorString.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "OVXUndoManager.h"
#include "PanelPrincipal.h"
#include "ProjetOVX.h"

#include <gtest/gtest.h>
#include <wx/filename.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

// A layer of the four corners of (-100..100)² at altitude z.
inline Couche* AddSquareLayer(const std::string& name, int index, double z)
{
    Couche* couche = gProjet.AddCouche(name, index);
    for (const auto& [x, y] : {std::pair{-100, -100}, {100, -100}, {100, 100}, {-100, 100}})
        couche->AddPoint(LumPoint(x, y, z), 1, 0, false, false);
    return couche;
}

// A project file at scale 100 (scene and world agree) holding the elements
// given, written to a new temporary file; its path.
inline std::string WriteTempProject(const std::string& elements = "")
{
    const std::string path = wxFileName::CreateTempFileName("vorn").ToUTF8().data();
    std::ofstream(path) << "<?xml version=\"1.0\"?>\n<Projet><Echelle>100</Echelle>" << elements
                        << "</Projet>\n";
    return path;
}

// The main frame as the program opens it, "Ovalis 1.0.5" at (50, 50),
// 800 x 600, its run-time files beside the program; shown.
inline FenetreTunnel* ShowProgramFrame()
{
    gProjet.SetApplicationFolder(GetFolderFromPath(VORN_PROGRAM));
    auto* frame = new FenetreTunnel(nullptr, wxString::FromUTF8(ProjetOVX::Title), wxPoint(50, 50), wxSize(800, 600));
    frame->Show();
    return frame;
}

// Closes the main frame, when still open, without the save question, puts
// the headless interface back and closes the project.
inline void CloseMainFrame()
{
    if (gFenetreTunnel)
    {
        gProjet.GetUndoManager().SetSaved(true);
        gFenetreTunnel->Close(true);
    }
    GuiTest::WaitFor([] { return gFenetreTunnel == nullptr; });
    GuiTest::Pump(20);
    SetModelUi(nullptr);
    gProjet.GetUndoManager().SetSaved(true);
    gProjet.Close();
}

// Runs a command of the frame as its menu item would, checked (0 or 1) the
// item's new state when given; false when nothing handled it.
inline bool RunCommand(FenetreTunnel* frame, int id, int checked = -1)
{
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(frame);
    if (checked >= 0)
        event.SetInt(checked);
    return frame->GetEventHandler()->ProcessEvent(event);
}

// An event of the frame's main view at the pixel where the scene point
// shows.
inline EventInfo ViewEventAt(FenetreTunnel* frame, const LumPoint& scene)
{
    double px = 0, py = 0;
    frame->GetMainDevice()->GetCamera()->ProjectToPixel(scene, px, py);
    EventInfo e;
    e.x = int(px + 0.5);
    e.y = int(py + 0.5);
    e.source = frame->GetCanvas();
    return e;
}

// A click of the button (1 left, 3 right) on the main view where the scene
// point shows, the pointer moved there first when asked.
inline void ClickView(FenetreTunnel* frame, const LumPoint& scene, int button, bool moveFirst = false)
{
    LumoraDevice* device = frame->GetMainDevice();
    EventInfo e = ViewEventAt(frame, scene);
    if (moveFirst)
    {
        e.moved = true;
        device->ProcessEvent(e);
        e.moved = false;
    }
    e.button = button;
    e.pressed = true;
    device->ProcessEvent(e);
    e.pressed = false;
    e.released = true;
    device->ProcessEvent(e);
}

// A key pressed in the main view.
inline void PressViewKey(FenetreTunnel* frame, int code)
{
    EventInfo e;
    e.keyCode = code;
    frame->GetMainDevice()->ProcessEvent(e);
}

// The main frame shown over an empty project at scale 100 (scene and world
// agree) written to a temporary file, its interface answering in the user's
// place: what most window tests start from.
class ProjectFrameTest : public ::testing::Test
{
protected:
    void OpenProjectFrame(const wxPoint& at = wxPoint(0, 0))
    {
        projectPath = WriteTempProject();
        frame = new FenetreTunnel(nullptr, "Vorn", at, wxSize(900, 700));
        frame->Show();
        ui = std::make_unique<AnsweringUi>(frame);
        SetModelUi(ui.get());
        gProjet.Open(projectPath);
    }
    // Closes without asking to save, then the project, and removes its file.
    void CloseProjectFrame()
    {
        CloseMainFrame();
        std::remove(projectPath.c_str());
    }
    // Two square layers, "Haut" at altitude 10 and "Bas" at 0 (the current
    // one), in the creation mode, seen from above at 400 over the origin,
    // with nothing to undo.
    void ShowSquareLayersFromAbove(Couche*& haut, Couche*& bas)
    {
        haut = AddSquareLayer("Haut", 0, 10);
        bas = AddSquareLayer("Bas", 1, 0);
        gProjet.SetCoucheCourante(1);
        EnterCreationMode(false);
        GuiTest::WaitFor([this] { return frame->GetCanvas()->IsShownOnScreen(); });
        GuiTest::Pump(50);
        LumCamera* camera = frame->GetMainDevice()->GetCamera();
        camera->SetPosition(0, 0, 0);
        camera->SetDistance(400);
        RefreshDisplay();
        gProjet.GetUndoManager().Clear();
    }
    std::string projectPath;
    FenetreTunnel* frame = nullptr;
    std::unique_ptr<AnsweringUi> ui;
};
