#pragma once

#include "KorMesh.h"

#include <memory>
#include <string>
#include <vector>

// The excavation worked out apart from the program's cut, for the tests:
// in plan, each face of the head (seen once from above, its vertical faces
// aside) is overlaid with each triangle of the terrain; on each piece of
// the overlay the height of the terrain over the head, T - H, is linear,
// so the piece is clipped where it turns negative and integrated. A
// vertical face is measured by its profile under the terrain. It shares
// nothing with the cut but the mesh container. Scene units.
struct sReferenceCut
{
    // The volume between the head and the terrain above it.
    double Volume = 0.0;
    // Per face of the head (by identifier), its area under the terrain.
    std::vector<double> FaceAreas;
    // The head stands inside the terrain: the part where the terrain
    // stands above it reaches neither the head's border nor the terrain's.
    bool Inside = true;
    // Where the head is not inside, in words.
    std::string Why;
};

// The reference over one layer's surface, which must outlive it and stay
// unchanged; its triangles are indexed once for every head cut against it.
class ExcavationReference
{
public:
    explicit ExcavationReference(const KorMesh& terrain);
    ~ExcavationReference();
    ExcavationReference(const ExcavationReference&) = delete;
    ExcavationReference& operator=(const ExcavationReference&) = delete;

    // head: the placed head.
    sReferenceCut Cut(const KorMesh& head) const;

private:
    class TerrainIndex;
    const KorMesh& mTerrain;
    std::unique_ptr<TerrainIndex> mIndex;
};
