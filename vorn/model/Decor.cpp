#include "Decor.h"

#include "DecorRecorders.h"
#include "KorDXF.h"
#include "KorException.h"
#include "KorMatrix.h"
#include "KorOBJ.h"
#include "KorString.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"

#include <GL/gl.h>

#include <cmath>
#include <memory>

namespace
{
bool IsFinite(const LumPoint& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

void Identity(double* m)
{
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

// m = m * b (column-major: b acts first).
void Then(double* m, const double* b)
{
    MultGLMatrix(m, b, m);
}

void ThenOwned(double* m, double* b)
{
    Then(m, b);
    delete[] b;
}

// m * T(c) * b * T(-c): b about the point c.
void ThenAbout(double* m, const LumPoint& c, double* b)
{
    ThenOwned(m, GetTranslationGLMatrix(c.x, c.y, c.z));
    ThenOwned(m, b);
    ThenOwned(m, GetTranslationGLMatrix(-c.x, -c.y, -c.z));
}

double Component(const LumPoint& p, int axis)
{
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}

LumPoint AxisVector(int axis, double value)
{
    return LumPoint(axis == 0 ? value : 0.0, axis == 1 ? value : 0.0, axis == 2 ? value : 0.0);
}
} // namespace

Decor::Decor(const std::string& path) : Couleur(1.0, 1.0, 1.0)
{
    RegisterXML();
    if (!path.empty())
        Load(path);
}

void Decor::RegisterXML()
{
    AddVariable("Couleur", &Couleur);
    AddVariable("Texture", &Texture);
    AddSon("Mesh", &mMesh);
}

namespace
{
// The reason an OBJ file's reading stopped, in the user's words.
std::string DescribeOBJFault(const KorOBJ::sFault& fault)
{
    using eFault = KorOBJ::eFault;
    if (fault.Kind == eFault::MissingVertex)
        return "Les faces désignent le sommet " + std::to_string(fault.Index) +
               ", mais le fichier n'en définit que " + std::to_string(fault.Vertices) + ".";
    std::string why;
    switch (fault.Kind)
    {
    case eFault::Declaration:
        why = "déclaration inconnue : seules « v », « vt », « vn » et « f » sont lues";
        break;
    case eFault::TooManyValues:
        why = "un sommet a plus de trois valeurs (une quatrième coordonnée ou une couleur de sommet n'est "
              "pas lue)";
        break;
    case eFault::TooFewValues:
        why = "un sommet doit avoir deux ou trois valeurs";
        break;
    case eFault::NotFinite:
        why = "une valeur n'est pas un nombre fini";
        break;
    case eFault::Separator:
        why = "un sommet de la face commence par « / »";
        break;
    case eFault::RelativeIndex:
        why = "les indices relatifs (négatifs) de sommets ne sont pas lus";
        break;
    case eFault::ZeroIndex:
        why = "les indices de sommets commencent à 1";
        break;
    case eFault::TooFewVertices:
        why = "une face doit avoir au moins trois sommets";
        break;
    default:
        return "Le fichier OBJ est mal formé.";
    }
    return "Ligne " + std::to_string(fault.Line) + " (« " + fault.Text + " ») : " + why + ".";
}
} // namespace

void Decor::Load(const std::string& path)
{
    std::string extension = GetExtension(path);
    ToLower(extension);
    mLoaded = false;
    mLoadFault.clear();
    bool converted = false;
    try
    {
        if (extension == "obj")
        {
            KorOBJ reader;
            try
            {
                if (!reader.Load(path))
                    mLoadFault = "Le fichier ne peut pas être lu.";
            }
            catch (const KorException&)
            {
                mLoadFault = DescribeOBJFault(reader.GetFault());
            }
            if (mLoadFault.empty())
                converted = reader.ConvertToKorMesh(mMesh);
        }
        else if (extension == "dxf")
        {
            KorDXF reader(path);
            if (!reader.IsOpen())
                mLoadFault = "Le fichier ne peut pas être lu.";
            else if (reader.Meshes.empty())
            {
                // Only polyface meshes make an object.
                const std::string others = reader.DescribeLeftOut();
                mLoadFault = "Le fichier ne contient aucun maillage polyface" +
                             (others.empty() ? std::string(".") : " (entités non lues : " + others + ").");
            }
            else
                converted = reader.ConvertToKorMesh(mMesh);
        }
        else
            mLoadFault = "Seuls les fichiers OBJ et DXF sont lus.";
    }
    catch (const KorException&)
    {
        // The reader printed the details.
        converted = false;
    }
    if (mLoadFault.empty())
    {
        if (!converted)
            mLoadFault = "Des faces du fichier ne peuvent pas être assemblées en un maillage.";
        else if (mMesh.GetNumberOfFaces() == 0)
            mLoadFault = "Le fichier ne contient aucune face.";
        else if (!IsFinite(mMesh.GetVerticesMean()))
            mLoadFault = "Des coordonnées du maillage ne sont pas finies.";
    }
    if (!mLoadFault.empty())
    {
        mMesh.Clear();
        return;
    }
    mLoaded = true;

    LumPoint c = (gProjet.Limite1 + gProjet.Limite2) / 2.0;
    double a = 0.0;
    if (!gProjet.GetFirstCoucheAltitude(c.x, c.y, a))
        a = 0.0;
    const double f = WorldToSceneLength(gProjet, 1.0);
    c.z = 10.0 * f + a;
    std::unique_ptr<double[]> scale(GetScaleGLMatrix(f, f, f));
    mMesh.GLTransform(scale.get());
    mMesh.MoveMesh(c - mMesh.GetVerticesMean());
}

void Decor::FromXML(const XMLNode& node)
{
    XMLable::FromXML(node);
    // As for a layer: an object left empty would be saved over the file's
    // mesh, so the Open fails instead.
    if (mMesh.LastReadFailed() && node.nChildNode("Mesh") > 0)
        throw KorException("Decor::FromXML -> Le maillage d'un élément de décor est illisible",
                           KorException::ERROR);
    mLoaded = true;
    mRenderableStale = true;
}

LumPoint Decor::GetCentre()
{
    return mMesh.GetVerticesMean();
}

void Decor::SetColour(int red, int green, int blue)
{
    Couleur = LumPoint(red / 255.0, green / 255.0, blue / 255.0);
}

Decor::sColour Decor::GetColour() const
{
    // A component outside 0..1 (a hand-edited file) is held to a byte.
    auto byte = [](double component)
    {
        const double value = component * 255.0;
        return static_cast<unsigned char>(value >= 255.0 ? 255 : value > 0.0 ? static_cast<int>(value) : 0);
    };
    sColour colour;
    colour.R = byte(Couleur.x);
    colour.G = byte(Couleur.y);
    colour.B = byte(Couleur.z);
    return colour;
}

void Decor::SetAppearance(int red, int green, int blue, const std::string& texture, bool record)
{
    if (record)
        RecordDecorAppearanceChange(gProjet.GetDecorIndex(this), Couleur,
                                    LumPoint(red / 255.0, green / 255.0, blue / 255.0), Texture, texture);
    SetColour(red, green, blue);
    Texture = texture;
    GetModelUi().RefreshDisplay();
}

void Decor::SetPreview(double scale, const LumPoint& translation, const LumPoint& rotation)
{
    mPreviewScale = scale;
    mPreviewTranslation = translation;
    mPreviewRotation = rotation;
}

void Decor::ClearPreview()
{
    SetPreview(0.0, LumPoint(), LumPoint());
}

void Decor::GetPreviewMatrix(double* m)
{
    Identity(m);
    if (!mTransformShown)
        return;
    const LumPoint c = mMesh.GetVerticesMean();
    if (mPreviewTranslation.Norm() > 1e-5)
        ThenOwned(
            m, GetTranslationGLMatrix(mPreviewTranslation.x, mPreviewTranslation.y, mPreviewTranslation.z));
    for (int axis = 0; axis < 3; ++axis)
    {
        const double angle = Component(mPreviewRotation, axis);
        // The drawing's rotation by +angle is the library's matrix of
        // -angle.
        if (std::fabs(angle) > 1e-5)
            ThenAbout(m, c, GetRotationGLMatrix(axis, -angle));
    }
    if (std::fabs(mPreviewScale) > 1e-5)
        ThenAbout(m, c, GetScaleGLMatrix(mPreviewScale, mPreviewScale, mPreviewScale));
}

void Decor::ApplyTransform(double scale, const LumPoint& translation, const LumPoint& rotation, bool record)
{
    const LumPoint c = mMesh.GetVerticesMean();
    double m[16];
    Identity(m);
    std::unique_ptr<double[]> normals;
    double appliedScale = 0.0;
    LumPoint appliedTranslation;
    LumPoint appliedRotation;
    bool applied = false;
    if (IsFinite(translation) && translation.Norm() > 1e-5)
    {
        ThenOwned(m, GetTranslationGLMatrix(translation.x, translation.y, translation.z));
        appliedTranslation = translation;
        applied = true;
    }
    for (int axis = 0; axis < 3 && !applied; ++axis)
    {
        const double angle = Component(rotation, axis);
        if (!std::isfinite(angle) || !(std::fabs(angle) > 1e-5))
            continue;
        ThenAbout(m, c, GetRotationGLMatrix(axis, angle));
        normals.reset(GetRotationGLMatrix(axis, angle));
        appliedRotation = AxisVector(axis, angle);
        applied = true;
    }
    // A factor of 1 is the gizmo at rest: a click without a drag changes nothing.
    if (!applied && std::isfinite(scale) && std::fabs(scale) > 1e-5 && std::fabs(scale - 1.0) > 1e-9)
    {
        ThenAbout(m, c, GetScaleGLMatrix(scale, scale, scale));
        appliedScale = scale;
        applied = true;
    }
    if (applied)
    {
        mMesh.GLTransform(m, normals.get());
        mRenderableStale = true;
    }
    ClearPreview();
    if (record && applied)
        RecordDecorTransform(gProjet.GetDecorIndex(this), appliedScale, appliedTranslation, appliedRotation);
}

void Decor::Render(LumoraDevice* device)
{
    // Outside a device's frame there is no context to draw with.
    if (!mLoaded || !device || !device->IsRendering())
        return;
    if (!mRenderable || mRenderableStale)
    {
        if (!mRenderable)
            mRenderable = std::make_unique<LumHandledMesh>(device, "");
        mRenderable->CreateFromKorMesh(mMesh);
        mRenderableStale = false;
    }
    double preview[16];
    GetPreviewMatrix(preview);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glMultMatrixd(preview);
    const bool textured = !Texture.empty();
    if (textured)
    {
        glColor3d(1.0, 1.0, 1.0);
        glEnable(GL_TEXTURE_2D);
        device->LoadTexture(Texture, 0);
    }
    else
        glColor3d(Couleur.x, Couleur.y, Couleur.z);
    mRenderable->Render(nullptr);
    glPopMatrix();
    if (textured)
        glDisable(GL_TEXTURE_2D);
}
