#pragma once
// Shared by the tree-list tests: a tree list over text nodes that logs its events and counts
// its layout passes, and a fixture that builds a small tree of depth 3:
//
//   A            (roots A, B, C)
//     A1
//       A1a
//       A1b
//     A2
//   B
//     B1
//   C
//
// Each node's string 0 is its name; Name(node) reads it back, Find(name) finds a node.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "grid/treelist/dxTL.h"

namespace tltest {

class TLogTreeList : public TCustomdxTreeList {
public:
    using inherited = TCustomdxTreeList;
    explicit TLogTreeList(TComponent* owner = nullptr) : TCustomdxTreeList(owner) { Hook(); }
    // The base destructor frees the nodes after this class's members are gone: no handler may
    // log then.
    ~TLogTreeList() override {
        OnExpanding = OnCollapsing = nullptr;
        OnExpanded = OnCollapsed = OnDeletion = OnEdited = nullptr;
        OnChangeNode = nullptr;
        OnChangeTopVisibleNode = nullptr;
    }

    std::vector<std::string> Log;
    int LayoutPasses = 0;
    std::vector<std::string> Assigned;  // "node:column=value" of posted editor values

    TdxTreeListNode* CreateNode() override { return new TdxTreeListTextNode(this); }
    int GetNodeImageIndex(TdxTreeListNode* n) override { return Text(n)->FImageIndex; }
    int GetNodeSelectedIndex(TdxTreeListNode* n) override { return Text(n)->FSelectedIndex; }
    int GetNodeStateIndex(TdxTreeListNode* n) override { return Text(n)->FStateIndex; }
    void GetNodeValue(TdxTreeListNode* n, int column, Variant& value) override { value = Text(n)->GetString(column); }
    void GetNodeString(TdxTreeListNode* n, int column, std::string& text) override {
        text = Text(n)->GetString(column);
    }
    void SetNodeString(TdxTreeListNode* n, int column, const std::string& text) override {
        Text(n)->SetString(column, text);
    }
    void SetNodeValue(TdxTreeListNode* n, int column, const Variant& value) override {
        Text(n)->SetString(column, value.IsNull() ? std::string() : value.AsString());
    }
    void AssignEditValue(TdxTreeListNode* n, int column, const Variant& value, TdxInplaceEdit* editor) override {
        Assigned.push_back(Text(n)->GetString(0) + ":" + std::to_string(column) + "=" + value.AsString());
        inherited::AssignEditValue(n, column, value, editor);
    }
    void LayoutRecalculated() override { ++LayoutPasses; }

    static std::string Name(const TdxTreeListNode* n) {
        return n ? static_cast<const TdxTreeListTextNode*>(n)->GetString(0) : std::string("nil");
    }
    TdxTreeListNode* Find(const std::string& name) const {
        for (TdxTreeListNode* n = GetFirstNode(); n; n = n->GetNext())
            if (Name(n) == name) return n;
        return nullptr;
    }
    // Names in display order.
    std::string Display() const {
        std::string s;
        for (int i = 0; i < GetAbsoluteCount(); ++i) s += (s.empty() ? "" : " ") + Name(GetAbsoluteNode(i));
        return s;
    }

    using inherited::ClearNodeReferences;

private:
    static TdxTreeListTextNode* Text(TdxTreeListNode* n) { return static_cast<TdxTreeListTextNode*>(n); }
    void Hook() {
        auto node = [this](const char* what) {
            return [this, what](TObject*, TdxTreeListNode* n) { Log.push_back(std::string(what) + " " + Name(n)); };
        };
        auto allow = [this](const char* what) {
            return
                [this, what](TObject*, TdxTreeListNode* n, bool&) { Log.push_back(std::string(what) + " " + Name(n)); };
        };
        OnExpanding = allow("Expanding");
        OnCollapsing = allow("Collapsing");
        OnExpanded = node("Expanded");
        OnCollapsed = node("Collapsed");
        OnDeletion = node("Deletion");
        OnEdited = node("Edited");
        OnChangeNode = [this](TObject*, TdxTreeListNode* o, TdxTreeListNode* n) {
            Log.push_back("ChangeNode " + Name(o) + ">" + Name(n));
        };
        OnChangeTopVisibleNode = [this](TObject*) { Log.push_back("Top " + Name(GetTopVisibleNode())); };
    }
};

// A named node: string 0 holds the name.
inline TdxTreeListNode* Named(TdxTreeListNode* n, const std::string& name) {
    n->SetStrings(0, name);
    return n;
}

class TreeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Tree = std::make_unique<TLogTreeList>();
        TLogTreeList& t = *Tree;
        t.BeginUpdate();
        TdxTreeListNode* a = Named(t.Add(), "A");
        TdxTreeListNode* a1 = Named(a->AddChild(), "A1");
        Named(a1->AddChild(), "A1a");
        Named(a1->AddChild(), "A1b");
        Named(a->AddChild(), "A2");
        TdxTreeListNode* b = Named(t.Add(), "B");
        Named(b->AddChild(), "B1");
        Named(t.Add(), "C");
        t.EndUpdate();
        t.Log.clear();
        t.LayoutPasses = 0;
    }
    void TearDown() override {
        // Handlers must not run against a half-destroyed fixture.
        Tree->OnDeletion = nullptr;
        Tree->OnChangeTopVisibleNode = nullptr;
        Tree.reset();
    }
    TdxTreeListNode* N(const std::string& name) const {
        TdxTreeListNode* n = Tree->Find(name);
        EXPECT_NE(n, nullptr) << name;
        return n;
    }
    std::string Log() const {
        std::string s;
        for (const std::string& e : Tree->Log) s += (s.empty() ? "" : ", ") + e;
        return s;
    }
    // The tree as nested text: "A(A1(A1a A1b) A2) B(B1) C"; '+' marks an expanded node.
    std::string Shape(TdxTreeListNode* parent = nullptr) const {
        std::string s;
        const int count = parent ? parent->Count() : Tree->Count();
        for (int i = 0; i < count; ++i) {
            TdxTreeListNode* n = parent ? parent->Items(i) : Tree->Items(i);
            s += (i ? " " : "") + TLogTreeList::Name(n) + (n->GetExpanded() ? "+" : "");
            if (n->Count()) s += "(" + Shape(n) + ")";
        }
        return s;
    }
    std::unique_ptr<TLogTreeList> Tree;
};

}  // namespace tltest
