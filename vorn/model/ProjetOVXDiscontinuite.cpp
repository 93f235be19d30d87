// The discontinuity families of the project, keyed by name.
#include "ProjetOVX.h"

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

std::vector<int> ProjetOVX::RemoveDiscontinuiteFromCouches(const std::string& name)
{
    // Layers are raw file elements until their class lands. Then: the
    // layers' Discontinuites lists, top to bottom, go through
    // Discontinuite::RemoveFromLists, and each layer whose index it returns
    // applies its list with Couche::SetAppearance (no record).
    (void)name;
    return {};
}

void ProjetOVX::GiveDiscontinuiteBackToCouches(const std::string& name, const std::vector<int>& couches)
{
    // Once layers land: Discontinuite::GiveBackToLists over the layers'
    // lists, then Couche::SetAppearance (no record) on each layer changed.
    (void)name;
    (void)couches;
}

void ProjetOVX::MarkCouchesDiscontinuiteChanged(const std::string& name)
{
    // Once layers land: each layer whose list holds the name
    // (Couche::HasDiscontinuite) clears its built-surfaces flag.
    (void)name;
}
