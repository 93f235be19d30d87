#pragma once

#include "AnyVariable.h"
#include "KorCallback.h"

#include <memory>
#include <vector>

// One undoable edit: an undo and a redo callback, and the values they read
// back by position. The action owns its values. Not copyable.
class KorAction
{
public:
    using Callback = void (*)(KorAction*);

    KorAction() = default;
    KorAction(const KorAction&) = delete;
    KorAction& operator=(const KorAction&) = delete;
    virtual ~KorAction() = default;

    void SetUndo(Callback function) { mUndo.Set(function); }
    void SetRedo(Callback function) { mRedo.Set(function); }

    // Call the callback, if any, with this action.
    virtual void Undo();
    virtual void Redo();

    // Called by a callback that could not make its step (a file it reads
    // has gone): the undo manager then leaves its position where it was.
    void MarkFailed() { mFailed = true; }
    // Whether the last callback failed; clears the mark.
    bool TakeFailed()
    {
        const bool failed = mFailed;
        mFailed = false;
        return failed;
    }

    // Appends a new value holding a copy of value (any type that
    // AnyVariable stores: int, float, double, bool, string, LumPoint,
    // pointer).
    template <typename T> void AddVariable(const T& value)
    {
        auto variable = std::make_unique<AnyVariable>();
        *variable = value;
        mVariables.push_back(std::move(variable));
    }

    int GetNombreVariables() const { return static_cast<int>(mVariables.size()); }
    // Value i, null when there is none. A callback may change it (for
    // example to keep a new identifier for the next undo).
    AnyVariable* GetVariable(int i) const
    {
        return i >= 0 && i < GetNombreVariables() ? mVariables[i].get() : nullptr;
    }

private:
    KorCallback<KorAction*> mUndo;
    KorCallback<KorAction*> mRedo;
    std::vector<std::unique_ptr<AnyVariable>> mVariables;
    bool mFailed = false;
};
