#pragma once

class LumoraDevice;

// Base of everything that belongs to a rendering device. The device is not
// owned and may be null: objects that are only measured or drawn into a
// context set up by someone else need none.
class LumElement
{
public:
    explicit LumElement(LumoraDevice* device = nullptr);
    LumElement(const LumElement&) = default;
    LumElement& operator=(const LumElement&) = default;
    virtual ~LumElement();

    LumoraDevice* GetDevice() const { return mDevice; }
    void SetDevice(LumoraDevice* device) { mDevice = device; }

protected:
    LumoraDevice* mDevice;
};
