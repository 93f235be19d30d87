#include "KorEdge.h"

KorEdge::~KorEdge() = default;
