#include "KorUndoManager.h"

#include "KorException.h"

namespace
{
// Marks a callback as running for its whole extent, even if it throws.
class RunningScope
{
public:
    explicit RunningScope(bool& running) : mRunning(running) { mRunning = true; }
    ~RunningScope() { mRunning = false; }
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;

private:
    bool& mRunning;
};
} // namespace

void KorUndoManager::AddAction(KorAction* action)
{
    std::unique_ptr<KorAction> owned(action);
    if (!owned)
        return;
    if (mRunning)
    {
        KorReport("KorUndoManager::AddAction",
                  "An action cannot be recorded while an undo or a redo is running");
        return;
    }
    mHistory.resize(mPosition);
    if (mHistory.size() >= mMaximum)
        mHistory.erase(mHistory.begin(), mHistory.begin() + (mHistory.size() - mMaximum + 1));
    mHistory.push_back(std::move(owned));
    mPosition = static_cast<unsigned int>(mHistory.size());
    mSaved = false;
}

void KorUndoManager::Undo()
{
    if (mPosition > mHistory.size())
    {
        KorReport("KorUndoManager::Undo", "The current function position is out of bounds");
        return;
    }
    if (mPosition == 0 || mRunning)
        return;
    {
        const RunningScope running(mRunning);
        mHistory[mPosition - 1]->Undo();
    }
    if (mHistory[mPosition - 1]->TakeFailed())
        return;
    --mPosition;
    mSaved = false;
}

void KorUndoManager::Redo()
{
    if (mPosition > mHistory.size())
    {
        KorReport("KorUndoManager::Redo", "The current function position is out of bounds");
        return;
    }
    if (mPosition >= mHistory.size() || mRunning)
        return;
    {
        const RunningScope running(mRunning);
        mHistory[mPosition]->Redo();
    }
    if (mHistory[mPosition]->TakeFailed())
        return;
    ++mPosition;
    mSaved = false;
}

void KorUndoManager::Clear()
{
    if (mRunning)
    {
        KorReport("KorUndoManager::Clear",
                  "The history cannot be cleared while an undo or a redo is running");
        return;
    }
    mHistory.clear();
    mPosition = 0;
    mSaved = true;
}
