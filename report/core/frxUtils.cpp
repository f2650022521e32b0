// The report library's free routines.

#include "report/core/frxUtils.h"

#include <algorithm>
#include <cmath>

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImageList.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxRes.h"
#include "report/core/frxServices.h"

TfrxFloatRect frxMakeRect(double left, double top, double right, double bottom) { return {left, top, right, bottom}; }
TfrxFloatPoint frxMakePoint(double x, double y) { return {x, y}; }

// --- components ------------------------------------------------------------------------------

namespace {
// Only the report offers the report's services.
bool IsReport(const TComponent* c) { return dynamic_cast<const TfrxReportServices*>(c) != nullptr; }

TComponent* FindGlobal(const std::string& name) {
    TScreen* screen = Screen;
    for (int i = 0; i < screen->FormCount(); ++i)
        if (SameText(screen->Forms(i)->GetName(), name)) return screen->Forms(i);
    for (int i = 0; i < screen->DataModuleCount(); ++i)
        if (SameText(screen->DataModules(i)->GetName(), name)) return screen->DataModules(i);
    return nullptr;
}

bool IsFormOrModule(const TComponent* c) { return Is<TCustomForm>(c) || Is<TDataModule>(c); }
}  // namespace

TComponent* frxFindComponent(TComponent* owner, const std::string& name) {
    try {
        size_t dot = name.find('.');
        if (dot != std::string::npos) {
            TComponent* global = FindGlobal(name.substr(0, dot));
            if (!global) return nullptr;
            std::string rest = name.substr(dot + 1, 255);
            size_t second = rest.find('.');
            if (second == std::string::npos) return global->FindComponent(rest);
            // A component on a frame that the form owns: the frame is looked up by name.
            TComponent* frame = global->FindComponent(rest.substr(0, second));
            return frame ? frame->FindComponent(rest.substr(second + 1)) : nullptr;
        }
        if (!owner) return nullptr;
        TComponent* found = owner->FindComponent(name);
        if (!found && IsReport(owner) && owner->GetOwner()) found = owner->GetOwner()->FindComponent(name);
        return found;
    } catch (const std::exception&) {
        throw EClassNotFound("Missing " + name);
    }
}

std::string frxGetComponentName(TComponent* report, TComponent* component) {
    if (!component) return {};
    TComponent* owner = component->GetOwner();
    if (!owner || owner == report || (IsReport(report) && owner == report->GetOwner())) return component->GetName();
    if (IsFormOrModule(owner)) return owner->GetName() + "." + component->GetName();
    return {};
}

void frxGetComponentList(TComponent* report, TClass classRef, TStrings* list, TComponent* skip) {
    list->Clear();
    auto addFrom = [&](TComponent* owner) {
        for (int i = 0; i < owner->GetComponentCount(); ++i) {
            TComponent* c = owner->GetComponent(i);
            if (c != skip && c->InheritsFrom(classRef)) list->AddObject(frxGetComponentName(report, c), c);
        }
    };
    if (IsReport(report)) addFrom(report);
    TScreen* screen = Screen;
    for (int i = 0; i < screen->FormCount(); ++i) addFrom(screen->Forms(i));
    for (int i = 0; i < screen->DataModuleCount(); ++i) addFrom(screen->DataModules(i));
    for (int i = 0; i < screen->FormCount(); ++i) {
        TComponent* form = screen->Forms(i);
        if (form->ClassName() != "TDataModuleForm") continue;
        for (int j = 0; j < form->GetComponentCount(); ++j)
            if (Is<TDataModule>(form->GetComponent(j))) addFrom(form->GetComponent(j));
    }
}

// --- text ----------------------------------------------------------------------------------

void frxSplitToList(const std::string& text, TStrings* list, char separator) {
    list->Clear();
    size_t from = 0;
    while (from < text.size()) {
        size_t at = text.find(separator, from);
        if (at == std::string::npos) at = text.size();
        list->Add(text.substr(from, at - from));
        from = at + 1;
    }
}

double frxStrToFloat(const std::string& text) {
    const std::string sep = Utf8FromCodePoint(FormatSettings().DecimalSeparator);
    std::string s;
    for (char c : text) {
        if (c == '.' || c == ',') s += sep;
        else if (c != ' ') s += c;
    }
    return StrToFloat(s);
}

std::string frxFloatToStr(double value) {
    if (Frac(value) != 0) return Format("%2.2f", {Variant(value)});
    return FloatToStr(value);
}

std::string frxGetBracketedText(
    const std::string& text, const std::string& openBracket, const std::string& closeBracket, int& start, int& finish) {
    finish = start;
    const std::u32string t = Utf8ToU32(text), open = Utf8ToU32(openBracket), close = Utf8ToU32(closeBracket);
    const int len = int(t.size());
    if (len == 0 || start < 1 || start > len) return {};
    auto at = [&](int i, const std::u32string& what) {  // what begins at 1-based i
        return !what.empty() && t.compare(size_t(i - 1), what.size(), what) == 0 &&
            size_t(i - 1) + what.size() <= t.size();
    };
    int i = start, depth = 0;
    bool dq = false, sq = false;
    for (;;) {
        if (!dq && !sq && at(i, open)) {
            if (depth == 0) start = i;
            ++depth;
        } else if (!dq && !sq && at(i, close)) {
            if (--depth <= 0) break;
        } else if (t[size_t(i - 1)] == U'"' && !sq) {
            dq = !dq;
        } else if (t[size_t(i - 1)] == U'\'' && !dq) {
            sq = !sq;
        }
        if (i >= len) break;
        ++i;
    }
    const int from = start + int(open.size());
    std::string result = i > from ? U32ToUtf8(t.substr(size_t(from - 1), size_t(i - from))) : std::string();
    if (i != start) finish = i + int(close.size()) - 1;
    else result.clear();
    return result;
}

void frxParsePageNumbers(const std::string& text, TStrings* list, int lastPage) {
    list->Clear();
    std::string s;
    for (char c : text)
        if (c != ' ') s += c;
    if (s.empty()) return;
    // "4-" runs to the last page, and past it ("8-" of six pages) to nothing.
    const bool openEnd = s.back() == '-';
    if (openEnd) s += IntToStr(lastPage);
    s += ',';
    std::string number;
    int rangeStart = 0;
    bool inRange = false;
    // Sound: page 0, a reversed range ("5-3") and a range with a second dash ("1-2-3") are
    // refused like any other text that is not a page list, as the print dialog refuses them;
    // they used to add nothing, so printing or exporting them did nothing and reported success.
    auto pageNumber = [](const std::string& t) {
        const int n = StrToInt(t);
        if (n == 0) throw EConvertError("Stránky se číslují od 1; 0 není číslo stránky.");
        return n;
    };
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ',') {
            const bool toLastPage = openEnd && i + 1 == s.size();
            int n = toLastPage ? StrToInt(number) : pageNumber(number);
            if (inRange && n < rangeStart && !toLastPage)
                throw EConvertError("Rozsah „" + IntToStr(rangeStart) + "-" + IntToStr(n) +
                    "“ je obrácený; menší číslo se píše první.");
            // Sound: ranges stop at the last page and numbers beyond it are left out; a typed
            // "1-999999999" used to build a list of a billion numbers.
            if (inRange)
                for (int p = rangeStart; p <= std::min(n, lastPage); ++p) list->Add(IntToStr(p));
            else if (n <= lastPage) list->Add(IntToStr(n));
            inRange = false;
            number.clear();
        } else if (c == '-') {
            if (inRange) throw EConvertError("„" + text + "“ není seznam stránek; rozsah se píše jako 5-12.");
            rangeStart = pageNumber(number);
            inRange = true;
            number.clear();
        } else {
            number += c;
        }
    }
}

std::string frxConvertHighChars(const std::string& s, bool encode) {
    std::string r;
    r.reserve(s.size() * (encode ? 2 : 1));
    for (size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (encode && c >= 128) {
            r += '\x01';
            r += char(c - 128);
        } else if (!encode && c == 1 && i + 1 < s.size()) {
            r += char(static_cast<unsigned char>(s[++i]) + 128);
        } else {
            r += char(c);
        }
    }
    return r;
}

// --- streams and files ---------------------------------------------------------------------

std::string frxStreamToHex(TStream* stream) {
    static const char digits[] = "0123456789ABCDEF";
    stream->SetPosition(0);
    std::string bytes(size_t(std::max<int64_t>(0, stream->Size())), '\0');
    bytes.resize(size_t(std::max<int64_t>(0, stream->Read(bytes.data(), int64_t(bytes.size())))));
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (char b : bytes) {
        hex += digits[(static_cast<unsigned char>(b) >> 4) & 15];
        hex += digits[static_cast<unsigned char>(b) & 15];
    }
    return hex;
}

void frxHexToStream(const std::string& hex, TStream* stream) {
    auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    bool damaged = false;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        int hi = digit(hex[i]), lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0) {
            damaged = true;
            break;
        }
        bytes += char(hi * 16 + lo);
    }
    stream->SetPosition(0);
    stream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
    // Sound: a damaged hex text ends the data where the damage starts; the bytes after it were
    // left undefined and then read as picture or property data.
    if (damaged) stream->SetSize(int64_t(bytes.size()));
}

std::string frxCreateTempFile(const std::string& dir) {
    // Sound: the folder is used whole; it was cut at 64 characters.
    return CreateTempFile(dir.empty() ? GetTempDir() : IncludeTrailingPathDelimiter(dir), "fr");
}

void frxWriteCollection(TCollection* collection, TWriter* writer, const TfrxItemToXML& toXML) {
    writer->WriteListBegin();
    for (int i = 0; i < collection->Count(); ++i) {
        writer->WriteListBegin();
        writer->WriteString(toXML(collection->Items(i)));
        writer->WriteListEnd();
    }
    writer->WriteListEnd();
}

void frxReadCollection(TCollection* collection, TReader* reader, const TfrxXMLToItem& fromXML) {
    // The class library's own collection marker is not written by this program (its windows are
    // built in code), so only the list form is read.
    if (reader->NextValue() == vaCollection) throw EReadError("Unsupported collection data");
    reader->ReadListBegin();
    collection->Clear();
    while (!reader->EndOfList()) {
        reader->ReadListBegin();
        TCollectionItem* item = collection->Add();
        while (!reader->EndOfList()) fromXML(reader->ReadString(), item);
        reader->ReadListEnd();
    }
    reader->ReadListEnd();
}

// --- drawing -------------------------------------------------------------------------------

void frxErrorMsg(const std::string& text) {
    Application->MessageBox(text, frxGetResources()->Get("mbError"), MB_OK | MB_ICONERROR);
}

void frxSplitImageStrip(
    TBitmap* bitmap, int tileWidth, int tileHeight, TCustomImageList* images, TCustomImageList* disabledImages) {
    if (tileWidth <= 0 || tileHeight <= 0) return;
    TBitmap tile(tileWidth, tileHeight);
    auto copyTile = [&](int x, int y, bool pale) {
        for (int ty = 0; ty < tileHeight; ++ty)
            for (int tx = 0; tx < tileWidth; ++tx) {
                TColor c = x + tx < bitmap->GetWidth() && y + ty < bitmap->GetHeight()
                    ? bitmap->GetPixel(x + tx, y + ty)
                    : clWhite;
                if (pale && c == TColor(0xFFFFFF)) c = TColor(0xE0E0E0);
                tile.SetPixel(tx, ty, c);
            }
    };
    int x = 0, y = 0;
    while (y < bitmap->GetHeight()) {
        copyTile(x, y, false);
        images->AddMasked(&tile, tile.GetTransparentColor());
        if (disabledImages) {
            x += tileWidth;
            copyTile(x, y, true);
            disabledImages->AddMasked(&tile, tile.GetTransparentColor());
        }
        x += tileWidth;
        if (x >= bitmap->GetWidth()) {
            x = 0;
            y += tileHeight;
        }
    }
}

void frxDrawTransparent(TCanvas* canvas, int x, int y, TBitmap* bitmap) {
    TImageList list;
    list.SetWidth(bitmap->GetWidth());
    list.SetHeight(bitmap->GetHeight());
    list.AddMasked(bitmap, bitmap->GetTransparentColor());
    list.Draw(canvas, x, y, 0);
}

void frxDrawBitmap(TCanvas* canvas, const TRect& r, TBitmap* bitmap) { canvas->StretchDraw(r, bitmap); }

void frxDrawGraphic(TCanvas* canvas, const TRect& r, TGraphic* graphic) {
    if (Is<TMetafile>(graphic)) {
        canvas->StretchDraw(r, graphic);
        return;
    }
    TBitmap bitmap(graphic->GetWidth(), graphic->GetHeight());
    bitmap.SetPixelFormat(pf32bit);
    bitmap.Canvas()->Draw(0, 0, graphic);
    frxDrawBitmap(canvas, r, &bitmap);
}
