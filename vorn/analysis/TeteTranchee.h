#pragma once

#include "ElementOVX.h"
#include "KorMesh.h"
#include "LumPoint.h"
#include "XMLNode.h"
#include "XMLable.h"
#include "sClasseFaces.h"

#include <map>
#include <vector>

class LumHandledMesh;

// The trench head: the excavation dug at a tunnel portal, given by a fixed
// set of named parameters (a single entrance, or a double one with two
// tubes) and the polygon mesh built from them in the head's own frame
// (x across, +y into the hill, z up, platform at z = 0).
//
// Invariants: every parameter change goes through a setter, which clamps
// it and rebuilds at once, so the face classes and the up and down face
// lists always describe the current mesh. Angles are given in degrees to
// the setters and kept (and saved) in radians; lengths are in scene units.
//
// Saved form: the registered parameters below, one element each, angles in
// radians, written in their shortest exact text so that a head read back
// rebuilds the same vertices. Neither the mesh nor the face classes are
// saved: a head read from a file must be rebuilt (BuildMesh).
class TeteTranchee : public ElementOVX, public XMLable
{
public:
    TeteTranchee();
    // A copy has records of its own members (see docs/CONVENTIONS.md).
    TeteTranchee(const TeteTranchee& other);
    // Copies every value, the mesh, the display-mesh pointer and the face
    // classes; the records stay bound to this head's own members.
    TeteTranchee& operator=(const TeteTranchee& other) = default;
    ~TeteTranchee() override = default;

    // Make the head single or double, store the clamped parameters and
    // rebuild; true when they were applied. Nothing happens, and false is
    // returned, when the head already has that mode, the flags are the
    // stored ones and every number is within 1e-5 of its stored value
    // (angles compared in radians). The mode counts: the single set applied
    // to a double head makes it single. `record` asks for an undo step (the
    // double head's panel always asks).
    bool SetSingleParameters(bool symetrieGD, bool doubleRisberme, const double& lp, const double& hp,
                             const double& alphaFi, const double& thetaf, const double& alphaFs,
                             const double& alphaFss, const double& alphagi1, const double& alphags1,
                             const double& thetag1, const double& alphagss1, const double& alphag2,
                             const double& thetag2, const double& alphadi1, const double& alphads1,
                             const double& thetad1, const double& distanced1, const double& alphadss1,
                             const double& alphad2, const double& thetad2, const double& hr, const double& lr,
                             const double& h2, const double& h, const double& prolongement, const double& hr2,
                             const double& lr2, const double& largeurTunnel, const double& hauteurTunnel,
                             bool record);
    bool SetDoubleParameters(bool symetrieGD, int coteAvance, bool doubleRisberme, const double& lp1,
                             const double& hp1, const double& lp2, const double& hp2, const double& thetaf1,
                             const double& alphafi1, const double& alphafs1, const double& alphafss1,
                             const double& thetaf2, const double& lf2, const double& alphafi2,
                             const double& alphafs2, const double& alphafss2, const double& thetar1,
                             const double& alphari1, const double& alphars1, const double& alpharss1,
                             const double& thetar2, const double& alphari2, const double& alphars2,
                             const double& alpharss2, const double& thetaa2, const double& alphaai2,
                             const double& alphaas2, const double& alphaass2, const double& thetar3,
                             const double& alphar3, const double& thetaa3, const double& alphaa3,
                             const double& hr, const double& lr, const double& h2, const double& h,
                             const double& prolongement, const double& hr2, const double& lr2,
                             const double& largeurTunnel, const double& hauteurTunnel, bool record);

    // Rebuilds the mesh, the face classes and the horizontal face lists, and
    // refills the display mesh. False when the shape cannot be built (two
    // edge lines that must meet at a corner are parallel, or a parameter is
    // not a finite number): the mesh stays as far as it was built, with no
    // face classed or listed, and the display mesh keeps the former shape.
    bool BuildMesh();
    // The result of the last rebuild: the excavation refuses a head whose
    // shape could not be built.
    bool IsBuilt() const { return mBuilt; }

    // This head becomes a copy of source with h, h2 and Prolongement
    // replaced by each given value greater than 0, then rebuilt; the result
    // of the rebuild. The copy (a placement of the head along the axis, made
    // again for every excavation) has no display mesh and never makes one.
    bool CopyAndAdjust(const TeteTranchee& source, const double& h, const double& h2,
                       const double& prolongement);

    // One undo action of the project holding the form `before` (an "xml"
    // top node) and the head's form now; undo and redo apply them to the
    // interface's head (ModelUi::LoadTeteXML), whichever head recorded them.
    void RecordUndo(const XMLNode& before);

    // The record of a face class, or five -1 when the mesh has no such class.
    sClasseFaces GetClassFaces(int faceClass) const;
    const std::map<int, sClasseFaces>& GetFaceClasses() const { return mClassFaces; }
    // Faces whose normal z exceeds 0.99999, those of face classes 1 and 2
    // (the berms) left out; faces whose normal z is below -0.99999.
    const std::vector<int>& GetUpFaces() const { return mUpFaces; }
    const std::vector<int>& GetDownFaces() const { return mDownFaces; }

    KorMesh& GetMesh() { return mMesh; }
    const KorMesh& GetMesh() const { return mMesh; }

    // The renderable copy of the mesh, made by the first successful rebuild
    // when the interface has a main 3D scene and refilled by every later
    // one; not owned (it belongs to the scene). A copy made by CopyAndAdjust
    // takes none.
    LumHandledMesh* GetDisplayMesh() const { return mDisplayMesh; }
    void SetDisplayMesh(LumHandledMesh* mesh)
    {
        if (mDisplayable)
            mDisplayMesh = mesh;
    }

    // Drawing, inside a draw callback. The display mesh (built first when
    // it does not exist yet; none is drawn while there is none) and the
    // tunnel tube, two for the double head.
    void Render();
    // One tube: the upper half of an ellipse of that width and height
    // resting on z = 0, from start to end along y, with its portal.
    static void RenderTunnelTube(const LumPoint& start, const LumPoint& end, double width, double height);
    // The faces of the selected class as fans, lighting off meanwhile and on
    // afterwards; nothing for a class the mesh lacks.
    void RenderSelectedFaces();

    // The face class the dialog's preview highlights, -1 for none.
    int GetSelectedFaceClass() const { return mSelectedFaceClass; }
    void SetSelectedFaceClass(int faceClass) { mSelectedFaceClass = faceClass; }

    // Parameters, public as the builders, the excavation and the dialog read
    // them by name; the constructor sets each one.
    // Mode and flags.
    bool DoubleEntree = false;
    bool SymetrieGD = false;
    bool DoubleRisberme = false;
    // Side of the advanced front of the double head: 45 or 46 (mirrored).
    int CoteAvance = 45;

    // Single head.
    double lp = 0.0;
    double hp = 0.0;
    double AlphaFi = 0.0;
    double Thetaf = 0.0;
    double AlphaFs = 0.0;
    double AlphaFss = 0.0;
    double Alphagi1 = 0.0;
    double Alphags1 = 0.0;
    double Alphagss1 = 0.0;
    double Thetag1 = 0.0;
    double Alphag2 = 0.0;
    double Thetag2 = 0.0;
    double Alphadi1 = 0.0;
    double Alphads1 = 0.0;
    double Alphadss1 = 0.0;
    double Thetad1 = 0.0;
    double Distanced1 = 0.0;
    double Alphad2 = 0.0;
    double Thetad2 = 0.0;

    // Double head.
    double lp1 = 0.0;
    double hp1 = 0.0;
    double lp2 = 0.0;
    double hp2 = 0.0;
    double Thetaf1 = 0.0;
    double Alphafi1 = 0.0;
    double Alphafs1 = 0.0;
    double Alphafss1 = 0.0;
    double Thetaf2 = 0.0;
    double Lf2 = 0.0;
    double Alphafi2 = 0.0;
    double Alphafs2 = 0.0;
    double Alphafss2 = 0.0;
    double Thetar1 = 0.0;
    double Alphari1 = 0.0;
    double Alphars1 = 0.0;
    double Alpharss1 = 0.0;
    double Thetar2 = 0.0;
    double Alphari2 = 0.0;
    double Alphars2 = 0.0;
    double Alpharss2 = 0.0;
    double Thetaa2 = 0.0;
    double Alphaai2 = 0.0;
    double Alphaas2 = 0.0;
    double Alphaass2 = 0.0;
    double Thetar3 = 0.0;
    double Alphar3 = 0.0;
    double Thetaa3 = 0.0;
    double Alphaa3 = 0.0;

    // Both heads: benches, berms, exit, extension, tunnel.
    double hr = 0.0;
    double lr = 0.0;
    double hr2 = 0.0;
    double lr2 = 0.0;
    double h2 = 0.0;
    double h = 0.0;
    double Prolongement = 0.0;
    double LargeurTunnel = 0.0;
    double HauteurTunnel = 0.0;

    // Axis end points of the tunnel tube(s), written by the builders.
    LumPoint Point1Tunnel1;
    LumPoint Point2Tunnel1;
    LumPoint Point1Tunnel2;
    LumPoint Point2Tunnel2;

private:
    void RegisterXML();

    // The values just read through the setter of the mode read, as the
    // fields would send them; no undo step. A CoteAvance other than 46 is
    // built and named as 45.
    void ApplyRead();
    friend bool ApplyTeteXML(TeteTranchee& head, const XMLNode& node);

    // The state to undo to: an "xml" top node, filled with this head's form
    // when the change is to be recorded.
    XMLNode Snapshot(bool record);
    // The end of every applied change: the project's results, computed for
    // the former shape, are invalidated, and with `record` the change from
    // `before` to the current state becomes one undo step (RecordUndo).
    void ChangeApplied(const XMLNode& before, bool record);

    // Builder, fusion of coincident vertices with the face classes
    // following their faces, horizontal face lists.
    bool BuildShape();
    void CollectHorizontalFaces();
    // Drops what the excavation computed for the former shape: its global
    // results and the cost variables.
    void DropResults();
    void RefreshDisplayMesh();

    KorMesh mMesh;
    bool mBuilt = false;
    // The constructor's first build tells neither the project nor the
    // interface: the head may be a member of the interface being made.
    bool mConstructed = false;
    LumHandledMesh* mDisplayMesh = nullptr;
    // False for a copy made by CopyAndAdjust, which never gets a display
    // mesh: it is rebuilt for each excavation, and each display mesh made
    // for it would stay in the scene, undrawn and never freed.
    bool mDisplayable = true;
    int mSelectedFaceClass = -1;
    std::map<int, sClasseFaces> mClassFaces;
    std::vector<int> mUpFaces;
    std::vector<int> mDownFaces;
};

// Applies a saved form to a head as if its values had been typed: every
// parameter goes through the setter of the head's mode, with its clamps,
// then the head is rebuilt and the project's results invalidated. False,
// with the head untouched, when a number of the form is not finite, which
// the form's fields would have refused. The interface's LoadTeteXML and the
// project reader use it.
bool ApplyTeteXML(TeteTranchee& head, const XMLNode& node);
