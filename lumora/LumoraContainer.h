#pragma once

class LumoraDevice;

// What owns a rendering device and gives it a place to draw: a 3D canvas.
// The device reaches OpenGL only through ActivateContext, so a device whose
// container cannot draw (or that has none) makes no GL call.
class LumoraContainer
{
public:
    virtual ~LumoraContainer();

    virtual LumoraDevice* getDevice() = 0;
    // The drawable size in pixels.
    virtual void GetDimensions(int& width, int& height) const = 0;
    // Makes the shared GL context current on this container's drawable.
    // False when it cannot (a canvas not shown on screen): the caller then
    // makes no GL call.
    virtual bool ActivateContext() = 0;
    // Shows the frame just drawn (a buffer swap).
    virtual void PresentFrame() = 0;
};
