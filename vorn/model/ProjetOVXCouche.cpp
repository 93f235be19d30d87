// The project's layer list, the layer hooks of the plan settings and the
// displayed zone.
#include "ProjetOVX.h"

#include "Couche.h"
#include "ModelUi.h"
#include "ZoneRecorders.h"

#include <algorithm>

Couche* ProjetOVX::GetCouche(int index) const
{
    return index >= 0 && index < GetNumberOfCouches() ? mCouches[index] : nullptr;
}

Couche* ProjetOVX::GetCouche(const std::string& name) const
{
    for (Couche* couche : mCouches)
        if (couche->Nom == name)
            return couche;
    return nullptr;
}

int ProjetOVX::GetCoucheIndex(const Couche* couche) const
{
    const auto found = std::find(mCouches.begin(), mCouches.end(), couche);
    return found == mCouches.end() ? -1 : static_cast<int>(found - mCouches.begin());
}

Couche* ProjetOVX::AddCouche(const std::string& name, unsigned int index)
{
    if (index > mCouches.size())
        return nullptr;
    auto* couche = new Couche(name);
    mCouches.insert(mCouches.begin() + index, couche);
    FillCoucheCombo();
    SetCoucheCourante(static_cast<int>(index));
    SetGeometryChanged();
    InvalidateResults();
    RefreshWindows();
    return couche;
}

void ProjetOVX::DeleteCouche(int index, int newCurrent)
{
    if (index < 0 || index >= GetNumberOfCouches())
        return;
    delete mCouches[index];
    mCouches.erase(mCouches.begin() + index);
    FillCoucheCombo();
    SetCoucheCourante(newCurrent);
    SetGeometryChanged();
    InvalidateResults();
    RefreshWindows();
}

void ProjetOVX::RescaleCouchesZ(double ratio)
{
    for (Couche* couche : mCouches)
    {
        KorMesh& mesh = couche->GetMesh();
        for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
            if (KorVertex* v = mesh.GetVertex(id))
                v->Z *= ratio;
        couche->SetGeometryChanged();
    }
}

void ProjetOVX::MarkCouchesTexturesChanged()
{
    for (Couche* couche : mCouches)
        couche->InvalidateTextureCoordinates();
}

void ProjetOVX::SetZoneAffichee(bool on)
{
    ZoneAffichee = on;
    GetModelUi().CheckMenuItem(60, on);
    GetModelUi().RefreshDisplay();
}

void ProjetOVX::SetZone(const LumPoint& c1, const LumPoint& c2, bool normalise, bool geometry)
{
    LumPoint first = c1, second = c2;
    if (normalise)
    {
        first = LumPoint(std::min(c1.x, c2.x), std::max(c1.y, c2.y), 0.0);
        second = LumPoint(std::max(c1.x, c2.x), std::min(c1.y, c2.y), 0.0);
        RecordZoneChange(Limite1, Limite2, first, second);
    }
    Limite1 = first;
    Limite2 = second;
    if (geometry)
        m3DGeometryChanged = true;
    GetModelUi().RefreshDisplay();
}
