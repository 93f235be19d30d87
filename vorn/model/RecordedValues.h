#pragma once

#include "KorAction.h"

// Reading the values of an undo action by position (from 1, as recorded);
// a missing value reads as the type's zero.
template <typename T> T RecordedValue(const KorAction* action, int position)
{
    T value{};
    if (const AnyVariable* variable = action->GetVariable(position - 1))
        value << *variable;
    return value;
}

// Replaces the value at that position (a new identifier for the next run).
template <typename T> void SetRecordedValue(KorAction* action, int position, const T& value)
{
    if (AnyVariable* variable = action->GetVariable(position - 1))
        *variable = value;
}
