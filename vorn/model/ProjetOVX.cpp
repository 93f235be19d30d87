#include "ProjetOVX.h"

#include "CalculeFronts.h"

#include "Axe.h"
#include "Couche.h"
#include "Coupe.h"
#include "Decor.h"
#include "Discontinuite.h"
#include "Excavation.h"
#include "FondPlan.h"
#include "FondPlanTools.h"
#include "KorMesh.h"
#include "KorMeshXMLReader.h"
#include "KorString.h"
#include "LumHandledMesh.h"
#include "ModelUi.h"
#include "ResultatsOVX.h"
#include "SectionWindow.h"
#include "Sondage.h"
#include "TeteTranchee.h"
#include "TypedValues.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <sys/stat.h>

ProjetOVX gProjet;

const char* const ProjetOVX::Title = "Ovalis 1.0.5";

namespace
{
template <typename List> void DeleteAll(List& list)
{
    for (auto* element : list)
        delete element;
    list.clear();
}

// Reads every child of that name into a new element (made by make)
// appended to the list before it is read.
template <typename T, typename Make>
void ReadGroup(const XMLNode& node, const char* name, std::vector<T*>& list, Make make)
{
    const int n = node.nChildNode(name);
    for (int i = 0; i < n; ++i)
    {
        list.push_back(make());
        list.back()->FromXML(node.getChildNode(name, i));
    }
}

// A value of the file that the same value typed would not have given: the
// project is not opened, and the box says why.
struct RefusedValue
{
    std::string Why;
};

template <typename T> void WriteGroup(XMLNode& node, const char* name, const std::vector<T*>& list)
{
    for (T* element : list)
    {
        XMLNode child = node.addChild(name);
        element->ToXML(child);
    }
}

} // namespace

ProjetOVX::ProjetOVX()
    : mApplicationFolder(GetWorkingDirectory()), mAxe(new Axe), mResultats(new ResultatsOVX)
{
    RegisterXML();
    mUndo.SetMaxUndos(75);
}

void ProjetOVX::RegisterXML()
{
    AddVariable("Nom", &Nom);
    AddVariable("CoucheCourante", &CoucheCourante);
    AddVariable("PosXDessus", &PosXDessus);
    AddVariable("PosYDessus", &PosYDessus);
    AddVariable("ZoomDessus", &ZoomDessus);
    AddVariable("FondUtilise", &FondUtilise);
    AddVariable("OpaciteFond", &OpaciteFond);
    AddVariable("Nord", &Nord);
    AddVariable("OrigineX", &OrigineX);
    AddVariable("OrigineY", &OrigineY);
    AddVariable("OrigineCameraX", &OrigineCameraX);
    AddVariable("OrigineCameraY", &OrigineCameraY);
    AddVariable("AffichageNordCreation", &AffichageNordCreation);
    AddVariable("Echelle", &Echelle);
    AddVariable("AffichageAxeCreation", &AffichageAxeCreation);
    AddVariable("mLignesNiveauAffichees", &mLignesNiveauAffichees);
    AddVariable("TriangulationAffichee", &TriangulationAffichee);
    AddVariable("PointsAffiches", &PointsAffiches);
    AddVariable("Limite1", &Limite1);
    AddVariable("Limite2", &Limite2);
    AddVariable("ZoneAffichee", &ZoneAffichee);
    AddVariable("CameraPosition", &CameraPosition);
    AddVariable("CameraTarget", &CameraTarget);
    AddVariable("3DTriangles", &m3DTriangles);
    AddVariable("3DSegments", &m3DSegments);
    AddVariable("3DPoints", &m3DPoints);
    AddVariable("3DLignes", &m3DLignes);
    AddVariable("3DSondages", &m3DSondages);
    AddVariable("3DAxe", &m3DAxe);
    AddVariable("3DAffichageTete", &m3DAffichageTete);
    AddVariable("3DAffichageLigneIntersection", &m3DAffichageLigneIntersection);
    AddVariable("3DAffichageInfos", &m3DAffichageInfos);
    AddVariable("TravauxTransparence", &TravauxTransparence);
    AddVariable("EquationCout", &EquationCout);
    AddVariable("GraduationAxe", &GraduationAxe);
}

ProjetOVX::~ProjetOVX()
{
    // Not Reset: at exit the interface may be gone.
    DeleteElements();
    delete mAxe;
    delete mResultats;
}

void ProjetOVX::DeleteElements()
{
    DeleteAll(mFondsPlan);
    DeleteAll(mCouches);
    DeleteAll(mSondages);
    DeleteAll(mCoupes);
    DeleteAll(mDecors);
    for (auto& [name, family] : mDiscontinuites)
        delete family;
    mDiscontinuites.clear();
}

void ProjetOVX::Reset()
{
    mPlanGeometryChanged = true;
    EquationCout = "300*S+10*V";
    GraduationAxe = 10.0;
    m3DAffichageInfos = false;
    PosXDessus = 0.0;
    CoucheCourante = -1;
    PosYDessus = 0.0;
    Nord = 0;
    AffichageNordCreation = false;
    ZoomDessus = 200.0;
    OpaciteFond = 50;
    AffichageAxeCreation = false;
    Echelle = 100.0;
    mLignesNiveauAffichees = false;
    TriangulationAffichee = false;
    PointsAffiches = true;
    OrigineX = 0.0;
    FondUtilise = -1;
    OrigineY = 0.0;
    // A new project's plan reference point must not be the last project's.
    OrigineCameraX = 0.0;
    OrigineCameraY = 0.0;

    DeleteElements();
    mAxe->Init();
    // The previous project's polyline must not reappear in the next.
    mAxe->ClearPolyline();

    Limite1 = LumPoint();
    Limite2 = LumPoint();
    NiveauBas = 0.0;
    NiveauHaut = 0.0;
    ZoneAffichee = false;
    m3DGeometryChanged = true;
    m3DTriangles = true;
    m3DSegments = false;
    m3DPoints = false;
    m3DLignes = true;
    m3DSondages = true;
    m3DAxe = true;
    m3DAffichageTete = false;
    m3DAffichageLigneIntersection = false;
    m3DAffichageInfos = false;
    TravauxTransparence = false;
    mExcavationStale = true;
    mExcavationResults = false;
    // The last project's excavation is not this one's.
    ClearTeteExcavee();
    gResults.Clear();
    gIntersectionLines.clear();
    gSlopeHeight = 0.0;

    CameraTarget = LumPoint(0.0, 0.0, 0.0);
    CameraPosition = LumPoint(100.0, -100.0, 150.0);

    mResultats->Clear();
    // The next project must not save this one's series axis.
    mResultats->AxeResultats = Axe();
    GetModelUi().ResetResultViews();
    GetModelUi().CloseElementDialogs();
}

void ProjetOVX::ToXML(XMLNode& node)
{
    XMLable::ToXML(node);
    WriteGroup(node, "FondPlan", mFondsPlan);
    for (Couche* couche : mCouches)
    {
        XMLNode child = node.addChild("Couche");
        couche->ToXML(child);
    }
    WriteGroup(node, "Sondage", mSondages);
    WriteGroup(node, "Coupe", mCoupes);
    for (auto& [name, family] : mDiscontinuites)
    {
        XMLNode child = node.addChild("Discontinuite");
        family->ToXML(child);
    }
    XMLNode axe = node.addChild("Axe");
    mAxe->ToXML(axe);
    // The head is the interface's (its dialog holds it), always written.
    XMLNode tete = node.addChild("Tete");
    GetModelUi().GetTete().ToXML(tete);
    XMLNode resultats = node.addChild("Resultats");
    mResultats->ToXML(resultats);
    WriteGroup(node, "Decor", mDecors);
}

void ProjetOVX::FromXML(const XMLNode& node)
{
    ModelUi& ui = GetModelUi();
    XMLable::FromXML(node);
    DeleteAll(mCouches);
    ReadGroup(node, "FondPlan", mFondsPlan, [] { return new FondPlan(std::string()); });
    // The layers' meshes and vertex types are most of a large project: they
    // are read side by side first, each into a mesh or list of its own,
    // nothing else touched; each layer then reads in order and takes them,
    // with the failure line or exception a reading in order would have met
    // there.
    const int couches = node.nChildNode("Couche");
    std::vector<std::unique_ptr<KorMesh>> meshes(static_cast<size_t>(couches));
    std::vector<std::unique_ptr<KorMeshXMLReader>> readers(static_cast<size_t>(couches));
    std::vector<KorMeshXMLReader*> reading;
    std::vector<Couche::sReadVertexTypes> types(static_cast<size_t>(couches));
    for (int i = 0; i < couches; ++i)
    {
        const XMLNode couche = node.getChildNode("Couche", i);
        types[i] = Couche::VertexTypeGroups(couche);
        const XMLNode mesh = couche.getChildNode("Mesh");
        if (mesh.isEmpty())
            continue;
        meshes[i] = std::make_unique<KorMesh>();
        readers[i] = std::make_unique<KorMeshXMLReader>(*meshes[i], mesh);
        reading.push_back(readers[i].get());
    }
    // The vertex types by the threads that read the meshes: however many
    // layers, no more threads than the machine runs at once.
    KorMeshXMLReader::ReadSideBySide(
        reading, couches, [&types](int i) { Couche::ReadVertexTypeRecords(types[static_cast<size_t>(i)]); });
    // Each layer is in the list before it reads: its level lines find it.
    for (int i = 0; i < couches; ++i)
    {
        mCouches.push_back(new Couche("Couche"));
        mCouches.back()->FromXML(node.getChildNode("Couche", i), readers[i].get(), &types[i]);
        readers[i].reset();
        meshes[i].reset();
        types[i] = Couche::sReadVertexTypes();
    }
    ReadGroup(node, "Sondage", mSondages, [] { return new Sondage(std::string(), LumPoint(), false); });
    ReadGroup(node, "Coupe", mCoupes, [] { return new Coupe(std::string(), LumPoint(), LumPoint()); });

    if (node.nChildNode("Axe") > 0)
    {
        const XMLNode axe = node.getChildNode("Axe");
        mAxe->FromXML(axe);
        const std::string why = mAxe->ReadRefusal(axe);
        if (!why.empty())
            throw RefusedValue{why};
    }

    // Families are keyed by name: one without a name is skipped, a second
    // of a stored name is read into that family.
    const int families = node.nChildNode("Discontinuite");
    for (int i = 0; i < families; ++i)
    {
        const XMLNode child = node.getChildNode("Discontinuite", i);
        const char* text = child.getChildNode("Nom").getText();
        if (!text)
            continue;
        std::string name = text;
        UTF8ToString(name);
        ReplaceChar(name, '$', ' ');
        Discontinuite*& family = mDiscontinuites[name];
        if (!family)
            family = new Discontinuite(name);
        family->FromXML(child);
    }

    if (node.nChildNode("Resultats") > 0)
        mResultats->FromXML(node.getChildNode("Resultats"));
    ui.FillDiscontinuityFamilies();
    ui.FillCurveVariables();
    ReadGroup(node, "Decor", mDecors, [] { return new Decor(std::string()); });

    // The head outlives the project's reset: it changes only once every
    // other group has read, so a file refused half-way leaves it as it was.
    if (node.nChildNode("Tete") > 0)
    {
        if (!ApplyTeteXML(ui.GetTete(), node.getChildNode("Tete")))
            throw RefusedValue{NonFiniteValuesText()};
        ui.FillHeadFields();
    }

    // Indexes from the file name existing elements or none.
    if (CoucheCourante < -1 || CoucheCourante >= GetNumberOfCouches())
        CoucheCourante = -1;
    if (FondUtilise < -1 || FondUtilise >= GetNumberOfFondsPlan())
        FondUtilise = -1;
}

void ProjetOVX::CloseProject()
{
    ModelUi& ui = GetModelUi();
    // A tool's temporary state belongs to this project: given back before
    // the reset, not into the next project.
    ui.RunEndToolHook();
    Reset();
    ui.ResetDiscontinuityDialog();
    ResetTitle();
    mUndo.Clear();
    ui.EnterCreationMode(false);
    ui.SetNoProjectInterface();
}

int ProjetOVX::Close()
{
    if (IsModified())
    {
        const int answer = GetModelUi().MessageBox("Le projet a été modifié : Voulez-vous l'enregistrer ?",
                                                   "Information", ModelUi::Buttons::YesNoCancel);
        if (answer == ModelUi::IdCancel)
            return ModelUi::IdCancel;
        // A project that could not be saved is not thrown away.
        if (answer == ModelUi::IdYes && !Save())
            return ModelUi::IdCancel;
    }
    CloseProject();
    return ModelUi::IdOk;
}

void ProjetOVX::Load(const XMLNode& projet, const std::string& path)
{
    ModelUi& ui = GetModelUi();
    FromXML(projet);
    // A name no user could have typed breaks the lists that name it at the
    // next save: renamed as the user is told below, the project modified.
    const std::vector<std::string> renamed = RenameNamesRead();
    const std::vector<std::string> freed = FreeStrayPointsRead();
    ui.FillDiscontinuityFamilies();
    Nom = path;
    // The scale divides every conversion; an unusable one would make every
    // coordinate infinite or NaN.
    if (!std::isfinite(Echelle) || !(Echelle > 1e-5))
    {
        Echelle = 100.0;
        ui.MessageBox("L'échelle lue dans le fichier '" + path +
                          "' n'est pas valide : la valeur 100 est utilisée.",
                      "Information");
        MarkModified();
    }
    if (mAxe->DropUnreachableHeadPositions())
    {
        ui.MessageBox("La position de la tête lue dans le fichier '" + path +
                          "' n'est pas sur l'axe : la tête n'est pas placée.",
                      "Information");
        MarkModified();
    }
    if (!renamed.empty())
    {
        std::string text = "Des noms lus dans le fichier '" + path + "' ne sont pas valides :";
        for (const std::string& line : renamed)
            text += "\n" + line;
        ui.MessageBox(text, "Information");
        MarkModified();
    }
    if (!freed.empty())
    {
        std::string text = "Des points lus dans le fichier '" + path + "' ne sont pas valides :";
        for (const std::string& line : freed)
            text += "\n" + line;
        ui.MessageBox(text, "Information");
        MarkModified();
    }
    UpdateTitle();
    ui.EnableModeTools();
    ui.EnterCreationMode(false);
}

void ProjetOVX::Open(const std::string& path)
{
    if (Close() == ModelUi::IdCancel)
        return;
    ModelUi& ui = GetModelUi();
    ui.SetCursor(ModelUi::Cursor::Wait);
    std::string failure;
    try
    {
        // Only a regular file has an end: a pipe or a device could block
        // or never end.
        struct stat info;
        const bool regular = stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
        XMLResults results;
        const XMLNode top = regular ? XMLNode::parseFile(path, &results) : XMLNode();
        const XMLNode projet = top.getChildNode("Projet");
        if (top.isEmpty())
            failure = "Impossible de charger un projet depuis '" + path + "'";
        else if (projet.isEmpty())
            failure = "Aucun projet disponible dans le fichier '" + path + "'";
        else
            Load(projet, path);
    }
    catch (const RefusedValue& refused)
    {
        failure = "Impossible de charger un projet depuis '" + path + "'\n" + refused.Why;
    }
    catch (...)
    {
        failure = "Impossible de charger un projet depuis '" + path + "'";
    }
    if (!failure.empty())
    {
        // No half-read project stays open: it could carry another file's
        // name for a later Save to overwrite.
        CloseProject();
        Nom.clear();
        ui.MessageBox(failure, "Erreur");
    }
    ui.SetCursor(ModelUi::Cursor::Arrow);
}

void ProjetOVX::New()
{
    if (Close() == ModelUi::IdCancel)
        return;
    ModelUi& ui = GetModelUi();
    Nom.clear();
    ChooseFondPlan(false);
    const FondPlan* plan = GetFondPlanUtilise();
    if (!plan || plan->Nom.empty())
    {
        ui.MessageBox("Vous devez choisir une image comme fond de plan.\nCréation de projet annulée.",
                      "Erreur", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
        return;
    }
    if (ui.MessageBox("Le Nord est placé par défaut vers le haut de l'image.\nSouhaitez-vous modifier "
                      "l'orientation ? \nAttention, cette opération ne peut être modifiée dans la suite du "
                      "projet.",
                      "Information", ModelUi::Buttons::YesNo, 0) == ModelUi::IdYes)
    {
        StartNordTool();
        return;
    }
    Nord = 0;
    ui.EndCurrentTool();
    UpdateTitle();
    ui.EnableModeTools();
    ui.EnterCreationMode(false);
}

bool ProjetOVX::SaveAs()
{
    ModelUi::FileRequest request;
    request.Title = "Choisissez un fichier";
    request.Wildcard = "Ovalis files (*.ovx)|*.ovx";
    request.Save = true;
    ModelUi& ui = GetModelUi();
    std::string path;
    for (;;)
    {
        path = ui.AskFilePath(request);
        if (path.empty())
            return false;
        // The file dialog of some desktops adds no extension: a name typed
        // without one gets ".ovx", so that Open's filter shows the file. The
        // dialog asked before replacing the typed name only; the completed
        // one is asked here, and No goes back to the file dialog.
        if (!GetExtension(path).empty())
            break;
        path += ".ovx";
        struct stat info;
        if (stat(path.c_str(), &info) != 0 ||
            ui.MessageBox("Le fichier '" + path + "' existe déjà.\nVoulez-vous le remplacer ?",
                          "Enregistrer sous", ModelUi::Buttons::YesNo) == ModelUi::IdYes)
            break;
    }
    const std::string previous = Nom;
    Nom = path;
    if (!Save())
    {
        Nom = previous;
        return false;
    }
    UpdateTitle();
    return true;
}

bool ProjetOVX::Save()
{
    // A project made by New has no file yet.
    if (Nom.empty())
        return SaveAs();
    // The calibration holds the scale at 0 while it runs: ending it gives
    // the scale back before it is written.
    if (IsFondPlanCalibrationRunning())
        GetModelUi().EndCurrentTool();
    // Streamed: the layers' large lists are written from the model straight
    // into the file, which is written right away.
    XMLNode top = XMLNode::createStreamedTopNode("xml", 1);
    XMLNode projet = top.addChild("Projet");
    ToXML(projet);
    const XMLResults written = top.writeToFile(Nom, nullptr, 1);
    if (!written)
    {
        GetModelUi().MessageBox("Impossible d'enregistrer le projet dans le fichier '" + Nom + "'" +
                                    (written.reason.empty() ? "" : "\n" + written.reason),
                                "Erreur");
        return false;
    }
    mUndo.SetSaved(true);
    return true;
}

std::vector<std::string> ProjetOVX::GetDiscontinuiteNames() const
{
    std::vector<std::string> names;
    for (const auto& [name, family] : mDiscontinuites)
        names.push_back(name);
    return names;
}

std::vector<std::string> ProjetOVX::GetCoucheNames() const
{
    std::vector<std::string> names;
    for (const Couche* couche : mCouches)
        names.push_back(couche->Nom);
    return names;
}

void ProjetOVX::FillCoucheCombo()
{
    GetModelUi().SetLayerChoice(GetCoucheNames());
}

void ProjetOVX::SetCoucheCourante(int index)
{
    // A pick belongs to the layer being edited: none survives a change of
    // layer, its undo or its redo.
    for (Couche* couche : mCouches)
        couche->SetPickedVertex(-1);
    ModelUi& ui = GetModelUi();
    if (index >= 0 && index < GetNumberOfCouches())
        ui.SelectLayerChoice(index);
    else
    {
        ui.SelectLayerChoice(-1);
        index = -1;
    }
    CoucheCourante = index;
    ui.EnableLayerTools(index >= 0);
    ui.RefreshDisplay();
}

void ProjetOVX::ResetTitle()
{
    ModelUi& ui = GetModelUi();
    ui.SetTitle(Title);
    ui.SetLayerChoice({});
}

void ProjetOVX::UpdateTitle()
{
    GetModelUi().SetTitle(std::string(Title) + " - " + GetFileRadical(Nom));
    FillCoucheCombo();
}

void ProjetOVX::InvalidateResults()
{
    gResults.Clear();
    mExcavationStale = true;
    mExcavationResults = false;
}

LumHandledMesh* ProjetOVX::GetTeteExcavee() const
{
    if (!mTeteExcavee && mTetePlacee)
    {
        // Asked for inside a frame: short of memory the frame goes without.
        try
        {
            auto excavated = std::make_unique<LumHandledMesh>(nullptr, "Tete de tranchée");
            excavated->CreateFromKorMesh(*mTetePlacee);
            mTeteExcavee = std::move(excavated);
        }
        catch (const std::bad_alloc&)
        {
            return nullptr;
        }
    }
    return mTeteExcavee.get();
}

void ProjetOVX::SetTeteExcavee(KorMesh&& placed)
{
    mTeteExcavee.reset();
    if (!mTetePlacee)
        mTetePlacee = std::make_unique<KorMesh>();
    mTetePlacee->Swap(placed);
}

void ProjetOVX::ClearTeteExcavee()
{
    mTeteExcavee.reset();
    mTetePlacee.reset();
}

bool ProjetOVX::ComputeAllFronts()
{
    if (mCouches.empty() || !mCouches.front())
        return false;
    const LumPoint d = Limite2 - Limite1;
    // Also refuses a NaN corner.
    if (!(std::fabs(d.x) >= 1e-5) || !(std::fabs(d.y) >= 1e-5))
        return false;
    const LumPoint lo(std::min(Limite1.x, Limite2.x), std::min(Limite1.y, Limite2.y), 0.0);
    const LumPoint hi(std::max(Limite1.x, Limite2.x), std::max(Limite1.y, Limite2.y), 0.0);
    bool any = false;
    double zmin = 0.0, zmax = 0.0;
    auto extend = [&](double z)
    {
        if (!any || z < zmin)
            zmin = z;
        if (!any || z > zmax)
            zmax = z;
        any = true;
    };
    // The layers' vertices inside the zone, then their front outlines.
    for (Couche* couche : mCouches)
    {
        LumPoint highest, lowest;
        if (couche && couche->GetHighestAndLowestInZone(lo, hi, highest, lowest))
        {
            extend(lowest.z);
            extend(highest.z);
        }
    }
    for (Couche* couche : mCouches)
    {
        if (!couche)
            continue;
        CalculeFronts(couche, Limite1, Limite2);
        for (const LumPoint& p : couche->FrontPoints)
            extend(p.z);
    }
    m3DGeometryChanged = false;
    const double r = (zmax - zmin) * 0.1;
    NiveauBas = zmin - 2.0 * r;
    NiveauHaut = zmax + r;
    return true;
}

void ProjetOVX::AddWindow(SectionWindow* window)
{
    if (window)
        mWindows.push_back(window);
}

void ProjetOVX::RemoveWindow(SectionWindow* window)
{
    const auto found = std::find(mWindows.begin(), mWindows.end(), window);
    if (found != mWindows.end())
        mWindows.erase(found);
}

void ProjetOVX::RefreshWindows()
{
    // A window's update may close another: walk a copy.
    const std::vector<SectionWindow*> windows = mWindows;
    for (SectionWindow* window : windows)
        if (std::find(mWindows.begin(), mWindows.end(), window) != mWindows.end() && window->IsShown())
            window->Update();
}

void ProjetOVX::SetSwitch(bool& member, int menuId, bool on)
{
    member = on;
    GetModelUi().ShowDisplaySwitch(menuId, on);
}

void ProjetOVX::Set3DTriangles(bool on)
{
    SetSwitch(m3DTriangles, 46, on);
}

void ProjetOVX::Set3DSegments(bool on)
{
    SetSwitch(m3DSegments, 47, on);
}

void ProjetOVX::Set3DPoints(bool on)
{
    SetSwitch(m3DPoints, 48, on);
}

void ProjetOVX::Set3DLignes(bool on)
{
    SetSwitch(m3DLignes, 49, on);
}

void ProjetOVX::Set3DSondages(bool on)
{
    SetSwitch(m3DSondages, 50, on);
}

void ProjetOVX::Set3DAxe(bool on)
{
    SetSwitch(m3DAxe, 51, on);
}

void ProjetOVX::Set3DAffichageTete(bool on)
{
    SetSwitch(m3DAffichageTete, 52, on);
    RefreshWindows();
}

void ProjetOVX::Set3DAffichageLigneIntersection(bool on)
{
    SetSwitch(m3DAffichageLigneIntersection, 53, on);
}

void ProjetOVX::Set3DAffichageInfos(bool on)
{
    SetSwitch(m3DAffichageInfos, 54, on);
}

void ProjetOVX::SetTravauxTransparence(bool on)
{
    SetSwitch(TravauxTransparence, 55, on);
}
