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
#include "platform/gui/Forms.h"
#include "platform/gui/InputState.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/Exceptions.h"

using namespace gui_detail;

// The drag manager of the class library: tracks the mouse under capture and finds targets.
void TDragManager::Begin(TControl* source, bool immediate, int threshold) {
    if (gDrag.Source) return;
    gDrag = {};
    gDrag.Source = source;
    gDrag.Threshold = threshold < 0 ? 5 : threshold;
    GetCursorPos(gDrag.Start);
    SetCaptureControl(source);
    if (immediate) Start(gDrag.Start);
}

void TDragManager::Start(TPoint pos) {
    TControl* source = gDrag.Source;
    if (!source) return;
    Application->CancelHint();
    TDragObject* obj = nullptr;
    source->DoStartDrag(obj);
    if (!gDrag.Source) return;                   // cancelled meanwhile
    if (!obj) {
        obj = new TDragControlObject(source);
        gDrag.OwnsObject = true;
    }
    gDrag.Object = obj;
    gDrag.Active = true;
    gDrag.Images = obj->GetDragImages();
    if (gDrag.Images && !gDrag.Images->Dragging()) gDrag.Images->BeginDrag(nullptr, pos.X, pos.Y);
    MoveTo(pos);
}

TObject* TDragManager::SourceOf(TDragObject* obj) {
    if (auto* dco = dynamic_cast<TDragControlObject*>(obj)) return dco->Control();
    return obj;
}

LRESULT TDragManager::Send(TControl* target, TDragMessage dm, TPoint pos) {
    TDragRec rec{pos, gDrag.Object, target, false};
    return target->Perform(CM_DRAG, WPARAM(dm), LPARAM(&rec));
}

void TDragManager::MoveTo(TPoint pos) {
    TDragObject* obj = gDrag.Object;
    obj->FDragPos = pos;
    TControl* target = FindDragTarget(pos, false);
    if (target) {
        if (LRESULT r = Send(target, dmFindTarget, pos)) target = reinterpret_cast<TControl*>(r);
    }
    if (target != gDrag.Target) {
        if (gDrag.Target) Send(gDrag.Target, dmDragLeave, pos);
        gDrag.Target = target;
        gDrag.Accepted = target && Send(target, dmDragEnter, pos) != 0;
    } else if (target) {
        gDrag.Accepted = Send(target, dmDragMove, pos) != 0;
    }
    if (!gDrag.Source) return;
    obj->FDragTarget = target;
    obj->FDragTargetPos = target ? target->ScreenToClient(pos) : pos;
    TCursor cur = obj->GetDragCursor(gDrag.Accepted, pos.X, pos.Y);
    QCursor qc = Screen->GetCursors(cur);
    if (gDrag.CursorSet) QGuiApplication::changeOverrideCursor(qc);
    else { QGuiApplication::setOverrideCursor(qc); gDrag.CursorSet = true; }
    if (gDrag.Images) gDrag.Images->DragMove(pos.X, pos.Y);
}

void TDragManager::Done(bool drop) {
    TControl* source = gDrag.Source;
    if (!source) return;
    TDragState_ d = gDrag;
    gDrag = {};
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
        gDrag.Object = obj;   // visible to the target's handlers
        if (dropped) Send(d.Target, dmDragDrop, pos);
        else Send(d.Target, dmDragLeave, pos);
        gDrag.Object = nullptr;
    }
    TPoint tp = dropped ? d.Target->ScreenToClient(pos) : TPoint{0, 0};
    source->DoEndDrag(dropped ? SourceTarget(d.Target) : nullptr, tp.X, tp.Y);
    if (d.OwnsObject) delete obj;
}

TObject* TDragManager::SourceTarget(TControl* t) { return t; }
// The source sees its own mouse and Esc here, after its WndProc overrides ran.
bool TDragManager::Intercept(TControl* c, TMessage& m) {
    if (c != gDrag.Source) return false;
    switch (m.Msg) {
    case WM_MOUSEMOVE: {
        TPoint pos = c->ClientToScreen(PointFromLParam(m.LParam));
        if (!gDrag.Active) {
            if (std::abs(pos.X - gDrag.Start.X) > gDrag.Threshold || std::abs(pos.Y - gDrag.Start.Y) > gDrag.Threshold)
                Start(pos);
        } else MoveTo(pos);
        return true;
    }
    case WM_LBUTTONUP:
        if (!gDrag.Active) { Done(false); return false; }
        Done(true);
        return true;
    case WM_RBUTTONDOWN:
    case WM_CANCELMODE:
        Done(false);
        return m.Msg == WM_RBUTTONDOWN;
    case WM_KEYDOWN:
        if (m.WParam == VK_ESCAPE) { Done(false); return true; }
        return false;
    case WM_CAPTURECHANGED:
        if (gDrag.Active) Done(false);
        return false;
    default:
        return false;
    }
}

void TDragManager::Forget(TControl* c) {
    if (gDrag.Source == c) {
        if (gDrag.CursorSet) QGuiApplication::restoreOverrideCursor();
        if (gDrag.Images) gDrag.Images->EndDrag();
        if (gDrag.OwnsObject) delete gDrag.Object;
        gDrag = {};
    } else if (gDrag.Target == c) gDrag.Target = nullptr;
}

TDragObject* DragObject() { return gDrag.Active ? gDrag.Object : nullptr; }
TControl* DragControl() { return gDrag.Source; }

// --- drag objects and the drag image --------------------------------------------------------------

TCursor TDragObject::GetDragCursor(bool accepted, int, int) { return accepted ? TCursor(crDrag) : TCursor(crNoDrop); }
void TDragObject::HideDragImage() { if (auto* l = GetDragImages()) l->HideDragImage(); }
void TDragObject::ShowDragImage() { if (auto* l = GetDragImages()) l->ShowDragImage(); }

TCursor TDragControlObject::GetDragCursor(bool accepted, int, int) {
    return accepted ? (FControl ? FControl->GetDragCursor() : TCursor(crDrag)) : TCursor(crNoDrop);
}
TDragImageList* TDragControlObject::GetDragImages() { return FControl ? FControl->GetDragImages() : nullptr; }

struct TDragImageList::TImpl {
    QPointer<QWidget> Window;
};

namespace {
class TDragImageWindow : public QWidget {
public:
    explicit TDragImageWindow(QImage image)
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput),
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

TDragImageList::TDragImageList(int width, int height) : FWidth(width), FHeight(height), FImpl(std::make_unique<TImpl>()) {}
TDragImageList::~TDragImageList() { EndDrag(); }

void TDragImageList::SetSize(int width, int height) {
    FWidth = width;
    FHeight = height;
    FImages.clear();
}

int TDragImageList::Add(TBitmap* image) { return AddMasked(image, clNone); }

int TDragImageList::AddMasked(TBitmap* image, TColor maskColor) {
    QImage src = image->Image().convertToFormat(QImage::Format_ARGB32);
    int first = -1;
    for (int x = 0; x + FWidth <= std::max(src.width(), FWidth); x += FWidth) {
        QImage tile = src.copy(x, 0, FWidth, FHeight).convertToFormat(QImage::Format_ARGB32);
        if (maskColor != clNone) {
            const QRgb mask = maskColor == clDefault ? tile.pixel(0, FHeight - 1) : ToQColor(maskColor).rgb();
            for (int y = 0; y < tile.height(); ++y)
                for (int xx = 0; xx < tile.width(); ++xx)
                    if ((tile.pixel(xx, y) & 0xFFFFFF) == (mask & 0xFFFFFF)) tile.setPixel(xx, y, 0);
        }
        FImages.push_back(tile);
        if (first < 0) first = int(FImages.size()) - 1;
        if (src.width() <= FWidth) break;
    }
    return first;
}

void TDragImageList::Clear() { FImages.clear(); }

bool TDragImageList::SetDragImage(int index, int hotX, int hotY) {
    if (index < 0 || index >= Count()) return false;
    FDragIndex = index;
    FHotSpot = {hotX, hotY};
    return true;
}

bool TDragImageList::BeginDrag(HWND window, int x, int y) {
    if (FDragging || FImages.empty()) return false;
    FDragging = true;
    FDragWindow = window;
    FImpl->Window = new TDragImageWindow(FImages[size_t(FDragIndex)]);
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
