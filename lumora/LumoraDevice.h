#pragma once

// The rendering device of one 3D canvas. Opaque to the libraries: render
// functions receive it and pass it on, and objects may be built without one
// (a null device). The program-side class is described in README.md.
class LumoraDevice;
