#pragma once

#include "ProjetOVX.h"
#include "ScriptedUi.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

// Every model test runs against gProjet with a ScriptedUi installed and a
// closed, unmodified project; the fixture puts the default interface back.
class ModelTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetModelUi(&ui);
        gProjet.GetUndoManager().Clear();
        gProjet.Close();
        gProjet.Nom.clear();
        ui.ClearLog();
    }
    void TearDown() override
    {
        // A test's hook may capture its locals.
        ui.FrameHook = nullptr;
        gProjet.GetUndoManager().Clear();
        gProjet.Close();
        SetModelUi(nullptr);
    }

public:
    static std::string TempPath(const std::string& name)
    {
        return testing::TempDir() + "vorn_" + std::to_string(getpid()) + "_" + name;
    }
    static std::string ReadAll(const std::string& path) { return TestFiles::ReadAll(path); }
    static void WriteAll(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }

protected:
    ScriptedUi ui;
};
