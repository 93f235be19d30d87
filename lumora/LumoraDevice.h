#pragma once

#include <memory>
#include <string>
#include <vector>

class KorHashTable;
class LumCamera;
class LumGizmo;
class LumoraContainer;
class Object3D;
struct EventInfo;

// The rendering device of one 3D canvas: its camera, the program's draw
// callback and events manager, the gizmo it shows, the objects of its scene
// and the GL services the callbacks use (textures, 2D text, lighting).
//
// A device draws only through its container (the canvas that owns it). A
// device without container, or whose container cannot make its context
// current (a canvas not shown), makes no GL call: RenderFrame returns false
// and the GL services do nothing. Texture names are shared by every device,
// as every canvas draws with the one shared GL context. GUI thread only.
class LumoraDevice
{
public:
    typedef void (*DrawCallback)(LumoraDevice*);
    typedef bool (*EventsManager)(const EventInfo&);

    explicit LumoraDevice(LumoraContainer* container = nullptr);
    LumoraDevice(const LumoraDevice&) = delete;
    LumoraDevice& operator=(const LumoraDevice&) = delete;
    ~LumoraDevice();

    LumoraContainer* GetContainer() const { return mContainer; }
    LumCamera* GetCamera() const { return mCamera.get(); }

    // Renders one frame now: viewport and camera, lighting, the scene's
    // objects, the draw callback, then the buffer swap. False, with no GL
    // call, when there is no drawable canvas or the canvas has no area; a
    // frame asked for while one is being drawn is refused (false).
    bool RenderFrame();
    bool IsRendering() const { return mInFrame; }
    // The program's refresh style (2: a frame on each paint and RenderFrame).
    void SetRefreshStyle(int style) { mRefreshStyle = style; }
    int GetRefreshStyle() const { return mRefreshStyle; }
    // Asks for the first frame once the callbacks are in place.
    void StartRendering();

    void SetDrawCallback(DrawCallback callback) { mDrawCallback = callback; }
    DrawCallback GetDrawCallback() const { return mDrawCallback; }
    void SetCustomEventsManager(EventsManager manager) { mEventsManager = manager; }
    EventsManager GetCustomEventsManager() const { return mEventsManager; }
    // What the events manager answers (true: consumed); false without one.
    bool CallEventsManager(const EventInfo& event) const;

    // One mouse or key event of the canvas, in this order: the gizmo (a left
    // press within 8 pixels of a handle starts a drag, which the drag
    // motions move and the release ends; a motion with no button held ends
    // a drag whose release was lost), the events manager, then, when the
    // manager did not consume the event and no gizmo drag ran during it,
    // the camera's navigation: left drag orbits the free camera and pans
    // the top view, right (or middle) drag pans, the wheel zooms. Navigation
    // starts only from a press nobody consumed and moves only once
    // "dragged since press" is set. One frame is rendered when the gizmo or
    // the camera changed and the manager did not already show it; a drag's
    // end is then cleared (not in use, not released). True when the manager
    // or the gizmo took the event.
    bool ProcessEvent(const EventInfo& event);
    // Frames rendered so far.
    unsigned long GetFrameCount() const { return mFrameCount; }

    // Shows gizmo (owned from now on) in place of the current one, which is
    // deleted; null shows none.
    void SetGizmo(LumGizmo* gizmo);
    LumGizmo* GetGizmo() const { return mGizmo.get(); }

    // Lighting for the objects drawn next (one directional light from above
    // and colour-driven materials); applied at once inside a frame, otherwise
    // from the next frame on.
    void EnableLighting(bool on);
    bool IsLightingEnabled() const { return mLighting; }

    // Binds the texture of the image file at path as the current 2D texture
    // and returns its GL name; the first call for a path loads the image,
    // later calls only bind it. The image's size in pixels becomes the
    // texture size read below. 0, with nothing bound, when the device cannot
    // draw or the image cannot be read (reported once per path). options: 0.
    unsigned int LoadTexture(const std::string& path, int options = 0);
    int GetTextureWidth() const { return mTextureWidth; }
    int GetTextureHeight() const { return mTextureHeight; }

    // Draws text (UTF-8) in the current colour, its baseline starting at the
    // origin of the current model-view matrix, parallel to the screen.
    // Inside a frame only; elsewhere nothing.
    void Draw2DText(const std::string& text);

    // The application folder.
    const std::string& GetInitialDirectory() const { return mInitialDirectory; }
    void SetInitialDirectory(const std::string& path) { mInitialDirectory = path; }

    // The scene root: objects owned by the device, found by name, drawn at
    // each frame before the draw callback (those Shown), deleted with the
    // device.
    // AddObject refuses a null object or a name already held (the object is
    // then deleted) and answers null; otherwise it answers the object, whose
    // device becomes this one.
    Object3D* AddObject(std::unique_ptr<Object3D> object);
    Object3D* FindObject(const std::string& name) const;
    // Deletes the object of that name; false when there is none.
    bool DeleteObject(const std::string& name);
    size_t GetNumberOfObjects() const { return mObjects.size(); }

private:
    // A frame is being drawn, or the container made its context current.
    bool CanDraw();
    void ApplyLighting();
    // The camera's own handling of an event nobody took; true when it moved.
    bool Navigate(const EventInfo& event);

    LumoraContainer* mContainer;
    std::unique_ptr<LumCamera> mCamera;
    std::unique_ptr<LumGizmo> mGizmo;
    std::unique_ptr<KorHashTable> mObjectNames;
    std::vector<std::unique_ptr<Object3D>> mObjects;
    DrawCallback mDrawCallback;
    EventsManager mEventsManager;
    std::string mInitialDirectory;
    int mRefreshStyle;
    bool mLighting;
    bool mInFrame;
    int mTextureWidth;
    int mTextureHeight;
    unsigned long mFrameCount;
    // The button of the navigation drag under way (0: none) and the pixel
    // it last moved the camera from.
    int mNavigationButton;
    int mNavigationX;
    int mNavigationY;
};
