#include "TeteTranchee.h"

#include "CostVariables.h"
#include "Excavation.h"
#include "LumHandledMesh.h"
#include "LumoraDevice.h"
#include "MaillageTeteDouble.h"
#include "MaillageTeteSimple.h"
#include "ModelUi.h"
#include "OVXAction.h"
#include "ProjetOVX.h"
#include "TeteFieldText.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>

namespace
{
// How a setter bounds one argument. [a, b] on |x|: absolute value, then at
// most b, then at least a.
enum class Clamp
{
    Length,          // max(|x|, 0.1)
    Absolute,        // |x|
    FrontLower,      // min(|x|, 70), no lower bound
    FrontSkew,       // [-70, 70], sign kept
    Slope,           // [0.1, 70] on |x|
    SideSkew,        // [0.1, 89] on |x|
    OuterSlope,      // [3, 85] on |x|, capped afterwards
    ExitSkew,        // [-70, 89], then 0.1 when |x| < 0.1
    DoubleFrontSkew, // [-70, 70], then 0.1 when |x| < 0.1
};

bool IsAngle(Clamp clamp)
{
    return clamp != Clamp::Length && clamp != Clamp::Absolute;
}

double OnAbsolute(double v, double lo, double hi)
{
    return std::max(std::min(std::fabs(v), hi), lo);
}

double Clamped(double v, Clamp clamp)
{
    switch (clamp)
    {
    case Clamp::Length:
        return std::max(std::fabs(v), 0.1);
    case Clamp::Absolute:
        return std::fabs(v);
    case Clamp::FrontLower:
        return std::min(std::fabs(v), 70.0);
    case Clamp::FrontSkew:
        return std::min(std::max(v, -70.0), 70.0);
    case Clamp::Slope:
        return OnAbsolute(v, 0.1, 70.0);
    case Clamp::SideSkew:
        return OnAbsolute(v, 0.1, 89.0);
    case Clamp::OuterSlope:
        return OnAbsolute(v, 3.0, 85.0);
    case Clamp::ExitSkew:
    {
        const double c = v <= -70.0 ? -70.0 : (v >= 89.0 ? 89.0 : v);
        return std::fabs(c) < 0.1 ? 0.1 : c;
    }
    case Clamp::DoubleFrontSkew:
    {
        const double c = std::min(std::max(v, -70.0), 70.0);
        return std::fabs(c) < 0.1 ? 0.1 : c;
    }
    }
    return v;
}

// One argument of a setter: its value as given, the field it is stored in
// and its bound.
struct Argument
{
    const double& Given;
    double& Field;
    Clamp Bound;
};

// Whether every argument is within 1e-5 of its field, angles compared in
// radians. A NaN argument always differs.
bool SameAsStored(const std::vector<Argument>& arguments)
{
    for (const Argument& a : arguments)
    {
        const double given = IsAngle(a.Bound) ? ToRadian(a.Given) : a.Given;
        if (!(std::fabs(given - a.Field) <= 1e-5))
            return false;
    }
    return true;
}

void Store(const std::vector<Argument>& arguments)
{
    for (const Argument& a : arguments)
    {
        const double v = Clamped(a.Given, a.Bound);
        a.Field = IsAngle(a.Bound) ? ToRadian(v) : v;
    }
}

// An outer slope (from the horizontal) may not rise above the line from its
// foot over the edge of the first berm, nor with a second berm over that
// one's edge, so that it stays below the bench stack it closes. The initial
// cap is 89 in radians: no cap unless a berm line sets one.
void CapOuterSlope(double& slope, double lowerBench, double upperBench, const TeteTranchee& head)
{
    double cap = 89.0;
    const double d1 = std::tan(lowerBench) * head.hr + head.lr;
    if (d1 > 1e-5)
        cap = std::atan((head.hr - 0.1) / d1);
    slope = std::min(slope, cap);
    if (head.DoubleRisberme)
    {
        const double d2 = std::tan(upperBench) * head.hr2 + head.lr2 + d1;
        if (d2 > 1e-5)
            cap = std::atan((head.hr + head.hr2 - 0.1) / d2);
        slope = std::min(slope, cap);
    }
}
} // namespace

TeteTranchee::TeteTranchee()
{
    LargeurTunnel = 6.0;
    HauteurTunnel = 3.0;
    CoteAvance = 45;
    mSelectedFaceClass = -1;
    DoubleRisberme = false;
    lp1 = 30.0;
    hp1 = 15.0;
    lp2 = 10.0;
    hp2 = 35.0;
    Thetaf1 = ToRadian(10.0);
    Alphafi1 = ToRadian(30.0);
    Alphafs1 = ToRadian(20.0);
    Alphafss1 = ToRadian(10.0);
    Thetaf2 = ToRadian(15.0);
    Lf2 = 20.0;
    Alphafi2 = ToRadian(30.0);
    Alphafs2 = ToRadian(20.0);
    Alphafss2 = ToRadian(10.0);
    Thetar1 = ToRadian(15.0);
    Alphari1 = ToRadian(30.0);
    Alphars1 = ToRadian(20.0);
    Alpharss1 = ToRadian(10.0);
    Thetar2 = ToRadian(20.0);
    Alphari2 = ToRadian(35.0);
    Alphars2 = ToRadian(15.0);
    Alpharss2 = ToRadian(10.0);
    Thetaa2 = ToRadian(33.0);
    Alphaai2 = ToRadian(20.0);
    Alphaas2 = ToRadian(25.0);
    Alphaass2 = ToRadian(10.0);
    Thetar3 = ToRadian(10.0);
    Alphar3 = ToRadian(30.0);
    Thetaa3 = ToRadian(15.0);
    Alphaa3 = ToRadian(30.0);
    SetSingleParameters(false, false, 15, 25, 25, 10, 20, 10, 15, 25, 20, 10, 30, 15, 20, 20, 30, 20, 10, 30,
                        30, 15, 5, 15, 25, 5, 25, 3, 12, 8.5, false);
    mConstructed = true;
    RegisterXML();
}

TeteTranchee::TeteTranchee(const TeteTranchee& other) : XMLable(other)
{
    *this = other;
    RegisterXML();
}

void TeteTranchee::RegisterXML()
{
    AddVariable("DoubleEntree", &DoubleEntree);
    AddVariable("SymetrieGD", &SymetrieGD);
    AddVariable("DoubleRisberme", &DoubleRisberme);
    AddVariable("CoteAvance", &CoteAvance);
    AddVariable("lp", &lp);
    AddVariable("hp", &hp);
    AddVariable("AlphaFi", &AlphaFi);
    AddVariable("Thetaf", &Thetaf);
    AddVariable("AlphaFs", &AlphaFs);
    AddVariable("AlphaFss", &AlphaFss);
    AddVariable("Alphagi1", &Alphagi1);
    AddVariable("Alphags1", &Alphags1);
    AddVariable("Alphagss1", &Alphagss1);
    AddVariable("Thetag1", &Thetag1);
    AddVariable("Alphag2", &Alphag2);
    AddVariable("Thetag2", &Thetag2);
    AddVariable("Alphadi1", &Alphadi1);
    AddVariable("Alphads1", &Alphads1);
    AddVariable("Alphadss1", &Alphadss1);
    AddVariable("Thetad1", &Thetad1);
    AddVariable("Distanced1", &Distanced1);
    AddVariable("Alphad2", &Alphad2);
    AddVariable("Thetad2", &Thetad2);
    AddVariable("lp1", &lp1);
    AddVariable("hp1", &hp1);
    AddVariable("lp2", &lp2);
    AddVariable("hp2", &hp2);
    AddVariable("Thetaf1", &Thetaf1);
    AddVariable("Alphafi1", &Alphafi1);
    AddVariable("Alphafs1", &Alphafs1);
    AddVariable("Thetaf2", &Thetaf2);
    AddVariable("Lf2", &Lf2);
    AddVariable("Alphafi2", &Alphafi2);
    AddVariable("Alphafs2", &Alphafs2);
    AddVariable("Thetar1", &Thetar1);
    AddVariable("Alphari1", &Alphari1);
    AddVariable("Alphars1", &Alphars1);
    AddVariable("Thetar2", &Thetar2);
    AddVariable("Alphari2", &Alphari2);
    AddVariable("Alphars2", &Alphars2);
    AddVariable("Thetaa2", &Thetaa2);
    AddVariable("Alphaai2", &Alphaai2);
    AddVariable("Alphaas2", &Alphaas2);
    AddVariable("Thetar3", &Thetar3);
    AddVariable("Alphar3", &Alphar3);
    AddVariable("Thetaa3", &Thetaa3);
    AddVariable("Alphaa3", &Alphaa3);
    AddVariable("Prolongement", &Prolongement);
    AddVariable("hr", &hr);
    AddVariable("lr", &lr);
    AddVariable("h2", &h2);
    AddVariable("h", &h);
    AddVariable("hr2", &hr2);
    AddVariable("lr2", &lr2);
    AddVariable("Point1Tunnel1", &Point1Tunnel1);
    AddVariable("Point2Tunnel1", &Point2Tunnel1);
    AddVariable("Point1Tunnel2", &Point1Tunnel2);
    AddVariable("Point2Tunnel2", &Point2Tunnel2);
    AddVariable("HauteurTunnel", &HauteurTunnel);
    AddVariable("LargeurTunnel", &LargeurTunnel);
    // The final slopes of the double head come last, so that files written
    // before they were saved still read: those files keep the values the
    // head had. Saved, a change of them can be undone through the head's
    // form, and a reloaded double head keeps its second berm's slopes.
    AddVariable("Alphafss1", &Alphafss1);
    AddVariable("Alphafss2", &Alphafss2);
    AddVariable("Alpharss1", &Alpharss1);
    AddVariable("Alpharss2", &Alpharss2);
    AddVariable("Alphaass2", &Alphaass2);
}

bool TeteTranchee::SetSingleParameters(bool symetrieGD, bool doubleRisberme, const double& lp_,
                                       const double& hp_, const double& alphaFi, const double& thetaf,
                                       const double& alphaFs, const double& alphaFss, const double& alphagi1,
                                       const double& alphags1, const double& thetag1, const double& alphagss1,
                                       const double& alphag2, const double& thetag2, const double& alphadi1,
                                       const double& alphads1, const double& thetad1,
                                       const double& distanced1, const double& alphadss1,
                                       const double& alphad2, const double& thetad2, const double& hr_,
                                       const double& lr_, const double& h2_, const double& h_,
                                       const double& prolongement, const double& hr2_, const double& lr2_,
                                       const double& largeurTunnel, const double& hauteurTunnel, bool record)
{
    // The exit lies beyond the far end of the right platform side (below):
    // h is given that floor first, so that sending the values held again
    // compares equal and records nothing.
    const double hGiven =
        std::max(std::fabs(h_), Clamped(symetrieGD ? hp_ : distanced1, Clamp::Length) + 1.0);
    const std::vector<Argument> arguments = {
        {lp_, lp, Clamp::Length},
        {hp_, hp, Clamp::Length},
        {alphaFi, AlphaFi, Clamp::FrontLower},
        {thetaf, Thetaf, Clamp::FrontSkew},
        {alphaFs, AlphaFs, Clamp::Slope},
        {alphaFss, AlphaFss, Clamp::Slope},
        {alphagi1, Alphagi1, Clamp::Slope},
        {alphags1, Alphags1, Clamp::Slope},
        {thetag1, Thetag1, Clamp::SideSkew},
        {alphagss1, Alphagss1, Clamp::Slope},
        {alphag2, Alphag2, Clamp::OuterSlope},
        {thetag2, Thetag2, Clamp::ExitSkew},
        {alphadi1, Alphadi1, Clamp::Slope},
        {alphads1, Alphads1, Clamp::Slope},
        {thetad1, Thetad1, Clamp::SideSkew},
        {distanced1, Distanced1, Clamp::Length},
        {alphadss1, Alphadss1, Clamp::Slope},
        {alphad2, Alphad2, Clamp::OuterSlope},
        {thetad2, Thetad2, Clamp::ExitSkew},
        {hr_, hr, Clamp::Length},
        {lr_, lr, Clamp::Length},
        {h2_, h2, Clamp::Length},
        {hGiven, h, Clamp::Absolute},
        {prolongement, Prolongement, Clamp::Length},
        {hr2_, hr2, Clamp::Length},
        {lr2_, lr2, Clamp::Length},
        {largeurTunnel, LargeurTunnel, Clamp::Absolute},
        {hauteurTunnel, HauteurTunnel, Clamp::Absolute},
    };
    if (!DoubleEntree && symetrieGD == SymetrieGD && doubleRisberme == DoubleRisberme &&
        SameAsStored(arguments))
        return false;
    const XMLNode before = Snapshot(record);

    DoubleEntree = false;
    SymetrieGD = symetrieGD;
    DoubleRisberme = doubleRisberme;
    Store(arguments);
    CapOuterSlope(Alphag2, Alphagi1, Alphags1, *this);
    CapOuterSlope(Alphad2, Alphadi1, Alphads1, *this);
    if (SymetrieGD)
    {
        Alphadi1 = Alphagi1;
        Alphads1 = Alphags1;
        Alphadss1 = Alphagss1;
        Thetad1 = Thetag1;
        Alphad2 = Alphag2;
        Thetad2 = Thetag2;
        Distanced1 = hp;
    }
    // The exit must lie beyond the far end of the right platform side.
    h = std::max(std::fabs(h), Distanced1 + 1.0);

    BuildMesh();
    ChangeApplied(before, record);
    return true;
}

bool TeteTranchee::SetDoubleParameters(
    bool symetrieGD, int coteAvance, bool doubleRisberme, const double& lp1_, const double& hp1_,
    const double& lp2_, const double& hp2_, const double& thetaf1, const double& alphafi1,
    const double& alphafs1, const double& alphafss1, const double& thetaf2, const double& lf2,
    const double& alphafi2, const double& alphafs2, const double& alphafss2, const double& thetar1,
    const double& alphari1, const double& alphars1, const double& alpharss1, const double& thetar2,
    const double& alphari2, const double& alphars2, const double& alpharss2, const double& thetaa2,
    const double& alphaai2, const double& alphaas2, const double& alphaass2, const double& thetar3,
    const double& alphar3, const double& thetaa3, const double& alphaa3, const double& hr_, const double& lr_,
    const double& h2_, const double& h_, const double& prolongement, const double& hr2_, const double& lr2_,
    const double& largeurTunnel, const double& hauteurTunnel, bool record)
{
    // h is given the floor the head puts it to (below) before the
    // comparison, as for the single head.
    const double hGiven = std::max(std::fabs(h_), Clamped(lf2, Clamp::Length) + 0.1);
    const std::vector<Argument> arguments = {
        {lp1_, lp1, Clamp::Length},
        {hp1_, hp1, Clamp::Length},
        {lp2_, lp2, Clamp::Length},
        {hp2_, hp2, Clamp::Length},
        {thetaf1, Thetaf1, Clamp::DoubleFrontSkew},
        {alphafi1, Alphafi1, Clamp::Slope},
        {alphafs1, Alphafs1, Clamp::Slope},
        {alphafss1, Alphafss1, Clamp::Slope},
        {thetaf2, Thetaf2, Clamp::DoubleFrontSkew},
        {lf2, Lf2, Clamp::Length},
        {alphafi2, Alphafi2, Clamp::Slope},
        {alphafs2, Alphafs2, Clamp::Slope},
        {alphafss2, Alphafss2, Clamp::Slope},
        {thetar1, Thetar1, Clamp::SideSkew},
        {alphari1, Alphari1, Clamp::Slope},
        {alphars1, Alphars1, Clamp::Slope},
        {alpharss1, Alpharss1, Clamp::Slope},
        {thetar2, Thetar2, Clamp::SideSkew},
        {alphari2, Alphari2, Clamp::Slope},
        {alphars2, Alphars2, Clamp::Slope},
        {alpharss2, Alpharss2, Clamp::Slope},
        {thetaa2, Thetaa2, Clamp::SideSkew},
        {alphaai2, Alphaai2, Clamp::Slope},
        {alphaas2, Alphaas2, Clamp::Slope},
        {alphaass2, Alphaass2, Clamp::Slope},
        {thetar3, Thetar3, Clamp::ExitSkew},
        {alphar3, Alphar3, Clamp::OuterSlope},
        {thetaa3, Thetaa3, Clamp::ExitSkew},
        {alphaa3, Alphaa3, Clamp::OuterSlope},
        {hr_, hr, Clamp::Length},
        {lr_, lr, Clamp::Length},
        {h2_, h2, Clamp::Length},
        {hGiven, h, Clamp::Absolute},
        {prolongement, Prolongement, Clamp::Length},
        {hr2_, hr2, Clamp::Length},
        {lr2_, lr2, Clamp::Length},
        {largeurTunnel, LargeurTunnel, Clamp::Absolute},
        {hauteurTunnel, HauteurTunnel, Clamp::Absolute},
    };
    if (DoubleEntree && symetrieGD == SymetrieGD && coteAvance == CoteAvance &&
        doubleRisberme == DoubleRisberme && SameAsStored(arguments))
        return false;
    const XMLNode before = Snapshot(record);

    DoubleEntree = true;
    SymetrieGD = symetrieGD;
    CoteAvance = coteAvance;
    DoubleRisberme = doubleRisberme;
    Store(arguments);
    CapOuterSlope(Alphar3, Alphari1, Alphars1, *this);
    CapOuterSlope(Alphaa3, Alphaai2, Alphaas2, *this);
    if (SymetrieGD)
    {
        // The platform-1 side onto the platform-2 side; the step between the
        // fronts has no counterpart.
        Thetaa2 = Thetar2;
        Alphaai2 = Alphari2;
        Alphaas2 = Alphars2;
        Alphaass2 = Alpharss2;
        Alphaa3 = Alphar3;
        Thetaa3 = Thetar3;
    }
    h = std::max(std::fabs(h), Lf2 + 0.1);

    BuildMesh();
    ChangeApplied(before, record);
    return true;
}

XMLNode TeteTranchee::Snapshot(bool record)
{
    XMLNode node = OVXAction::NewSnapshot();
    if (record)
        ToXML(node);
    return node;
}

void TeteTranchee::ChangeApplied(const XMLNode& before, bool record)
{
    if (!mConstructed)
        return;
    gProjet.InvalidateResults();
    if (record)
        RecordUndo(before);
}

namespace
{
// The two forms of a head's undo action: before, then after the change.
void ApplyTeteSnapshot(KorAction* action, size_t which)
{
    const OVXAction* a = dynamic_cast<const OVXAction*>(action);
    if (a && a->Snapshots1.size() == 2)
        GetModelUi().LoadTeteXML(a->Snapshots1[which]);
}
void UndoTete(KorAction* action)
{
    ApplyTeteSnapshot(action, 0);
}
void RedoTete(KorAction* action)
{
    ApplyTeteSnapshot(action, 1);
}
} // namespace

void TeteTranchee::RecordUndo(const XMLNode& before)
{
    OVXAction* action = new OVXAction;
    XMLNode after = OVXAction::NewSnapshot();
    ToXML(after);
    action->Snapshots1 = {before, after};
    action->SetUndo(UndoTete);
    action->SetRedo(RedoTete);
    gProjet.GetUndoManager().AddAction(action);
}

bool ApplyTeteXML(TeteTranchee& head, const XMLNode& node)
{
    if (!head.NumbersFinite(node))
        return false;
    head.FromXML(node);
    head.ApplyRead();
    return true;
}

void TeteTranchee::ApplyRead()
{
    if (CoteAvance != 46)
        CoteAvance = 45;
    // The degrees a field sends for each stored angle: an angle a setter
    // stored comes back bit for bit. One too large for degrees saturates,
    // as the same number typed in degrees would.
    const auto d = [](double radians)
    {
        const double degrees = TeteSetterValue(radians, true);
        return std::isfinite(degrees) ? degrees : std::copysign(DBL_MAX, degrees);
    };
    // The other mode first, so that the setter cannot find the values it is
    // given already stored and skip them.
    const TeteTranchee read(*this);
    const bool doubleHead = DoubleEntree;
    DoubleEntree = !doubleHead;
    if (doubleHead)
        SetDoubleParameters(SymetrieGD, CoteAvance, DoubleRisberme, lp1, hp1, lp2, hp2, d(Thetaf1),
                            d(Alphafi1), d(Alphafs1), d(Alphafss1), d(Thetaf2), Lf2, d(Alphafi2), d(Alphafs2),
                            d(Alphafss2), d(Thetar1), d(Alphari1), d(Alphars1), d(Alpharss1), d(Thetar2),
                            d(Alphari2), d(Alphars2), d(Alpharss2), d(Thetaa2), d(Alphaai2), d(Alphaas2),
                            d(Alphaass2), d(Thetar3), d(Alphar3), d(Thetaa3), d(Alphaa3), hr, lr, h2, h,
                            Prolongement, hr2, lr2, LargeurTunnel, HauteurTunnel, false);
    else
        SetSingleParameters(SymetrieGD, DoubleRisberme, lp, hp, d(AlphaFi), d(Thetaf), d(AlphaFs),
                            d(AlphaFss), d(Alphagi1), d(Alphags1), d(Thetag1), d(Alphagss1), d(Alphag2),
                            d(Thetag2), d(Alphadi1), d(Alphads1), d(Thetad1), Distanced1, d(Alphadss1),
                            d(Alphad2), d(Thetad2), hr, lr, h2, h, Prolongement, hr2, lr2, LargeurTunnel,
                            HauteurTunnel, false);
    // A value the setter would have taken for the one stored (within 1e-5,
    // its unchanged test) stays as read: a capped slope's degrees may come
    // back an ulp apart, and a form read again must give the same bytes.
    bool restored = false;
    for (size_t i = 0; i < mVariables.size(); ++i)
        if (mVariables[i].GetType() == ANY_DOUBLE)
        {
            double& now = *static_cast<double*>(const_cast<void*>(mVariables[i].GetPointer()));
            const double was = *static_cast<const double*>(read.mVariables[i].GetPointer());
            if (now != was && std::fabs(now - was) <= 1e-5)
            {
                now = was;
                restored = true;
            }
        }
    if (restored)
        BuildMesh();
}

bool TeteTranchee::BuildMesh()
{
    mBuilt = BuildShape();
    if (!mBuilt)
        return false;
    DropResults();
    RefreshDisplayMesh();
    return true;
}

bool TeteTranchee::BuildShape()
{
    // A head whose build fails has no classed or listed face, rather than
    // those of a mesh it no longer has.
    mClassFaces.clear();
    mUpFaces.clear();
    mDownFaces.clear();
    const bool built = DoubleEntree ? MaillageTeteDouble::Build(*this, mMesh, mClassFaces)
                                    : MaillageTeteSimple::Build(*this, mMesh, mClassFaces);
    if (!built)
    {
        mClassFaces.clear();
        return false;
    }

    // Corners of neighbouring faces computed along different lines may land
    // on the same point; they become one vertex, and the face classes follow
    // their faces (a face fused away leaves its entry at -1). A built face's
    // record is the first one naming it: the fusion frees identifiers and
    // reuses them for faces it makes, whose records come later under the
    // same old identifier.
    std::vector<DoubleIndex> replaced;
    mMesh.FuseVertices(1e-5, &replaced);
    for (auto& entry : mClassFaces)
        for (int32_t& face : entry.second.Faces)
        {
            if (face < 0)
                continue;
            const auto it = std::find_if(replaced.begin(), replaced.end(),
                                         [&](const DoubleIndex& r) { return r.OldID == face; });
            if (it != replaced.end())
                face = it->NewID;
            // In a shape collapsed by a file's zero lengths, a cascade of
            // fusions can leave a record naming a face that is gone since.
            if (!mMesh.GetFace(face))
                face = -1;
        }
    CollectHorizontalFaces();
    return true;
}

void TeteTranchee::CollectHorizontalFaces()
{
    const sClasseFaces berms1 = GetClassFaces(1);
    const sClasseFaces berms2 = GetClassFaces(2);
    auto isBerm = [&](int face)
    {
        for (int k = 0; k < 5; ++k)
            if (berms1.Faces[k] == face || berms2.Faces[k] == face)
                return true;
        return false;
    };
    for (int id = 0; id < mMesh.GetFaceVectorSize(); ++id)
    {
        KorFace* face = mMesh.GetFace(id);
        if (!face)
            continue;
        const double z = mMesh.GetNormal(face).z;
        if (z > 0.99999 && !isBerm(id))
            mUpFaces.push_back(id);
        else if (z < -0.99999)
            mDownFaces.push_back(id);
    }
}

void TeteTranchee::DropResults()
{
    // A placement copy or a head being made is no change of the user's
    // head: the excavation places a copy before it computes.
    if (!mConstructed || !mDisplayable)
        return;
    gCostEquation.ClearVariables();
    gResults.Clear();
}

void TeteTranchee::RefreshDisplayMesh()
{
    // The display mesh "Tete" is made in the main 3D scene when there is
    // one; the scene owns it. An object of that name already there is the
    // head's (the scene holds one object per name).
    LumoraDevice* device =
        mConstructed && mDisplayable && !mDisplayMesh ? GetModelUi().GetMainDevice() : nullptr;
    if (device)
    {
        mDisplayMesh = dynamic_cast<LumHandledMesh*>(device->FindObject("Tete"));
        if (!mDisplayMesh && !device->FindObject("Tete"))
            mDisplayMesh = static_cast<LumHandledMesh*>(
                device->AddObject(std::make_unique<LumHandledMesh>(device, "Tete")));
        // The mesh is in head coordinates: the placement draws it where the
        // head would go; on its own it would stand unplaced in the view.
        if (mDisplayMesh)
            mDisplayMesh->Shown = false;
    }
    if (mDisplayMesh)
        mDisplayMesh->CreateFromKorMesh(mMesh);
}

bool TeteTranchee::CopyAndAdjust(const TeteTranchee& source, const double& newH, const double& newH2,
                                 const double& newProlongement)
{
    *this = source;
    mDisplayMesh = nullptr;
    mDisplayable = false;
    if (newH > 0.0)
        h = newH;
    if (newH2 > 0.0)
        h2 = newH2;
    if (newProlongement > 0.0)
        Prolongement = newProlongement;
    return BuildMesh();
}

sClasseFaces TeteTranchee::GetClassFaces(int faceClass) const
{
    const auto it = mClassFaces.find(faceClass);
    return it == mClassFaces.end() ? sClasseFaces() : it->second;
}
