#pragma once

#include "LumPoint.h"

#include <string>

// An open cross-section window, as the project sees it: the project updates
// every shown one after each edit of the model. The window registers with
// ProjetOVX::AddWindow when it opens and leaves with RemoveWindow.
class SectionWindow
{
public:
    virtual ~SectionWindow() = default;
    virtual bool IsShown() const = 0;
    // Recomputes and repaints the section.
    virtual void Update() = 0;
    // The section's two end points in the scene, for the 3D view's marker;
    // false when the window holds no section line yet.
    virtual bool GetSectionLine(LumPoint& a, LumPoint& b) const
    {
        (void)a;
        (void)b;
        return false;
    }
    // The name written over the marker.
    virtual std::string GetSectionName() const { return std::string(); }
};
