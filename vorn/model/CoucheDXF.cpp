// A layer's meshes written to a DXF file.
#include "Couche.h"

#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"

#include <fstream>

namespace
{
// A copy of the mesh in world coordinates: converting the layer's own
// vertices there and back would not give them back exactly, and a failure
// half-way would leave them in world units.
bool WriteInWorld(const KorMesh& mesh, std::ofstream& out, int& handle)
{
    KorMesh world(mesh);
    for (int id = 0; id < world.GetVertexVectorSize(); ++id)
        if (KorVertex* v = world.GetVertex(id))
        {
            const LumPoint p = SceneToWorld(gProjet, LumPoint(v->X, v->Y, v->Z));
            v->Define(p.x, p.y, p.z);
        }
    return world.ToDXF(out, handle);
}
} // namespace

bool Couche::ExportDXF(const std::string& path)
{
    ModelUi& ui = GetModelUi();
    const std::string icons = gProjet.GetApplicationFolder() + "/Icons/";
    std::ofstream out;
    bool ok = KorMesh::CreateDXF(path, icons + "HeaderDXF.txt", out);
    ui.SetCursor(ModelUi::Cursor::Wait);
    int handle = 0x1000;
    if (gProjet.m3DAffichageTete && GetMesh(Intersection).GetNumberOfFaces() > 0)
    {
        ok = ok && WriteInWorld(GetMesh(Intersection), out, handle);
        ok = ok && WriteInWorld(mMeshes[Tete], out, handle);
    }
    else
        ok = ok && WriteInWorld(mMeshes[Surface], out, handle);
    ok = ok && KorMesh::CloseDXF(icons + "CloserDXF.txt", out);
    ui.SetCursor(ModelUi::Cursor::Arrow);
    return ok;
}
