#pragma once
// The engine tests' fixture: a report with one A4 page built in code, an in-memory dataset of
// numbered rows, and the texts as they land on the prepared pages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/StringList.h"
#include "platform/db/Fields.h"
#include "platform/db/MemDataSet.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxEngine.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxOptions.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"

// One text as it stands on a prepared page: its page, absolute place (report pixels) and text.
struct TPlaced {
    int Page;
    double Top, Left;
    std::string Text;
    bool operator==(const TPlaced& o) const {
        return Page == o.Page && Top == o.Top && Left == o.Left && Text == o.Text;
    }
};

class EngineTest : public ::testing::Test {
public:
    void SetUp() override {
        Report.GetEngineOptions()->SilentMode = true;
        Page = new TfrxReportPage(&Report);
        Page->SetName("Page1");
        Page->SetPaperSize(9);  // A4: 297 mm, usable height with 10 mm margins
        Page->LeftMargin = Page->RightMargin = Page->TopMargin = Page->BottomMargin = 10;
    }
    void Rows(int n, const std::vector<std::string>& groups = {}) {
        Mem.FieldDefs()->Add("N", ftInteger);
        Mem.FieldDefs()->Add("G", ftString, 10);
        Mem.FieldDefs()->Add("V", ftInteger);
        Mem.Open();
        for (int i = 1; i <= n; ++i)
            Mem.AppendRecord({Variant(i), Variant(groups.empty() ? "" : groups[size_t(i - 1)]),
                i % 3 == 0 ? Variant::Null() : Variant(i)});
        Data = new TfrxDBDataset(&Report);
        Data->SetName("Data");
        Data->SetDataSet(&Mem);
        Report.DataSets()->Add(Data);
    }
    template <class B>
    B* Band(const char* name, double top, double height, TfrxReportPage* page = nullptr) {
        auto* b = new B(page ? page : Page);
        b->SetName(name);
        b->SetBounds(0, top, 718, height);
        return b;
    }
    TfrxMemoView* Memo(TfrxBand* band, const char* name, const std::string& text, double left = 0, double width = 200,
        double height = 18) {
        auto* m = new TfrxMemoView(band);
        m->SetName(name);
        m->SetBounds(left, 0, width, height);
        m->SetText(text);
        return m;
    }
    bool Prepare() { return Report.PrepareReport(true); }
    int Pages() { return Report.PreviewPages()->GetCount(); }
    // Every memo of every prepared page (of this report or another), in page order.
    std::vector<TPlaced> Placed(TfrxReport* from = nullptr) {
        TfrxCustomPreviewPages* pages = (from ? from : &Report)->PreviewPages();
        std::vector<TPlaced> out;
        for (int p = 0; p < pages->GetCount(); ++p) {
            auto* page = frxPageComponent(pages->GetPage(p));
            TList* all = page->GetAllObjects();
            for (int i = 0; i < all->Count(); ++i)
                if (auto* m = dynamic_cast<TfrxCustomMemoView*>(static_cast<TfrxComponent*>(all->Items(i))))
                    out.push_back({p, m->GetAbsTop(), m->GetAbsLeft(), Trim(m->GetText())});
        }
        return out;
    }
    std::vector<std::string> Texts(int page = -1) {
        std::vector<std::string> out;
        for (const TPlaced& p : Placed())
            if (page < 0 || p.Page == page) out.push_back(p.Text);
        return out;
    }
    TfrxReport Report;
    TfrxReportPage* Page = nullptr;
    TMemDataSet Mem{nullptr};
    TfrxDBDataset* Data = nullptr;
};
