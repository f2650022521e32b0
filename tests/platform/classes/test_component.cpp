#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"

namespace {

// Records what it hears and clears its reference when the referenced component goes away.
class TWatcher : public TComponent {
    KAROMIL_CLASS(TWatcher, TComponent)
public:
    explicit TWatcher(TComponent* owner, std::vector<std::string>* log = nullptr) : TComponent(owner), FLog(log) {}
    // "*" marks a reference that was still set: it would dangle if the target were gone.
    ~TWatcher() override {
        if (FLog) FLog->push_back("~" + GetName() + (Target ? "*" : ""));
    }

    TComponent* Target = nullptr;
    void SetTarget(TComponent* t) {
        if (Target) Target->RemoveFreeNotification(this);
        Target = t;
        if (t) t->FreeNotification(this);
    }
    int LoadedCalls = 0;
    void Loaded() override {
        TComponent::Loaded();
        ++LoadedCalls;
    }

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (FLog) FLog->push_back(GetName() + (op == opRemove ? " -" : " +") + c->GetName());
        if (op == opRemove && c == Target) Target = nullptr;
    }

private:
    std::vector<std::string>* FLog;
};

}  // namespace

KAROMIL_IMPLEMENT_CLASS(TWatcher, TComponent)

// --- ownership ---------------------------------------------------------------------------------

TEST(ComponentOwnership, OwnerFreesOwnedLastFirst) {
    std::vector<std::string> log;
    {
        TWatcher root(nullptr, &log);
        root.SetName("Root");
        auto* a = new TWatcher(&root, &log);
        a->SetName("A");
        auto* b = new TWatcher(&root, &log);
        b->SetName("B");
        auto* a1 = new TWatcher(a, &log);
        a1->SetName("A1");
        ASSERT_EQ(root.GetComponentCount(), 2);
        EXPECT_EQ(root.GetComponent(1), b);
        EXPECT_EQ(a1->GetOwner(), a);
        EXPECT_EQ(b->GetComponentIndex(), 1);
        log.clear();
    }
    const std::vector<std::string> expected = {"~Root", "~B", "~A", "~A1"};
    EXPECT_EQ(log, expected);
}

TEST(ComponentOwnership, SiblingReferenceIsClearedWhenTheOwnerFreesBoth) {
    std::vector<std::string> log;
    {
        TComponent form(nullptr);
        auto* watcher = new TWatcher(&form, &log);
        watcher->SetName("W");
        auto* label = new TComponent(&form);  // freed before the watcher (last first)
        watcher->SetTarget(label);
    }
    // The label's arrival and departure reach the watcher; it dies with no dangling target.
    EXPECT_EQ(log, (std::vector<std::string>{"W +", "W -", "~W"}));
}

TEST(ComponentOwnership, DeletingAnOwnedComponentLeavesTheOwnerConsistent) {
    TComponent root(nullptr);
    auto* a = new TComponent(&root);
    auto* b = new TComponent(&root);
    delete a;
    ASSERT_EQ(root.GetComponentCount(), 1);
    EXPECT_EQ(root.GetComponent(0), b);
    EXPECT_THROW(root.GetComponent(1), EListError);
    EXPECT_THROW(root.GetComponent(-1), EListError);
}

TEST(ComponentOwnership, InsertMovesFromThePreviousOwner) {
    TComponent first(nullptr), second(nullptr);
    auto* c = new TComponent(&first);
    c->SetName("Moving");
    second.InsertComponent(c);
    EXPECT_EQ(first.GetComponentCount(), 0);
    EXPECT_EQ(second.FindComponent("moving"), c);
    EXPECT_EQ(c->GetOwner(), &second);

    second.RemoveComponent(c);
    EXPECT_EQ(c->GetOwner(), nullptr);
    EXPECT_EQ(second.GetComponentCount(), 0);
    delete c;
}

TEST(ComponentOwnership, ComponentIndexReorders) {
    TComponent root(nullptr);
    auto* a = new TComponent(&root);
    auto* b = new TComponent(&root);
    auto* c = new TComponent(&root);
    c->SetComponentIndex(0);
    EXPECT_EQ(root.GetComponent(0), c);
    EXPECT_EQ(root.GetComponent(1), a);
    a->SetComponentIndex(99);  // clamped to the end
    EXPECT_EQ(root.GetComponent(2), a);
    EXPECT_EQ(b->GetComponentIndex(), 1);
}

// --- names -------------------------------------------------------------------------------------

TEST(ComponentName, IdentifierRule) {
    struct Case {
        const char* name;
        bool valid;
    };
    const Case cases[] = {
        {"Button1", true},
        {"_x", true},
        {"QVys", true},
        {"a_b_9", true},
        {"1abc", false},
        {"my name", false},
        {"a-b", false},
        {"Jméno", false},
        {"a.b", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidIdent(c.name), c.valid) << c.name;
        TComponent comp(nullptr);
        if (c.valid) {
            comp.SetName(c.name);
            EXPECT_EQ(comp.GetName(), c.name);
        } else {
            try {
                comp.SetName(c.name);
                ADD_FAILURE() << c.name;
            } catch (const EComponentError& e) {
                EXPECT_EQ(std::string(e.what()), "'" + std::string(c.name) + "' is not a valid component name");
            }
        }
    }
}

TEST(ComponentName, UniqueInOwnerIgnoringCase) {
    TComponent root(nullptr);
    auto* a = new TComponent(&root);
    auto* b = new TComponent(&root);
    a->SetName("Edit1");
    try {
        b->SetName("EDIT1");
        FAIL();
    } catch (const EComponentError& e) {
        EXPECT_STREQ(e.what(), "A component named EDIT1 already exists");
    }
    EXPECT_EQ(b->GetName(), "");
    a->SetName("EDIT1");  // a new spelling of its own name is fine
    EXPECT_EQ(root.FindComponent("edit1"), a);
    a->SetName("");  // empty names never clash
    b->SetName("");
    EXPECT_EQ(root.FindComponent(""), nullptr);

    TComponent unowned(nullptr), twin(nullptr);
    unowned.SetName("Same");
    twin.SetName("Same");  // different owners (none): allowed
}

TEST(ComponentName, TakingOverAComponentChecksItsName) {
    TComponent first(nullptr), second(nullptr);
    auto* mine = new TComponent(&second);
    mine->SetName("Table");
    auto* theirs = new TComponent(&first);
    theirs->SetName("table");
    EXPECT_THROW(second.InsertComponent(theirs), EComponentError);
    EXPECT_EQ(theirs->GetOwner(), &first);
    EXPECT_EQ(second.GetComponentCount(), 1);
}

// --- notifications -----------------------------------------------------------------------------

TEST(ComponentNotification, FreeNotificationAcrossOwners) {
    auto dataModule = std::make_unique<TComponent>(nullptr);
    auto form = std::make_unique<TComponent>(nullptr);
    auto* table = new TComponent(dataModule.get());
    auto* grid = new TWatcher(form.get());
    grid->SetTarget(table);
    EXPECT_TRUE(table->GetComponentState().Contains(csFreeNotification));

    dataModule.reset();  // frees the table
    EXPECT_EQ(grid->Target, nullptr);
}

TEST(ComponentNotification, WatcherDestroyedFirstLeavesNoDanglingLink) {
    auto form = std::make_unique<TComponent>(nullptr);
    TComponent table(nullptr);
    auto* grid = new TWatcher(form.get());
    grid->SetTarget(&table);
    form.reset();  // the grid goes; the table must forget it
    EXPECT_FALSE(table.GetComponentState().Contains(csFreeNotification));
}  // table destroyed here: must not call the freed grid (ASan would report it)

TEST(ComponentNotification, RemoveFreeNotificationStopsTheMessage) {
    TComponent table(nullptr);
    {
        auto* other = new TComponent(nullptr);
        TWatcher grid(nullptr);
        grid.SetTarget(other);
        grid.SetTarget(nullptr);
        delete other;
        EXPECT_EQ(grid.Target, nullptr);
    }
}

TEST(ComponentNotification, RemovalFromTheOwnerIsAnnounced) {
    TComponent form(nullptr);
    auto* label = new TComponent(&form);
    auto* watcher = new TWatcher(&form);
    watcher->SetTarget(label);
    form.RemoveComponent(label);
    EXPECT_EQ(watcher->Target, nullptr);
    watcher->SetTarget(label);
    delete label;  // unowned now: only the direct link can tell the watcher
    EXPECT_EQ(watcher->Target, nullptr);
}

TEST(ComponentNotification, InsertIsAnnouncedToSiblings) {
    std::vector<std::string> log;
    TComponent form(nullptr);
    auto* first = new TWatcher(&form, &log);
    first->SetName("First");
    log.clear();
    auto* second = new TComponent(nullptr);
    second->SetName("Second");
    form.InsertComponent(second);
    EXPECT_EQ(log, std::vector<std::string>{"First +Second"});
}

TEST(ComponentNotification, SuspendedInsertsReachOnlyTheOwner) {
    std::vector<std::string> log;
    TWatcher form(nullptr, &log);
    form.SetName("Form");
    auto* first = new TWatcher(&form, &log);
    first->SetName("First");
    log.clear();
    form.SuspendInsertNotices();
    auto* second = new TComponent(nullptr);
    second->SetName("Second");
    form.InsertComponent(second);
    form.ResumeInsertNotices();
    EXPECT_EQ(log, std::vector<std::string>{"Form +Second"});
    auto* third = new TComponent(nullptr);
    third->SetName("Third");
    form.InsertComponent(third);
    EXPECT_EQ(log, (std::vector<std::string>{"Form +Second", "First +Third", "Form +Third"}));
}

// Letting go of many at once tells the owner and those that stay about each one, and leaves
// the released ones unowned, so that their destruction announces nothing more.
TEST(ComponentNotification, ReleasedComponentsAreAnnouncedToWhatStays) {
    std::vector<std::string> log;
    TComponent form(nullptr);
    auto* stays = new TWatcher(&form, &log);
    stays->SetName("Stays");
    std::vector<TComponent*> going;
    for (const char* name : {"A", "B", "C"}) {
        going.push_back(new TComponent(&form));
        going.back()->SetName(name);
    }
    stays->SetTarget(going[1]);
    TComponent elsewhere(nullptr);
    going.push_back(&elsewhere);  // not owned here: left alone
    log.clear();
    form.ReleaseComponents(going);
    EXPECT_EQ(log, (std::vector<std::string>{"Stays -A", "Stays -B", "Stays -C"}));
    EXPECT_EQ(stays->Target, nullptr);
    EXPECT_EQ(form.GetComponentCount(), 1);
    EXPECT_EQ(form.FindComponent("b"), nullptr);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(going[size_t(i)]->GetOwner(), nullptr);
        delete going[size_t(i)];
    }
    EXPECT_EQ(log.size(), 3u);
}

// FindComponent answers through an index of names; renames, removals and a component taken
// over by another owner keep it true.
TEST(ComponentName, FindFollowsRenamesAndRemovals) {
    TComponent form(nullptr), other(nullptr);
    auto* a = new TComponent(&form);
    a->SetName("Edit1");
    EXPECT_EQ(form.FindComponent("EDIT1"), a);
    a->SetName("Edit2");
    EXPECT_EQ(form.FindComponent("Edit1"), nullptr);
    EXPECT_EQ(form.FindComponent("edit2"), a);
    other.InsertComponent(a);
    EXPECT_EQ(form.FindComponent("Edit2"), nullptr);
    EXPECT_EQ(other.FindComponent("Edit2"), a);
    auto* b = new TComponent(&form);
    b->SetName("Edit2");  // the name is free again here
    delete b;
    EXPECT_EQ(form.FindComponent("Edit2"), nullptr);
    for (int i = 0; i < 1000; ++i) (new TComponent(&form))->SetName("X" + std::to_string(i));
    EXPECT_EQ(form.FindComponent("x999")->GetName(), "X999");
    EXPECT_THROW((new TComponent(&form))->SetName("X500"), EComponentError);
}

// --- state -------------------------------------------------------------------------------------

TEST(ComponentState, LoadingBracketAndDesigning) {
    TComponent form(nullptr);
    auto* w = new TWatcher(&form);
    w->BeginLoading();
    EXPECT_TRUE(w->GetComponentState().Contains(csLoading));
    EXPECT_TRUE(w->GetComponentState().Contains(csReading));
    w->Loaded();
    EXPECT_TRUE(w->GetComponentState().Empty());
    EXPECT_EQ(w->LoadedCalls, 1);

    form.SetDesigning(true);
    EXPECT_TRUE(w->GetComponentState().Contains(csDesigning));
    auto* late = new TComponent(&form);  // joins in design state
    EXPECT_TRUE(late->GetComponentState().Contains(csDesigning));
    form.SetDesigning(false);
    EXPECT_FALSE(late->GetComponentState().Contains(csDesigning));

    w->Updating();
    EXPECT_TRUE(w->GetComponentState().Contains(csUpdating));
    w->Updated();
    EXPECT_FALSE(w->GetComponentState().Contains(csUpdating));
}

TEST(ComponentState, DestroyingIsSeenByOwnedComponents) {
    struct TProbe : TComponent {
        bool* sawDestroying;
        TProbe(TComponent* o, bool* flag) : TComponent(o), sawDestroying(flag) {}
        ~TProbe() override { *sawDestroying = GetComponentState().Contains(csDestroying); }
    };
    bool saw = false;
    {
        TComponent owner(nullptr);
        new TProbe(&owner, &saw);
    }
    EXPECT_TRUE(saw);
}
