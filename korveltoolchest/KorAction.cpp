#include "KorAction.h"

void KorAction::Undo()
{
    mUndo.Call(this);
}

void KorAction::Redo()
{
    mRedo.Call(this);
}
