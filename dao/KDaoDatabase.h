#pragma once
// TKDaoDatabase: one connection to a database through the DAO engine: the engine, one
// workspace and, while connected, the open database. Tables point to it, register while
// open and are closed by it when it disconnects.

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/daoengine/DaoEngine.h"

class TKDaoDatabase;
class TDataSet;

using TLoginEvent = std::function<void(TKDaoDatabase* database, TStrings* loginParams)>;
using TConnectEvent = std::function<void(TKDaoDatabase* database)>;

// One DAO error, as DBEngine.Errors(0) describes it.
struct TDaoErrRec {
    int Number = 0;
    std::string Source, Description, HelpFile;
    int HelpContext = 0;
};

// How connecting asks for credentials. The login dialog TDbLogin is a window of the forms
// layer (dao/login, InstallDbLoginDialog sets both hooks); the database component sees only
// these: Ask fills the three texts and answers true for OK. Without the dialog installed,
// Ask answers Cancel and ShowMessage writes to the standard error output.
struct TDbLoginHooks {
    using TAskHook = std::function<bool(
        const std::string& database, std::string& userName, std::string& password, std::string& databasePassword)>;
    static TAskHook Ask;
    // Shows a message to the user (the forms layer sets it).
    static std::function<void(const std::string& text)> ShowMessage;
};

class TKDaoDatabase : public TComponent {
    KAROMIL_CLASS(TKDaoDatabase, TComponent)
public:
    explicit TKDaoDatabase(TComponent* owner);
    ~TKDaoDatabase() override;

    // --- published properties
    std::string GetComponentVersion() const { return "11.00"; }
    void SetComponentVersion(std::string) {}
    bool GetExclusive() const { return FExclusive; }
    void SetExclusive(bool v);
    std::string GetDatabaseLanguage() const;
    void SetDatabaseLanguage(std::string v) { FStoredLanguage = std::move(v); }
    std::string GetDatabaseType() const { return FDatabaseType; }
    void SetDatabaseType(std::string v);
    std::string GetDatabase() const { return FDatabase; }
    void SetDatabase(std::string v);
    std::string GetDatabaseParameters() const { return FDatabaseParameters; }
    void SetDatabaseParameters(std::string v);
    std::string GetDatabaseVersionInfo() const { return FDatabaseVersionInfo; }
    void SetDatabaseVersionInfo(std::string) {}
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    bool GetLoginPrompt() const { return FLoginPrompt; }
    void SetLoginPrompt(bool v);
    std::string GetUserName() const { return FUserName; }
    void SetUserName(std::string v);
    bool GetUseODBCDialog() const { return FUseODBCDialog; }
    void SetUseODBCDialog(bool v) { FUseODBCDialog = v; }
    std::string GetPassword() const { return FPassword; }
    void SetPassword(std::string v);
    std::string GetDatabasePassword() const { return FDatabasePassword; }
    void SetDatabasePassword(std::string v);
    std::string GetSystemDatabase() const { return FSystemDatabase; }
    void SetSystemDatabase(std::string v);
    bool GetSaveUserName() const { return FSaveUserName; }
    void SetSaveUserName(bool v) { FSaveUserName = v; }
    bool GetShowSystemObjects() const { return FShowSystemObjects; }
    void SetShowSystemObjects(bool v);
    bool GetSmartOpen() const { return FSmartOpen; }
    void SetSmartOpen(bool v) { FSmartOpen = v; }
    int32_t GetEngineType() const { return FEngineType; }
    void SetEngineType(int32_t v);
    bool GetPrivateEngine() const { return FPrivateEngine; }
    void SetPrivateEngine(bool v);
    bool GetTrackTransactions() const { return FTrackTransactions; }
    void SetTrackTransactions(bool v);
    bool GetUsesDynaDao() const { return FUsesDynaDao; }
    void SetUsesDynaDao(bool) {}
    std::string GetVersion() const { return FVersion; }
    void SetVersion(std::string v);
    std::string GetVersionDetails() const { return FVersionDetails; }
    void SetVersionDetails(std::string) {}
    std::string GetVersionInfo() const { return FVersionInfo; }
    void SetVersionInfo(std::string) {}
    std::string GetWorkspace() const { return FWorkspaceName; }
    void SetWorkspace(std::string v);
    int32_t GetDefaultCursorDriver() const { return FDefaultCursorDriver; }
    void SetDefaultCursorDriver(int32_t v);
    int32_t GetQueryTimeout() const { return FQueryTimeout; }
    void SetQueryTimeout(int32_t v) { FQueryTimeout = v; }
    bool GetMdbVersionAutoDetect() const { return FMdbVersionAutoDetect; }
    void SetMdbVersionAutoDetect(bool v) { FMdbVersionAutoDetect = v; }
    bool GetConnected() const { return FConnected; }
    void SetConnected(bool value);
    bool Connected() const { return FConnected; }

    TLoginEvent OnLogin;
    TConnectEvent OnBeforeConnect, OnAfterConnect, OnBeforeDisconnect, OnAfterDisconnect;

    // --- lists
    TStringList AvailableVersions, TableNames, QueryDefNames, LoginParams;
    TStringList DatabaseTypes, OdbcDrivers, SystemDsns, UserDsns, DsnDatabaseFiles;
    const std::vector<std::pair<std::string, TDataSet*>>& OpenTables() const { return FOpenTables; }

    // --- DAO objects (nullptr when absent)
    Dao::DBEngine* DBEngine() const { return FEngine.get(); }
    Dao::Workspace* DaoWorkspace() const { return FWorkspace.get(); }
    Dao::Database* DaoDatabase() const { return FDaoDatabase.get(); }
    // The database for a caller that needs it; "... Database is NOT connected" otherwise.
    Dao::Database& CheckedDatabase(const char* caller) const;

    // --- services
    void RecreateWorkspace();
    void RefreshSchema();
    void IdleEngine();
    TDaoErrRec GetLastDaoError() const;
    void DeleteTableIndex(const std::string& tableName, const std::string& indexName);
    bool CreateQueryDefSQL(const std::string& name, const std::string& sql);
    void SetQueryDefSQL(const std::string& name, const std::string& sql);
    std::string GetQueryDefSQL(const std::string& name) const;
    static std::string ExeFolder();
    static std::string CurrentFolder();
    static std::string CollatingOrderName(int code);
    void Loaded() override;

    // Called by tables as they open and close; disconnecting closes those still open.
    void RegisterTable(TDataSet* table);
    void UnregisterTable(TDataSet* table);

private:
    void DetectDaoVersions();
    void CreateDBEngine(const std::string& version);
    void SetVersionInfoFrom(const std::string& details);
    void DetectMdbVersion();
    bool Loading() const { return GetComponentState().Contains(csLoading) || GetComponentState().Contains(csReading); }
    void Refuse(const char* message) const;  // raises when connected
    template <class T>
    void GuardedRecreate(T& member, T value);
    void Connect();
    void Disconnect();
    std::string ProgId(const std::string& version) const;

    std::shared_ptr<Dao::DBEngine> FEngine;
    std::shared_ptr<Dao::Workspace> FWorkspace;
    std::shared_ptr<Dao::Database> FDaoDatabase;
    std::vector<std::pair<std::string, TDataSet*>> FOpenTables;

    bool FExclusive = false, FReadOnly = false, FLoginPrompt = false, FUseODBCDialog = true;
    bool FSaveUserName = true, FShowSystemObjects = false, FSmartOpen = true, FPrivateEngine = false;
    bool FTrackTransactions = true, FUsesDynaDao = true, FMdbVersionAutoDetect = false, FConnected = false;
    std::string FStoredLanguage, FLanguage, FDatabaseType = "Access", FDatabase, FDatabaseParameters;
    std::string FDatabaseVersionInfo, FUserName = "Admin", FPassword, FDatabasePassword, FSystemDatabase;
    std::string FVersion, FVersionDetails, FVersionInfo, FWorkspaceName = "DaoWorkspace";
    int32_t FEngineType = 2, FDefaultCursorDriver = -1, FQueryTimeout = 60;
};
