// The project's boreholes: storing them with their layer points, the check
// against the layer order, deletion and the CSV export.
#include "ProjetOVX.h"

#include "Couche.h"
#include "CoucheRecorders.h"
#include "CsvExport.h"
#include "ElementRecorders.h"
#include "KorNumbers.h"
#include "ModelUi.h"
#include "OVXAction.h"
#include "PointSondage.h"
#include "SceneCoordinates.h"
#include "Sondage.h"

#include <algorithm>
#include <fstream>

namespace
{
std::string Fixed3(double value)
{
    return KorFormatFixed(value, 3);
}
} // namespace

Sondage* ProjetOVX::GetSondage(const std::string& name) const
{
    for (Sondage* sondage : mSondages)
        if (sondage->Nom == name)
            return sondage;
    return nullptr;
}

Sondage* ProjetOVX::GetSondage(int index) const
{
    return index >= 0 && index < GetNumberOfSondages() ? mSondages[index] : nullptr;
}

int ProjetOVX::GetSondageIndex(const Sondage* sondage) const
{
    const auto found = std::find(mSondages.begin(), mSondages.end(), sondage);
    return found == mSondages.end() ? -1 : static_cast<int>(found - mSondages.begin());
}

int ProjetOVX::GetSondageIndex(const std::string& name) const
{
    return GetSondageIndex(GetSondage(name));
}

Sondage* ProjetOVX::SetSondage(Sondage* sondage, int index, bool record, bool check)
{
    if (check && !CheckSondage(sondage))
    {
        delete sondage;
        return nullptr;
    }
    int k = -1;
    if (!sondage->Fictif)
    {
        if (index >= 0 && index < GetNumberOfSondages())
        {
            mSondages.insert(mSondages.begin() + index, sondage);
            for (Couche* couche : mCouches)
                couche->ShiftSondagePoints(index);
        }
        else
            mSondages.push_back(sondage);
        k = GetSondageIndex(sondage);
    }
    std::vector<sAddedPoint>& added = StoredElementPoints();
    added.clear();
    for (int c = 0; c < GetNumberOfCouches(); ++c)
    {
        Couche* couche = mCouches[c];
        PointSondage* point = sondage->GetPointSondage(couche->Nom);
        if (!point)
            continue;
        const LumPoint p = WorldToScene(*this, point->GetPosition());
        // Only a point the layer takes was given an identifier when recorded.
        const int at = couche->TakesPoint(p) ? TakePlannedIdentifier(c) : -1;
        const int id = sondage->Fictif ? couche->AddPoint(p, 1, 0, false, false, at)
                                       : couche->AddPoint(p, 3, k, false, false, at);
        if (id >= 0)
            added.push_back({c, id, p, couche->GetLastAddition()});
    }
    if (record)
    {
        if (sondage->Fictif)
            RecordCouchePointsChange(added);
        else
            RecordSondageAdd(sondage);
    }
    return sondage;
}

bool ProjetOVX::CheckSondage(Sondage* sondage)
{
    ModelUi& ui = GetModelUi();
    // A '$' would come back from the file as a blank.
    if (sondage->Nom.find('$') != std::string::npos)
    {
        ui.MessageBox("Le nom d'un sondage ne peut pas contenir le caractère '$'.", "Erreur",
                      ModelUi::Buttons::Ok, 0);
        return false;
    }
    if (GetSondage(sondage->Nom))
    {
        ui.MessageBox("Un autre sondage porte déjà ce nom", "Erreur", ModelUi::Buttons::Ok, 0);
        return false;
    }
    std::vector<std::pair<Couche*, Couche::sAddition>> temporary;
    for (Couche* couche : mCouches)
        if (PointSondage* point = sondage->GetPointSondage(couche->Nom))
        {
            // A layer that refuses the point (not editable) has nothing to
            // check and nothing to remove.
            const int id = couche->AddPoint(WorldToScene(*this, point->GetPosition()), 1, 0, false, false);
            if (id >= 0)
                temporary.emplace_back(couche, couche->GetLastAddition());
        }
    bool ok = true;
    for (const auto& [couche, addition] : temporary)
    {
        const KorVertex* v = couche->GetMesh().GetVertex(addition.Id);
        if (v && couche->CheckNeighbours(LumPoint(v->X, v->Y, v->Z)) != 0)
        {
            ui.MessageBox("Impossible de placer le point de la couche'" + couche->Nom +
                              "' : il fait intersecter la couche avec une autre",
                          "Erreur", ModelUi::Buttons::Ok, 0);
            ok = false;
            break;
        }
    }
    // Taken back latest first: the check leaves the layers' tables as they
    // were, free slots included.
    for (auto it = temporary.rbegin(); it != temporary.rend(); ++it)
        it->first->TakeBackPoint(it->second);
    return ok;
}

void ProjetOVX::DeleteSondage(const std::string& name, bool record)
{
    const int k = GetSondageIndex(name);
    if (k < 0)
        return;
    if (record)
        RecordSondageDelete(mSondages[k]);
    delete mSondages[k];
    mSondages.erase(mSondages.begin() + k);
    for (Couche* couche : mCouches)
        couche->DeleteSondagePoints(k);
}

bool ProjetOVX::ChangeSondage(const std::string& name, Sondage* sondage)
{
    Sondage* old = GetSondage(name);
    if (!old)
    {
        delete sondage;
        return false;
    }
    const int index = GetSondageIndex(old);
    XMLNode snapshot = OVXAction::NewSnapshot();
    old->ToXML(snapshot);
    const std::vector<sAddedPoint> points = SondagePoints(old);
    // The old borehole goes first, so that the new one may keep its name.
    DeleteSondage(name, false);
    if (!CheckSondage(sondage))
    {
        delete sondage;
        StoreSondageAgain(snapshot, index, points);
        return false;
    }
    SetSondage(sondage, index, false, false);
    RecordSondageChange(sondage, snapshot, points);
    return true;
}

bool ProjetOVX::WriteSondagesCSV(std::ostream& out) const
{
    out << "Sondage;X;Y;Z;Azimut;Pendage;Profondeur totale;Couche;Profondeur\n";
    for (const Sondage* sondage : mSondages)
    {
        out << QuoteCSVField(sondage->Nom) << ";" << Fixed3(sondage->PosX) << ";" << Fixed3(sondage->PosY)
            << ";" << Fixed3(sondage->PosZ) << ";" << Fixed3(sondage->Azimut) << ";"
            << Fixed3(sondage->Pendage) << ";" << Fixed3(sondage->Profondeur) << ";";
        bool first = true;
        for (const Couche* couche : mCouches)
            if (const PointSondage* point = sondage->GetPointSondage(couche->Nom))
            {
                if (!first)
                    out << ";;;;;;;";
                first = false;
                out << QuoteCSVField(couche->Nom) << ";" << Fixed3(point->Profondeur) << "\n";
            }
        if (first)
            out << "\n";
    }
    return static_cast<bool>(out);
}

void ProjetOVX::ExportSondagesCSV()
{
    ExportCSVFile([this](std::ostream& out) { return WriteSondagesCSV(out); });
}
