#pragma once

#include "LumPoint.h"

#include <string>

class Decor;
class KorAction;

// Undo of the scenery. Every callback first saves the camera of the mode.
// - add and delete: value 1 the index; the snapshot node holds the object.
//   The delete's undo is the add's redo and the other way round;
// - appearance: index, old colour, new colour (0..1), old texture, new
//   texture;
// - transform: index, scale, translation, rotation, of which only the
//   component applied is not zero. Undo applies its inverse (1 / scale,
//   minus the translation or the rotation), redo applies it again.
void RecordDecorAdd(Decor* decor, int index);
void RecordDecorDelete(Decor* decor, int index);
void RecordDecorAppearanceChange(int index, const LumPoint& oldColour, const LumPoint& newColour,
                                 const std::string& oldTexture, const std::string& newTexture);
void RecordDecorTransform(int index, double scale, const LumPoint& translation, const LumPoint& rotation);

void UndoDecorAdd(KorAction* action);
void RedoDecorAdd(KorAction* action);
void UndoDecorAppearanceChange(KorAction* action);
void RedoDecorAppearanceChange(KorAction* action);
void UndoDecorTransform(KorAction* action);
void RedoDecorTransform(KorAction* action);
