// The discontinuity families of the project, keyed by name.
#include "ProjetOVX.h"

#include "Couche.h"

#include "Discontinuite.h"
#include "DiscontinuiteRecorders.h"
#include "ModelUi.h"

#include <iterator>

Discontinuite* ProjetOVX::AddDiscontinuite(const std::string& name, bool record, bool refreshDialog)
{
    // The user's names only: an undo gives back a family an older file
    // named so.
    if (mDiscontinuites.count(name) || (record && Discontinuite::ForbiddenNameChar(name)))
        return nullptr;
    auto* family = new Discontinuite(name);
    mDiscontinuites[name] = family;
    if (record)
        RecordDiscontinuiteAdd(name);
    if (refreshDialog)
    {
        ModelUi& ui = GetModelUi();
        ui.FillDiscontinuityFamilies();
        ui.SelectDiscontinuityFamily(name);
    }
    return family;
}

void ProjetOVX::DeleteDiscontinuite(const std::string& name, bool record)
{
    const auto found = mDiscontinuites.find(name);
    if (found == mDiscontinuites.end())
        return;
    Discontinuite* family = found->second;
    const std::vector<int> couches = RemoveDiscontinuiteFromCouches(name);
    mDiscontinuites.erase(found);
    if (record)
        RecordDiscontinuiteDelete(*family, couches);
    GetModelUi().FillDiscontinuityFamilies();
    delete family;
}

Discontinuite* ProjetOVX::GetDiscontinuite(int position) const
{
    if (position < 0 || position >= GetNumberOfDiscontinuites())
        return nullptr;
    return std::next(mDiscontinuites.begin(), position)->second;
}

Discontinuite* ProjetOVX::GetDiscontinuite(const std::string& name) const
{
    const auto found = mDiscontinuites.find(name);
    return found == mDiscontinuites.end() ? nullptr : found->second;
}

namespace
{
std::vector<std::vector<std::string>*> FamilyLists(const std::vector<Couche*>& couches)
{
    std::vector<std::vector<std::string>*> lists;
    for (Couche* couche : couches)
        lists.push_back(&couche->Discontinuites);
    return lists;
}

// A layer whose family list changed shows it again, unrecorded. The list
// is already the new one, so its surfaces are marked out of date here.
void ApplyFamilies(Couche& couche)
{
    const std::vector<std::string> families = couche.Discontinuites;
    couche.SetAppearance(couche.GetColour(), couche.Texture, couche.Opacite, couche.FrontAffiche, families, false);
    couche.SetDiscontinuitySurfacesBuilt(false);
}
} // namespace

std::vector<int> ProjetOVX::RemoveDiscontinuiteFromCouches(const std::string& name)
{
    const std::vector<int> changed = Discontinuite::RemoveFromLists(name, FamilyLists(mCouches));
    for (int index : changed)
        ApplyFamilies(*mCouches[index]);
    return changed;
}

void ProjetOVX::GiveDiscontinuiteBackToCouches(const std::string& name, const std::vector<int>& couches)
{
    for (int index : Discontinuite::GiveBackToLists(name, FamilyLists(mCouches), couches))
        ApplyFamilies(*mCouches[index]);
}

void ProjetOVX::MarkCouchesDiscontinuiteChanged(const std::string& name)
{
    for (Couche* couche : mCouches)
        if (couche->HasDiscontinuite(name))
            couche->SetDiscontinuitySurfacesBuilt(false);
}
