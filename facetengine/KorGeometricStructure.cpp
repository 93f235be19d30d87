#include "KorGeometricStructure.h"

// Out of line so the vtable lives in the library.
KorGeometricStructure::~KorGeometricStructure() = default;
