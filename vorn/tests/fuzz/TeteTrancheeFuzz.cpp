// Reads arbitrary bytes as a trench-head file and rebuilds the head it
// holds, as opening a project or a head file does: whatever the numbers
// (NaN, infinities, huge or negative values), the rebuild must not crash,
// must leave a mesh whose links are sound, and a successful one must have
// finite vertices and face classes naming live faces only.

#include "KorMeshCheck.h"
#include "TeteTranchee.h"
#include "XMLNode.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const XMLNode document = XMLNode::parseString(std::string(reinterpret_cast<const char*>(data), size));
    if (document.isEmpty())
        return 0;
    TeteTranchee head;
    head.FromXML(document.getChildNode(0).getChildNode("Tete"));
    const bool built = head.BuildMesh();
    KorMesh& mesh = head.GetMesh();
    std::string reason;
    if (!KorMeshLinksAreSound(mesh, reason))
        std::abort();
    if (!built)
        return 0;
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
            if (!std::isfinite(v->X) || !std::isfinite(v->Y) || !std::isfinite(v->Z))
                std::abort();
    for (const auto& entry : head.GetFaceClasses())
        for (int face : entry.second.Faces)
            if (face >= 0 && !mesh.GetFace(face))
                std::abort();
    return 0;
}
