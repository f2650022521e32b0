#pragma once
// A prepared-pages store for the preview's tests: pages of given sizes, each drawing its frame
// and the texts it was given, so that layout, painting and the text search can be checked
// without the report engine.

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/Graphics.h"
#include "report/core/frxPlugins.h"

struct FakePage {
    int Width = 794, Height = 1123;
    std::vector<std::pair<TPoint, std::string>> Texts;  // top-left and text, page pixels
};

class FakePages : public TfrxCustomPreviewPages {
public:
    explicit FakePages(std::vector<FakePage> pages) : TfrxCustomPreviewPages(nullptr), Pages(std::move(pages)) {}
    std::vector<FakePage> Pages;
    int DrawCount = 0;

    int GetCount() override { return int(Pages.size()); }
    TfrxReportPage* GetPage(int) override { return nullptr; }
    TPoint GetPageSize(int i) override {
        if (i < 0 || i >= GetCount()) return {0, 0};
        return {Pages[size_t(i)].Width, Pages[size_t(i)].Height};
    }
    void Clear() override { Pages.clear(); }
    void Initialize() override {}
    void AddObject(TfrxComponent*) override {}
    void AddPage(TfrxReportPage*) override {}
    void AddSourcePage(TfrxReportPage*) override {}
    void AddToSourcePage(TfrxComponent*) override {}
    void BeginPass() override {}
    void ClearFirstPassPages() override {}
    void CutObjects(int) override {}
    void Finish() override {}
    void PasteObjects(double, double) override {}
    bool BandExists(TfrxBand*) override { return false; }
    int GetCurPosition() override { return 0; }
    double GetLastY() override { return 0; }
    // Out-of-range indexes are ignored, as by the real store.
    void AddEmptyPage(int index) override {
        if (index >= 0 && index < GetCount()) Pages.insert(Pages.begin() + (index + 1), FakePage{});
    }
    void DeletePage(int index) override {
        if (Pages.size() > 1 && index >= 0 && index < GetCount()) Pages.erase(Pages.begin() + index);
    }
    void ModifyPage(int, TfrxReportPage*) override {}
    void DrawPage(int index, TCanvas* c, double sx, double sy, double ox, double oy) override {
        ++DrawCount;
        const FakePage& p = Pages.at(size_t(index));
        c->Font()->SetName("Arial");
        c->Font()->SetHeight(-int(13 * sy));
        c->Brush()->SetStyle(bsClear);
        for (const auto& [at, text] : p.Texts) c->TextOut(int(ox + at.X * sx), int(oy + at.Y * sy), text);
    }
    void ObjectOver(int, int, int, TMouseButton, TShiftState, double, double, double, bool, TCursor&) override {}
    void LoadFromStream(TStream*, bool) override {}
    void SaveToStream(TStream*) override {}
    bool LoadFromFile(const std::string&, bool) override { return false; }
    void SaveToFile(const std::string&) override {}
    bool Print() override { return true; }
    bool Export(TfrxCustomExportFilter*) override { return true; }
};

inline std::vector<FakePage> A4Pages(int n) { return std::vector<FakePage>(size_t(n)); }
