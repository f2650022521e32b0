#pragma once
// Stand-in for the prepared-pages store and its outline until they are built: an empty store
// that holds no pages. Their own units replace this file.

#include "report/core/frxPlugins.h"

class TfrxOutline : public TfrxCustomOutline {
    KAROMIL_CLASS(TfrxOutline, TfrxCustomOutline)
public:
    explicit TfrxOutline(TfrxCustomPreviewPages* pages) : TfrxCustomOutline(pages) {}
    int GetCount() override { return 0; }
    void AddItem(const std::string&, int) override {}
    void LevelDown(int) override {}
    void LevelRoot() override {}
    void LevelUp() override {}
    void GetItem(int, std::string& text, int& page, int& top) override { text.clear(), page = top = 0; }
    void ShiftItems(TfrxXMLItem*, int) override {}
    TfrxXMLItem* GetCurPosition() override { return nullptr; }
};

class TfrxPreviewPages : public TfrxCustomPreviewPages {
    KAROMIL_CLASS(TfrxPreviewPages, TfrxCustomPreviewPages)
public:
    explicit TfrxPreviewPages(TfrxReport* report);

    int GetCount() override { return 0; }
    TfrxReportPage* GetPage(int) override { return nullptr; }
    TPoint GetPageSize(int) override { return {}; }
    void Clear() override {}
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
    void AddEmptyPage(int) override {}
    void DeletePage(int) override {}
    void ModifyPage(int, TfrxReportPage*) override {}
    void DrawPage(int, TCanvas*, double, double, double, double) override {}
    void ObjectOver(int, int, int, TMouseButton, TShiftState, double, double, double, bool, TCursor&) override {}
    void LoadFromStream(TStream*, bool) override {}
    void SaveToStream(TStream*) override {}
    bool LoadFromFile(const std::string&, bool) override { return false; }
    void SaveToFile(const std::string&) override {}
    bool Print() override { return false; }
    bool Export(TfrxCustomExportFilter*) override { return false; }
};
