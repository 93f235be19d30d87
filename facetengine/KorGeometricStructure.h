#pragma once

// Base of the mesh element records (vertex, half-edge, face). An element knows
// its own identifier, which is its slot index in the mesh's table; -1 means it
// is not (or no longer) held by a table.
class KorGeometricStructure
{
public:
    KorGeometricStructure() = default;
    KorGeometricStructure(const KorGeometricStructure&) = default;
    KorGeometricStructure& operator=(const KorGeometricStructure&) = default;
    virtual ~KorGeometricStructure() = default;

    int GetID() const { return ID; }
    void SetID(const int& id) { ID = id; }

    int ID = -1;
};
