#pragma once
// The report objects besides text: a line (straight or diagonal), a picture, a geometric shape
// and the subreport placeholder that prints another report page at its place.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/TypInfo.h"
#include "report/core/frxView.h"

class TPicture;
class TfrxReportPage;

enum TfrxShapeKind { skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2 };
KAROMIL_ENUM_TYPE(TfrxShapeKind, "skRectangle", "skRoundRectangle", "skEllipse", "skTriangle", "skDiamond",
    "skDiagonal1", "skDiagonal2")

class TfrxCustomLineView : public TfrxStretcheable {
    KAROMIL_CLASS(TfrxCustomLineView, TfrxStretcheable)
public:
    explicit TfrxCustomLineView(TComponent* owner);

    bool Diagonal = false;

    // A straight line first becomes horizontal or vertical (the object itself changes: the
    // smaller extent becomes 0 and the frame keeps one side), then is drawn as that side.
    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
    std::string GetDescription() const override;
};

class TfrxLineView : public TfrxCustomLineView {
    KAROMIL_CLASS(TfrxLineView, TfrxCustomLineView)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Frame);
        KAROMIL_PROP_MEMBER(Diagonal).Default(0);
    })
public:
    explicit TfrxLineView(TComponent* owner) : TfrxCustomLineView(owner) {}
};

class TfrxPictureView : public TfrxView {
    KAROMIL_CLASS(TfrxPictureView, TfrxView)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(AutoSize).Default(0);
        KAROMIL_PROP_MEMBER(Center).Default(0);
        KAROMIL_PROP_MEMBER(DataField);
        KAROMIL_PROP(DataSet);
        KAROMIL_PROP(DataSetName);
        KAROMIL_PROP(Frame);
        KAROMIL_PROP_MEMBER(KeepAspectRatio).Default(1);
        KAROMIL_PROP(Picture);
        KAROMIL_PROP_MEMBER(Stretched).Default(1);
    })
public:
    explicit TfrxPictureView(TComponent* owner);
    ~TfrxPictureView() override;

    bool GetAutoSize() const noexcept { return FAutoSize; }
    void SetAutoSize(bool value);
    bool Center = false;
    bool KeepAspectRatio = true;
    bool Stretched = true;
    TPicture* GetPicture() const noexcept { return FPicture.get(); }
    void SetPicture(TPicture* value);  // copies
    // Set by every change of the picture; the report clears it before a run.
    bool ImageChanged = false;

    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
    // A picture bound to a blob field is read from it; data that is no picture (or a damaged
    // one) clears the picture and adds a line to the report's error list.
    void GetData() override;
    std::string Diff(TfrxComponent* templ) override;
    std::string GetDescription() const override;
    void LoadFromFile(const std::string& fileName);
    // Reads a picture from the stream's position as a blob field keeps it (an optional 8-byte
    // field header first). Empty data clears the picture; unknown or damaged data clears it
    // and answers the reason (Czech), '' on success.
    std::string LoadFromBlob(TStream* stream);

private:
    void PictureChanged();
    std::unique_ptr<TPicture> FPicture;
    bool FAutoSize = false;
};

class TfrxShapeView : public TfrxView {
    KAROMIL_CLASS(TfrxShapeView, TfrxView)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(BrushStyle).Default(bsSolid);
        KAROMIL_PROP_MEMBER(Color, TypeInfoColor()).Default(clTransparent);
        KAROMIL_PROP(Frame);
        KAROMIL_PROP_MEMBER(Shape).Default(skRectangle);
    })
public:
    explicit TfrxShapeView(TComponent* owner);

    TfrxShapeKind Shape = skRectangle;

    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
    std::string Diff(TfrxComponent* templ) override;
    std::string GetDescription() const override;
};

class TfrxSubreport : public TfrxView {
    KAROMIL_CLASS(TfrxSubreport, TfrxView)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Page);
        KAROMIL_PROP_MEMBER(PrintOnParent).Default(0);
    })
public:
    explicit TfrxSubreport(TComponent* owner);
    ~TfrxSubreport() override;

    // The link works both ways: the page's Subreport names this object.
    TfrxReportPage* GetPage() const noexcept { return FPage; }
    void SetPage(TfrxReportPage* value);
    bool PrintOnParent = false;

    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
    std::string GetDescription() const override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TfrxReportPage* FPage = nullptr;
};

namespace frx {
// Registers line, picture, shape and subreport (called by frx::Startup).
void RegisterObjectClasses();
}  // namespace frx
