#include "KorFace.h"

KorFace::~KorFace() = default;
