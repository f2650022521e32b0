#pragma once
// The data module: the database "vys.mdb", its three tables (four table components) and their
// data sources, the two report datasets the templates read, and the two methods through which
// every window asks or warns the user.

#include <string>

#include "dao/KDaoDatabase.h"
#include "dao/KDaoTable.h"
#include "platform/gui/Forms.h"

class TfrxDBDataset;

class TDM : public TDataModule {
    KAROMIL_CLASS(TDM, TDataModule)
public:
    explicit TDM(TComponent* owner);
    ~TDM() override;

    TKDaoDatabase* KDaoDatabase1 = nullptr;
    TKDaoTable* QVys = nullptr;
    TKDaoTable* QPrefs = nullptr;
    TDataSource* DSVys = nullptr;
    TDataSource* DSPrefs = nullptr;
    TKDaoTable* QPredmety = nullptr;
    TDataSource* DSPredmety = nullptr;
    TKDaoTable* QTemp = nullptr;
    TDataSource* DSTemp = nullptr;
    TfrxDBDataset* frxDBDSVys = nullptr;
    TfrxDBDataset* frxDBDSPrefs = nullptr;

    // A message with an OK button in a window of formColor around a panel of panelColor.
    void MessageOk(const std::string& caption, const std::string& text, TColor formColor, TColor panelColor);
    // A yes/no question: 6 for "ANO", 7 for "NE", 2 when the window was closed otherwise.
    int MessageYesNo(const std::string& caption, const std::string& text, TColor formColor, TColor panelColor);

    // The folder of the open database file, with the trailing '/'; where the user's data lives.
    std::string DataFolder() const;

private:
    std::string FStartFolder;
};

extern TDM* DM;
