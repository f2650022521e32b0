#include "app/UFDM.h"

#include <memory>

#include "app/UFMessageBox.h"
#include "report/core/frxDataSet.h"
#include "platform/db/Fields.h"
#include "platform/gui/Application.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS(TDM, TDataModule)

TDM* DM = nullptr;

namespace {

// What the four table components share in the stored definition.
void SetTableDefaults(TKDaoTable* t, TKDaoDatabase* db) {
    t->SetAutoFindIndex(true);
    t->SetCacheBlobs(false);
    t->SetCacheMemos(false);
    t->SetCacheLookups(false);
    t->SetDatabase(db);
    t->SetExportMethod(VisibleFields);
    t->SetRefreshSorted(false);
    t->SetQueryDefSQLModify(false);
    t->SetQueryDefODBCMaxRecords(0);
    t->SetShowGUID(false);
    t->SetTableType(2);
    t->SetTranslation(false);
    t->SetLockType(3);
    t->SetReadOnly(false);
    t->SetMasterAutoActivate(true);
    t->SetDatabaseAutoActivate(false);
    t->SetUseBrackets(true);
    t->SetUseCaptions(false);
    t->SetUseDaoProperties(true);
    t->SetUseGetRecNo(true);
    t->SetUseRecordCount(true);
    t->SetWarnOnBadDatabase(false);
    t->SetParamCheck(true);
    t->SetProcessMessages(false);
}

// The names the user knows the card's fields by: messages about a field name its label, never
// its column ("ZamHodinyOmlA"). Missed hours cannot be negative.
void LabelCardFields(TDataSet* ds) {
    static const struct {
        const char* field;
        const char* label;
    } labels[] = {
        {"SkolniRok", "Školní rok"},
        {"Trida", "Třída"},
        {"Rocnik", "Ročník"},
        {"Jmeno", "Jméno"},
        {"DatumNar", "Datum narození"},
        {"RodneCislo", "Rodné číslo"},
        {"MistoNar", "Místo narození"},
        {"CisloTV", "Číslo třídního výkazu"},
        {"ZamHodinyOmlA", "Zameškané hodiny omluvené (1. pololetí)"},
        {"ZamHodinyNeomlA", "Zameškané hodiny neomluvené (1. pololetí)"},
        {"ZamHodinyOmlB", "Zameškané hodiny omluvené (2. pololetí)"},
        {"ZamHodinyNeomlB", "Zameškané hodiny neomluvené (2. pololetí)"},
        {"CelkHodnA", "Celkové hodnocení (1. pololetí)"},
        {"CelkHodnB", "Celkové hodnocení (2. pololetí)"},
        {"SplnilLet", "Splnil let"},
        {"LetDochazky", "Let povinné školní docházky"},
        {"Dolozka", "Doložka o získání stupně základního vzdělání"},
        {"VA", "Místo vydání (1. pololetí)"},
        {"VB", "Místo vydání (2. pololetí)"},
        {"DneA", "Datum vydání (1. pololetí)"},
        {"DneB", "Datum vydání (2. pololetí)"},
        {"Ucitel", "Zapsal (učitel)"},
    };
    for (const auto& l : labels)
        if (TField* f = ds->FindField(l.field)) f->SetDisplayLabel(l.label);
    for (const char* name : {"ZamHodinyOmlA", "ZamHodinyNeomlA", "ZamHodinyOmlB", "ZamHodinyNeomlB"}) {
        if (auto* f = dynamic_cast<TIntegerField*>(ds->FindField(name))) {
            f->MinValue = 0;
            f->MaxValue = 32767;
        }
    }
}

}  // namespace

TDM::TDM(TComponent* owner) : TDataModule(owner), FStartFolder(IncludeTrailingPathDelimiter(GetCurrentDir())) {
    TFormLoader l(this);
    SetName("DM");

    KDaoDatabase1 = l.Add<TKDaoDatabase>("KDaoDatabase1");
    KDaoDatabase1->SetExclusive(false);
    KDaoDatabase1->SetDatabaseLanguage("Czech");
    KDaoDatabase1->SetDatabaseType("Access");
    KDaoDatabase1->SetDatabase("vys.mdb");
    KDaoDatabase1->SetReadOnly(false);
    KDaoDatabase1->SetLoginPrompt(false);
    KDaoDatabase1->SetUserName("Admin");
    KDaoDatabase1->SetUseODBCDialog(true);
    KDaoDatabase1->SetSystemDatabase("system.mdb");
    KDaoDatabase1->SetSaveUserName(true);
    KDaoDatabase1->SetShowSystemObjects(false);
    KDaoDatabase1->SetSmartOpen(true);
    KDaoDatabase1->SetEngineType(2);
    KDaoDatabase1->SetPrivateEngine(false);
    KDaoDatabase1->SetTrackTransactions(true);
    KDaoDatabase1->SetWorkspace("DaoWorkspace");
    KDaoDatabase1->SetDefaultCursorDriver(-1);
    KDaoDatabase1->SetQueryTimeout(60);
    KDaoDatabase1->SetMdbVersionAutoDetect(false);
    KDaoDatabase1->SetConnected(true);  // connects while the module is read

    QVys = l.Add<TKDaoTable>("QVys");
    SetTableDefaults(QVys, KDaoDatabase1);
    QVys->SetTableName("vysvedceni");
    QVys->AfterOpen = [](TDataSet* ds) { LabelCardFields(ds); };  // the fields are made at every open
    QVys->SetActive(true);  // opens when the whole module has been read

    QPrefs = l.Add<TKDaoTable>("QPrefs");
    SetTableDefaults(QPrefs, KDaoDatabase1);
    QPrefs->SetTableName("Prefs");
    QPrefs->SetActive(true);

    DSVys = l.Add<TDataSource>("DSVys");
    DSVys->SetDataSet(QVys);
    DSPrefs = l.Add<TDataSource>("DSPrefs");
    DSPrefs->SetDataSet(QPrefs);

    QPredmety = l.Add<TKDaoTable>("QPredmety");
    SetTableDefaults(QPredmety, KDaoDatabase1);
    QPredmety->SetTableName("Predmety");
    QPredmety->SetActive(true);
    DSPredmety = l.Add<TDataSource>("DSPredmety");
    DSPredmety->SetDataSet(QPredmety);

    QTemp = l.Add<TKDaoTable>("QTemp");
    SetTableDefaults(QTemp, KDaoDatabase1);
    QTemp->SetTableName("vysvedceni");
    QTemp->AfterOpen = [](TDataSet* ds) { LabelCardFields(ds); };
    DSTemp = l.Add<TDataSource>("DSTemp");
    DSTemp->SetDataSet(QTemp);

    // The report templates read the current card and the school's row through these.
    frxDBDSVys = l.Add<TfrxDBDataset>("frxDBDSVys");
    frxDBDSVys->SetUserName("frxDBDSVys");
    frxDBDSVys->CloseDataSource = false;
    frxDBDSVys->SetDataSource(DSVys);
    frxDBDSPrefs = l.Add<TfrxDBDataset>("frxDBDSPrefs");
    frxDBDSPrefs->SetUserName("frxDBDSPrefs");
    frxDBDSPrefs->CloseDataSource = false;
    frxDBDSPrefs->SetDataSource(DSPrefs);

    l.Finish();
}

TDM::~TDM() {
    if (DM == this) DM = nullptr;
}

// A relative database name was opened against the folder current at start-up; a file dialog
// may have moved the process elsewhere since.
std::string TDM::DataFolder() const {
    const std::string folder = ExtractFilePath(KDaoDatabase1->GetDatabase());
    if (!folder.empty() && folder[0] == '/') return folder;
    return FStartFolder + folder;
}

// Each message gets a fresh window of its own, owned by the local pointer alone and freed at
// once: the global FMessageBox keeps naming the instance made at start-up, instead of being left
// pointing at a freed window. It centres on the main window, as one owned by the application.
void TDM::MessageOk(const std::string& caption, const std::string& text, TColor formColor, TColor panelColor) {
    std::unique_ptr<TFMessageBox> box = MakeDialog<TFMessageBox>(nullptr);
    box->ShowOk(caption, text, formColor, panelColor);
}

int TDM::MessageYesNo(const std::string& caption, const std::string& text, TColor formColor, TColor panelColor) {
    std::unique_ptr<TFMessageBox> box = MakeDialog<TFMessageBox>(nullptr);
    return box->ShowYesNo(caption, text, formColor, panelColor);
}
