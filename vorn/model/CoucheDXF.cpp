// A layer's meshes written to a DXF file.
#include "Couche.h"

#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SafeFileWriter.h"
#include "SceneCoordinates.h"

#include <ostream>

namespace
{
// A copy of the mesh in world coordinates: converting the layer's own
// vertices there and back would not give them back exactly, and a failure
// half-way would leave them in world units.
bool WriteInWorld(const KorMesh& mesh, std::ostream& out, int& handle)
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

// The file is replaced only once written whole (SafeFileWriter): a failure
// leaves the old file as it was.
bool Couche::ExportDXF(const std::string& path, std::string* reason)
{
    ModelUi& ui = GetModelUi();
    const std::string icons = gProjet.GetApplicationFolder() + "/Icons/";
    SafeFileWriter file(path);
    std::ostream& out = file.Stream();
    bool ok = file.IsOpen() && KorMesh::WriteDXFHeader(icons + "HeaderDXF.txt", out);
    ui.SetCursor(ModelUi::Cursor::Wait);
    int handle = 0x1000;
    if (gProjet.m3DAffichageTete && GetMesh(Intersection).GetNumberOfFaces() > 0)
    {
        ok = ok && WriteInWorld(GetMesh(Intersection), out, handle);
        ok = ok && WriteInWorld(mMeshes[Tete], out, handle);
    }
    else
        ok = ok && WriteInWorld(mMeshes[Surface], out, handle);
    ok = ok && KorMesh::WriteDXFCloser(icons + "CloserDXF.txt", out) && file.Commit();
    ui.SetCursor(ModelUi::Cursor::Arrow);
    if (!ok && reason)
        *reason = file.GetReason();
    return ok;
}
