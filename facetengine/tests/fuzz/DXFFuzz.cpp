// Any bytes as a DXF file: reading, removing doubles and both conversions must
// end without a crash, a sanitizer report or an exception other than
// KorException, every face record kept by the reader is in the 0-based
// range the reader promises, every point kept is finite, and what was left
// out is counted by kind.
#include "FuzzFile.h"
#include "KorDXF.h"
#include "KorException.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzFile file(".dxf");
    KorDXF dxf;
    if (!dxf.Load(file.Write(data, size)) || !dxf.IsOpen())
        std::abort();
    const auto finite = [](const LumPoint& p)
    { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); };
    for (const sDXFPoint& p : dxf.Points)
        if (!finite(p.Position))
            std::abort();
    for (const sDXFPolyline& l : dxf.Polylines)
        for (const LumPoint& p : l.Points)
            if (!finite(p))
                std::abort();
    for (const sDXFMesh& m : dxf.Meshes)
        for (const LumPoint& p : m.Points)
            if (!finite(p))
                std::abort();
    for (const auto& [kind, count] : dxf.LeftOut)
        if (kind.empty() || count <= 0)
            std::abort();
    for (const sDXFMesh& m : dxf.Meshes)
        for (const sDXFFaceRecord& f : m.Faces)
            for (int i : f.Index)
                if (i < -1)
                    std::abort();
    dxf.DeleteDoubles();
    try
    {
        KorMesh mesh;
        dxf.ConvertToKorMesh(mesh);
        std::vector<KorMesh> meshes;
        dxf.ConvertToKorMeshes(meshes);
        if (meshes.size() != dxf.Meshes.size())
            std::abort();
    }
    catch (const KorException&)
    {
    }
    return 0;
}
