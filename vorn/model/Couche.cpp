#include "Couche.h"

#include "CoucheRecorders.h"
#include "Discontinuite3D.h"
#include "KorException.h"
#include "KorMeshXMLReader.h"
#include "KorNumbers.h"
#include "KorParallel.h"
#include "LigneNiveau.h"
#include "LumHandledMesh.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "XMLRecord.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace
{
Couche::Clock gClock = nullptr;

const char* const kDisplaySuffixes[4] = {"", "_Intersection", "_Tete", "_TerrainSurTete"};
} // namespace

void Couche::SetClock(Clock clock)
{
    gClock = clock;
}

Couche::Couche(const std::string& name) : Nom(name)
{
    const std::time_t now = gClock ? gClock() : std::time(nullptr);
    std::srand(static_cast<unsigned>(std::rand() % 1000 + now));
    R = std::rand() % 255;
    G = std::rand() % 255;
    B = std::rand() % 255;
    mDisplayDevice = GetModelUi().GetMainDevice();
    mDisplayName = Nom;
    RegisterXML();
}

LumHandledMesh* Couche::Display(int which) const
{
    LumHandledMesh*& display = mDisplay[which];
    if (!display)
        display = new LumHandledMesh(mDisplayDevice, mDisplayName + kDisplaySuffixes[which]);
    return display;
}

void Couche::RegisterXML()
{
    AddVariable("Nom", &Nom);
    AddVariable("R", &R);
    AddVariable("G", &G);
    AddVariable("B", &B);
    AddVariable("Opacite", &Opacite);
    AddVariable("Texture", &Texture);
    AddVariable("Discontinuites", &Discontinuites);
    AddVariable("FrontAffiche", &FrontAffiche);
    AddVariable("Editable", &Editable);
    AddSon("Mesh", &mMeshes[Surface]);
}

Couche::~Couche()
{
    for (LumHandledMesh*& display : mDisplay)
    {
        delete display;
        display = nullptr;
    }
    for (LigneNiveau* ligne : mLignes)
        delete ligne;
}

void Couche::ToXML(XMLNode& node)
{
    XMLable::ToXML(node);
    // Groups of 1000 records; the first group is written even when empty.
    XMLNode types = node.addChild("TypesVertex");
    const int records = static_cast<int>(mVertexTypes.size());
    for (int first = 0; first == 0 || first < records; first += 1000)
        types.addRecordList("Types", "TV", std::min(1000, records - first),
                            [this, first](int i, const XMLAttributeSink& add)
                            {
                                const sVertexType& record = mVertexTypes[static_cast<size_t>(first + i)];
                                add("Type", std::to_string(record.Type).c_str());
                                add("Param", std::to_string(record.Param).c_str());
                            });
    XMLNode lignes = node.addChild("LignesNiveau");
    for (LigneNiveau* ligne : mLignes)
    {
        XMLNode child = lignes.addChild("Ligne");
        ligne->ToXML(child);
    }
}

Couche::sReadVertexTypes Couche::VertexTypeGroups(const XMLNode& node)
{
    sReadVertexTypes read;
    if (node.nChildNode("TypesVertex") == 0)
        return read;
    const XMLNode types = node.getChildNode("TypesVertex");
    if (types.nChildNode("TV") > 0)
        read.Groups.push_back(types);
    else
    {
        const int groups = types.nChildNode("Types");
        for (int g = 0; g < groups; ++g)
            read.Groups.push_back(types.getChildNode("Types", g));
    }
    return read;
}

void Couche::ReadVertexTypeRecords(sReadVertexTypes& read)
{
    try
    {
        for (const XMLNode& group : read.Groups)
            group.forEachChild(
                [&](const XMLRecord& tv)
                {
                    if (std::strcmp(tv.getName(), "TV") != 0)
                        return;
                    const char* type = tv.getAttribute("Type");
                    const char* param = tv.getAttribute("Param");
                    sVertexType record;
                    record.Type = static_cast<int8_t>(type ? KorAtoi(type) : 0);
                    record.Param = param ? KorAtoi(param) : 0;
                    read.Records.push_back(record);
                });
    }
    catch (...)
    {
        read.Error = std::current_exception();
    }
}

void Couche::TakeVertexTypes(const std::vector<sVertexType>& records)
{
    KorMesh& mesh = mMeshes[Surface];
    for (const sVertexType& record : records)
    {
        // A record of no vertex whose vertex the stored mesh still holds.
        const int id = static_cast<int>(mVertexTypes.size());
        if (record.Type == 0 && mesh.GetVertex(id))
            mesh.DeleteVertex(id);
        mVertexTypes.push_back(record);
    }
}

void Couche::FromXML(const XMLNode& node)
{
    FromXML(node, nullptr);
}

void Couche::FromXML(const XMLNode& node, KorMeshXMLReader* mesh, const sReadVertexTypes* types)
{
    ReadVariables(node);
    if (mesh)
    {
        mesh->Rethrow();
        mMeshes[Surface].Swap(mesh->Mesh());
        mesh->Report();
    }
    else
        ReadSons(node);
    if (mMeshes[Surface].LastReadFailed() && node.nChildNode("Mesh") > 0)
        throw KorException("Couche::FromXML -> Le maillage de la couche '" + Nom + "' est illisible",
                           KorException::ERROR);
    mVertexTypes.clear();
    if (types)
    {
        if (types->Error)
            std::rethrow_exception(types->Error);
        TakeVertexTypes(types->Records);
    }
    else
    {
        sReadVertexTypes read = VertexTypeGroups(node);
        ReadVertexTypeRecords(read);
        if (read.Error)
            std::rethrow_exception(read.Error);
        TakeVertexTypes(read.Records);
    }
    for (LigneNiveau* ligne : mLignes)
        delete ligne;
    mLignes.clear();
    if (node.nChildNode("LignesNiveau") > 0)
    {
        const XMLNode lignes = node.getChildNode("LignesNiveau");
        const int n = lignes.nChildNode("Ligne");
        for (int i = 0; i < n; ++i)
        {
            mLignes.push_back(new LigneNiveau(0.0));
            // Checked against this layer's records: the layer may not be in
            // the project yet.
            LigneNiveau* ligne = mLignes.back();
            ligne->XMLable::FromXML(lignes.getChildNode("Ligne", i));
            ligne->KeepOwnPoints(*this, static_cast<int>(mLignes.size()) - 1);
        }
    }
    SetGeometryChanged();
}

void Couche::SetGeometryChanged()
{
    mRetriangulate = true;
    SetDisplayChanged();
}

void Couche::ForgetSurfaceCaches()
{
    mTextureValid = false;
    mEdgeBufferValid = false;
    mShapeValid = false;
    mBoxValid = false;
}

void Couche::SetDisplayChanged()
{
    // A pending cut names faces and points of the surface as it was: it is
    // gone with the results it belongs to.
    if (mCutPending)
    {
        DiscardPendingCutSurface();
        mMeshes[Intersection].Clear();
    }
    ForgetSurfaceCaches();
    gProjet.SetGeometryChanged();
    gProjet.InvalidateResults();
    gProjet.RefreshWindows();
}

Couche::sVertexType Couche::GetVertexType(int id) const
{
    if (id < 0 || id >= static_cast<int>(mVertexTypes.size()))
        return sVertexType();
    return mVertexTypes[id];
}

void Couche::SetVertexType(int id, int type, int param)
{
    if (id < 0)
        return;
    if (static_cast<int>(mVertexTypes.size()) <= id)
    {
        sVertexType filler;
        filler.Type = 1;
        filler.Param = param;
        mVertexTypes.resize(id + 1, filler);
    }
    mVertexTypes[id].Type = static_cast<int8_t>(type);
    mVertexTypes[id].Param = param;
}

LigneNiveau* Couche::GetLigneNiveau(int index) const
{
    return index >= 0 && index < GetNumberOfLignesNiveau() ? mLignes[index] : nullptr;
}

int Couche::GetLigneNiveauIndex(const LigneNiveau* ligne) const
{
    const auto found = std::find(mLignes.begin(), mLignes.end(), ligne);
    return found == mLignes.end() ? -1 : static_cast<int>(found - mLignes.begin());
}

void Couche::RenumberLignes(int from, int delta)
{
    for (sVertexType& record : mVertexTypes)
        if (record.Type == 2 && record.Param >= from &&
            (delta < 0 || record.Param < std::numeric_limits<int32_t>::max()))
            record.Param += delta;
}

void Couche::SetAppearance(const sColour& colour, const std::string& texture, int opacity, bool fronts,
                           const std::vector<std::string>& families, bool record)
{
    if (record)
        RecordCoucheSideChange(colour, texture, opacity, fronts, families, this);
    R = colour.R;
    G = colour.G;
    B = colour.B;
    if (texture != Texture)
        mTextureValid = false;
    Texture = texture;
    Opacite = opacity;
    FrontAffiche = fronts;
    bool same = families.size() == Discontinuites.size();
    for (size_t i = 0; same && i < families.size(); ++i)
        same = HasDiscontinuite(families[i]);
    if (!same)
        mDiscontinuitesBuilt = false;
    Discontinuites = families;
    GetModelUi().RefreshDisplay();
}

bool Couche::HasDiscontinuite(const std::string& name) const
{
    return std::find(Discontinuites.begin(), Discontinuites.end(), name) != Discontinuites.end();
}

double Couche::GetMeanAltitude() const
{
    const KorMesh& mesh = mMeshes[Surface];
    double sum = 0.0;
    int count = 0;
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
        {
            sum += v->Z;
            ++count;
        }
    return count ? sum / count : 0.0;
}

void Couche::GetBoundingBox(LumPoint& lo, LumPoint& hi) const
{
    const KorMesh& mesh = mMeshes[Surface];
    // Every placement of the head asks: kept until the surface changes.
    if (mBoxValid && mBoxSlots == mesh.GetVertexVectorSize() && mBoxCount == mesh.GetNumberOfVertices())
    {
        lo = mBoxLo;
        hi = mBoxHi;
        return;
    }
    ComputeBoundingBox(lo, hi);
    mBoxLo = lo;
    mBoxHi = hi;
    mBoxSlots = mesh.GetVertexVectorSize();
    mBoxCount = mesh.GetNumberOfVertices();
    mBoxValid = true;
}

void Couche::ComputeBoundingBox(LumPoint& lo, LumPoint& hi) const
{
    // A dense surface in ranges side by side: the bounds of the coordinates
    // that are numbers, the same whatever the order.
    const KorMesh& mesh = mMeshes[Surface];
    const double inf = std::numeric_limits<double>::infinity();
    struct sBounds
    {
        LumPoint Lo, Hi;
        bool Any = false;
    };
    const int slots = mesh.GetVertexVectorSize();
    std::vector<sBounds> ranges(static_cast<size_t>(RangeParts(slots, MachineThreads())));
    RunInRanges(slots, static_cast<int>(ranges.size()),
                [&](int part, int from, int to)
                {
                    sBounds bounds{LumPoint(inf, inf, inf), LumPoint(-inf, -inf, -inf)};
                    for (int id = from; id < to; ++id)
                        if (const KorVertex* v = mesh.GetVertex(id))
                        {
                            bounds.Any = true;
                            bounds.Lo = LumPoint(std::min(bounds.Lo.x, v->X), std::min(bounds.Lo.y, v->Y),
                                                 std::min(bounds.Lo.z, v->Z));
                            bounds.Hi = LumPoint(std::max(bounds.Hi.x, v->X), std::max(bounds.Hi.y, v->Y),
                                                 std::max(bounds.Hi.z, v->Z));
                        }
                    ranges[static_cast<size_t>(part)] = bounds;
                });
    lo = LumPoint(inf, inf, inf);
    hi = LumPoint(-inf, -inf, -inf);
    bool any = false;
    for (const sBounds& bounds : ranges)
    {
        any = any || bounds.Any;
        lo = LumPoint(std::min(lo.x, bounds.Lo.x), std::min(lo.y, bounds.Lo.y), std::min(lo.z, bounds.Lo.z));
        hi = LumPoint(std::max(hi.x, bounds.Hi.x), std::max(hi.y, bounds.Hi.y), std::max(hi.z, bounds.Hi.z));
    }
    if (!any)
        lo = hi = LumPoint();
}

LumPoint Couche::GetCentre() const
{
    LumPoint lo, hi;
    GetBoundingBox(lo, hi);
    return (lo + hi) * 0.5;
}

bool Couche::GetHighestAndLowestInZone(const LumPoint& c1, const LumPoint& c2, LumPoint& highest,
                                       LumPoint& lowest) const
{
    const KorMesh& mesh = mMeshes[Surface];
    const double x0 = std::min(c1.x, c2.x), x1 = std::max(c1.x, c2.x);
    const double y0 = std::min(c1.y, c2.y), y1 = std::max(c1.y, c2.y);
    bool any = false;
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
    {
        const KorVertex* v = mesh.GetVertex(id);
        if (!v || v->X < x0 || v->X > x1 || v->Y < y0 || v->Y > y1)
            continue;
        const LumPoint p(v->X, v->Y, v->Z);
        if (!any || p.z > highest.z)
            highest = p;
        if (!any || p.z < lowest.z)
            lowest = p;
        any = true;
    }
    return any;
}

void Couche::GetHighestAndLowest(LumPoint& highest, LumPoint& lowest) const
{
    const double inf = std::numeric_limits<double>::infinity();
    if (!GetHighestAndLowestInZone(LumPoint(-inf, -inf, 0.0), LumPoint(inf, inf, 0.0), highest, lowest))
        highest = lowest = LumPoint();
}
