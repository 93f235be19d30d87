#pragma once

#include "ElementOVX.h"
#include "LumPoint.h"
#include "OVXUndoManager.h"
#include "XMLable.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class Axe;
class Couche;
class Decor;
class KorMesh;
class LumHandledMesh;
class Discontinuite;
class FondPlan;
class Coupe;
class ResultatsOVX;
class SectionWindow;
class Sondage;

// The project document: the one global gProjet, reset in place by New and
// Open. It holds the settings and display switches saved in the project
// file (public members named after their keys, read and written directly
// by the rest of the program), the elements, the undo history and the open
// section windows.
//
// Elements whose classes are not built yet are kept as raw XML subtrees and
// written back unchanged (RawXMLElement); each list takes its element class
// when that class lands. The trench head belongs to the trench-head dialog
// and outlives the reset; until its class lands its subtree is kept here,
// untouched by the reset, and written with every project as the dialog's
// head would be.
//
// Invariants: CoucheCourante is -1 or a valid layer index, FondUtilise -1
// or a valid background-plan index; the project owns every element.
// Modified means that the history's saved flag is clear.
class ProjetOVX : public ElementOVX, public XMLable
{
public:
    static const char* const Title;

    ProjetOVX();
    ProjetOVX(const ProjetOVX&) = delete;
    ProjetOVX& operator=(const ProjetOVX&) = delete;
    ~ProjetOVX() override;

    // Back to the reset values; elements deleted. Nom, OrigineCameraX/Y as
    // they were until Close and Open set them; history and title untouched.
    void Reset();

    void ToXML(XMLNode& node) override;
    void FromXML(const XMLNode& node) override;

    // File commands. Close returns ModelUi::IdCancel when the user
    // cancelled or the project could not be saved, IdOk otherwise. Save and
    // SaveAs return whether the project is now saved; a failed save leaves
    // the file on disk as it was and the project modified. SaveAs adds
    // ".ovx" to a name chosen without an extension and asks before
    // replacing an existing file of the completed name (No asks for a
    // name again).
    int Close();
    void Open(const std::string& path);
    void New();
    bool SaveAs();
    bool Save();

    bool IsModified() const { return !mUndo.IsSaved(); }
    // An edit that records no undo action still makes the project modified.
    void MarkModified() { mUndo.SetSaved(false); }
    OVXUndoManager& GetUndoManager() { return mUndo; }
    const std::string& GetApplicationFolder() const { return mApplicationFolder; }
    void SetApplicationFolder(const std::string& folder) { mApplicationFolder = folder; }

    int GetNumberOfCouches() const { return static_cast<int>(mCouches.size()); }
    int GetNumberOfFondsPlan() const { return static_cast<int>(mFondsPlan.size()); }
    int GetNumberOfSondages() const { return static_cast<int>(mSondages.size()); }
    int GetNumberOfCoupes() const { return static_cast<int>(mCoupes.size()); }
    int GetNumberOfDecors() const { return static_cast<int>(mDecors.size()); }
    int GetNumberOfDiscontinuites() const { return static_cast<int>(mDiscontinuites.size()); }
    // Family names in name order.
    std::vector<std::string> GetDiscontinuiteNames() const;
    std::vector<std::string> GetCoucheNames() const;

    // Layers, top one first (ProjetOVXCouche.cpp). Null for an index out
    // of range or a name held by no layer; -1 for a layer not in the list.
    Couche* GetCouche(int index) const;
    Couche* GetCouche(const std::string& name) const;
    int GetCoucheIndex(const Couche* couche) const;
    // A new empty layer inserted at the index and made current; null when
    // the index is past the end.
    Couche* AddCouche(const std::string& name, unsigned int index);
    void DeleteCouche(int index, int newCurrent);
    // A new layer filled by a method: 0 empty, 1 imported from the DXF file
    // (value: the simplification), 2 copied from the layer above, depth
    // metres lower, its relief damped by value percent. Interactive stands
    // for the user's command: questions, neighbour checks, the import
    // dialog and the undo record (ProjetOVXCreation.cpp).
    bool CreateCouche(const std::string& name, int index, int method, bool interactive,
                      const std::string& path, double value, double depth);

    // Boreholes (ProjetOVXSondage.cpp). SetSondage takes the borehole: it
    // is deleted when the check refuses it, kept in the list when real,
    // and left to the caller when fictitious (only its points are placed).
    Sondage* GetSondage(const std::string& name) const;
    Sondage* GetSondage(int index) const;
    int GetSondageIndex(const Sondage* sondage) const;
    int GetSondageIndex(const std::string& name) const;
    Sondage* SetSondage(Sondage* sondage, int index, bool record, bool check);
    bool CheckSondage(Sondage* sondage);
    void DeleteSondage(const std::string& name, bool record);
    // The edit of a stored borehole: the one of that name is replaced in
    // place by `sondage` (taken) as one undo step. False, with the old one
    // exactly as it was, when there is none or the check refuses the new one.
    bool ChangeSondage(const std::string& name, Sondage* sondage);
    void ExportSondagesCSV();
    // The CSV text of every borehole; false when the stream failed.
    bool WriteSondagesCSV(std::ostream& out) const;

    // Image sections (ProjetOVXCoupe.cpp), taken as boreholes are.
    Coupe* GetCoupe(const std::string& name) const;
    Coupe* GetCoupe(int index) const;
    int GetCoupeIndex(const Coupe* coupe) const;
    int GetCoupeIndex(const std::string& name) const;
    Coupe* SetCoupe(Coupe* coupe, int index, bool validate, bool record);
    // Whether the section may go in; a refused name, reference pair or
    // scale is told here, a point that crosses a neighbour layer with
    // `crossing` (nothing when empty): one message per refusal.
    bool CheckCoupe(Coupe* coupe, const std::string& crossing = std::string());
    void DeleteCoupe(const std::string& name, bool record);
    bool ChangeCoupe(const std::string& name, Coupe* coupe, const std::string& crossing = std::string());
    // The displayed zone (ProjetOVXCouche.cpp); normalised (upper-left,
    // lower-right corners at z 0) and recorded, or stored as given.
    void SetZone(const LumPoint& c1, const LumPoint& c2, bool normalise, bool geometry);
    // Shows or hides the zone's rectangle; the switches follow.
    void SetZoneAffichee(bool on);
    void Set3DGeometryChanged() { m3DGeometryChanged = true; }

    // Discontinuity families (ProjetOVXDiscontinuite.cpp), keyed by name,
    // in name order. AddDiscontinuite returns null when the name is taken
    // or, with record (a name the user typed), holds a character that
    // Discontinuite::ForbiddenNameChar refuses.
    Discontinuite* AddDiscontinuite(const std::string& name, bool record, bool refreshDialog);
    void DeleteDiscontinuite(const std::string& name, bool record);
    Discontinuite* GetDiscontinuite(int position) const;
    Discontinuite* GetDiscontinuite(const std::string& name) const;
    // The layer side of the families: each layer's list of the families it
    // shows. Removing returns the indexes of the layers that listed the
    // name; giving back appends it to those of the indexes that lack it;
    // the layers changed rebuild their surfaces.
    std::vector<int> RemoveDiscontinuiteFromCouches(const std::string& name);
    void GiveDiscontinuiteBackToCouches(const std::string& name, const std::vector<int>& couches);
    // The layers that show the family rebuild their surfaces when next
    // drawn.
    void MarkCouchesDiscontinuiteChanged(const std::string& name);

    // Scenery (ProjetOVXDecor.cpp).
    Decor* GetDecor(int index) const;
    bool LoadDecor(const std::string& path);
    bool AddDecor(Decor* decor, int index, bool record);
    void DeleteDecor(int index, bool record);
    int GetDecorIndex(const Decor* decor) const;
    // The first layer's altitude (scene z) at a scene point; false when
    // there is no layer or the point is outside it.
    bool GetFirstCoucheAltitude(double x, double y, double& z);

    // Background plans and plan settings (ProjetOVXFondPlan.cpp).
    FondPlan* GetFondPlan(int index) const;
    FondPlan* GetFondPlan(const std::string& path) const;
    int FindFondPlan(const std::string& fileName) const;
    FondPlan* GetFondPlanUtilise();
    void SetFondPlan(const std::string& path);
    void ChooseFondPlan(bool record);
    void SetFondPlanPlacement(double x, double y, double size, bool record, bool sync);
    void SetEchelle(double echelle, bool record);
    void SetOrigine(double cameraX, double cameraY, double origineX, double origineY, bool record);
    LumPoint GetOrigineCamera() const { return LumPoint(OrigineCameraX, OrigineCameraY, 0.0); }
    // The placement of the background plan whose path is that one; false
    // when none.
    bool GetFondPlanPlacement(const std::string& path, double& posX, double& posY, double& taille) const;

    void SetCoucheCourante(int index);
    void FillCoucheCombo();
    void ResetTitle();
    void UpdateTitle();

    // Empties the excavation results and marks them stale.
    void InvalidateResults();
    bool IsExcavationStale() const { return mExcavationStale; }
    bool HasExcavationResults() const { return mExcavationResults; }
    // The excavation's own marks: a computation starts by clearing both and
    // ends by setting the results valid.
    void SetExcavationState(bool stale, bool results)
    {
        mExcavationStale = stale;
        mExcavationResults = results;
    }
    // The renderable copy of the placed head of the last excavation, named
    // "Tete de tranchée"; owned, null when none. It is made from the placed
    // head when first asked for: only a drawn frame needs it, not each
    // position of a series. Setting a placed head (or none) drops the
    // former copy.
    LumHandledMesh* GetTeteExcavee() const;
    // Whether an excavation placed a head, without making its copy: the 3D
    // view only needs to know that to draw the intersection lines.
    bool HasTeteExcavee() const { return mTetePlacee != nullptr; }
    void SetTeteExcavee(KorMesh&& placed);
    void ClearTeteExcavee();
    bool IsPlanGeometryChanged() const { return mPlanGeometryChanged; }
    bool Is3DGeometryChanged() const { return m3DGeometryChanged; }
    void SetGeometryChanged()
    {
        mPlanGeometryChanged = true;
        m3DGeometryChanged = true;
    }
    // The layer fronts and the display range for the 3D view; false when
    // there is no layer or the displayed zone is narrower than 1e-5.
    bool ComputeAllFronts();

    void AddWindow(SectionWindow* window);
    void RemoveWindow(SectionWindow* window);
    int GetNumberOfWindows() const { return static_cast<int>(mWindows.size()); }
    const std::vector<SectionWindow*>& GetWindows() const { return mWindows; }
    // Updates every shown section window, in list order.
    void RefreshWindows();

    // 3D display switches: the member, the palette's check box and the
    // menu item; none redraws.
    void Set3DTriangles(bool on);
    void Set3DSegments(bool on);
    void Set3DPoints(bool on);
    void Set3DLignes(bool on);
    void Set3DSondages(bool on);
    void Set3DAxe(bool on);
    void Set3DAffichageTete(bool on);
    void Set3DAffichageLigneIntersection(bool on);
    void Set3DAffichageInfos(bool on);
    void SetTravauxTransparence(bool on);

    // The one axis, for the project's whole life.
    Axe& GetAxe() { return *mAxe; }
    // The results of the last series, for the project's whole life.
    ResultatsOVX& GetResultats() { return *mResultats; }

    // (OrigineX, OrigineY, 0).
    LumPoint GetOrigine() const { return LumPoint(OrigineX, OrigineY, 0.0); }

    // Registered members, in file order.
    std::string Nom;
    int CoucheCourante = -1;
    double PosXDessus = 0.0;
    double PosYDessus = 0.0;
    double ZoomDessus = 0.0;
    int FondUtilise = -1;
    int OpaciteFond = 0;
    int Nord = 0;
    double OrigineX = 0.0;
    double OrigineY = 0.0;
    double OrigineCameraX = 0.0;
    double OrigineCameraY = 0.0;
    bool AffichageNordCreation = false;
    double Echelle = 0.0;
    bool AffichageAxeCreation = false;
    bool mLignesNiveauAffichees = false;
    bool TriangulationAffichee = false;
    bool PointsAffiches = false;
    LumPoint Limite1;
    LumPoint Limite2;
    bool ZoneAffichee = false;
    LumPoint CameraPosition;
    LumPoint CameraTarget;
    // Keys starting with a digit ("3DTriangles") take an 'm' in front.
    bool m3DTriangles = false;
    bool m3DSegments = false;
    bool m3DPoints = false;
    bool m3DLignes = false;
    bool m3DSondages = false;
    bool m3DAxe = false;
    bool m3DAffichageTete = false;
    bool m3DAffichageLigneIntersection = false;
    bool m3DAffichageInfos = false;
    bool TravauxTransparence = false;
    std::string EquationCout;
    double GraduationAxe = 0.0;

    // Not saved: the base level of the layers' walls and base quads, and
    // the top of the display range (scene z), set by ComputeAllFronts.
    double NiveauBas = 0.0;
    double NiveauHaut = 0.0;

private:
    void RegisterXML();
    void DeleteElements();
    // Close without the question: reset, empty title, cleared history,
    // creation mode, no-project interface.
    void CloseProject();
    // The rest of an Open once the file parsed; throws on a failure.
    void Load(const XMLNode& projet, const std::string& path);
    // Names read that a user could not have typed (a '|', an empty or a
    // second layer name; an empty or a second borehole or section name)
    // renamed, with the points and lists naming them (ProjetOVXNames.cpp);
    // one line per renaming.
    std::vector<std::string> RenameNamesRead();
    // Borehole and section points read whose Param names no element made
    // free points; one line per layer and kind.
    std::vector<std::string> FreeStrayPointsRead();
    void SetSwitch(bool& member, int menuId, bool on);
    // Layer hooks of the plan settings: scene z of every vertex times the
    // ratio; texture coordinates out of date.
    void RescaleCouchesZ(double ratio);
    void MarkCouchesTexturesChanged();

    std::string mApplicationFolder;
    OVXUndoManager mUndo;
    std::vector<FondPlan*> mFondsPlan;
    std::vector<Couche*> mCouches;
    std::vector<Sondage*> mSondages;
    std::vector<Coupe*> mCoupes;
    std::map<std::string, Discontinuite*> mDiscontinuites;
    Axe* mAxe;
    ResultatsOVX* mResultats;
    std::vector<Decor*> mDecors;
    std::vector<SectionWindow*> mWindows;
    bool mPlanGeometryChanged = true;
    bool m3DGeometryChanged = true;
    bool mExcavationStale = true;
    bool mExcavationResults = false;
    // The placed head of the last excavation, and its renderable copy once
    // asked for.
    std::unique_ptr<KorMesh> mTetePlacee;
    mutable std::unique_ptr<LumHandledMesh> mTeteExcavee;
};

extern ProjetOVX gProjet;
