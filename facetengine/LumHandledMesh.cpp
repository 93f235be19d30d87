#define GL_GLEXT_PROTOTYPES
#include "LumHandledMesh.h"

#include "Instance3D.h"
#include "KorMesh.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstddef>

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
    SetBuffersStale();

    const int vertexSlots = mesh.GetVertexVectorSize();
    mVertexMap.reserve(vertexSlots);
    mVertices.reserve(static_cast<size_t>(mesh.GetNumberOfVertices()));
    // Triangles: a fan gives each face (ring size - 2) of them, which is
    // one for the triangulated surfaces, the large ones.
    mTriangles.reserve(3 * static_cast<size_t>(mesh.GetNumberOfFaces()));
    mFaceNormals.reserve(static_cast<size_t>(mesh.GetNumberOfFaces()));
    mFaceSizes.reserve(static_cast<size_t>(mesh.GetNumberOfFaces()));
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
    SetBuffersStale();
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
    SetBuffersStale();
    return r;
}

void LumHandledMesh::Render(const Instance3D* instance)
{
    if (instance != nullptr)
        glPolygonMode(GL_FRONT_AND_BACK, static_cast<GLenum>(instance->GetRenderMode()));
    // GL_POLYGON_MODE yields two values (front, back).
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    GLint shade = GL_SMOOTH;
    if (modes[0] == GL_FILL)
        glGetIntegerv(GL_SHADE_MODEL, &shade);
    if (LumGLBuffer::IsEnabled())
        RenderBuffered(modes[0], shade);
    else
        RenderImmediate(modes[0], shade);
}

void LumHandledMesh::RenderImmediate(int mode, int shade)
{
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

    switch (mode)
    {
    case GL_FILL:
    {
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


namespace
{
// One vertex of a buffer: what glTexCoord2d, glNormal3d and glVertex3d give
// the GL, which keeps single precision.
struct sGLVertex
{
    GLfloat Position[3];
    GLfloat Normal[3];
    GLfloat Texture[2];
};

sGLVertex ToGL(const LumPoint& position, const LumPoint& normal, const LumPoint& texture)
{
    return {{static_cast<GLfloat>(position.x), static_cast<GLfloat>(position.y), static_cast<GLfloat>(position.z)},
            {static_cast<GLfloat>(normal.x), static_cast<GLfloat>(normal.y), static_cast<GLfloat>(normal.z)},
            {static_cast<GLfloat>(texture.x), static_cast<GLfloat>(texture.y)}};
}

constexpr unsigned kVertices = 0x1, kFlat = 0x2, kTriangles = 0x4, kLines = 0x8, kPoints = 0x10;

// The vertex arrays of the bound array buffer of sGLVertex, normals and
// texture coordinates only for filled faces.
void EnableArrays(bool attributes)
{
    const GLsizei stride = sizeof(sGLVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(sGLVertex, Position)));
    if (!attributes)
        return;
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(sGLVertex, Normal)));
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(sGLVertex, Texture)));
}

void DisableArrays()
{
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}
} // namespace

bool LumHandledMesh::ReadyVertices()
{
    if (!(mStale & kVertices) && mVertexBuffer.IsReady())
        return true;
    std::vector<sGLVertex> data;
    data.reserve(mVertices.size());
    for (const sRenderVertex& v : mVertices)
        data.push_back(ToGL(v.Position, v.Normal, v.Texture));
    if (!mVertexBuffer.Upload(GL_ARRAY_BUFFER, data.data(), data.size() * sizeof(sGLVertex)))
        return false;
    mStale &= ~kVertices;
    return true;
}

bool LumHandledMesh::ReadyFlat()
{
    if (!(mStale & kFlat) && mFlatBuffer.IsReady())
        return true;
    // Flat shading takes each triangle's own normal: its corners are
    // repeated with it.
    std::vector<sGLVertex> data;
    data.reserve(mTriangles.size());
    for (size_t i = 0; i < mTriangles.size(); ++i)
    {
        const sRenderVertex& v = mVertices[mTriangles[i]];
        data.push_back(ToGL(v.Position, mFaceNormals[i / 3], v.Texture));
    }
    if (!mFlatBuffer.Upload(GL_ARRAY_BUFFER, data.data(), data.size() * sizeof(sGLVertex)))
        return false;
    mStale &= ~kFlat;
    return true;
}

bool LumHandledMesh::ReadyIndices(unsigned bit, LumGLBuffer& buffer, size_t& count)
{
    if (!(mStale & bit) && buffer.IsReady())
        return true;
    std::vector<GLuint> indices;
    if (bit == kTriangles)
        indices.assign(mTriangles.begin(), mTriangles.end());
    else
    {
        // The corners the immediate drawing visits, in its order.
        size_t pos = 0;
        for (int32_t size : mFaceSizes)
        {
            const size_t triangles = static_cast<size_t>(size - 2);
            const GLuint first = static_cast<GLuint>(mTriangles[pos]);
            if (bit == kLines)
            {
                indices.insert(indices.end(), {first, static_cast<GLuint>(mTriangles[pos + 1])});
                for (size_t k = 0; k < triangles; ++k)
                    indices.insert(indices.end(), {static_cast<GLuint>(mTriangles[pos + 3 * k + 1]),
                                                   static_cast<GLuint>(mTriangles[pos + 3 * k + 2])});
                indices.insert(indices.end(), {static_cast<GLuint>(mTriangles[pos + 3 * triangles - 1]), first});
            }
            else
            {
                indices.insert(indices.end(), {first, static_cast<GLuint>(mTriangles[pos + 1])});
                for (size_t k = 0; k < triangles; ++k)
                    indices.push_back(static_cast<GLuint>(mTriangles[pos + 3 * k + 2]));
            }
            pos += 3 * triangles;
        }
    }
    if (!buffer.Upload(GL_ELEMENT_ARRAY_BUFFER, indices.data(), indices.size() * sizeof(GLuint)))
        return false;
    count = indices.size();
    mStale &= ~bit;
    return true;
}

void LumHandledMesh::RenderBuffered(int mode, int shade)
{
    if (mNumberOfTriangles == 0 || (mode != GL_FILL && mode != GL_LINE && mode != GL_POINT))
        return;
    bool drawn = false;
    if (mode == GL_FILL && shade != GL_SMOOTH)
    {
        if (ReadyFlat())
        {
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            mFlatBuffer.Bind(GL_ARRAY_BUFFER);
            EnableArrays(true);
            glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(mTriangles.size()));
            drawn = true;
        }
    }
    else if (ReadyVertices())
    {
        LumGLBuffer& indices = mode == GL_FILL ? mTriangleBuffer : mode == GL_LINE ? mLineBuffer : mPointBuffer;
        size_t& count = mode == GL_FILL ? mTriangleCount : mode == GL_LINE ? mLineCount : mPointCount;
        const unsigned bit = mode == GL_FILL ? kTriangles : mode == GL_LINE ? kLines : kPoints;
        if (ReadyIndices(bit, indices, count))
        {
            mVertexBuffer.Bind(GL_ARRAY_BUFFER);
            indices.Bind(GL_ELEMENT_ARRAY_BUFFER);
            EnableArrays(mode == GL_FILL);
            glDrawElements(mode == GL_FILL ? GL_TRIANGLES : mode == GL_LINE ? GL_LINES : GL_POINTS,
                           static_cast<GLsizei>(count), GL_UNSIGNED_INT, nullptr);
            drawn = true;
        }
    }
    DisableArrays();
    if (!drawn)
    {
        // No buffer in this context: the same primitives, immediately.
        RenderImmediate(mode, shade);
        return;
    }
    if (mode == GL_FILL)
    {
        // The current normal and texture coordinate as the immediate
        // drawing leaves them, for what is drawn next without its own.
        const sRenderVertex& last = mVertices[mTriangles.back()];
        const LumPoint& n = shade == GL_SMOOTH ? last.Normal : mFaceNormals.back();
        glTexCoord2d(last.Texture.x, last.Texture.y);
        glNormal3d(n.x, n.y, n.z);
    }
}

void LumHandledMesh::RenderVertices(const Instance3D*)
{
    if (LumGLBuffer::IsEnabled() && mNumberOfVertices > 0 && ReadyVertices())
    {
        mVertexBuffer.Bind(GL_ARRAY_BUFFER);
        EnableArrays(false);
        glDrawArrays(GL_POINTS, 0, mNumberOfVertices);
        DisableArrays();
        return;
    }
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
