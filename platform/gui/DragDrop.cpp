// Drag and drop: the drag manager that tracks the mouse and finds targets, the drag objects
// and the drag image.

#include "platform/gui/Controls.h"

#include <QtCore/QBasicTimer>
#include <QtCore/QTimer>
#include <QtGui/QPainter>
#include <QtGui/QMouseEvent>
#include <QtGui/QInputMethodEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QWheelEvent>
#include <QtGui/QStyleHints>
#include <QtGui/QWindow>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <utility>

#include "platform/gui/ActnList.h"
#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/ControlsPrivate.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/Forms.h"
#include "platform/gui/InputState.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/Exceptions.h"

using namespace gui_detail;

// The drag manager of the class library: tracks the mouse under capture and finds targets.
void TDragManager::Begin(TControl* source, bool immediate, int threshold) {
    if (gInput.Drag.Source) return;
    gInput.Drag = {};
    gInput.Drag.Source = source;
    gInput.Drag.Threshold = threshold < 0 ? 5 : threshold;
    GetCursorPos(gInput.Drag.Start);
    SetCaptureControl(source);
    if (immediate) Start(gInput.Drag.Start);
}

void TDragManager::Start(TPoint pos) {
    TControl* source = gInput.Drag.Source;
    if (!source) return;
    Application->CancelHint();
    TDragObject* obj = nullptr;
    source->DoStartDrag(obj);
    if (!gInput.Drag.Source) return;  // cancelled meanwhile
    if (!obj) {
        obj = new TDragControlObject(source);
        gInput.Drag.OwnsObject = true;
    }
    gInput.Drag.Object = obj;
    gInput.Drag.Active = true;
    gInput.Drag.Images = obj->GetDragImages();
    if (gInput.Drag.Images && !gInput.Drag.Images->Dragging()) gInput.Drag.Images->BeginDrag(nullptr, pos.X, pos.Y);
    MoveTo(pos);
}

TObject* TDragManager::SourceOf(TDragObject* obj) {
    if (auto* dco = dynamic_cast<TDragControlObject*>(obj)) return dco->Control();
    return obj;
}

LRESULT TDragManager::Send(TControl* target, TDragMessage dm, TPoint pos) {
    TDragRec rec{pos, gInput.Drag.Object, target, false};
    return target->Perform(CM_DRAG, WPARAM(dm), LPARAM(&rec));
}

void TDragManager::MoveTo(TPoint pos) {
    TDragObject* obj = gInput.Drag.Object;
    obj->FDragPos = pos;
    TControl* target = FindDragTarget(pos, false);
    if (target) {
        if (LRESULT r = Send(target, dmFindTarget, pos)) target = reinterpret_cast<TControl*>(r);
    }
    if (target != gInput.Drag.Target) {
        if (gInput.Drag.Target) Send(gInput.Drag.Target, dmDragLeave, pos);
        gInput.Drag.Target = target;
        gInput.Drag.Accepted = target && Send(target, dmDragEnter, pos) != 0;
    } else if (target) {
        gInput.Drag.Accepted = Send(target, dmDragMove, pos) != 0;
    }
    if (!gInput.Drag.Source) return;
    obj->FDragTarget = target;
    obj->FDragTargetPos = target ? target->ScreenToClient(pos) : pos;
    TCursor cur = obj->GetDragCursor(gInput.Drag.Accepted, pos.X, pos.Y);
    QCursor qc = Screen->GetCursors(cur);
    if (gInput.Drag.CursorSet) QGuiApplication::changeOverrideCursor(qc);
    else {
        QGuiApplication::setOverrideCursor(qc);
        gInput.Drag.CursorSet = true;
    }
    if (gInput.Drag.Images) gInput.Drag.Images->DragMove(pos.X, pos.Y);
}

void TDragManager::Done(bool drop) {
    TControl* source = gInput.Drag.Source;
    if (!source) return;
    TDragTrack d = gInput.Drag;
    gInput.Drag = {};
    if (d.CursorSet) QGuiApplication::restoreOverrideCursor();
    if (d.Images) d.Images->EndDrag();
    if (GetCaptureControl() == source) SetCaptureControl(nullptr);
    if (!d.Active) return;
    TDragObject* obj = d.Object;
    TPoint pos = obj->FDragPos;
    bool dropped = drop && d.Accepted && d.Target;
    obj->FDropped = dropped;
    obj->FCancelling = !drop;
    if (d.Target) {
        gInput.Drag.Object = obj;  // visible to the target's handlers
        if (dropped) Send(d.Target, dmDragDrop, pos);
        else Send(d.Target, dmDragLeave, pos);
        gInput.Drag.Object = nullptr;
    }
    TPoint tp = dropped ? d.Target->ScreenToClient(pos) : TPoint{0, 0};
    source->DoEndDrag(dropped ? SourceTarget(d.Target) : nullptr, tp.X, tp.Y);
    if (d.OwnsObject) delete obj;
}

TObject* TDragManager::SourceTarget(TControl* t) { return t; }
// The source sees its own mouse and Esc here, after its WndProc overrides ran.
bool TDragManager::Intercept(TControl* c, TMessage& m) {
    if (c != gInput.Drag.Source) return false;
    switch (m.Msg) {
    case WM_MOUSEMOVE: {
        TPoint pos = c->ClientToScreen(PointFromLParam(m.LParam));
        if (!gInput.Drag.Active) {
            if (std::abs(pos.X - gInput.Drag.Start.X) > gInput.Drag.Threshold ||
                std::abs(pos.Y - gInput.Drag.Start.Y) > gInput.Drag.Threshold)
                Start(pos);
        } else MoveTo(pos);
        return true;
    }
    case WM_LBUTTONUP:
        if (!gInput.Drag.Active) {
            Done(false);
            return false;
        }
        Done(true);
        return true;
    case WM_RBUTTONDOWN:
    case WM_CANCELMODE: Done(false); return m.Msg == WM_RBUTTONDOWN;
    case WM_KEYDOWN:
        if (m.WParam == VK_ESCAPE) {
            Done(false);
            return true;
        }
        return false;
    case WM_CAPTURECHANGED:
        if (gInput.Drag.Active) Done(false);
        return false;
    default: return false;
    }
}

void TDragManager::Forget(TControl* c) {
    if (gInput.Drag.Source == c) {
        if (gInput.Drag.CursorSet) QGuiApplication::restoreOverrideCursor();
        if (gInput.Drag.Images) gInput.Drag.Images->EndDrag();
        if (gInput.Drag.OwnsObject) delete gInput.Drag.Object;
        gInput.Drag = {};
    } else if (gInput.Drag.Target == c) gInput.Drag.Target = nullptr;
}

TDragObject* DragObject() { return gInput.Drag.Active ? gInput.Drag.Object : nullptr; }
TControl* DragControl() { return gInput.Drag.Source; }

// --- drag objects and the drag image --------------------------------------------------------------

TCursor TDragObject::GetDragCursor(bool accepted, int, int) { return accepted ? TCursor(crDrag) : TCursor(crNoDrop); }
void TDragObject::HideDragImage() {
    if (auto* l = GetDragImages()) l->HideDragImage();
}
void TDragObject::ShowDragImage() {
    if (auto* l = GetDragImages()) l->ShowDragImage();
}

TCursor TDragControlObject::GetDragCursor(bool accepted, int, int) {
    return accepted ? (FControl ? FControl->GetDragCursor() : TCursor(crDrag)) : TCursor(crNoDrop);
}
TDragImageList* TDragControlObject::GetDragImages() { return FControl ? FControl->GetDragImages() : nullptr; }

struct TDragImageList::TImpl {
    std::vector<QImage> Images;  // ARGB32
    QPointer<QWidget> Window;
};

int TDragImageList::Count() const noexcept { return int(FImpl->Images.size()); }

namespace {
class TDragImageWindow : public QWidget {
public:
    explicit TDragImageWindow(QImage image)
        : QWidget(nullptr,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                  Qt::WindowTransparentForInput),
          FImage(std::move(image)) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TranslucentBackground);
        resize(FImage.size());
    }
    const QImage& Image() const noexcept { return FImage; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, FImage);
    }

private:
    QImage FImage;
};
}  // namespace

TDragImageList::TDragImageList(int width, int height)
    : FWidth(width), FHeight(height), FImpl(std::make_unique<TImpl>()) {}
TDragImageList::~TDragImageList() { EndDrag(); }

void TDragImageList::SetSize(int width, int height) {
    FWidth = width;
    FHeight = height;
    FImpl->Images.clear();
}

int TDragImageList::Add(TBitmap* image) { return AddMasked(image, clNone); }

int TDragImageList::AddMasked(TBitmap* image, TColor maskColor) {
    QImage src = BitmapImage(image).convertToFormat(QImage::Format_ARGB32);
    int first = -1;
    for (int x = 0; x + FWidth <= std::max(src.width(), FWidth); x += FWidth) {
        QImage tile = src.copy(x, 0, FWidth, FHeight).convertToFormat(QImage::Format_ARGB32);
        if (maskColor != clNone)
            tile = ColourKeyed(tile, maskColor == clDefault ? QToRgb(tile.pixel(0, FHeight - 1)) : maskColor);
        FImpl->Images.push_back(tile);
        if (first < 0) first = int(FImpl->Images.size()) - 1;
        if (src.width() <= FWidth) break;
    }
    return first;
}

void TDragImageList::Clear() { FImpl->Images.clear(); }

bool TDragImageList::SetDragImage(int index, int hotX, int hotY) {
    if (index < 0 || index >= Count()) return false;
    FDragIndex = index;
    FHotSpot = {hotX, hotY};
    return true;
}

bool TDragImageList::BeginDrag(HWND window, int x, int y) {
    if (FDragging || FImpl->Images.empty()) return false;
    FDragging = true;
    FDragWindow = window;
    FImpl->Window = new TDragImageWindow(FImpl->Images[size_t(FDragIndex)]);
    DragMove(x, y);
    FImpl->Window->show();
    return true;
}

bool TDragImageList::DragMove(int x, int y) {
    if (!FDragging || !FImpl->Window) return false;
    TPoint p{x, y};
    if (FDragWindow) ClientToScreen(FDragWindow, p);
    FImpl->Window->move(p.X - FHotSpot.X, p.Y - FHotSpot.Y);
    return true;
}

bool TDragImageList::EndDrag() {
    if (!FDragging) return false;
    FDragging = false;
    delete FImpl->Window.data();
    FImpl->Window = nullptr;
    return true;
}

bool TDragImageList::ShowDragImage() {
    if (!FImpl->Window) return false;
    FImpl->Window->show();
    return true;
}

bool TDragImageList::HideDragImage() {
    if (!FImpl->Window) return false;
    FImpl->Window->hide();
    return true;
}

QWidget* TDragImageList::ImageWindow() const noexcept { return FImpl->Window; }
