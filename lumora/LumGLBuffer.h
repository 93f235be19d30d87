#pragma once

#include <cstddef>

// One buffer object on the GL side (vertex or index data): made at its
// first upload, inside a frame, and kept until its owner's data change, so
// that a mesh drawn again sends nothing. Its name belongs to the context
// current at the upload: in any other context it counts as empty and is
// uploaded again, and it is deleted only while that context is current (a
// context destroyed first took it along). A copy starts empty: two owners
// never share a name.
//
// The switch IsEnabled says whether meshes draw from buffers (the default)
// or in immediate mode, which stays as the reference that frames and
// timings are compared with.
class LumGLBuffer
{
public:
    LumGLBuffer() = default;
    LumGLBuffer(const LumGLBuffer&) {}
    LumGLBuffer& operator=(const LumGLBuffer& other)
    {
        if (this != &other)
            Release();
        return *this;
    }
    ~LumGLBuffer() { Release(); }

    // Whether it holds data in the current context.
    bool IsReady() const;
    // Binds it to target (GL_ARRAY_BUFFER or GL_ELEMENT_ARRAY_BUFFER) and
    // gives it the bytes; false when no context is current or the GL made
    // no buffer.
    bool Upload(unsigned target, const void* data, size_t bytes);
    // Binds it to target; false when it is not ready.
    bool Bind(unsigned target) const;
    // Deletes the name (within its context) and forgets it.
    void Release();

    static void SetEnabled(bool enabled);
    static bool IsEnabled();

private:
    unsigned mName = 0;
    const void* mContext = nullptr;
};
