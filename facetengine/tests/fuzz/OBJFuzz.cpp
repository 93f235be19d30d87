// Any bytes as an OBJ file: a load either succeeds with every face index
// below the vertex count and every value finite, or throws KorException whose
// messages stay short whatever the line's length; conversions of whatever was
// read (also after a failed load) end without a crash or another exception.
#include "FuzzFile.h"
#include "KorException.h"
#include "KorOBJ.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzFile file(".obj");
    KorOBJ obj;
    bool loaded = false;
    try
    {
        loaded = obj.Load(file.Write(data, size));
        if (!loaded)
            std::abort();
        for (const std::vector<int>& f : obj.GetFaces())
        {
            if (f.size() < 3)
                std::abort();
            for (int i : f)
                if (i < 0 || static_cast<std::size_t>(i) >= obj.GetVertices().size())
                    std::abort();
        }
        for (const LumVertex& v : obj.GetVertices())
            for (double x : {v.X, v.Y, v.Z, v.U, v.V, v.W, v.NX, v.NY, v.NZ})
                if (!std::isfinite(x))
                    std::abort();
    }
    catch (const KorException& e)
    {
        if (obj.IsOpen() || e.GetMessages().size() < 2)
            std::abort();
        for (const std::string& m : e.GetMessages())
            if (m.size() > 1024)
                std::abort();
    }
    try
    {
        KorMesh mesh;
        obj.ConvertToKorMesh(mesh);
        std::vector<KorMesh> meshes;
        obj.ConvertToKorMeshes(meshes);
    }
    catch (const KorException&)
    {
        if (loaded)
            std::abort();
    }
    return 0;
}
