// Any file opens as a project or is refused with a message, never a crash
// or a hang; a project that opened saves, opens again and saves to the same
// bytes. Its families, scenery objects and background plans are then
// edited, and every edit undone and redone. Runs headless (the default
// NullUi).
#include "Decor.h"
#include "Discontinuite.h"
#include "FondPlan.h"
#include "ProjetOVX.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
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

// Opens the file after a clean close (the headless answer to the save
// question is Cancel); true when the project opened.
bool OpenClean(const std::string& path)
{
    gProjet.GetUndoManager().Clear();
    gProjet.Open(path);
    return gProjet.Nom == path;
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
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/projet_fuzz_" + std::to_string(getpid()) + ".ovx";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    if (OpenClean(path))
    {
        if (!gProjet.Save())
            std::abort();
        const std::string first = ReadAll(path);
        if (!OpenClean(path) || !gProjet.Save())
            std::abort();
        if (ReadAll(path) != first)
            std::abort();
        Exercise();
    }
    std::remove(path.c_str());
    return 0;
}
