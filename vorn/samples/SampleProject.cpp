#include "SampleProject.h"

#include "Axe.h"
#include "Couche.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "TeteTranchee.h"

#include <unistd.h>

#include <vector>

namespace
{
void FillPlane(Couche& couche, double zAtYZero, int r, int g, int b)
{
    // A new layer draws its colour at random; the sample's file is the
    // generator's bytes.
    couche.R = r;
    couche.G = g;
    couche.B = b;
    for (int i = 0; i <= 40; ++i)
        for (int j = 0; j <= 40; ++j)
        {
            const double x = -100.0 + 5.0 * i + 0.37;
            const double y = -100.0 + 5.0 * j + 0.61;
            couche.AddPoint(LumPoint(x, y, 0.5 * y + zAtYZero), 1, -1, false, false);
        }
    couche.Triangulate();
}
} // namespace

void BuildSampleProject()
{
    gProjet.GetUndoManager().Clear();
    gProjet.Reset();
    gProjet.Echelle = 100.0;
    gProjet.OrigineX = 0.0;
    gProjet.OrigineY = 0.0;
    gProjet.Nord = 0;

    FillPlane(*gProjet.AddCouche("Terrain naturel", 0), 5.0, 110, 150, 70);
    FillPlane(*gProjet.AddCouche("Altération", 1), 2.0, 190, 140, 70);
    gProjet.CoucheCourante = 0;

    Axe& axe = gProjet.GetAxe();
    axe.SetType(1, false);
    axe.ReplacePolyline({LumPoint(0.0, -200.0, 0.0), LumPoint(0.0, 200.0, 0.0)});
    axe.SetHeadPosition(LumPoint(0.0, 0.0, 0.0), false);
    GetModelUi().GetTete() = TeteTranchee();
    GetModelUi().GetTete().BuildMesh();

    gProjet.SetZone(LumPoint(-90.0, 90.0, 0.0), LumPoint(90.0, -90.0, 0.0), false, false);
    gProjet.ZoneAffichee = true;
    gProjet.AffichageNordCreation = true;
    // The plan camera sees the whole zone; the 3D camera looks at the head
    // from the valley side, above and to the left.
    gProjet.PosXDessus = 0.0;
    gProjet.PosYDessus = 0.0;
    gProjet.ZoomDessus = 220.0;
    gProjet.CameraPosition = LumPoint(-30.0, -45.0, 40.0);
    gProjet.CameraTarget = LumPoint(0.0, 8.0, 2.0);
    gProjet.m3DAffichageTete = true;
    gProjet.m3DAffichageLigneIntersection = true;
    gProjet.m3DTriangles = true;
    gProjet.GetUndoManager().Clear();
}

bool WriteSampleProject(const std::string& folder)
{
    char previous[4096];
    if (!getcwd(previous, sizeof previous) || chdir(folder.c_str()) != 0)
        return false;
    BuildSampleProject();
    gProjet.Nom = "exemple.ovx";
    const bool saved = gProjet.Save();
    // The caller's relative paths keep their meaning.
    return chdir(previous) == 0 && saved;
}
