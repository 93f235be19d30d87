// The project's image sections: storing them with their layer points, the
// check against the layer order and deletion.
#include "ProjetOVX.h"

#include "Couche.h"
#include "CoucheRecorders.h"
#include "Coupe.h"
#include "ElementRecorders.h"
#include "ModelUi.h"
#include "OVXAction.h"

#include <algorithm>
#include <cmath>

Coupe* ProjetOVX::GetCoupe(const std::string& name) const
{
    for (Coupe* coupe : mCoupes)
        if (coupe->Nom == name)
            return coupe;
    return nullptr;
}

Coupe* ProjetOVX::GetCoupe(int index) const
{
    return index >= 0 && index < GetNumberOfCoupes() ? mCoupes[index] : nullptr;
}

int ProjetOVX::GetCoupeIndex(const Coupe* coupe) const
{
    const auto found = std::find(mCoupes.begin(), mCoupes.end(), coupe);
    return found == mCoupes.end() ? -1 : static_cast<int>(found - mCoupes.begin());
}

int ProjetOVX::GetCoupeIndex(const std::string& name) const
{
    return GetCoupeIndex(GetCoupe(name));
}

bool ProjetOVX::CheckCoupe(Coupe* coupe, const std::string& crossing)
{
    ModelUi& ui = GetModelUi();
    // A '$' would come back from the file as a blank.
    if (coupe->Nom.find('$') != std::string::npos)
    {
        ui.MessageBox("Le nom d'une coupe ne peut pas contenir le caractère '$'.", "Erreur");
        return false;
    }
    if (GetCoupe(coupe->Nom))
    {
        ui.MessageBox("Une autre coupe porte déjà ce nom", "Erreur");
        return false;
    }
    // Without two distinct reference abscissas or a usable vertical scale
    // every point of the section would be NaN or infinite.
    if (!(std::fabs(coupe->Ref2.X - coupe->Ref1.X) >= 1e-5))
    {
        ui.MessageBox("Les deux points de référence doivent avoir des abscisses différentes sur l'image",
                      "Erreur");
        return false;
    }
    if (!std::isfinite(coupe->EchelleVerticale) || !(coupe->EchelleVerticale > 0.0))
    {
        ui.MessageBox("L'échelle verticale doit être un réel > 0", "Erreur");
        return false;
    }
    std::vector<std::pair<Couche*, Couche::sAddition>> temporary;
    for (int k = 0; k < coupe->GetNumberOfCouches(); ++k)
    {
        Couche* couche = GetCouche(coupe->Couches[k]);
        if (!couche || k >= static_cast<int>(coupe->Coordinates.size()))
            continue;
        for (const CoupeCoord& coord : coupe->Coordinates[k])
        {
            const int id = couche->AddPoint(coupe->GetScenePoint(coord), 1, 0, false, false);
            if (id >= 0)
                temporary.emplace_back(couche, couche->GetLastAddition());
        }
    }
    bool ok = true;
    for (const auto& [couche, addition] : temporary)
    {
        const KorVertex* v = couche->GetMesh().GetVertex(addition.Id);
        double a = 0.0;
        if (!v || couche->CheckNeighbours(LumPoint(v->X, v->Y, v->Z), &a) == 0)
            continue;
        // Points read off a drawing are allowed 10 % past a neighbour.
        if (!(std::fabs((v->Z - a) / a) < 0.1))
        {
            ok = false;
            break;
        }
    }
    // Taken back latest first: the check leaves the layers' tables as they
    // were, free slots included.
    for (auto it = temporary.rbegin(); it != temporary.rend(); ++it)
        it->first->TakeBackPoint(it->second);
    if (!ok && !crossing.empty())
        ui.MessageBox(crossing, "Erreur");
    return ok;
}

Coupe* ProjetOVX::SetCoupe(Coupe* coupe, int index, bool validate, bool record)
{
    if (validate && !CheckCoupe(coupe))
    {
        delete coupe;
        return nullptr;
    }
    int s = -1;
    if (!coupe->Fictive)
    {
        if (index >= 0 && index < GetNumberOfCoupes())
        {
            mCoupes.insert(mCoupes.begin() + index, coupe);
            for (Couche* couche : mCouches)
                couche->ShiftCoupePoints(index);
            s = index;
        }
        else
        {
            mCoupes.push_back(coupe);
            s = GetNumberOfCoupes() - 1;
        }
    }
    std::vector<sAddedPoint>& added = StoredElementPoints();
    added.clear();
    for (int k = 0; k < coupe->GetNumberOfCouches(); ++k)
    {
        Couche* couche = GetCouche(coupe->Couches[k]);
        if (!couche || k >= static_cast<int>(coupe->Coordinates.size()))
            continue;
        const int layer = GetCoucheIndex(couche);
        for (const CoupeCoord& coord : coupe->Coordinates[k])
        {
            // A point that is not finite is refused by the layer (undo and
            // redo place points without the check): it is skipped, and was
            // given no identifier when recorded.
            const LumPoint p = coupe->GetScenePoint(coord);
            const int at = couche->TakesPoint(p) ? TakePlannedIdentifier(layer) : -1;
            const int id = coupe->Fictive ? couche->AddPoint(p, 1, 0, false, false, at)
                                          : couche->AddPoint(p, 4, s, false, false, at);
            if (id >= 0)
                added.push_back({layer, id, p, couche->GetLastAddition()});
        }
    }
    if (record)
    {
        if (coupe->Fictive)
            RecordCouchePointsChange(added);
        else
            RecordCoupeAdd(coupe);
    }
    return coupe;
}

void ProjetOVX::DeleteCoupe(const std::string& name, bool record)
{
    const int k = GetCoupeIndex(name);
    if (k < 0)
        return;
    if (record)
        RecordCoupeDelete(mCoupes[k]);
    delete mCoupes[k];
    mCoupes.erase(mCoupes.begin() + k);
    for (Couche* couche : mCouches)
        couche->DeleteCoupePoints(k);
}

bool ProjetOVX::ChangeCoupe(const std::string& name, Coupe* coupe, const std::string& crossing)
{
    Coupe* old = GetCoupe(name);
    if (!old)
    {
        delete coupe;
        return false;
    }
    const int index = GetCoupeIndex(old);
    XMLNode snapshot = OVXAction::NewSnapshot();
    old->ToXML(snapshot);
    const std::vector<sAddedPoint> points = CoupePoints(old);
    DeleteCoupe(name, false);
    if (!CheckCoupe(coupe, crossing))
    {
        delete coupe;
        StoreCoupeAgain(snapshot, index, points);
        return false;
    }
    SetCoupe(coupe, index, false, false);
    RecordCoupeChange(coupe, snapshot, points);
    return true;
}
