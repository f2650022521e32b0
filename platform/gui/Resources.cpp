#include "platform/gui/ResourcesPrivate.h"

#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <QtGui/QPolygon>

#include <map>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/rtl/Strings.h"

namespace {

std::string Key(const std::string& name) { return UpperCase(name); }

// --- the built-in pictures -------------------------------------------------------------------

QImage Canvas(int w, int h, QColor fill) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(fill);
    return img;
}

// A solid shape without smoothing, so that the pixels are the same everywhere.
void Fill(QPainter& p, const QPolygon& shape, QColor color, QColor outline = Qt::transparent) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(outline.alpha() ? QPen(outline) : QPen(Qt::NoPen));
    p.setBrush(color);
    p.drawPolygon(shape);
}

QPolygon Triangle(int x1, int y1, int x2, int y2, int x3, int y3) {
    return QPolygon({QPoint(x1, y1), QPoint(x2, y2), QPoint(x3, y3)});
}

// Row indicators: black glyphs on white, 12 x 12.
constexpr int kIndicator = 12;

void IndicatorArrow(QPainter& p, int x) { Fill(p, Triangle(x, 2, x + 4, 6, x, 10), Qt::black); }
void IndicatorDot(QPainter& p, int x) {
    p.fillRect(x + 1, 4, 2, 4, Qt::black);
    p.fillRect(x, 5, 4, 2, Qt::black);
}

QImage IndicatorImage(const std::function<void(QPainter&)>& draw) {
    QImage img = Canvas(kIndicator, kIndicator, Qt::white);
    QPainter p(&img);
    draw(p);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

// The full-scroll marks: arrows around a centre dot on the button face, 28 x 28.
constexpr int kMark = 28;
enum : unsigned { aUp = 1, aDown = 2, aLeft = 4, aRight = 8 };

void Arrows(QPainter& p, int size, unsigned which, int reach, int depth, QColor color, QColor outline) {
    const int c = size / 2;
    if (which & aUp)
        Fill(p, Triangle(c, c - reach, c - depth, c - reach + depth, c + depth, c - reach + depth), color, outline);
    if (which & aDown)
        Fill(p, Triangle(c, c + reach, c - depth, c + reach - depth, c + depth, c + reach - depth), color, outline);
    if (which & aLeft)
        Fill(p, Triangle(c - reach, c, c - reach + depth, c - depth, c - reach + depth, c + depth), color, outline);
    if (which & aRight)
        Fill(p, Triangle(c + reach, c, c + reach - depth, c - depth, c + reach - depth, c + depth), color, outline);
    p.setPen(outline.alpha() ? QPen(outline) : QPen(Qt::NoPen));
    p.setBrush(color);
    p.drawRect(c - 2, c - 2, 3, 3);
}

QImage MarkImage(unsigned which) {
    QImage img = Canvas(kMark, kMark, QColor(0xC0, 0xC0, 0xC0));
    QPainter p(&img);
    Arrows(p, kMark, which, 11, 4, Qt::black, Qt::transparent);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

// Cursors: black with a white outline on transparent, 32 x 32.
constexpr int kCursor = 32;

void PointerArrow(QPainter& p) {
    Fill(p,
        QPolygon(
            {QPoint(0, 0), QPoint(0, 15), QPoint(4, 11), QPoint(7, 17), QPoint(9, 16), QPoint(6, 10), QPoint(11, 10)}),
        Qt::black, Qt::white);
}

TCursorImage ScrollCursor(unsigned which) {
    QImage img = Canvas(kCursor, kCursor, Qt::transparent);
    QPainter p(&img);
    Arrows(p, kCursor, which, 12, 5, Qt::black, Qt::white);
    p.end();
    return {img, {kCursor / 2, kCursor / 2}};
}

TCursorImage DeleteCursor() {
    QImage img = Canvas(kCursor, kCursor, Qt::transparent);
    QPainter p(&img);
    PointerArrow(p);
    // A cross below right of the pointer: the dragged item goes away.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::white, 4));
    p.drawLine(14, 16, 24, 26);
    p.drawLine(24, 16, 14, 26);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(14, 16, 24, 26);
    p.drawLine(24, 16, 14, 26);
    p.end();
    return {img, {0, 0}};
}

TCursorImage CopyCursor(int pages) {
    QImage img = Canvas(kCursor, kCursor, Qt::transparent);
    QPainter p(&img);
    PointerArrow(p);
    // The dragged item(s) as small sheets, and a plus sign: it will be copied.
    for (int i = pages - 1; i >= 0; --i) {
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(10 + 3 * i, 14 + 3 * i, 10, 8);
    }
    p.fillRect(20, 22, 9, 9, Qt::white);
    p.fillRect(23, 23, 3, 7, Qt::black);
    p.fillRect(21, 25, 7, 3, Qt::black);
    p.end();
    return {img, {0, 0}};
}

struct TTables {
    std::map<std::string, TBitmapImageResource> Bitmaps;
    std::map<std::string, TCursorResource> Cursors;
};

TTables& Tables() {
    static TTables t = [] {
        TTables b;
        b.Bitmaps["DXGRID_ARROW"] = [] { return IndicatorImage([](QPainter& p) { IndicatorArrow(p, 4); }); };
        b.Bitmaps["DXGRID_EDIT"] = [] {
            return IndicatorImage([](QPainter& p) {
                // The text cursor: the row is being edited.
                p.fillRect(5, 2, 2, 8, Qt::black);
                p.fillRect(3, 1, 6, 1, Qt::black);
                p.fillRect(3, 10, 6, 1, Qt::black);
            });
        };
        b.Bitmaps["DXGRID_INSERT"] = [] {
            return IndicatorImage([](QPainter& p) {
                // An asterisk: a new row.
                p.fillRect(5, 2, 2, 8, Qt::black);
                p.fillRect(2, 5, 8, 2, Qt::black);
                for (int i = 0; i < 6; ++i) {
                    p.fillRect(3 + i, 3 + i, 1, 1, Qt::black);
                    p.fillRect(8 - i, 3 + i, 1, 1, Qt::black);
                }
            });
        };
        b.Bitmaps["DXGRID_MULTIDOT"] = [] { return IndicatorImage([](QPainter& p) { IndicatorDot(p, 4); }); };
        b.Bitmaps["DXGRID_MULTIARROW"] = [] {
            return IndicatorImage([](QPainter& p) {
                IndicatorArrow(p, 1);
                IndicatorDot(p, 7);
            });
        };
        b.Bitmaps["DXGRID_VERSCROLLBITMAP"] = [] { return MarkImage(aUp | aDown); };
        b.Bitmaps["DXGRID_HORSCROLLBITMAP"] = [] { return MarkImage(aLeft | aRight); };
        b.Bitmaps["DXGRID_FULLSCROLLBITMAP"] = [] { return MarkImage(aUp | aDown | aLeft | aRight); };
        b.Cursors["DXTLDELETECURSOR"] = DeleteCursor;
        b.Cursors["DXTL_FULLSCROLLCURSOR"] = [] { return ScrollCursor(aUp | aDown | aLeft | aRight); };
        b.Cursors["DXTL_HORSCROLLCURSOR"] = [] { return ScrollCursor(aLeft | aRight); };
        b.Cursors["DXTL_VERSCROLLCURSOR"] = [] { return ScrollCursor(aUp | aDown); };
        b.Cursors["DXTL_UPSCROLLCURSOR"] = [] { return ScrollCursor(aUp); };
        b.Cursors["DXTL_RIGHTSCROLLCURSOR"] = [] { return ScrollCursor(aRight); };
        b.Cursors["DXTL_DOWNSCROLLCURSOR"] = [] { return ScrollCursor(aDown); };
        b.Cursors["DXTL_LEFTSCROLLCURSOR"] = [] { return ScrollCursor(aLeft); };
        b.Cursors["DXTL_DRAGCOPY"] = [] { return CopyCursor(1); };
        b.Cursors["DXTL_MULTIDRAGCOPY"] = [] { return CopyCursor(3); };
        return b;
    }();
    return t;
}

[[noreturn]] void NotFound(const std::string& name) { throw EResNotFound("Resource " + name + " not found"); }

}  // namespace

void RegisterBitmapImageResource(const std::string& name, TBitmapImageResource draw) {
    Tables().Bitmaps[Key(name)] = std::move(draw);
}
void RegisterBitmapResource(const std::string& name, TBitmapResource draw) {
    TBitmapImageResource image;
    if (draw)
        image = [draw = std::move(draw)] {
            const std::unique_ptr<TBitmap> bitmap = draw();
            return bitmap ? BitmapImage(bitmap.get()) : QImage();
        };
    RegisterBitmapImageResource(name, std::move(image));
}
void RegisterCursorResource(const std::string& name, TCursorResource draw) {
    Tables().Cursors[Key(name)] = std::move(draw);
}
bool BitmapResourceExists(const std::string& name) { return Tables().Bitmaps.count(Key(name)) != 0; }
bool CursorResourceExists(const std::string& name) { return Tables().Cursors.count(Key(name)) != 0; }

QImage LoadBitmapResource(const std::string& name) {
    auto& t = Tables().Bitmaps;
    auto it = t.find(Key(name));
    if (it == t.end() || !it->second) NotFound(name);
    return it->second().convertToFormat(QImage::Format_RGB32);
}

TCursorImage LoadCursorImage(const std::string& name) {
    auto& t = Tables().Cursors;
    auto it = t.find(Key(name));
    if (it == t.end() || !it->second) NotFound(name);
    return it->second();
}

QCursor LoadCursorResource(const std::string& name) {
    TCursorImage c = LoadCursorImage(name);
    return QCursor(QPixmap::fromImage(c.Image), c.HotSpot.X, c.HotSpot.Y);
}
