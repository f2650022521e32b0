#include "platform/ole/Workbook.h"

#include <cerrno>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include <xlsxwriter.h>
#include <zlib.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

namespace {

void CheckCell(int col, int row) {
    if (col < 0 || col >= TWorkbook::MaxCols || row < 0 || row >= TWorkbook::MaxRows)
        throw EOleError(
            "Cell (" + std::to_string(col + 1) + ", " + std::to_string(row + 1) + ") lies outside the sheet");
}

void CheckRange(const TSheetRange& r) {
    if (r.Cols < 1 || r.Rows < 1) throw EOleError("Empty cell range");
    CheckCell(r.Col, r.Row);
    CheckCell(r.LastCol(), r.LastRow());
}

// The first `limit` characters of a UTF-8 text (a cut never splits a character).
std::string CutToCharacters(const std::string& text, size_t limit) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((uint8_t(text[i]) & 0xC0) == 0x80) continue;
        if (chars == limit) return text.substr(0, i);
        ++chars;
    }
    return text;
}

}  // namespace

int TWorkbook::AddStyle(const TSheetStyle& style) {
    for (size_t i = 0; i < FStyles.size(); ++i)
        if (FStyles[i] == style) return int(i);
    FStyles.push_back(style);
    return int(FStyles.size() - 1);
}

TSheetCell& TWorkbook::At(int col, int row) {
    CheckCell(col, row);
    return FCells[Key(col, row)];
}

void TWorkbook::SetText(int col, int row, const std::string& text) {
    TSheetCell& c = At(col, row);
    c.Kind = TSheetCell::ckText;
    c.Text = CutToCharacters(text, MaxTextLength);
}

void TWorkbook::SetNumber(int col, int row, double value) {
    TSheetCell& c = At(col, row);
    c.Kind = std::isfinite(value) ? TSheetCell::ckNumber : TSheetCell::ckBlank;
    c.Number = value;
    c.Text.clear();
}

void TWorkbook::ApplyStyle(const TSheetRange& range, int style) {
    CheckRange(range);
    if (style < -1 || style >= StyleCount()) throw EOleError("Unknown cell style " + std::to_string(style));
    for (int r = range.Row; r <= range.LastRow(); ++r)
        for (int c = range.Col; c <= range.LastCol(); ++c) FCells[Key(c, r)].Style = style;
}

void TWorkbook::ApplyBorders(const TSheetRange& range, uint8_t sides) {
    CheckRange(range);
    for (int r = range.Row; r <= range.LastRow(); ++r)
        for (int c = range.Col; c <= range.LastCol(); ++c) {
            uint8_t bits = 0;
            if (c == range.Col) bits |= sides & sbLeft;
            if (c == range.LastCol()) bits |= sides & sbRight;
            if (r == range.Row) bits |= sides & sbTop;
            if (r == range.LastRow()) bits |= sides & sbBottom;
            if (bits) FCells[Key(c, r)].Borders |= bits;
        }
}

void TWorkbook::Merge(const TSheetRange& range) {
    CheckRange(range);
    if (range.Cols == 1 && range.Rows == 1) return;
    for (const TSheetRange& m : FMerges)
        if (m.Overlaps(range)) throw EOleError("Merged cell ranges overlap");
    FMerges.push_back(range);
}

void TWorkbook::SetColumnWidth(int col, double width) {
    CheckCell(col, 0);
    FColumnWidths[col] = width;
}

void TWorkbook::SetRowHeight(int row, double points) {
    CheckCell(0, row);
    FRowHeights[row] = points;
}

void TWorkbook::SetMargins(double left, double right, double top, double bottom) {
    FMargins[0] = left;
    FMargins[1] = right;
    FMargins[2] = top;
    FMargins[3] = bottom;
}

void TWorkbook::AddPageBreak(int row) {
    CheckCell(0, row);
    if (row == 0) return;  // the first row always begins a page
    for (int b : FPageBreaks)
        if (b == row) return;
    FPageBreaks.push_back(row);
}

void TWorkbook::AddPicture(TSheetPicture picture) {
    CheckCell(picture.Col, picture.Row);
    if (picture.Width <= 0 || picture.Height <= 0 ||
        picture.Argb.size() != size_t(picture.Width) * size_t(picture.Height))
        throw EOleError("Picture without pixels");
    FPictures.push_back(std::move(picture));
}

void TWorkbook::Select(int col, int row) {
    CheckCell(col, row);
    FSelCol = col;
    FSelRow = row;
}

const TSheetCell* TWorkbook::Cell(int col, int row) const {
    auto it = FCells.find(Key(col, row));
    return it == FCells.end() ? nullptr : &it->second;
}

double TWorkbook::ColumnWidth(int col) const {
    auto it = FColumnWidths.find(col);
    return it == FColumnWidths.end() ? 0 : it->second;
}

double TWorkbook::RowHeight(int row) const {
    auto it = FRowHeights.find(row);
    return it == FRowHeights.end() ? 0 : it->second;
}

void TWorkbook::SaveAs(const std::string& fileName) const {
    const std::string dir = ExtractFilePath(fileName);
    std::string tmp;
    try {
        tmp = CreateTempFile(dir.empty() ? "./" : dir, "." + ExtractFileName(fileName) + ".");
    } catch (const EFCreateError& e) {
        // The temporary name means nothing to the user: name the file asked for, keep the reason.
        const std::string& m = e.Message();
        const size_t reason = m.rfind("\". ");
        throw EFCreateError("Cannot create file \"" + fileName + "\"." +
            (reason == std::string::npos ? std::string() : m.substr(reason + 2)));
    }
    bool committed = false;
    auto cleanUp = OnScopeExit([&] {
        if (!committed) ::unlink(tmp.c_str());
    });
    WriteTo(tmp);
    // A replaced file keeps its permissions; a new one gets the usual ones.
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0) ::chmod(tmp.c_str(), st.st_mode & 07777);
    else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(tmp.c_str(), 0666 & ~mask);
    }
    if (::rename(tmp.c_str(), fileName.c_str()) != 0)
        throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(errno));
    committed = true;
}

namespace {

lxw_color_t ToLxwColor(uint32_t rgb) {
    // The writer takes 0 for "no colour"; black has its own value.
    rgb &= 0xFFFFFF;
    return rgb == 0 ? lxw_color_t(LXW_COLOR_BLACK) : lxw_color_t(rgb);
}

class TFormatCache {
public:
    TFormatCache(lxw_workbook* wb, const std::vector<TSheetStyle>& styles, bool wrap)
        : FBook(wb), FStyles(styles), FWrap(wrap) {}

    lxw_format* Get(int style, uint8_t borders) {
        if (style < 0 && borders == 0 && !FWrap) return nullptr;
        const int key = (style + 1) * 16 + borders;
        auto it = FFormats.find(key);
        if (it != FFormats.end()) return it->second;
        lxw_format* f = workbook_add_format(FBook);
        if (!f) throw EOutOfMemory("Out of memory");
        if (style >= 0) {
            const TSheetStyle& s = FStyles[size_t(style)];
            format_set_font_name(f, s.FontName.c_str());
            format_set_font_size(f, s.FontSize);
            if (s.Bold) format_set_bold(f);
            if (s.Italic) format_set_italic(f);
            if (s.Underline) format_set_underline(f, LXW_UNDERLINE_SINGLE);
            format_set_font_color(f, ToLxwColor(s.FontColor));
            if (s.Filled) {
                format_set_pattern(f, LXW_PATTERN_SOLID);
                format_set_bg_color(f, ToLxwColor(s.FillColor));
            }
            if (s.Rotation != 0) format_set_rotation(f, int16_t(std::max(-90, std::min(90, s.Rotation))));
            switch (s.HAlign) {
            case shLeft: format_set_align(f, LXW_ALIGN_LEFT); break;
            case shCenter: format_set_align(f, LXW_ALIGN_CENTER); break;
            case shRight: format_set_align(f, LXW_ALIGN_RIGHT); break;
            case shJustify: format_set_align(f, LXW_ALIGN_JUSTIFY); break;
            case shGeneral: break;
            }
            switch (s.VAlign) {
            case svTop: format_set_align(f, LXW_ALIGN_VERTICAL_TOP); break;
            case svCenter: format_set_align(f, LXW_ALIGN_VERTICAL_CENTER); break;
            case svBottom: format_set_align(f, LXW_ALIGN_VERTICAL_BOTTOM); break;
            case svDefault: break;
            }
        }
        if (borders & sbLeft) format_set_left(f, LXW_BORDER_THIN);
        if (borders & sbRight) format_set_right(f, LXW_BORDER_THIN);
        if (borders & sbTop) format_set_top(f, LXW_BORDER_THIN);
        if (borders & sbBottom) format_set_bottom(f, LXW_BORDER_THIN);
        if (FWrap) format_set_text_wrap(f);
        FFormats[key] = f;
        return f;
    }

private:
    lxw_workbook* FBook;
    const std::vector<TSheetStyle>& FStyles;
    bool FWrap;
    std::map<int, lxw_format*> FFormats;
};

}  // namespace

void TWorkbook::WriteTo(const std::string& fileName) const {
    auto fail = [&](lxw_error err) {
        throw EWriteError("Cannot write file \"" + fileName + "\". " + lxw_strerror(err));
    };
    lxw_workbook* wb = workbook_new(fileName.c_str());
    if (!wb) throw EFCreateError("Cannot create file \"" + fileName + "\".");
    bool closed = false;
    auto freeBook = OnScopeExit([&] {
        if (!closed) lxw_workbook_free(wb);
    });
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    if (!ws) fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
    TFormatCache formats(wb, FStyles, FWrapText);

    worksheet_set_margins(ws, FMargins[0] < 0 ? -1 : FMargins[0] / 25.4, FMargins[1] < 0 ? -1 : FMargins[1] / 25.4,
        FMargins[2] < 0 ? -1 : FMargins[2] / 25.4, FMargins[3] < 0 ? -1 : FMargins[3] / 25.4);
    if (FLandscape) worksheet_set_landscape(ws);
    else worksheet_set_portrait(ws);
    for (const auto& [col, width] : FColumnWidths)
        if (lxw_error e = worksheet_set_column(ws, lxw_col_t(col), lxw_col_t(col), width, nullptr)) fail(e);
    for (const auto& [row, height] : FRowHeights)
        if (lxw_error e = worksheet_set_row(ws, lxw_row_t(row), height, nullptr)) fail(e);

    if (!FPageBreaks.empty()) {
        std::vector<lxw_row_t> breaks(FPageBreaks.begin(), FPageBreaks.end());
        std::sort(breaks.begin(), breaks.end());
        // The format holds no more; later pages then break where the printer decides.
        if (breaks.size() > size_t(MaxPageBreaks)) breaks.resize(size_t(MaxPageBreaks));
        breaks.push_back(0);
        if (lxw_error e = worksheet_set_h_pagebreaks(ws, breaks.data())) fail(e);
    }

    // Merges first (the writer fills the range with blanks), then every cell with its own look.
    for (const TSheetRange& m : FMerges) {
        const TSheetCell* first = Cell(m.Col, m.Row);
        lxw_format* f = first ? formats.Get(first->Style, first->Borders) : formats.Get(-1, 0);
        if (lxw_error e = worksheet_merge_range(
                ws, lxw_row_t(m.Row), lxw_col_t(m.Col), lxw_row_t(m.LastRow()), lxw_col_t(m.LastCol()), "", f))
            fail(e);
    }
    for (const auto& [key, cell] : FCells) {
        const auto row = lxw_row_t(key >> 32);
        const auto col = lxw_col_t(key & 0xFFFFFFFFu);
        lxw_format* f = formats.Get(cell.Style, cell.Borders);
        lxw_error e = LXW_NO_ERROR;
        switch (cell.Kind) {
        case TSheetCell::ckText:
            e = cell.Text.empty() ? worksheet_write_blank(ws, row, col, f)
                                  : worksheet_write_string(ws, row, col, cell.Text.c_str(), f);
            break;
        case TSheetCell::ckNumber: e = worksheet_write_number(ws, row, col, cell.Number, f); break;
        case TSheetCell::ckBlank: e = worksheet_write_blank(ws, row, col, f); break;
        }
        if (e) fail(e);
    }

    std::vector<std::string> pngs;
    pngs.reserve(FPictures.size());
    for (const TSheetPicture& p : FPictures) {
        pngs.push_back(EncodePng(p.Width, p.Height, p.Argb));
        lxw_image_options opt{};
        opt.x_offset = p.OffsetX;
        opt.y_offset = p.OffsetY;
        opt.x_scale = p.ScaleX;
        opt.y_scale = p.ScaleY;
        opt.description = const_cast<char*>("");
        if (lxw_error e = worksheet_insert_image_buffer_opt(ws, lxw_row_t(p.Row), lxw_col_t(p.Col),
                reinterpret_cast<const unsigned char*>(pngs.back().data()), pngs.back().size(), &opt))
            fail(e);
    }
    worksheet_set_selection(ws, lxw_row_t(FSelRow), lxw_col_t(FSelCol), lxw_row_t(FSelRow), lxw_col_t(FSelCol));

    closed = true;  // workbook_close frees the workbook whatever it answers
    if (lxw_error e = workbook_close(wb)) fail(e);
}

namespace {

void PutChunk(std::string& out, const char* type, const std::string& data) {
    auto put32 = [&](uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) out.push_back(char((v >> s) & 0xFF));
    };
    put32(uint32_t(data.size()));
    const size_t start = out.size();
    out.append(type, 4);
    out += data;
    put32(uint32_t(crc32(0, reinterpret_cast<const Bytef*>(out.data() + start), uInt(out.size() - start))));
}

}  // namespace

std::string EncodePng(int width, int height, const std::vector<uint32_t>& argb) {
    if (width <= 0 || height <= 0 || argb.size() != size_t(width) * size_t(height))
        throw EOleError("Picture without pixels");
    std::string raw;
    raw.reserve(size_t(height) * (size_t(width) * 4 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            const uint32_t p = argb[size_t(y) * size_t(width) + size_t(x)];
            raw.push_back(char((p >> 16) & 0xFF));
            raw.push_back(char((p >> 8) & 0xFF));
            raw.push_back(char(p & 0xFF));
            raw.push_back(char((p >> 24) & 0xFF));
        }
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
            uLong(raw.size()), Z_BEST_SPEED) != Z_OK)
        throw EOutOfMemory("Out of memory");
    packed.resize(packedSize);

    std::string header;
    for (uint32_t v : {uint32_t(width), uint32_t(height)})
        for (int s = 24; s >= 0; s -= 8) header.push_back(char((v >> s) & 0xFF));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter set, no interlace
    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}
