#include "BaseDialog3D.h"

#include "Couche.h"
#include "EventInfo.h"
#include "GL_Window.h"
#include "InterfaceModes.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "ProjetOVX.h"

#include <algorithm>
#include <cmath>

BaseDialog3D::BaseDialog3D(wxWindow* parent, const std::string& title, int cameraMode,
                           bool (*eventsManager)(const EventInfo&), void (*drawCallback)(LumoraDevice*))
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8(title), wxDefaultPosition, wxSize(400, 500),
               wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxMAXIMIZE_BOX | wxCLOSE_BOX | wxRESIZE_BORDER)
{
    mCanvas = new GL_Window(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, "GLCanvas");
    mCanvas->SetInitialDirectory(gProjet.GetApplicationFolder());

    // Framed from above on the first layer's box, half as wide again.
    LumCamera* camera = GetDevice()->GetCamera();
    camera->ChangeCameraMode(cameraMode);
    camera->SetPosition(0, 0, 0);
    if (Couche* couche = gProjet.GetCouche(0))
    {
        LumPoint lo, hi;
        couche->GetBoundingBox(lo, hi);
        const double cx = (lo.x + hi.x) / 2, cy = (lo.y + hi.y) / 2;
        camera->SetDistance(1.5 * std::max(std::fabs(hi.x - lo.x), std::fabs(hi.y - lo.y)));
        camera->SetPosition(cx, cy, 10000);
        camera->SetTarget(cx, cy, 0);
    }

    LumoraDevice* device = GetDevice();
    device->SetRefreshStyle(2);
    device->SetCustomEventsManager(eventsManager);
    device->SetDrawCallback(drawCallback);
    device->StartRendering();

    Bind(wxEVT_CLOSE_WINDOW, &BaseDialog3D::OnClose, this);
}

BaseDialog3D::~BaseDialog3D()
{
    // However the dialog ends, the main view must stop drawing through it.
    gPlacementDrawer = nullptr;
}

LumoraDevice* BaseDialog3D::GetDevice() const
{
    return mCanvas->getDevice();
}

void BaseDialog3D::RenderView()
{
    mCanvas->RenderFrame();
}

BaseDialog3D* BaseDialog3D::FromEvent(const EventInfo& event)
{
    if (!event.source)
        return nullptr;
    return dynamic_cast<BaseDialog3D*>(wxGetTopLevelParent(event.source));
}

void BaseDialog3D::OnClose(wxCloseEvent&)
{
    gPlacementDrawer = nullptr;
    // A modal dialog belongs to its opener's stack frame: Destroy would free
    // it a second time at the next idle.
    if (IsModal())
        EndModal(wxID_CANCEL);
    else
        Destroy();
}
