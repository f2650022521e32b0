#pragma once
// Edit styles and style controllers. Every editor owns a TdxEditStyle with seven look settings
// (border colour and style, button style and transparency, edges, hot tracking, shadow). A
// setting not assigned on the style falls back to the editor's own StyleController, then to
// the default controller that lives for the whole process, then to a built-in constant.
// Changing a controller re-lays-out and repaints every editor that depends on it.
//
// A controller announces nothing while its update lock is held or while it is being loaded;
// EndUpdate and Loaded announce once. GUI thread only.

#include <functional>
#include <vector>

#include "grid/editors/dxCntner.h"

enum TdxEditStyleValue {
    svBorderColor,
    svBorderStyle,
    svButtonStyle,
    svButtonTransparence,
    svEdges,
    svHotTrack,
    svShadow
};
KAROMIL_ENUM_TYPE(TdxEditStyleValue, "svBorderColor", "svBorderStyle", "svButtonStyle", "svButtonTransparence",
    "svEdges", "svHotTrack", "svShadow")
using TdxEditStyleValues = TSet<TdxEditStyleValue>;
KAROMIL_SET_TYPE(TdxEditStyleValues, TdxEditStyleValue)

using TdxStyleChangedEvent = std::function<void(TObject* sender, TObject* link)>;

// A list of linked objects told when the controller changes.
class TdxStyleController : public TComponent {
    KAROMIL_CLASS(TdxStyleController, TComponent)
public:
    explicit TdxStyleController(TComponent* owner);
    ~TdxStyleController() override;

    virtual void AddLink(TObject* link);  // appends
    virtual void RemoveLink(TObject* link);
    virtual void LinkChanged(TObject* link);  // fires OnStyleChanged(Self, link)

    void BeginUpdate() { ++FUpdateLock; }
    void EndUpdate();  // then Changed
    // LinkChanged for every link in list order; nothing while locked or loading.
    void Changed();
    const std::vector<TObject*>& Links() const noexcept { return FLinks; }
    int UpdateLock() const noexcept { return FUpdateLock; }

    void Loaded() override;  // then Changed

    TdxStyleChangedEvent OnStyleChanged;

private:
    std::vector<TObject*> FLinks;
    int FUpdateLock = 0;
};

class TdxEditStyleController : public TdxStyleController {
    KAROMIL_CLASS(TdxEditStyleController, TdxStyleController)
public:
    explicit TdxEditStyleController(TComponent* owner);
    void Assign(TPersistent* source) override;
    // The seven defaults, announced once.
    virtual void RestoreDefaults();
    // Repaints a linked editor that names no controller or names this one.
    void LinkChanged(TObject* link) override;

    TColor GetBorderColor() const noexcept { return FBorderColor; }
    void SetBorderColor(TColor v);
    TdxEditBorderStyle GetBorderStyle() const noexcept { return FBorderStyle; }
    void SetBorderStyle(TdxEditBorderStyle v);
    TdxEditButtonViewStyle GetButtonStyle() const noexcept { return FButtonStyle; }
    void SetButtonStyle(TdxEditButtonViewStyle v);
    TdxEditButtonTransparence GetButtonTransparence() const noexcept { return FButtonTransparence; }
    void SetButtonTransparence(TdxEditButtonTransparence v);
    TdxEditEdges GetEdges() const noexcept { return FEdges; }
    void SetEdges(TdxEditEdges v);
    bool GetHotTrack() const noexcept { return FHotTrack; }
    void SetHotTrack(bool v);
    bool GetShadow() const noexcept { return FShadow; }
    void SetShadow(bool v);

private:
    TColor FBorderColor = clWindowFrame;
    TdxEditBorderStyle FBorderStyle = xbs3D;
    TdxEditButtonViewStyle FButtonStyle = btsDefault;
    TdxEditButtonTransparence FButtonTransparence = ebtNone;
    TdxEditEdges FEdges = dxAllEdges();
    bool FHotTrack = false;
    bool FShadow = false;
};

// The process's default controller; nullptr outside the editors' start-up bracket
// (dxEditorsStartup in dxExEdtr.h).
TdxEditStyleController* dxDefaultEditStyleController();

// The look of one editor.
class TdxEditStyle : public TPersistent {
    KAROMIL_CLASS(TdxEditStyle, TPersistent)
public:
    // Links edit to the default controller (when there is one).
    explicit TdxEditStyle(TdxInplaceEdit* edit);
    ~TdxEditStyle() override;
    void Assign(TPersistent* source) override;

    TdxInplaceEdit* Edit() const noexcept { return FEdit; }
    TdxEditStyleValues GetAssignedValues() const noexcept { return FAssignedValues; }
    void SetAssignedValues(TdxEditStyleValues v);

    // Reads fall back when the value is not assigned; writes assign it, even to the fallback.
    TColor GetBorderColor() const;
    void SetBorderColor(TColor v);
    TdxEditBorderStyle GetBorderStyle() const;
    void SetBorderStyle(TdxEditBorderStyle v);
    TdxEditButtonViewStyle GetButtonStyle() const;
    void SetButtonStyle(TdxEditButtonViewStyle v);
    TdxEditButtonTransparence GetButtonTransparence() const;
    void SetButtonTransparence(TdxEditButtonTransparence v);
    TdxEditEdges GetEdges() const;
    void SetEdges(TdxEditEdges v);
    bool GetHotTrack() const;
    void SetHotTrack(bool v);
    bool GetShadow() const;
    void SetShadow(bool v);

    bool IsBorderColorStored() const { return FAssignedValues.Contains(svBorderColor); }
    bool IsBorderStyleStored() const { return FAssignedValues.Contains(svBorderStyle); }
    bool IsButtonStyleStored() const { return FAssignedValues.Contains(svButtonStyle); }
    bool IsButtonTransparenceStored() const { return FAssignedValues.Contains(svButtonTransparence); }
    bool IsEdgesStored() const { return FAssignedValues.Contains(svEdges); }
    bool IsHotTrackStored() const { return FAssignedValues.Contains(svHotTrack); }
    bool IsShadowStored() const { return FAssignedValues.Contains(svShadow); }

    virtual void RestoreDefaults();  // nothing assigned, then Changed

protected:
    virtual void Changed();  // the editor's StyleChanged
    // The fall-backs: the editor's controller, else the default controller, else a constant.
    virtual TColor GetDefaultBorderColor() const;
    virtual TdxEditBorderStyle GetDefaultBorderStyle() const;
    virtual TdxEditButtonViewStyle GetDefaultButtonStyle() const;
    virtual TdxEditButtonTransparence GetDefaultButtonTransparence() const;
    virtual TdxEditEdges GetDefaultEdges() const;
    virtual bool GetDefaultHotTrack() const;
    virtual bool GetDefaultShadow() const;
    virtual TdxEditStyleController* GetDefaultStyleController() const { return dxDefaultEditStyleController(); }
    // The controller the fall-backs read first.
    TdxEditStyleController* FallbackController() const;

private:
    template <class T>
    void SetValue(TdxEditStyleValue which, T& field, const T& value);
    TdxInplaceEdit* FEdit;
    TdxEditStyleController* FLinkedDefault = nullptr;  // the controller the editor was linked to
    TdxEditStyleValues FAssignedValues;
    TColor FBorderColor = clWindowFrame;
    TdxEditBorderStyle FBorderStyle = xbs3D;
    TdxEditButtonViewStyle FButtonStyle = btsDefault;
    TdxEditButtonTransparence FButtonTransparence = ebtNone;
    TdxEditEdges FEdges = dxAllEdges();
    bool FHotTrack = false;
    bool FShadow = false;
};
