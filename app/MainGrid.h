#pragma once
// The main window's grid of report cards, behind what the window needs of it: every row of the
// table listed, the selected row being the dataset's current record (both ways), a double click
// reported through OnDblClick, the table read again after a close and reopen, and columns that
// each show one field's text (mask columns and a memo column).
//
// The grid family's data-aware grid is not there yet; the platform's TDBGrid stands in for it.
// Replacing it touches this class alone.

#include <string>
#include <vector>

#include "platform/gui/DBCtrls.h"

class TMainGrid : public TDBGrid {
    KAROMIL_CLASS(TMainGrid, TDBGrid)
public:
    explicit TMainGrid(TComponent* owner);

    std::string KeyField;  // the dataset's key ("ID"); the stand-in navigates by the cursor alone

    // A column showing a field's text (the grid family's mask column).
    TColumn* AddMaskColumn(const std::string& fieldName, const std::string& caption, int width);
    // A column showing a memo field's text, with its own font.
    TColumn* AddMemoColumn(const std::string& fieldName, const std::string& caption, int width,
        const std::string& fontName, int fontHeight);

protected:
    // A memo column shows the first line of the memo's text instead of the platform grid's
    // "(MEMO)"; the field's own OnGetText, when the data module gives it one, still decides.
    std::string CellText(TColumn* column, TField* field) override;

private:
    std::vector<std::string> FMemoFields;
};

// Grids that list a table for choosing a row (settings, subject chooser): whole-row selection,
// no editing in place; the windows have their own commands for changes.
TDBGridOptions BrowseGridOptions();
