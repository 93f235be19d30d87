#include "LumoraDevice.h"

#include "EventInfo.h"
#include "Instance3D.h"
#include "KorException.h"
#include "KorHashTable.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "LumGizmoHandles.h"
#include "LumTextRenderer.h"
#include "LumTextureCache.h"
#include "LumoraContainer.h"
#include "Object3D.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace
{
// Degrees of orbit per pixel dragged, and the distance factor of one wheel
// notch towards the scene.
const double kOrbitRate = 0.4;
const double kWheelZoom = 0.85;
} // namespace

LumoraDevice::LumoraDevice(LumoraContainer* container)
    : mContainer(container), mCamera(new LumCamera(this)), mObjectNames(new KorHashTable(101, true)),
      mDrawCallback(nullptr), mEventsManager(nullptr), mRefreshStyle(0), mLighting(false), mInFrame(false),
      mTextureWidth(0), mTextureHeight(0), mFrameCount(0), mNavigationButton(0), mNavigationX(0),
      mNavigationY(0)
{
}

LumoraDevice::~LumoraDevice()
{
    // Objects release what they keep in the context while it can still be
    // made current; the dictionary lets go of them before they are deleted.
    if (!mObjects.empty() && mContainer && mContainer->ActivateContext())
        for (auto& object : mObjects)
            object->CloseRenderingContext();
    mObjectNames->Clear();
}

bool LumoraDevice::CanDraw()
{
    return mInFrame || (mContainer && mContainer->ActivateContext());
}

bool LumoraDevice::RenderFrame()
{
    if (mInFrame || !mContainer)
        return false;
    int width = 0, height = 0;
    mContainer->GetDimensions(width, height);
    if (width <= 0 || height <= 0 || !mContainer->ActivateContext())
        return false;
    mCamera->SetCanvasSize(width, height);
    // Cleared however the callbacks leave, so that a throwing callback does
    // not stop every later frame.
    struct FrameFlag
    {
        bool& flag;
        explicit FrameFlag(bool& f) : flag(f) { flag = true; }
        ~FrameFlag() { flag = false; }
    } inFrame(mInFrame);

    // Every canvas shares the one context: start from a known state rather
    // than from what another canvas's callbacks left.
    glViewport(0, 0, width, height);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    for (int plane = 0; plane < 6; ++plane)
        glDisable(GL_CLIP_PLANE0 + plane);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glPointSize(1.0f);
    glLineWidth(1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    mCamera->Apply();
    ApplyLighting();

    for (auto& object : mObjects)
    {
        if (!object->Shown)
            continue;
        Instance3D instance(object.get());
        object->Render(&instance);
    }
    if (mDrawCallback)
        mDrawCallback(this);
    // Over everything the callback drew, in window pixels.
    if (mGizmo)
        LumGizmoHandles(*mGizmo, *mCamera).Render(width, height, mGizmo->GetActiveHandle());

    ++mFrameCount;
    glFlush();
    mContainer->PresentFrame();
    return true;
}

void LumoraDevice::StartRendering()
{
    RenderFrame();
}

bool LumoraDevice::CallEventsManager(const EventInfo& event) const
{
    return mEventsManager && mEventsManager(event);
}

bool LumoraDevice::ProcessEvent(const EventInfo& event)
{
    // Pixels are read against the canvas as it is now, even when it was
    // resized since the last frame.
    if (mContainer)
    {
        int width = 0, height = 0;
        mContainer->GetDimensions(width, height);
        if (width > 0 && height > 0)
            mCamera->SetCanvasSize(width, height);
    }
    bool changed = false;
    bool gizmoDrag = false;
    LumGizmo* gizmo = mGizmo.get();
    if (gizmo && gizmo->IsInUse() && !gizmo->IsReleased())
    {
        gizmoDrag = true;
        if (event.dragged)
            changed = gizmo->DragTo(*mCamera, event.x, event.y);
        else
        {
            gizmo->SetMoving(false);
            if (event.moved || (event.released && event.button == 1))
            {
                gizmo->EndDrag();
                changed = true;
            }
        }
    }
    else if (gizmo && event.pressed && event.button == 1 && gizmo->StartDrag(*mCamera, event.x, event.y))
    {
        gizmoDrag = true;
        changed = true;
    }

    const unsigned long frames = mFrameCount;
    const bool consumed = CallEventsManager(event);
    if (mFrameCount != frames)
        changed = false; // the manager showed the gizmo's change already

    if (!consumed && !gizmoDrag)
        changed = Navigate(event) || changed;
    else if (event.pressed || event.released)
        mNavigationButton = 0;
    else if (event.dragged)
    {
        // A navigation drag whose motion someone else took goes on from
        // here, without a jump.
        mNavigationX = event.x;
        mNavigationY = event.y;
    }

    if (changed)
        RenderFrame();
    // The manager may have replaced the gizmo; a fresh one has nothing to clear.
    if (mGizmo && mGizmo.get() == gizmo && gizmo->IsReleased())
        gizmo->FinishRelease();
    return consumed || gizmoDrag;
}

bool LumoraDevice::Navigate(const EventInfo& event)
{
    if (event.wheel != 0)
        return mCamera->Zoom(std::pow(kWheelZoom, event.wheel));
    if (event.pressed)
    {
        mNavigationButton = event.button;
        mNavigationX = event.x;
        mNavigationY = event.y;
        return false;
    }
    if (event.released || event.moved)
    {
        mNavigationButton = 0;
        return false;
    }
    if (!event.dragged || !event.draggedSincePress || mNavigationButton == 0 ||
        event.button != mNavigationButton)
        return false;
    const int dx = event.x - mNavigationX, dy = event.y - mNavigationY;
    mNavigationX = event.x;
    mNavigationY = event.y;
    if (dx == 0 && dy == 0)
        return false;
    if (mNavigationButton == 1 && mCamera->GetMode() == LumCamera::Free)
        return mCamera->Orbit(-dx * kOrbitRate, dy * kOrbitRate);
    return mCamera->Pan(dx, dy);
}

void LumoraDevice::SetGizmo(LumGizmo* gizmo)
{
    if (gizmo != mGizmo.get())
        mGizmo.reset(gizmo);
}

void LumoraDevice::EnableLighting(bool on)
{
    mLighting = on;
    if (mInFrame)
        ApplyLighting();
}

void LumoraDevice::ApplyLighting()
{
    if (!mLighting)
    {
        glDisable(GL_LIGHTING);
        return;
    }
    // A directional light from above in scene coordinates, whatever the
    // model-view holds now; materials follow the current colour.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const GLfloat direction[4] = {0.3f, 0.2f, 1.0f, 0.0f};
    const GLfloat ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glPopMatrix();
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
}

unsigned int LumoraDevice::LoadTexture(const std::string& path, int)
{
    if (!CanDraw())
        return 0;
    int width = 0, height = 0;
    const unsigned int name = LumTextureCache::Bind(path, width, height);
    if (name != 0)
    {
        mTextureWidth = width;
        mTextureHeight = height;
    }
    return name;
}

void LumoraDevice::Draw2DText(const std::string& text)
{
    if (mInFrame && !text.empty())
        LumTextRenderer::Draw(text);
}

Object3D* LumoraDevice::AddObject(std::unique_ptr<Object3D> object)
{
    if (!object)
        return nullptr;
    if (mObjectNames->AddElement(object.get()) == 0)
    {
        KorReport("LumoraDevice::AddObject", "an object named '" + object->GetName() + "' is already held");
        return nullptr;
    }
    object->SetDevice(this);
    mObjects.push_back(std::move(object));
    return mObjects.back().get();
}

Object3D* LumoraDevice::FindObject(const std::string& name) const
{
    return static_cast<Object3D*>(mObjectNames->Search(name));
}

bool LumoraDevice::DeleteObject(const std::string& name)
{
    Object3D* object = FindObject(name);
    if (!object)
        return false;
    mObjectNames->RemoveElement(object);
    if (mContainer && mContainer->ActivateContext())
        object->CloseRenderingContext();
    mObjects.erase(std::find_if(mObjects.begin(), mObjects.end(),
                                [object](const std::unique_ptr<Object3D>& o) { return o.get() == object; }));
    return true;
}
