#pragma once

#include "BaseDialog3D.h"
#include "LumPoint.h"

class wxButton;
class wxStaticText;

// The trench-head placement dialog: the terrain seen from above, the
// nearest axis point to the mouse followed with its position and the cover
// over the tunnel vault, a button that turns the head round, and a left
// click that places the head there and closes the dialog. Modal, on its
// opener's stack; while open the main 3D view draws the head at the
// candidate through the placement hook.
class Dialog3D : public BaseDialog3D
{
public:
    Dialog3D(wxWindow* parent, const std::string& title, int cameraMode);
    ~Dialog3D() override;

    void OnChangeDirection(wxCommandEvent& event);
    // Follows the axis point nearest to p (scene units) in the labels.
    void UpdatePlacementLabels(const LumPoint& p);

    const LumPoint& GetCandidate() const { return mCandidate; }
    double GetDirection() const { return mDirection; }
    double GetSlope() const { return mSlope; }
    bool GetDirectionFlag() const { return mDirectionFlag; }
    wxStaticText* GetCoverLabel() const { return mCoverLabel; }
    wxStaticText* GetPositionLabel() const { return mPositionLabel; }
    wxButton* GetDirectionButton() const { return mDirectionButton; }

private:
    wxStaticText* mCoverLabel = nullptr;
    wxStaticText* mPositionLabel = nullptr;
    wxButton* mDirectionButton = nullptr;
    LumPoint mCandidate;
    double mDirection = 0.0;
    double mSlope = 0.0;
    bool mDirectionFlag = false;
};

// The open placement dialog, or null.
extern Dialog3D* gDialog3D;

// The dialog's own drawing: the first layer's wireframe, the head at the
// candidate and the axis.
void RenderTetePlacement(LumoraDevice* device);
// The head at the candidate, turned along the axis (also the main view's
// placement hook); nothing while no placement dialog is open.
void DrawTeteAtPlacement(LumoraDevice* device);
// Follows the mouse; a left click places the head and closes the dialog.
// Never consumes the event, so the camera still moves.
bool OnTetePlacementEvent(const EventInfo& event);
