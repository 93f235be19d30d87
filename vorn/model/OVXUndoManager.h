#pragma once

#include "KorUndoManager.h"

// Set by an undo that only redraws (the action was recorded under the tool
// still installed); cleared when a tool ends. Tools that show a gizmo on
// an element read it to put the gizmo back on the restored element.
extern bool gUndoLightRefresh;

// The project's history. After an undo or a redo it only redraws when the
// action was recorded under the tool installed now, so that the tool keeps
// running; otherwise (another tool, or an action of no tool) it ends the
// current tool first.
class OVXUndoManager : public KorUndoManager
{
public:
    OVXUndoManager() = default;

    void Undo() override;
    void Redo() override;

private:
    // True when the action at i must end the current tool before the redraw.
    bool NeedsFullRefresh(unsigned int i) const;
};
