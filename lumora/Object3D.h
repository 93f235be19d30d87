#pragma once

#include "BoundingBox.h"
#include "KorHashWord.h"
#include "LumElement.h"

#include <string>

class Instance3D;
class KorRay;

// A named, drawable object of the 3D layer: a word of the hash dictionaries
// (so scenes find objects by name) that belongs to a device (possibly none).
//
// The bounding box is cached. mBoundingBoxValid is false after construction
// and whenever a derived class rebuilds its content; GetBoundingBox then asks
// CalculateBB once and keeps the result. Building, measuring and picking
// make no OpenGL call; Render and RenderVertices draw into the context the
// caller has made current.
class Object3D : public LumElement, public KorHashWord
{
public:
    Object3D(LumoraDevice* device, const std::string& name);
    // Takes the name, device and box of the source; the copy is held by no
    // dictionary until someone adds it.
    Object3D(const Object3D& other);
    // Takes the device, box and name of the source (a rename in the
    // dictionaries that hold this object, see KorHashWord).
    Object3D& operator=(const Object3D& other);
    ~Object3D() override;

    // Draws the object; the base draws nothing.
    virtual void Render(const Instance3D* instance);
    virtual const BoundingBox& GetBoundingBox() const;
    // Releases what the object keeps in the current GL context (the base
    // keeps nothing) before that context goes away.
    virtual void CloseRenderingContext();
    // The object is about to be drawn into another context.
    virtual void RenderingContextChanged();
    // Back to the state of a new object: the cached box is dropped.
    virtual void InitObject3D();
    // The content is complete: the box is computed now rather than at the
    // first draw.
    virtual void Finalize();
    // Whether the ray meets the bounding box between tMin and tMax; derived
    // objects may test their own geometry.
    virtual bool IsIntersectedByRay(const KorRay& ray, double tMin, double tMax) const;

protected:
    // The box of the current content; the base has none (an empty box).
    virtual BoundingBox CalculateBB() const;

public:
    // Draws every vertex as a point; the base has none.
    virtual void RenderVertices(const Instance3D* instance);

    // Whether the device draws the object at each frame; an object that its
    // owner draws itself, where and when it means to, is held unshown.
    bool Shown = true;

protected:
    mutable BoundingBox mBoundingBox;
    mutable bool mBoundingBoxValid;
};
