#pragma once

class Object3D;

// One placement of an Object3D in a scene. The object is not owned. The
// render mode is an OpenGL polygon mode (GL_FILL, GL_LINE or GL_POINT) that
// the object's Render passes to glPolygonMode for both faces.
class Instance3D
{
public:
    // Filled polygons unless told otherwise.
    explicit Instance3D(Object3D* object = nullptr);
    Instance3D(Object3D* object, int renderMode);

    Object3D* GetObject() const { return mObject; }
    int GetRenderMode() const { return mRenderMode; }
    void SetRenderMode(int renderMode) { mRenderMode = renderMode; }

private:
    Object3D* mObject;
    int mRenderMode;
};
