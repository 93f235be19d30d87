#pragma once

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
};
