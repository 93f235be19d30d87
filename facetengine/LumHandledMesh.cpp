#include "LumHandledMesh.h"

#include "Instance3D.h"
#include "KorMesh.h"

#include <GL/gl.h>

#include <algorithm>

LumHandledMesh::LumHandledMesh(LumoraDevice* device, const std::string& name) : Object3D(device, name)
{
    InitLumHandledMesh();
}

LumHandledMesh::~LumHandledMesh() = default;

void LumHandledMesh::InitLumHandledMesh()
{
    mNumberOfVertices = 0;
    mNumberOfTriangles = 0;
    mVertices.clear();
    mTriangles.clear();
}

namespace
{
// Render index of the origin of half-edge e, or -1 when e or its origin is
// missing.
int32_t OriginIndex(const KorEdge* e, const std::vector<int32_t>& map)
{
    if (e == nullptr || e->Vertex < 0 || e->Vertex >= static_cast<int>(map.size()))
        return -1;
    return map[e->Vertex];
}

LumPoint TriangleNormal(const LumPoint& p0, const LumPoint& p1, const LumPoint& p2)
{
    LumPoint n = (p1 - p0) ^ (p2 - p0);
    Normalize(n);
    return n;
}
} // namespace

void LumHandledMesh::CreateFromKorMesh(KorMesh& mesh)
{
    mVertexMap.clear();
    mFaceNormals.clear();
    mFaceSizes.clear();
    InitLumHandledMesh();
    mBoundingBoxValid = false;

    const int vertexSlots = mesh.GetVertexVectorSize();
    mVertexMap.reserve(vertexSlots);
    for (int id = 0; id < vertexSlots; ++id)
    {
        KorVertex* v = mesh.GetVertex(id);
        if (v == nullptr)
        {
            mVertexMap.push_back(-1);
            continue;
        }
        mVertexMap.push_back(static_cast<int32_t>(mVertices.size()));
        sRenderVertex r;
        r.Position.Define(v->X, v->Y, v->Z);
        r.Texture = v->Texture;
        r.Normal = mesh.GetNormal(v);
        mVertices.push_back(r);
    }
    mNumberOfVertices = static_cast<int32_t>(mVertices.size());

    // The fan from the first corner: (c0, c(i-1), c(i)). A corner whose
    // origin is missing is -1 and every fan triangle touching it is left
    // out; the face's size counts only the triangles pushed.
    const int edgeSlots = mesh.GetEdgeVectorSize();
    const int faceSlots = mesh.GetFaceVectorSize();
    std::vector<int32_t> corners;
    for (int id = 0; id < faceSlots; ++id)
    {
        KorFace* f = mesh.GetFace(id);
        if (f == nullptr)
            continue;
        KorEdge* e0 = mesh.GetEdge(f->Edge);
        KorEdge* e1 = e0 ? mesh.GetEdge(e0->Next) : nullptr;
        KorEdge* e2 = e1 ? mesh.GetEdge(e1->Next) : nullptr;
        if (e2 == nullptr)
            continue;
        corners.assign(
            {OriginIndex(e0, mVertexMap), OriginIndex(e1, mVertexMap), OriginIndex(e2, mVertexMap)});
        KorEdge* e = mesh.GetEdge(e2->Next);
        for (int steps = 0; e != nullptr && e != e0 && steps < edgeSlots; ++steps)
        {
            corners.push_back(OriginIndex(e, mVertexMap));
            e = mesh.GetEdge(e->Next);
        }

        int32_t pushed = 0;
        for (size_t i = 2; i < corners.size(); ++i)
        {
            const int32_t a = corners[0], b = corners[i - 1], c = corners[i];
            if (a < 0 || b < 0 || c < 0)
                continue;
            mTriangles.insert(mTriangles.end(), {a, b, c});
            mFaceNormals.push_back(
                TriangleNormal(mVertices[a].Position, mVertices[b].Position, mVertices[c].Position));
            ++pushed;
        }
        if (pushed > 0)
            mFaceSizes.push_back(pushed + 2);
    }
    mNumberOfTriangles = static_cast<int32_t>(mTriangles.size() / 3);
}

int LumHandledMesh::ChangeVertex(const int& vertexId, const LumPoint& position)
{
    if (vertexId < 0 || vertexId >= static_cast<int>(mVertexMap.size()))
        return -1;
    const int r = mVertexMap[vertexId];
    if (r < 0 || r >= mNumberOfVertices)
        return -1;
    mVertices[r].Position = position;
    return r;
}

int LumHandledMesh::ChangeTextureVertex(const int& vertexId, const LumPoint& coordinate)
{
    if (vertexId < 0 || vertexId >= static_cast<int>(mVertexMap.size()))
        return -1;
    const int r = mVertexMap[vertexId];
    if (r < 0 || r >= mNumberOfVertices)
        return -1;
    mVertices[r].Texture = coordinate;
    return r;
}

void LumHandledMesh::Render(const Instance3D* instance)
{
    if (instance != nullptr)
        glPolygonMode(GL_FRONT_AND_BACK, static_cast<GLenum>(instance->GetRenderMode()));
    // GL_POLYGON_MODE yields two values (front, back).
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);

    auto vertex = [this](int32_t i)
    {
        const sRenderVertex& v = mVertices[i];
        glTexCoord2d(v.Texture.x, v.Texture.y);
        glVertex3d(v.Position.x, v.Position.y, v.Position.z);
    };
    auto point = [this](int32_t i)
    {
        const LumPoint& p = mVertices[i].Position;
        glVertex3d(p.x, p.y, p.z);
    };

    switch (modes[0])
    {
    case GL_FILL:
    {
        GLint shade = GL_SMOOTH;
        glGetIntegerv(GL_SHADE_MODEL, &shade);
        glBegin(GL_TRIANGLES);
        for (int32_t t = 0; t < mNumberOfTriangles; ++t)
        {
            if (shade == GL_SMOOTH)
                for (int k = 0; k < 3; ++k)
                {
                    const sRenderVertex& v = mVertices[mTriangles[3 * t + k]];
                    glTexCoord2d(v.Texture.x, v.Texture.y);
                    glNormal3d(v.Normal.x, v.Normal.y, v.Normal.z);
                    glVertex3d(v.Position.x, v.Position.y, v.Position.z);
                }
            else
            {
                const LumPoint& n = mFaceNormals[t];
                glNormal3d(n.x, n.y, n.z);
                for (int k = 0; k < 3; ++k)
                    vertex(mTriangles[3 * t + k]);
            }
        }
        glEnd();
        break;
    }
    case GL_LINE:
    {
        // Per face: first-second and second-third of its first triangle,
        // the outer side of each further fan triangle, then last-first.
        glBegin(GL_LINES);
        size_t pos = 0;
        for (int32_t size : mFaceSizes)
        {
            const size_t triangles = static_cast<size_t>(size - 2);
            const int32_t first = mTriangles[pos];
            point(first);
            point(mTriangles[pos + 1]);
            for (size_t k = 0; k < triangles; ++k)
            {
                point(mTriangles[pos + 3 * k + 1]);
                point(mTriangles[pos + 3 * k + 2]);
            }
            point(mTriangles[pos + 3 * triangles - 1]);
            point(first);
            pos += 3 * triangles;
        }
        glEnd();
        break;
    }
    case GL_POINT:
    {
        glBegin(GL_POINTS);
        size_t pos = 0;
        for (int32_t size : mFaceSizes)
        {
            const size_t triangles = static_cast<size_t>(size - 2);
            point(mTriangles[pos]);
            point(mTriangles[pos + 1]);
            for (size_t k = 0; k < triangles; ++k)
                point(mTriangles[pos + 3 * k + 2]);
            pos += 3 * triangles;
        }
        glEnd();
        break;
    }
    default:
        break;
    }
}

void LumHandledMesh::RenderVertices(const Instance3D*)
{
    glBegin(GL_POINTS);
    for (int32_t i = 0; i < mNumberOfVertices; ++i)
    {
        const LumPoint& p = mVertices[i].Position;
        glVertex3d(p.x, p.y, p.z);
    }
    glEnd();
}

BoundingBox LumHandledMesh::CalculateBB() const
{
    BoundingBox box;
    if (mNumberOfVertices == 0)
        return box;
    LumPoint lo = mVertices[0].Position;
    LumPoint hi = lo;
    for (int32_t i = 1; i < mNumberOfVertices; ++i)
    {
        const LumPoint& p = mVertices[i].Position;
        lo.Define(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
        hi.Define(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
    }
    box.Define(lo, hi);
    return box;
}

extern "C" LumHandledMesh* LumHandledMesh_New()
{
    return new LumHandledMesh(nullptr, "LumHandledMesh");
}
