#include "platform/gui/Clipboard.h"

#include <QtCore/QMimeData>
#include <QtGui/QClipboard>
#include <QtGui/QImage>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <cctype>
#include <map>

#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/GraphicsPrivate.h"

namespace {
std::map<std::string, WORD>& Formats() {
    static std::map<std::string, WORD> f;
    return f;
}
std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}
QString MimeOf(WORD format) { return QStringLiteral("application/x-karomil-format-%1").arg(format); }
QClipboard* Board() {
    EnsureQtApplication();
    return QGuiApplication::clipboard();
}
}  // namespace

WORD RegisterClipboardFormat(const std::string& name) {
    auto& f = Formats();
    const std::string key = Lower(name);
    auto it = f.find(key);
    if (it != f.end()) return it->second;
    const WORD id = WORD(0xC000 + f.size());
    f[key] = id;
    return id;
}

std::string TClipboard::GetAsText() const { return Board()->text().toStdString(); }
void TClipboard::SetAsText(const std::string& text) { Board()->setText(QString::fromStdString(text)); }

bool TClipboard::HasFormat(WORD format) const {
    const QMimeData* d = Board()->mimeData();
    if (!d) return false;
    switch (format) {
    case CF_TEXT:
    case CF_UNICODETEXT: return d->hasText();
    case CF_BITMAP: return d->hasImage();
    default: return d->hasFormat(MimeOf(format));
    }
}

void TClipboard::Clear() { Board()->clear(); }

std::string TClipboard::GetBuffer(WORD format) const {
    const QMimeData* d = Board()->mimeData();
    if (!d) return {};
    const QByteArray b = d->data(MimeOf(format));
    return std::string(b.constData(), size_t(b.size()));
}

void TClipboard::SetBuffer(WORD format, const std::string& data) {
    auto* d = new QMimeData;
    d->setData(MimeOf(format), QByteArray(data.data(), qsizetype(data.size())));
    Board()->setMimeData(d);
}

void TClipboard::AssignBitmap(TBitmap* bitmap) { Board()->setImage(BitmapImage(bitmap)); }

bool TClipboard::GetBitmap(TBitmap* bitmap) const {
    const QImage img = Board()->image();
    if (img.isNull()) return false;
    SetBitmapImage(bitmap, img);
    return true;
}

TClipboard* Clipboard() {
    static TClipboard c;
    return &c;
}
