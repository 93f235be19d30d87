#define GL_GLEXT_PROTOTYPES
#include "LumGLBuffer.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

namespace
{
bool sEnabled = true;

const void* CurrentContext()
{
    return glXGetCurrentContext();
}
} // namespace

void LumGLBuffer::SetEnabled(bool enabled)
{
    sEnabled = enabled;
}

bool LumGLBuffer::IsEnabled()
{
    return sEnabled;
}

bool LumGLBuffer::IsReady() const
{
    return mName != 0 && mContext == CurrentContext();
}

bool LumGLBuffer::Upload(unsigned target, const void* data, size_t bytes)
{
    const void* context = CurrentContext();
    if (!context)
        return false;
    if (mName != 0 && mContext != context)
        Release();
    if (mName == 0)
    {
        GLuint name = 0;
        glGenBuffers(1, &name);
        if (name == 0)
            return false;
        mName = name;
        mContext = context;
    }
    glBindBuffer(target, mName);
    glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    return true;
}

bool LumGLBuffer::Bind(unsigned target) const
{
    if (!IsReady())
        return false;
    glBindBuffer(target, mName);
    return true;
}

void LumGLBuffer::Release()
{
    if (mName != 0 && mContext == CurrentContext())
    {
        const GLuint name = mName;
        glDeleteBuffers(1, &name);
    }
    mName = 0;
    mContext = nullptr;
}
