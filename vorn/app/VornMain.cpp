// The program's entry point: the toolkit's own, with its build check.
#include "Tunnel.h"

wxIMPLEMENT_APP(Tunnel);
