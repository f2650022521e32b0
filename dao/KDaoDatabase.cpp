#include "dao/KDaoDatabase.h"

#include <cstdio>

#include "dao/KDaoConsts.h"
#include "platform/db/DB.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TKDaoDatabase, TComponent, {
    KAROMIL_PROP(ComponentVersion);
    KAROMIL_PROP(Exclusive).Default(0);
    KAROMIL_PROP(DatabaseLanguage);
    KAROMIL_PROP(DatabaseType);
    KAROMIL_PROP(Database);
    KAROMIL_PROP(DatabaseParameters);
    KAROMIL_PROP(DatabaseVersionInfo);
    KAROMIL_PROP(ReadOnly).Default(0);
    KAROMIL_PROP(LoginPrompt).Default(0);
    KAROMIL_PROP(UserName);
    KAROMIL_PROP(UseODBCDialog).Default(1);
    KAROMIL_PROP(Password);
    KAROMIL_PROP(DatabasePassword);
    KAROMIL_PROP(SystemDatabase);
    KAROMIL_PROP(SaveUserName).Default(1);
    KAROMIL_PROP(ShowSystemObjects).Default(0);
    KAROMIL_PROP(SmartOpen).Default(1);
    KAROMIL_PROP(EngineType).Default(2);
    KAROMIL_PROP(PrivateEngine).Default(0);
    KAROMIL_PROP(TrackTransactions).Default(1);
    KAROMIL_PROP(UsesDynaDao);
    KAROMIL_PROP(Version);
    KAROMIL_PROP(VersionDetails);
    KAROMIL_PROP(VersionInfo);
    KAROMIL_PROP(Workspace);
    KAROMIL_PROP(DefaultCursorDriver).Default(-1);
    KAROMIL_PROP(QueryTimeout).Default(60);
    KAROMIL_PROP(MdbVersionAutoDetect).Default(0);
    p.Event("OnLogin", &Self::OnLogin, "TLoginEvent");
    p.Event("OnBeforeConnect", &Self::OnBeforeConnect, "TConnectEvent");
    p.Event("OnAfterConnect", &Self::OnAfterConnect, "TConnectEvent");
    p.Event("OnBeforeDisconnect", &Self::OnBeforeDisconnect, "TConnectEvent");
    p.Event("OnAfterDisconnect", &Self::OnAfterDisconnect, "TConnectEvent");
    KAROMIL_PROP(Connected).Default(0);
})

TDbLoginHooks::TAskHook TDbLoginHooks::Ask = [](const std::string&, std::string&, std::string&, std::string&) {
    return false;
};
std::function<void(const std::string&)> TDbLoginHooks::ShowMessage = [](const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());  // no window layer: said, not dropped
};

namespace {
const char* const kNoDao = "You does not have Microsoft DAO installed ot it is an OLD Version!";
}

// COM does not exist here: the engine is an ordinary C++ object, so there is nothing to
// initialise per component.
TKDaoDatabase::TKDaoDatabase(TComponent* owner) : TComponent(owner) {
    DetectDaoVersions();
    if (AvailableVersions.Count() == 0) DatabaseError("Cannot find DAO on your system!");
    FVersion = AvailableVersions.Strings(0);
    CreateDBEngine(FVersion);
    // There is no registry of engine keys: no system database, no installable formats and
    // no ODBC data sources on this platform.
    FSystemDatabase = "";
    FEngine->DefaultUser = "Admin";
    FEngine->DefaultPassword = "";
    FEngine->DefaultType = 2;
    FVersionDetails = FEngine->Version();
    FVersionInfo.clear();
    FDatabaseVersionInfo.clear();
    SetVersionInfoFrom(FVersionDetails);
    DatabaseTypes.Add("Access");
    DatabaseTypes.Add("ODBC");
}

TKDaoDatabase::~TKDaoDatabase() {
    try {
        if (FConnected) SetConnected(false);
    } catch (const Exception&) {
        // Recovers the destruction: a destructor cannot raise, and the connection, its file
        // and its locks are released with the engine objects below in any case.
    }
    try {
        if (FWorkspace) FWorkspace->Close();
    } catch (const Exception&) {
        // Recovers the destruction, as above.
    }
    FDaoDatabase.reset();
    FWorkspace.reset();
    FEngine.reset();
}

std::string TKDaoDatabase::ProgId(const std::string& version) const {
    std::string base = FPrivateEngine ? "DAO.PrivateDBEngine." : "DAO.DBEngine.";
    if (version == "3.5") return base + "35";
    if (version == "3.6") return base + "36";
    if (version == "12.0") return base + "120";
    return "";
}

void TKDaoDatabase::DetectDaoVersions() {
    AvailableVersions.Clear();
    for (const char* v : {"3.5", "3.6", "12.0"}) {
        try {
            if (Dao::DBEngine::Create(ProgId(v))) AvailableVersions.Add(v);
        } catch (const Exception&) {
            // An engine version that cannot be created is left out of the list: what the list
            // is for. Connecting without any raises "Cannot find DAO".
        }
    }
}

void TKDaoDatabase::CreateDBEngine(const std::string& version) {
    FUsesDynaDao = true;
    static const char* const order[] = {"3.5", "3.6", "12.0"};
    int start = -1;
    for (int i = 0; i < 3; ++i)
        if (version == order[i]) start = i;
    // An unknown version would leave no engine behind, and everything after would fail on it.
    if (start < 0) DatabaseError(kNoDao);
    for (int i = start; i < 3; ++i) {
        std::shared_ptr<Dao::DBEngine> e;
        try {
            e = Dao::DBEngine::Create(ProgId(order[i]));
        } catch (const Exception&) {
            // Falls back to the next newer engine; none at all raises below.
        }
        if (e) {
            FEngine = std::move(e);
            FVersion = order[i];
            return;
        }
    }
    DatabaseError(kNoDao);
}

void TKDaoDatabase::SetVersionInfoFrom(const std::string& details) {
    if (details.rfind("3.5", 0) == 0) FVersionInfo = "(In Access'97 mode)";
    else if (details.rfind("3.6", 0) == 0) FVersionInfo = "(In Access'2000 mode)";
    else if (details.rfind("12.0", 0) == 0) FVersionInfo = "(In Access'2007 mode)";
}

void TKDaoDatabase::RecreateWorkspace() {
    if (FWorkspace) {
        FWorkspace->Close();
        FWorkspace.reset();
    }
    FEngine.reset();
    if (GetComponentState().Contains(csDesigning) && FEngineType == 2) {
        bool old = FPrivateEngine;
        FPrivateEngine = true;
        try {
            CreateDBEngine(FVersion);
        } catch (...) {
            FPrivateEngine = old;
            throw;
        }
        FPrivateEngine = old;
    } else {
        CreateDBEngine(FVersion);
    }
    FEngine->SystemDB = FSystemDatabase;
    FVersionDetails = FEngine->Version();
    SetVersionInfoFrom(FVersionDetails);
    FEngine->DefaultUser = FUserName;
    FEngine->DefaultPassword = FPassword;
    FWorkspace = FEngine->CreateWorkspace(FWorkspaceName, FUserName, FPassword, FEngineType);
    FEngine->GetWorkspaces().Append(FWorkspace);
    if (FEngineType == 1) FWorkspace->SetDefaultCursorDriver(FDefaultCursorDriver);
    FWorkspaceName = FWorkspace->GetName();
}

void TKDaoDatabase::Loaded() {
    TComponent::Loaded();
    try {
        if (!FConnected) RecreateWorkspace();
    } catch (const Exception&) {
        // A broken engine set-up must not stop the module from loading; connecting reports it.
    }
}

// --- setters ------------------------------------------------------------------------------------

void TKDaoDatabase::Refuse(const char* message) const {
    if (FConnected) DatabaseError(message);
}

template <class T>
void TKDaoDatabase::GuardedRecreate(T& member, T value) {
    T old = member;
    member = std::move(value);
    if (Loading()) return;
    try {
        RecreateWorkspace();
    } catch (...) {
        member = old;
        try {
            RecreateWorkspace();
        } catch (const Exception&) {
            // Recovers nothing more: the new value's error (raised below) is the one to show.
        }
        throw;
    }
}

void TKDaoDatabase::SetExclusive(bool v) {
    Refuse("TKDaoDatabase.F_Set_Exclusive: Cannot change Exclusive mode while Database is connected!");
    FExclusive = v;
}

std::string TKDaoDatabase::GetDatabaseLanguage() const { return FConnected ? FLanguage : std::string(); }

void TKDaoDatabase::SetDatabaseType(std::string v) {
    Refuse("TKDaoDatabase.F_Set_DatabaseType: Cannot set Database Type while Database is connected!");
    FDatabaseType = std::move(v);
    FDatabase.clear();
}

void TKDaoDatabase::SetDatabase(std::string v) {
    Refuse("TKDaoDatabase.F_Set_Database: Cannot set Database while Database is connected!");
    FDatabase = std::move(v);
}

void TKDaoDatabase::SetDatabaseParameters(std::string v) {
    Refuse("TKDaoDatabase.F_Set_DatabaseParameters: Cannot set DatabaseParameters while Database is connected!");
    FDatabaseParameters = std::move(v);
}

void TKDaoDatabase::SetReadOnly(bool v) {
    Refuse("TKDaoDatabase.F_Set_ReadOnly: Cannot change mode while Database is connected!");
    FReadOnly = v;  // a table reads it when it opens: none is open while disconnected
}

void TKDaoDatabase::SetLoginPrompt(bool v) {
    Refuse("TKDaoDatabase.F_Set_LoginPrompt: Cannot change LoginPrompt while Database is connected!");
    FLoginPrompt = v;
}

void TKDaoDatabase::SetUserName(std::string v) {
    Refuse("TKDaoDatabase.F_Set_UserName: Cannot change User Name while Database is connected!");
    FUserName = std::move(v);
    if (!Loading()) try {
            RecreateWorkspace();
        } catch (const Exception&) {
            // Credentials are set one at a time: a pair not yet complete fails here, and
            // connecting with the final pair reports its own error.
        }
}

void TKDaoDatabase::SetPassword(std::string v) {
    Refuse("TKDaoDatabase.F_Set_Password: Cannot change Password while Database is connected!");
    FPassword = std::move(v);
    if (!Loading()) try {
            RecreateWorkspace();
        } catch (const Exception&) {
            // Credentials are set one at a time: a pair not yet complete fails here, and
            // connecting with the final pair reports its own error.
        }
}

void TKDaoDatabase::SetDatabasePassword(std::string v) {
    Refuse("TKDaoDatabase.F_Set_DatabasePassword: Cannot change Database Password while Database is connected!");
    FDatabasePassword = std::move(v);
}

void TKDaoDatabase::SetSystemDatabase(std::string v) {
    Refuse("TKDaoDatabase.F_Set_SystemDatabase: Cannot set SystemDatabase while Database is connected!");
    GuardedRecreate(FSystemDatabase, std::move(v));  // no registry to read a default from
}

void TKDaoDatabase::SetShowSystemObjects(bool v) {
    FShowSystemObjects = v;
    if (FConnected) RefreshSchema();
}

void TKDaoDatabase::SetEngineType(int32_t v) {
    Refuse("TKDaoDatabase.F_Set_EngineType: Cannot set EngineType Type while Database is connected!");
    GuardedRecreate(FEngineType, v);
}

void TKDaoDatabase::SetPrivateEngine(bool v) {
    Refuse("TKDaoDatabase.F_Set_EngineType: Cannot set PrivateEngine Type while Database is connected!");
    GuardedRecreate(FPrivateEngine, v);
}

void TKDaoDatabase::SetTrackTransactions(bool v) {
    Refuse("Cannot set TrackTransactions property when Database is connected!");
    FTrackTransactions = v;
}

void TKDaoDatabase::SetVersion(std::string v) {
    Refuse("TKDaoDatabase.F_Set_DaoVersion: Cannot set Dao Version while Database is connected!");
    size_t dot = v.find('.');
    v = v.substr(0, dot == std::string::npos ? 1 : dot + 2);
    GuardedRecreate(FVersion, std::move(v));
    if (!Loading() && FEngine) FVersionDetails = FEngine->Version();
}

void TKDaoDatabase::SetWorkspace(std::string v) {
    Refuse("TKDaoDatabase.F_Set_Workspace: Cannot set Workspace while Database is connected!");
    GuardedRecreate(FWorkspaceName, std::move(v));
}

void TKDaoDatabase::SetDefaultCursorDriver(int32_t v) {
    FDefaultCursorDriver = v;
    if (!Loading() && FEngineType == 1 && FWorkspace) FWorkspace->SetDefaultCursorDriver(v);
}

// --- connecting ---------------------------------------------------------------------------------

void TKDaoDatabase::SetConnected(bool value) {
    if (FConnected == value) return;
    if (value && FDatabase.empty()) DatabaseError("TKDaoDatabase.F_Set_Active: Database property is not defined!");
    if (value && FDatabaseType.empty())
        DatabaseError("TKDaoDatabase.F_Set_Active: DatabaseType property is not defined!");
    if (value) Connect();
    else Disconnect();
}

void TKDaoDatabase::Disconnect() {
    if (OnBeforeDisconnect) OnBeforeDisconnect(this);
    TableNames.Clear();
    QueryDefNames.Clear();
    auto tables = FOpenTables;
    FOpenTables.clear();
    // The list is already empty, so a closing table's unregistering finds nothing to remove.
    for (auto& t : tables) {
        try {
            t.second->Close();
        } catch (const Exception&) {
            t.second->HandleException();  // the database disconnects anyway; the table's error is reported
        }
    }
    if (FDaoDatabase) {
        try {
            FDaoDatabase->Close();
        } catch (const Exception&) {
            // Recovers the disconnect: the database object is dropped below either way.
        }
        FDaoDatabase.reset();
    }
    FConnected = false;
    if (OnAfterDisconnect) OnAfterDisconnect(this);
}

void TKDaoDatabase::Connect() {
    if (OnBeforeConnect) OnBeforeConnect(this);
    auto askEvent = [&] {
        TStringList list;
        list.Add("USER NAME=" + FUserName);
        list.Add("PASSWORD=" + FPassword);
        list.Add("DBPASSWORD=" + FDatabasePassword);
        OnLogin(this, &list);
        FUserName = list.Values("USER NAME");
        FPassword = list.Values("PASSWORD");
        FDatabasePassword = list.Values("DBPASSWORD");
    };
    auto takeParams = [&] {
        if (LoginParams.IndexOfName("USER NAME") >= 0) FUserName = LoginParams.Values("USER NAME");
        if (LoginParams.IndexOfName("PASSWORD") >= 0) FPassword = LoginParams.Values("PASSWORD");
        if (LoginParams.IndexOfName("DBPASSWORD") >= 0) FDatabasePassword = LoginParams.Values("DBPASSWORD");
    };
    // After credentials from the event or the preset list failed once, the user is asked:
    // repeating the same credentials would loop for ever.
    bool useDialog = false;
    for (;;) {
        if (FLoginPrompt) {
            if (OnLogin && !useDialog) {
                askEvent();
            } else if (LoginParams.Count() == 0 || useDialog) {
                std::string user = FSaveUserName ? FUserName : std::string(), pw, dbpw;
                if (TDbLoginHooks::Ask(FDatabase, user, pw, dbpw)) {
                    FUserName = user;
                    FPassword = pw;
                    FDatabasePassword = dbpw;
                } else {
                    TDbLoginHooks::ShowMessage(KDaoConsts::SLoginCancelled);
                    FUserName.clear();
                    FPassword.clear();
                    FDatabasePassword.clear();
                    // Cancel ends the attempt: nothing is opened with empty credentials.
                    return;
                }
            } else {
                takeParams();
            }
        } else if (OnLogin) {
            askEvent();
        } else if (LoginParams.Count() > 0) {
            takeParams();
        }
        try {
            if (FMdbVersionAutoDetect) DetectMdbVersion();
            RecreateWorkspace();
            break;
        } catch (const Exception& e) {
            if (!FLoginPrompt) throw;
            TDbLoginHooks::ShowMessage(e.Message());
            useDialog = true;
        }
    }

    // The engine parses the connect string: a ';' inside a value would add or override keys.
    auto checkPart = [](const std::string& v) {
        if (v.find(';') != std::string::npos)
            DatabaseError("TKDaoDatabase.F_Set_Active: User names and passwords may not contain ';'!");
    };
    std::shared_ptr<Dao::Database> db;
    if (AnsiSameText(FDatabaseType, "Access")) {
        if (FSmartOpen && !FileExists(FDatabase)) {
            std::string folder = GetComponentState().Contains(csDesigning) ? CurrentFolder() : ExeFolder();
            FDatabase = folder + ExtractFileName(FDatabase);
        }
        if (!FileExists(FDatabase)) DatabaseError("Cannot find Database:\r\n" + FDatabase);
        if (FEngineType != 2)
            DatabaseError(
                "TKDaoDatabase.F_Set_Active: ODBC direct workspaces\r\nare NOT supported for MS Access Databases!");
        checkPart(FUserName);
        checkPart(FDatabasePassword);
        std::string connect = ";UID=" + FUserName + ";PWD=" + FDatabasePassword + ";" + FDatabaseParameters;
        db = FWorkspace->OpenDatabase(FDatabase, FExclusive, FReadOnly, connect);
    } else if (AnsiSameText(FDatabaseType, "ODBC")) {
        std::string connect;
        if (LowerCase(FDatabase).rfind("odbc;", 0) == 0) {
            connect = FDatabase + ";" + FDatabaseParameters;
        } else {
            checkPart(FUserName);
            checkPart(FPassword);
            connect = FDatabaseType + ";UID=" + FUserName + ";PWD=" + FPassword + ";DSN=" + FDatabase + ";" +
                FDatabaseParameters;
        }
        if (FEngineType == 2) db = FWorkspace->OpenDatabase(FDatabase, true, FReadOnly, connect);
        else db = FWorkspace->OpenConnection(FDatabase, 1, FReadOnly, connect);
    } else {
        if (FEngineType != 2) DatabaseError("TKDaoDatabase.F_Set_Active: ODBC direct workspaces NOT supported!");
        std::string connect;
        if (!FPassword.empty() && !FUserName.empty()) {
            checkPart(FUserName);
            checkPart(FPassword);
            connect = FDatabaseType + ";UID=" + FUserName + ";PWD=" + FPassword + ";" + FDatabaseParameters;
        } else {
            connect = FDatabaseType + ";" + FDatabaseParameters;
        }
        db = FWorkspace->OpenDatabase(FDatabase, FExclusive, FReadOnly, connect);
    }
    FDaoDatabase = db;
    if (FQueryTimeout != 60) FDaoDatabase->SetQueryTimeout(FQueryTimeout);
    if (FDatabaseType != "ODBC") FDatabaseVersionInfo = FDaoDatabase->Version();
    FConnected = true;  // RefreshSchema needs the database
    RefreshSchema();
    const int code = FDaoDatabase->CollatingOrder();
    FLanguage = CollatingOrderName(code);
    IdleEngine();
    if (OnAfterConnect) OnAfterConnect(this);
}

void TKDaoDatabase::DetectMdbVersion() {
    if (FDatabaseType != "Access") return;
    FILE* f = std::fopen(FDatabase.c_str(), "rb");
    if (!f) return;
    unsigned char b[160];
    size_t n = std::fread(b, 1, sizeof b, f);
    std::fclose(f);
    if (n < 160) return;
    if (AvailableVersions.IndexOf("3.5") >= 0) FVersion = "3.5";
    bool four = b[156] == '4' && b[157] == '.';
    if (four && FVersion == "3.5" && FUsesDynaDao) FVersion = "3.6";
    if (four && b[13] == 'A' && b[14] == 'C' && b[15] == 'E' && (FVersion == "3.5" || FVersion == "3.6") &&
        FUsesDynaDao)
        FVersion = "12.0";
}

// --- schema and services ------------------------------------------------------------------------

Dao::Database& TKDaoDatabase::CheckedDatabase(const char* caller) const {
    if (!FConnected || !FDaoDatabase) DatabaseError(std::string(caller) + ": Database is NOT connected");
    return *FDaoDatabase;
}

void TKDaoDatabase::RefreshSchema() {
    TableNames.Clear();
    QueryDefNames.Clear();
    if (!FDaoDatabase) return;
    const bool jet = FEngineType == 2;
    // A schema that cannot be read (a damaged file) is an error of its own: raised, not
    // turned into an empty list of tables.
    auto guard = [](auto&& f) { f(); };
    if (jet) guard([&] { FDaoDatabase->GetTableDefs().Refresh(); });
    guard([&] { FDaoDatabase->GetQueryDefs().Refresh(); });
    if (jet) {
        guard([&] {
            auto& defs = FDaoDatabase->GetTableDefs();
            for (int i = 0; i < defs.Count(); ++i) {
                const int32_t attr = defs.Item(i).GetAttributes();
                if (FShowSystemObjects || (attr & int32_t(0x80000002u)) == 0) TableNames.Add(defs.Item(i).GetName());
            }
        });
    }
    guard([&] {
        auto& q = FDaoDatabase->GetQueryDefs();
        for (int i = 0; i < q.Count(); ++i) QueryDefNames.Add(q.Item(i).GetName());
    });
}

void TKDaoDatabase::IdleEngine() {
    if (FEngine) {
        FEngine->Idle(1);
        FEngine->Idle(8);
    }
}

TDaoErrRec TKDaoDatabase::GetLastDaoError() const {
    TDaoErrRec r;
    if (FEngine && FEngine->GetErrors().Count() != 0) {
        const Dao::ErrorRec& e = FEngine->GetErrors().Item(0);
        r.Number = e.Number;
        r.Source = e.Source;
        r.Description = e.Description;
        r.HelpFile = e.HelpFile;
        r.HelpContext = e.HelpContext;
    }
    return r;
}

void TKDaoDatabase::DeleteTableIndex(const std::string& tableName, const std::string& indexName) {
    RefreshSchema();
    CheckedDatabase("TKDaoDatabase.DeleteTableIndex").GetTableDefs().Item(tableName).GetIndexes().Delete(indexName);
    RefreshSchema();
}

bool TKDaoDatabase::CreateQueryDefSQL(const std::string& name, const std::string& sql) {
    CheckedDatabase("TKDaoDatabase.CreateQueryDefSQL").CreateQueryDef(name, sql);
    RefreshSchema();
    return true;
}

void TKDaoDatabase::SetQueryDefSQL(const std::string& name, const std::string& sql) {
    RefreshSchema();
    CheckedDatabase("TKDaoDatabase.SetQueryDefSQL").GetQueryDefs().Item(name).SetSQL(sql);
    RefreshSchema();
}

std::string TKDaoDatabase::GetQueryDefSQL(const std::string& name) const {
    try {
        if (!FDaoDatabase) return "";
        return FDaoDatabase->GetQueryDefs().Item(name).GetSQL();
    } catch (const Dao::EDaoError& e) {
        if (e.Number() != Dao::errItemNotFound) throw;
        return "";  // no such query: no text
    }
}

std::string TKDaoDatabase::ExeFolder() { return ProgramDir(); }

std::string TKDaoDatabase::CurrentFolder() { return IncludeTrailingPathDelimiter(GetCurrentDir()); }

std::string TKDaoDatabase::CollatingOrderName(int code) {
    switch (code) {
    case 1024: return "Neutral";
    case 1025: return "Arabic";
    case 1028: return "Traditional Chinese";
    case 1029: return "Czech";
    case 1030: return "Norwegian or Danish";
    case 1032: return "Greek";
    case 1033: return "General (English, French, German, Portuguese, Italian, and Modern Spanish)";
    case 1034: return "Spanish";
    case 1037: return "Hebrew";
    case 1038: return "Hungarian";
    case 1039: return "Icelandic";
    case 1041: return "Japanese";
    case 1042: return "Korean";
    case 1043: return "Dutch";
    case 1045: return "Polish";
    case 1049: return "Bulgarian or Russian";
    case 1053: return "Swedish or Finnish";
    case 1054: return "Thai";
    case 1055: return "Turkish";
    case 1060: return "Slovenian";
    case 2052: return "Simplified Chinese";
    case -1: return "Undefined or unknown";
    default: return "";
    }
}

void TKDaoDatabase::RegisterTable(TDataSet* table) { FOpenTables.emplace_back(table->GetName(), table); }

void TKDaoDatabase::UnregisterTable(TDataSet* table) {
    for (auto it = FOpenTables.begin(); it != FOpenTables.end(); ++it)
        if (it->second == table) {
            FOpenTables.erase(it);
            return;
        }
}
