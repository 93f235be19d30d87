#include "KorMesh.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "KorParallel.h"
#include "LumTree.h"

bool KorMesh::mSaveNormals = true;
bool KorMesh::mSaveTextureCoordinates = false;

KorMesh::KorMesh() = default;

KorMesh::KorMesh(const KorMesh& other) : XMLable()
{
    Clone(other);
}

KorMesh& KorMesh::operator=(const KorMesh& other)
{
    if (this != &other)
        Clone(other);
    return *this;
}

KorMesh::~KorMesh()
{
    delete mTree;
}

void KorMesh::Clone(const KorMesh& other)
{
    if (this == &other)
        return;
    Clear();
    mVerticesMean = other.mVerticesMean;
    mMeanValid = other.mMeanValid;
    mVertices = other.mVertices;
    mEdges = other.mEdges;
    mFaces = other.mFaces;
    mFlipFaces = other.mFlipFaces;
    mTracksOfFaces = other.mTracksOfFaces;
}

void KorMesh::Swap(KorMesh& other)
{
    if (this == &other)
        return;
    std::swap(mVerticesMean, other.mVerticesMean);
    std::swap(mMeanValid, other.mMeanValid);
    std::swap(mVertices, other.mVertices);
    std::swap(mEdges, other.mEdges);
    std::swap(mFaces, other.mFaces);
    std::swap(mFlipFaces, other.mFlipFaces);
    std::swap(mTracksOfFaces, other.mTracksOfFaces);
    std::swap(mEdgeIndexAllowed, other.mEdgeIndexAllowed);
    std::swap(mEdgeIndex, other.mEdgeIndex);
    std::swap(mLastReadFailed, other.mLastReadFailed);
    SetModified();
    other.SetModified();
}

void KorMesh::Clear()
{
    mEdgeIndexAllowed = false;
    mEdgeIndex.reset();
    mFaces.Clear();
    mEdges.Clear();
    mVertices.Clear();
    SetModified();
}

void KorMesh::ClearFaces()
{
    mFaces.Clear();
    for (int i = 0; i < mEdges.GetVectorSize(); ++i)
        if (KorEdge* e = mEdges.Get(i))
            e->Face = e->Next = -1;
    SetModified();
}

void KorMesh::ClearEdges()
{
    mEdgeIndexAllowed = false;
    mEdgeIndex.reset();
    mFaces.Clear();
    mEdges.Clear();
    for (int i = 0; i < mVertices.GetVectorSize(); ++i)
        if (KorVertex* v = mVertices.Get(i))
            v->Edge = -1;
    SetModified();
}

void KorMesh::SetModified()
{
    mMeanValid = false;
    delete mTree;
    mTree = nullptr;
}

void KorMesh::SetTree(LumTree* tree)
{
    if (tree == mTree)
        return;
    delete mTree;
    mTree = tree;
}

int KorMesh::AddVertex(const double& x, const double& y, const double& z)
{
    KorVertex* v = mVertices.Add();
    v->Define(x, y, z);
    SetModified();
    return v->ID;
}

int KorMesh::AddVertex(const LumPoint& p)
{
    return AddVertex(p.x, p.y, p.z);
}

int KorMesh::AddVertex(const LumVertex& lv)
{
    KorVertex* v = mVertices.Add();
    v->Define(lv.X, lv.Y, lv.Z);
    v->Texture.Define(lv.U, lv.V, lv.W);
    v->Normal.Define(lv.NX, lv.NY, lv.NZ);
    v->NormalGiven = true;
    SetModified();
    return v->ID;
}

int KorMesh::AddVertexAt(int id, const LumPoint& p)
{
    KorVertex* v = mVertices.AddAt(id);
    if (!v)
        return -1;
    v->Define(p.x, p.y, p.z);
    SetModified();
    return id;
}

void KorMesh::TakeBackVertex(int id, bool appended)
{
    if (mVertices.Get(id))
        DeleteEdgesAround(id);
    mVertices.TakeBack(id, appended);
    SetModified();
}

void KorMesh::DeleteVertex(const int& vertexId)
{
    // A copy: callers may pass a field that the deletion resets.
    const int id = vertexId;
    if (!mVertices.Get(id))
        return;
    DeleteEdgesAround(id);
    mVertices.DeleteItem(id);
    SetModified();
}

void KorMesh::DeleteEdgesAround(int id)
{
    const KorVertex* v = mVertices.Get(id);
    std::vector<KorEdge*> around;
    GetEdgesAroundVertex(v, around);
    // Identifiers first: each deletion resets the slots the pointers name.
    std::vector<int> ids;
    ids.reserve(around.size());
    for (const KorEdge* e : around)
        ids.push_back(e->ID);
    for (int e : ids)
        DeleteEdge(e, false);
}

void KorMesh::GetAllVertices(std::vector<KorVertex>& out) const
{
    out.clear();
    out.reserve(static_cast<size_t>(mVertices.GetNumberOfItems()));
    for (int i = 0; i < mVertices.GetVectorSize(); ++i)
        if (const KorVertex* v = mVertices.Get(i))
            out.push_back(*v);
}

// O(n). Each position is divided by n before summing, in identifier order.
const LumPoint& KorMesh::GetVerticesMean()
{
    if (mMeanValid)
        return mVerticesMean;
    mVerticesMean.Init();
    const double n = static_cast<double>(mVertices.GetNumberOfItems());
    for (int i = 0; i < mVertices.GetVectorSize(); ++i)
        if (const KorVertex* v = mVertices.Get(i))
            mVerticesMean += LumPoint(v->X / n, v->Y / n, v->Z / n);
    mMeanValid = true;
    return mVerticesMean;
}

// The mean of faceNormal over the faces around v, in the order of the walk
// of GetFacesAroundVertex (without its list: called for every vertex of a
// display mesh). Not normalised; (0, 0, 0) with no face.
template <class FaceNormal> LumPoint KorMesh::MeanAround(const KorVertex* v, FaceNormal faceNormal)
{
    LumPoint sum;
    int count = 0;
    ForFacesAround(v,
                   [&](KorFace* f)
                   {
                       sum += faceNormal(f);
                       ++count;
                   });
    if (count > 1)
        sum /= static_cast<double>(count);
    return sum;
}

// O(valence) plus each face normal's first computation. A vertex with no
// face keeps (0, 0, 0) and recomputes each call.
const LumPoint& KorMesh::GetNormal(KorVertex* v)
{
    if (!v)
        return mNullPoint;
    if (v->NormalGiven || !v->Normal.IsNull())
        return v->Normal;
    v->Normal = MeanAround(v, [this](KorFace* f) { return GetNormal(f); });
    return v->Normal;
}

// Two passes of O(faces) and O(total valence), each split in contiguous
// ranges. The vertex pass only reads the faces' normals: after the face
// pass a face normal still null is one GetNormal computes as null again.
void KorMesh::ComputeNormals(int threads)
{
    const auto faces = [this](int, int from, int to)
    {
        for (int id = from; id < to; ++id)
            if (KorFace* f = mFaces.Get(id))
                GetNormal(f);
    };
    const auto vertices = [this](int, int from, int to)
    {
        for (int id = from; id < to; ++id)
            if (KorVertex* v = mVertices.Get(id))
                if (!v->NormalGiven && v->Normal.IsNull())
                    v->Normal = MeanAround(v, [](const KorFace* f) { return f->Normal; });
    };
    RunInRanges(mFaces.GetVectorSize(), RangeParts(mFaces.GetVectorSize(), threads), faces);
    RunInRanges(mVertices.GetVectorSize(), RangeParts(mVertices.GetVectorSize(), threads), vertices);
}

const LumPoint& KorMesh::GetTextureCoord(const KorVertex* v) const
{
    return v ? v->Texture : mNullPoint;
}
