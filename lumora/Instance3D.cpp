#include "Instance3D.h"

#include <GL/gl.h>

Instance3D::Instance3D(Object3D* object) : mObject(object), mRenderMode(GL_FILL)
{
}

Instance3D::Instance3D(Object3D* object, int renderMode) : mObject(object), mRenderMode(renderMode)
{
}
