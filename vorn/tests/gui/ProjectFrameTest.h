#pragma once

#include "AnsweringUi.h"
#include "Couche.h"
#include "FenetreTunnel.h"
#include "GuiTestHelpers.h"
#include "OVXUndoManager.h"
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

// The main frame shown over an empty project at scale 100 (scene and world
// agree) written to a temporary file, its interface answering in the user's
// place: what most window tests start from.
class ProjectFrameTest : public ::testing::Test
{
protected:
    void OpenProjectFrame(const wxPoint& at = wxPoint(0, 0))
    {
        projectPath = wxFileName::CreateTempFileName("vorn").ToUTF8().data();
        std::ofstream(projectPath) << "<?xml version=\"1.0\"?>\n<Projet><Echelle>100</Echelle></Projet>\n";
        frame = new FenetreTunnel(nullptr, "Vorn", at, wxSize(900, 700));
        frame->Show();
        ui = std::make_unique<AnsweringUi>(frame);
        SetModelUi(ui.get());
        gProjet.Open(projectPath);
    }
    // Closes without asking to save, then the project, and removes its file.
    void CloseProjectFrame()
    {
        gProjet.GetUndoManager().SetSaved(true);
        frame->Close(true);
        GuiTest::WaitFor([] { return gFenetreTunnel == nullptr; });
        GuiTest::Pump(20);
        SetModelUi(nullptr);
        gProjet.Close();
        std::remove(projectPath.c_str());
    }
    std::string projectPath;
    FenetreTunnel* frame = nullptr;
    std::unique_ptr<AnsweringUi> ui;
};
