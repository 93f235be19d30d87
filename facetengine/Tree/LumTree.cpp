#include "LumTree.h"

LumTree::LumTree(KorMesh&)
{
}

LumTree::~LumTree() = default;

void LumTree::Clear()
{
    ClearTree();
    mCreated = false;
}

bool LumTree::CreateFromMesh(KorMesh& mesh)
{
    ClearTree();
    mCreated = Build(mesh);
    if (!mCreated)
        ClearTree();
    return mCreated;
}
