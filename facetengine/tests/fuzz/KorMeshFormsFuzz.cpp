// Reads arbitrary bytes as a mesh's XML form and as its text form; whatever
// a read accepts must hold finite positions and be walkable: renderable arrays, measures, normals
// and a second write, without a crash, a hang or a read outside the tables.

#include "KorBoundingBox.h"
#include "KorMesh.h"
#include "LumHandledMesh.h"
#include "XMLNode.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace
{
void Walk(KorMesh& mesh)
{
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
            if (!std::isfinite(v->X) || !std::isfinite(v->Y) || !std::isfinite(v->Z))
                std::abort();
    LumHandledMesh renderable(nullptr, "fuzz");
    renderable.CreateFromKorMesh(mesh);
    renderable.GetBoundingBox();
    KorBoundingBox box;
    box.Define(mesh);
    mesh.GetVolume();
    mesh.GetSurface();
    XMLNode again = XMLNode::createXMLTopNode("Maillage");
    mesh.ToXML(again);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    XMLNode document = XMLNode::parseString(text);
    if (!document.isEmpty())
    {
        KorMesh mesh;
        mesh.FromXML(document.getChildNode(0));
        if (!mesh.LastReadFailed())
            Walk(mesh);
    }

    std::istringstream lines(text);
    KorMesh mesh;
    if (mesh.FromASCII(lines))
        Walk(mesh);
    return 0;
}
