#pragma once

#include "KorAction.h"

#include <memory>
#include <vector>

// The bounded linear undo history. Actions [0, position) are done, actions
// [position, count) are undone and can be redone; 0 <= position <= count <=
// maximum after every AddAction. The manager owns its actions and a saved
// flag, false after any change since the document was last saved.
//
// An action's callback runs before the position moves, so a callback that
// queries the manager sees the position before the step; a callback that
// marks its action failed (KorAction::MarkFailed) leaves the position and
// the saved flag as they were. While a callback
// runs, the history is not changed: recording an action or clearing the
// history then is refused (the callback's own action must stay alive).
// Not copyable.
class KorUndoManager
{
public:
    KorUndoManager() = default;
    KorUndoManager(const KorUndoManager&) = delete;
    KorUndoManager& operator=(const KorUndoManager&) = delete;
    virtual ~KorUndoManager() = default;

    // Takes ownership. Discards the redo branch, then drops the oldest
    // actions until there is room under the maximum, appends the action and
    // marks the document changed. A null action is ignored.
    void AddAction(KorAction* action);
    virtual void Undo();
    virtual void Redo();
    // Deletes every action; position 0, saved.
    void Clear();

    // A maximum of 0 is taken as 1. Lowering it below the count removes
    // nothing now; the next AddAction trims the history.
    void SetMaxUndos(unsigned int maximum) { mMaximum = maximum ? maximum : 1; }
    unsigned int GetMaxUndos() const { return mMaximum; }
    bool IsSaved() const { return mSaved; }
    void SetSaved(bool saved) { mSaved = saved; }

    unsigned int GetPosition() const { return mPosition; }
    unsigned int GetCount() const { return static_cast<unsigned int>(mHistory.size()); }
    // Action i (oldest first), null past the end. Valid until the history
    // next changes.
    KorAction* GetAction(unsigned int i) const { return i < mHistory.size() ? mHistory[i].get() : nullptr; }

private:
    unsigned int mMaximum = 20;
    unsigned int mPosition = 0;
    bool mSaved = true;
    std::vector<std::unique_ptr<KorAction>> mHistory;
    bool mRunning = false;
};
