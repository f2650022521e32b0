// The table's own error events: OnEditError, OnPostError and OnDeleteError with retry, abort
// and fail, over real failures of the engine (a unique index, a record another user deleted).

#include <gtest/gtest.h>

#include "KDaoTestDb.h"
#include "platform/daoengine/DaoErrors.h"

using kdaotest::ErrorOf;

namespace {

class ErrorEvents : public kdaotest::KDaoFixture {
protected:
    // Answers the events in turn (the last answer repeats) and records the messages seen.
    TDataSetErrorEvent Answering(std::vector<TDataAction> answers) {
        return [this, answers](TDataSet*, Exception& e, TDataAction& action) {
            Messages.push_back(e.Message());
            action = answers[std::min(Messages.size(), answers.size()) - 1];
        };
    }
    std::vector<std::string> Messages;
};

const std::string Duplicate = Dao::DefaultDescription(Dao::errDuplicateKey);
const std::string Deleted = Dao::DefaultDescription(Dao::errRecordDeleted);

TEST_F(ErrorEvents, PostOfAnEdit) {
    struct Case {
        const char* name;
        std::vector<TDataAction> answers;
        bool raises;
        TDataSetState state;
        const char* shown;
    };
    const Case cases[] = {
        // Retry asks again after the handler fixed nothing, then gives up.
        {"retry then fail", {daRetry, daFail}, true, dsEdit, "Chemie"},
        // Abort: no error; the framework completes its post and re-reads the database's values.
        {"abort", {daAbort}, false, dsBrowse, "Český jazyk"},
        {"fail", {daFail}, true, dsEdit, "Chemie"},
    };
    for (const Case& c : cases) {
        TKDaoTable* t = Table("Predmety");
        t->Open();
        Messages.clear();
        t->OnPostError = Answering(c.answers);
        t->Edit();
        t->FieldByName("Nazev")->SetAsString("Chemie");  // the name index is unique
        EXPECT_EQ(ErrorOf([&] { t->Post(); }), c.raises ? Duplicate : "") << c.name;
        EXPECT_EQ(Messages, std::vector<std::string>(c.answers.size(), Duplicate)) << c.name;
        EXPECT_EQ(t->State(), c.state) << c.name;
        EXPECT_EQ(t->FieldByName("Nazev")->GetAsString(), c.shown) << c.name;
        // The DAO edit was dropped (optimistic locking): fixing the value and posting again works.
        if (t->State() == dsEdit) {
            t->OnPostError = nullptr;
            t->FieldByName("Nazev")->SetAsString("Čeština");
            t->Post();
        }
        t->Close();
        Other("UPDATE Predmety SET Nazev = 'Český jazyk' WHERE ID = 1");
    }
}

TEST_F(ErrorEvents, PostOfAnInsert) {
    struct Case {
        const char* name;
        std::vector<TDataAction> answers;
        bool raises;
        int count;
    };
    const Case cases[] = {
        {"abort adds nothing", {daAbort}, false, 5},
        {"fail", {daFail}, true, 5},
        {"retry makes a new AddNew", {daRetry, daRetry, daAbort}, false, 5},
    };
    for (const Case& c : cases) {
        TKDaoTable* t = Table("Predmety");
        t->Open();
        Messages.clear();
        t->OnPostError = Answering(c.answers);
        t->Append();
        t->FieldByName("Nazev")->SetAsString("Matematika");
        EXPECT_EQ(ErrorOf([&] { t->Post(); }), c.raises ? Duplicate : "") << c.name;
        EXPECT_EQ(Messages.size(), c.answers.size()) << c.name;
        if (t->State() == dsInsert) t->Cancel();
        EXPECT_EQ(t->State(), dsBrowse) << c.name;
        EXPECT_EQ(t->RecordCount(), c.count) << c.name;
        // DAO is not left in add mode: the next edit works.
        t->First();
        t->Edit();
        t->FieldByName("Nazev")->SetAsString("Čeština");
        t->Post();
        EXPECT_EQ(t->FieldByName("Nazev")->GetAsString(), "Čeština") << c.name;
        t->Close();
    }
}

TEST_F(ErrorEvents, EditOfARecordAnotherUserDeleted) {
    struct Case {
        const char* name;
        std::vector<TDataAction> answers;
        bool raises;
        TDataSetState state;
    };
    const Case cases[] = {
        // Abort: the framework enters the edit state anyway; the DAO Edit waits for the post.
        {"abort", {daAbort}, false, dsEdit},
        {"retry then abort", {daRetry, daAbort}, false, dsEdit},
        {"fail", {daFail}, true, dsBrowse},
    };
    int id = 1;
    for (const Case& c : cases) {
        TKDaoTable* t = Table("Predmety");
        t->Open();
        ASSERT_TRUE(t->Locate("ID", Variant(id), TLocateOptions{}));
        Other("DELETE FROM Predmety WHERE ID = " + std::to_string(id++));
        Messages.clear();
        t->OnEditError = Answering(c.answers);
        EXPECT_EQ(ErrorOf([&] { t->Edit(); }), c.raises ? Deleted : "") << c.name;
        EXPECT_EQ(Messages, std::vector<std::string>(c.answers.size(), Deleted)) << c.name;
        EXPECT_EQ(t->State(), c.state) << c.name;
        if (t->State() == dsEdit) {
            t->FieldByName("Nazev")->SetAsString("Nový");
            EXPECT_EQ(ErrorOf([&] { t->Post(); }), Deleted) << c.name;  // the DAO Edit at post time
            t->Cancel();
        }
        t->Close();
    }
}

TEST_F(ErrorEvents, DeleteOfARecordAnotherUserDeleted) {
    struct Case {
        const char* name;
        std::vector<TDataAction> answers;
        bool raises;
    };
    const Case cases[] = {
        {"no handler: already done", {}, false},
        {"retry then abort", {daRetry, daAbort}, false},
        {"fail", {daFail}, true},
    };
    int id = 1;
    for (const Case& c : cases) {
        TKDaoTable* t = Table("Predmety");
        t->Open();
        ASSERT_TRUE(t->Locate("ID", Variant(id), TLocateOptions{}));
        Other("DELETE FROM Predmety WHERE ID = " + std::to_string(id++));
        Messages.clear();
        if (!c.answers.empty()) t->OnDeleteError = Answering(c.answers);
        EXPECT_EQ(ErrorOf([&] { t->Delete(); }), c.raises ? Deleted : "") << c.name;
        EXPECT_EQ(Messages.size(), c.answers.size()) << c.name;
        // Either way the table has caught up with the database.
        EXPECT_EQ(t->State(), dsBrowse) << c.name;
        EXPECT_EQ(t->RecordCount(), 5 - id + 1) << c.name;
        t->Close();
    }
}

}  // namespace
