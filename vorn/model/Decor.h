#pragma once

#include "ElementOVX.h"
#include "KorMesh.h"
#include "LumHandledMesh.h"
#include "LumPoint.h"
#include "XMLable.h"

#include <memory>
#include <string>

class LumoraDevice;

// A scenery object: a mesh read from an OBJ or a DXF file, placed in the
// scene (its coordinates count as metres), drawn with a colour or a
// texture. A gizmo tool previews one transformation (scale, translation or
// rotation) while the user drags it; ApplyTransform makes it permanent in
// the mesh. The file form is "Couleur", "Texture", then the son "Mesh";
// the source path is not kept.
class Decor : public ElementOVX, public XMLable
{
public:
    // Reads and places the mesh; an empty path gives an empty object that
    // is not loaded (it is read from a project file next).
    explicit Decor(const std::string& path);
    Decor(const Decor&) = delete;
    Decor& operator=(const Decor&) = delete;

    // The base reading; an object read from a project counts as loaded.
    void FromXML(const XMLNode& node) override;

    bool IsLoaded() const { return mLoaded; }
    // Why the file gave no object, in French (with the line of an OBJ file
    // where it stopped); empty when it loaded.
    const std::string& GetLoadFault() const { return mLoadFault; }
    LumPoint GetCentre();
    KorMesh& GetMesh() { return mMesh; }

    // Components 0..255.
    void SetColour(int red, int green, int blue);
    // Couleur as bytes, each component times 255 truncated toward zero;
    // alpha 255.
    struct sColour
    {
        unsigned char R = 0;
        unsigned char G = 0;
        unsigned char B = 0;
        unsigned char A = 255;
    };
    sColour GetColour() const;
    // The display object made by the first drawing; null before it.
    LumHandledMesh* GetRenderable() const { return mRenderable.get(); }
    void SetAppearance(int red, int green, int blue, const std::string& texture, bool record);

    // Makes the first applicable component permanent, in this order: the
    // translation (longer than 1e-5), the rotation about x, y, z (degrees,
    // magnitude above 1e-5; the points turn by minus the angle, the
    // preview's angle negated), the scale about the vertex mean (above
    // 1e-5). Non-finite components are not applicable. The preview goes
    // back to none. With record, one undo step holds the component applied
    // and none of the others.
    void ApplyTransform(double scale, const LumPoint& translation, const LumPoint& rotation, bool record);

    // The preview of a running gizmo tool.
    void SetTransformShown(bool shown) { mTransformShown = shown; }
    bool IsTransformShown() const { return mTransformShown; }
    void SetPreview(double scale, const LumPoint& translation, const LumPoint& rotation);
    void ClearPreview();
    double GetPreviewScale() const { return mPreviewScale; }
    const LumPoint& GetPreviewTranslation() const { return mPreviewTranslation; }
    const LumPoint& GetPreviewRotation() const { return mPreviewRotation; }
    // The matrix (16 doubles, column-major) the drawing applies to the mesh
    // for the preview: translation, then each rotation about the vertex
    // mean (x, y, z, as the drawing's rotation by the angle), then the
    // scale about it. Identity when the preview is not shown.
    void GetPreviewMatrix(double* m);
    bool IsRenderableStale() const { return mRenderableStale; }

    // Draws the mesh in the 3D view's draw callback (context current), with
    // the preview applied, in Couleur or textured with Texture; the
    // renderable is made on the first drawing and rebuilt after a change.
    // Outside the device's frame nothing is drawn.
    void Render(LumoraDevice* device);

    LumPoint Couleur;
    std::string Texture;

private:
    void RegisterXML();
    void Load(const std::string& path);

    KorMesh mMesh;
    std::unique_ptr<LumHandledMesh> mRenderable;
    bool mLoaded = false;
    std::string mLoadFault;
    bool mRenderableStale = false;
    bool mTransformShown = false;
    double mPreviewScale = 0.0;
    LumPoint mPreviewTranslation;
    LumPoint mPreviewRotation;
};
