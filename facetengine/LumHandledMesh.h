#pragma once

#include "LumGLBuffer.h"
#include "LumPoint.h"
#include "Object3D.h"

#include <cstdint>
#include <string>
#include <vector>

class KorMesh;

// The drawable form of a KorMesh: flat arrays of render vertices and
// triangles. Built by CreateFromKorMesh, which makes no GL call (the
// analysis builds and measures without a display); only Render and
// RenderVertices draw. They draw from GL buffers (LumGLBuffer) made from
// the arrays at the first drawing in each polygon mode and kept until the
// arrays change (CreateFromKorMesh, ChangeVertex, ChangeTextureVertex), so
// a frame of an unchanged mesh sends one call per mode, not nine per
// triangle; with buffers switched off they draw the same primitives in
// immediate mode. Colour, opacity and material are GL state, not in the
// buffers: an appearance change rebuilds nothing.
//
// Invariants after CreateFromKorMesh: every index in mTriangles lies in
// [0, mNumberOfVertices); mFaceSizes holds, per drawn face, 2 + the number of
// triangles actually pushed for it, so the sum over faces of
// (size - 2) is mNumberOfTriangles and the line and point walks stay in step
// with the triangle list; mFaceNormals has one unit (or null) normal per
// triangle.
class LumHandledMesh : public Object3D
{
public:
    // Position, texture coordinate, normal: the nine doubles of a LumVertex.
    struct sRenderVertex
    {
        LumPoint Position;
        LumPoint Texture;
        LumPoint Normal;
    };

    LumHandledMesh(LumoraDevice* device, const std::string& name);
    LumHandledMesh(const LumHandledMesh& other) = default;
    LumHandledMesh& operator=(const LumHandledMesh& other) = default;
    ~LumHandledMesh() override;

    int GetNumberOfVertices() const { return mNumberOfVertices; }
    int GetNumberOfTriangles() const { return mNumberOfTriangles; }
    const std::vector<sRenderVertex>& GetVertices() const { return mVertices; }
    const std::vector<int32_t>& GetVertexMap() const { return mVertexMap; }
    const std::vector<int32_t>& GetFaceSizes() const { return mFaceSizes; }
    const std::vector<int32_t>& GetTriangles() const { return mTriangles; }
    const std::vector<LumPoint>& GetFaceNormals() const { return mFaceNormals; }

    // Rebuilds every array from the mesh. O(vertex slots + total ring size);
    // a ring walk is bounded by the half-edge slot count, so a ring that
    // never closes ends there. A fan triangle is pushed only when its three
    // corners are live vertices; a face with none pushed gets no entry.
    void CreateFromKorMesh(KorMesh& mesh);
    // Moves one render vertex (the mesh vertex of that identifier); its
    // render index, or -1 for an identifier out of the map or free. Normals
    // and the box are not updated.
    int ChangeVertex(const int& vertexId, const LumPoint& position);
    // The same for the texture coordinate.
    int ChangeTextureVertex(const int& vertexId, const LumPoint& coordinate);

    // With an instance, its render mode becomes the polygon mode of both
    // faces; then draws triangles (fill), face sides without fan diagonals
    // (line) or each corner once (point) after the current front mode.
    void Render(const Instance3D* instance) override;
    void RenderVertices(const Instance3D* instance) override;

protected:
    void InitLumHandledMesh();
    // The arrays changed: every buffer is made again at its next drawing.
    void SetBuffersStale() { mStale = sStaleAll; }
    BoundingBox CalculateBB() const override;

private:
    std::vector<sRenderVertex> mVertices;
    std::vector<int32_t> mVertexMap;
    std::vector<int32_t> mFaceSizes;
    std::vector<int32_t> mTriangles;
    int32_t mNumberOfVertices;
    int32_t mNumberOfTriangles;
    std::vector<LumPoint> mFaceNormals;

    // The draws of one polygon mode.
    void RenderImmediate(int mode, int shade);
    void RenderBuffered(int mode, int shade);
    // The interleaved vertices (position, normal, texture coordinate as
    // floats, what the immediate calls pass to the GL) and the index lists;
    // each bit of mStale says one is to be made again.
    bool ReadyVertices();
    bool ReadyFlat();
    bool ReadyIndices(unsigned bit, LumGLBuffer& buffer, size_t& count);
    static constexpr unsigned sStaleAll = 0x1f;
    LumGLBuffer mVertexBuffer, mFlatBuffer, mTriangleBuffer, mLineBuffer, mPointBuffer;
    size_t mLineCount = 0, mPointCount = 0, mTriangleCount = 0;
    unsigned mStale = sStaleAll;
};

// A new object with no device and the name "LumHandledMesh"; the caller owns
// it. Exported with a plain (unmangled) name.
extern "C" LumHandledMesh* LumHandledMesh_New();
