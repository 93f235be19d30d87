#pragma once

#include "BaseDialog3D.h"
#include "LumPoint.h"

#include <string>

class CoupeTerrain;
class wxRadioBox;

// Picks the line of a terrain section with two clicks in a small top view
// of the terrain; the section type constrains the second point. Modal, on
// its opener's stack. With a CoupeTerrain as parent it moves that section
// (live while the mouse moves); otherwise it creates a new one.
class Dialog3DCoupe : public BaseDialog3D
{
public:
    Dialog3DCoupe(wxWindow* parent, const std::string& title);

    // Ends the picking: a line of at least 1e-5 creates or moves the
    // section and closes the dialog; a shorter one does nothing.
    void CreateSection();
    void SetFirstPoint(const LumPoint& p) { FirstPoint = p; }
    void SetSecondPoint(const LumPoint& p) { SecondPoint = p; }
    void RefreshView() { RenderView(); }
    // The section window this dialog moves, or null.
    CoupeTerrain* GetSection() const;
    // The picking's reaction to one event at scene point p.
    void HandleEvent(const EventInfo& event, const LumPoint& p);

    wxRadioBox* TypeBox = nullptr;
    int SectionType = 0;
    int PickState = 0;
    LumPoint FirstPoint;
    LumPoint SecondPoint;
    LumPoint AxisPoint;
    double AxisAngle = 0.0;

private:
    void OnSectionTypeSelected(wxCommandEvent& event);
};

// Picks a new section over the main frame (the section command).
void ShowSectionPicking();

bool OnSectionPickingEvent(const EventInfo& event);
void DrawSectionPicking(LumoraDevice* device);
