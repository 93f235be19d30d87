// Any bytes as a DXF file: reading, removing doubles and both conversions must
// end without a crash, a sanitizer report or an exception other than
// KorException, and every face record kept by the reader is in the 0-based
// range the reader promises.
#include "FuzzFile.h"
#include "KorDXF.h"
#include "KorException.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzFile file(".dxf");
    KorDXF dxf;
    if (!dxf.Load(file.Write(data, size)) || !dxf.IsOpen())
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
