// One page of a PDF export: content operators for report objects, the page dictionary and
// its content stream.

#include <cmath>

#include "platform/gui/Bitmaps.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "report/output/frxPDFFile.h"
#include "report/output/frxZLib.h"

KAROMIL_IMPLEMENT_CLASS(TfrxPDFPage, TfrxPDFElement)

namespace {
std::string N(double v) { return frxPDFNumber(v); }
}  // namespace

TfrxPDFPage::TfrxPDFPage(TfrxPDFFile* parent) : Parent(parent), Content(std::make_unique<TMemoryStream>()) {}

TfrxPDFPage::~TfrxPDFPage() = default;

void TfrxPDFPage::AddLn(std::string_view line) { WriteLn(Content.get(), line); }

void TfrxPDFPage::AddTextLines(TFont* font, const std::vector<std::string>& lines, const TTextBox& box) {
    if (lines.empty()) return;
    TfrxPDFFont* entry = Parent->Fonts[size_t(Parent->AddFont(font))].get();
    TfrxPDFToolkit* tk = Parent->Toolkit.get();
    const int size = font->GetSize();
    AddLn("/F" + std::to_string(entry->Number - 1) + " " + std::to_string(size) + " Tf");
    AddLn(TfrxPDFToolkit::ColorText(font->GetColor()) + " rg");
    tk->PrepareMemo(font, box.LineSpacing);
    const int n = int(lines.size());
    for (int k = 0; k < n; ++k) {
        const std::string& line = lines[size_t(k)];
        const std::string e = TfrxPDFToolkit::EscapeText(entry->Encode(line));
        if (Trim(e).empty()) continue;
        AddLn("BT");
        const double x = ToX(tk->HorzPos(line, box.HAlign, box.Width - 2 * box.GapX, box.Left + box.GapX));
        const double y = ToY(tk->VertPos(box.VAlign, n, k, box.Height - 2 * box.GapY, box.Top + box.GapY - 1));
        AddLn(N(x) + " " + N(y) + " Td");
        AddLn("(" + e + ") Tj");
        AddLn("ET");
        if (font->GetStyle().Contains(fsUnderline)) {
            AddLn(TfrxPDFToolkit::ColorText(font->GetColor()) + " RG");
            AddLn(N(size * 0.08) + " w");
            const double uy = y - size * 0.12;
            AddLn(N(x) + " " + N(uy) + " m");
            AddLn(N(x + tk->TextWidth(line) * 0.75) + " " + N(uy) + " l");
            AddLn("S");
        }
    }
}

void TfrxPDFPage::AddFill(TColor color, double left, double top, double width, double height) {
    AddLn(TfrxPDFToolkit::ColorText(color) + " rg");
    AddLn(N(ToX(left)) + " " + N(ToY(top + height)) + " " + N(width * 0.75) + " " + N(height * 0.75) + " re");
    AddLn("f");
}

void TfrxPDFPage::AddShadow(TColor color, double sw, double left, double top, double width, double height) {
    AddLn(TfrxPDFToolkit::ColorText(color) + " rg");
    AddLn(N(ToX(left + width)) + " " + N(ToY(top + height + sw)) + " " + N(sw * 0.75) + " " + N(height * 0.75) + " re");
    AddLn("B");
    AddLn(N(ToX(left + sw)) + " " + N(ToY(top + height + sw)) + " " + N(width * 0.75) + " " + N(sw * 0.75) + " re");
    AddLn("B");
}

void TfrxPDFPage::AddFrame(TColor color, double lineWidth, bool top, bool left, bool bottom, bool right, double x,
    double y, double width, double height) {
    if (!(top || left || bottom || right) || color == clNone) return;
    AddLn(TfrxPDFToolkit::ColorText(color) + " RG");
    AddLn(N(lineWidth * 0.75) + " w");
    auto side = [&](double x1, double y1, double x2, double y2) {
        AddLn(N(ToX(x1)) + " " + N(ToY(y1)) + " m");
        AddLn(N(ToX(x2)) + " " + N(ToY(y2)) + " l");
        AddLn("S");
    };
    if (top) side(x, y, x + width, y);
    if (left) side(x, y, x, y + height);
    if (bottom) side(x, y + height, x + width, y + height);
    if (right) side(x + width, y, x + width, y + height);
}

void TfrxPDFPage::AddLine(TColor color, double lineWidth, double left, double top, double width, double height) {
    AddLn(TfrxPDFToolkit::ColorText(color) + " RG");
    AddLn(N(lineWidth * 0.75) + " w");
    AddLn(N(ToX(left)) + " " + N(ToY(top)) + " m");
    AddLn(N(ToX(left + width)) + " " + N(ToY(top + height)) + " l");
    AddLn("S");
}

void TfrxPDFPage::AddRectangle(
    TColor frameColor, double lineWidth, TColor fillColor, double left, double top, double width, double height) {
    AddLn(TfrxPDFToolkit::ColorText(frameColor) + " RG");
    AddLn(N(lineWidth * 0.75) + " w");
    AddLn(TfrxPDFToolkit::ColorText(fillColor) + " rg");
    AddLn(N(ToX(left)) + " " + N(ToY(top + height)) + " " + N(width * 0.75) + " " + N(height * 0.75) + " re");
    AddLn("B");
}

void TfrxPDFPage::AddImage(TBitmap* bitmap, double left, double top, double width, double height) {
    TJPEGImage jpeg;
    jpeg.SetCompressionQuality(100);
    jpeg.Assign(bitmap);
    TMemoryStream data;
    jpeg.SaveToStream(&data);
    AddLn("q");
    AddLn(N(width * 0.75) + " 0 0 " + N(height * 0.75) + " " + N(ToX(left)) + " " + N(ToY(top + height)) + " cm");
    AddLn("BI");
    AddLn("/W " + std::to_string(bitmap->GetWidth()));
    AddLn("/H " + std::to_string(bitmap->GetHeight()));
    AddLn("/CS /RGB");
    AddLn("/BPC 8");
    AddLn("/I true");
    AddLn("/F [/DCT]");
    AddLn("ID");
    Content->WriteBuffer(data.Memory(), data.Size());
    AddLn("");
    AddLn("EI");
    AddLn("Q");
}

void TfrxPDFPage::SaveToStream(TStream* stream) {
    TfrxPDFElement::SaveToStream(stream);
    const int pd = Parent->PageBase + 2 * Number - 1, cs = pd + 1;
    Parent->AddXRef(stream);
    WriteLn(stream, std::to_string(pd) + " 0 obj");
    WriteLn(stream, "<<");
    WriteLn(stream, "/Type /Page");
    WriteLn(stream, "/Parent " + std::to_string(Parent->PagesObject) + " 0 R");
    WriteLn(stream, "/MediaBox [0 0 " + N(Width) + " " + N(Height) + " ]");
    WriteLn(stream, "/Resources <<");
    WriteLn(stream, "/Font <<");
    for (size_t i = 0; i < Parent->Fonts.size(); ++i)
        WriteLn(stream,
            "/F" + std::to_string(Parent->Fonts[i]->Number - 1) + " " +
                std::to_string(Parent->FontBase + Parent->ObjectsPerFont * int(i) + 1) + " 0 R");
    WriteLn(stream, ">>");
    WriteLn(stream, "/XObject <<");
    WriteLn(stream, ">>");
    WriteLn(stream, "/ProcSet [/PDF /Text /ImageC ]");
    WriteLn(stream, ">>");
    WriteLn(stream, "/Contents " + std::to_string(cs) + " 0 R");
    WriteLn(stream, ">>");
    WriteLn(stream, "endobj");

    Parent->AddXRef(stream);
    WriteLn(stream, std::to_string(cs) + " 0 obj");
    if (Parent->Compressed) {
        TMemoryStream packed;
        frxCompressStream(Content.get(), &packed, zcMax);
        WriteLn(stream,
            "<< /Filter /FlateDecode /Length " + std::to_string(packed.Size()) + " /Length1 " +
                std::to_string(Content->Size()) + " >>");
        WriteLn(stream, "stream");
        stream->WriteBuffer(packed.Memory(), packed.Size());
        WriteLn(stream, "");
    } else {
        WriteLn(stream, "<< /Length " + std::to_string(Content->Size()) + " >>");
        WriteLn(stream, "stream");
        stream->WriteBuffer(Content->Memory(), Content->Size());
    }
    WriteLn(stream, "endstream");
    WriteLn(stream, "endobj");
}
