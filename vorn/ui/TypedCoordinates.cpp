#include "TypedCoordinates.h"

#include "ChampTexte.h"
#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "InterfaceModes.h"
#include "KorNumbers.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "ShownValues.h"
#include "TypedValues.h"

#include <cmath>
#include <sstream>

namespace
{
ChampTexte* sFields[3] = {nullptr, nullptr, nullptr};

double ReadField(int i)
{
    return sFields[i] ? TypedNumber(std::string(sFields[i]->GetValue().ToUTF8())) : 0.0;
}

// ChangeValue leaves the field unmodified: only the user's typing counts.
void WriteField(int i, const std::string& text)
{
    if (sFields[i])
        sFields[i]->ChangeValue(wxString::FromUTF8(text));
}

// X and Y with 7 decimals, as a French user reads them ("12,5000000"); a
// field left untyped reads back the same number (TypedNumber).
std::string PlanText(double value)
{
    return WithDecimalComma(KorFormatFixed(value, 7));
}

std::string DefaultText(double value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}
} // namespace

void SetCoordinateFields(ChampTexte* x, ChampTexte* y, ChampTexte* z)
{
    sFields[0] = x;
    sFields[1] = y;
    sFields[2] = z;
}

LumPoint ReadCoordinates()
{
    return LumPoint(ReadField(0), ReadField(1), ReadField(2));
}

LumPoint GetCursorWorldPoint(const EventInfo& event)
{
    LumoraDevice* device = gFenetreTunnel ? gFenetreTunnel->GetMainDevice() : nullptr;
    if (!device)
        return LumPoint();
    LumPoint world = SceneToWorld(gProjet, device->GetCamera()->GetPosition(event.x, event.y));
    WriteField(0, PlanText(world.x));
    WriteField(1, PlanText(world.y));
    world.z = ReadField(2);
    return world;
}

void ShowCoordinates(const LumPoint& scenePoint)
{
    const LumPoint world = SceneToWorld(gProjet, scenePoint);
    WriteField(0, PlanText(world.x));
    WriteField(1, PlanText(world.y));
    WriteField(2, DefaultText(world.z));
}

void OnCoordinatesEntered()
{
    if (!gToolPointAction)
        return;
    const LumPoint world = ReadCoordinates();
    if (!std::isfinite(world.x) || !std::isfinite(world.y) || !std::isfinite(world.z))
    {
        ShowNonFiniteValuesMessage();
        return;
    }
    gToolPointAction(WorldToScene(gProjet, world));
}

void OnCoordinateFieldLeft(ChampTexte*)
{
    OnCoordinatesEntered();
}

void EnableCoordinateFields(bool x, bool y, bool z)
{
    const bool on[3] = {x, y, z};
    for (int i = 0; i < 3; ++i)
        if (sFields[i])
            sFields[i]->Enable(on[i]);
}

void ShowDepth(double depth)
{
    WriteField(2, KorFormatFixed(depth, 7));
}
