#pragma once
// The rows of a tree list. TdxTreeListNode is one row: its owner (the tree list), its parent,
// its children and two flags (expanded, shows an expand button). What a row displays and its
// focus and selection live in the owner and are reached through the owner's overridable node
// operations (dxTL.h), so a descendant control keeps cell data as it likes.
// TdxTreeListTextNode is the node of the column-owning control: one string per column and
// three image indexes.
//
// Ownership: a node owns its children (destroying a node destroys its subtree); the owner owns
// the root nodes. Nodes are made by the owner's CreateNode and linked by the operations below;
// never construct and link them by hand. GUI thread only.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Object.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"

class TCustomdxTreeList;

// A tree-list operation refused (for instance a node without an owner).
KAROMIL_DECLARE_EXCEPTION(EInvaliddxTreeListOperation, Exception)

// Where MoveTo puts a node, relative to the destination node D.
enum TdxTreeListNodeAttachMode {
    natAdd,  // last entry of D's sibling list
    natAddFirst,  // first entry of D's sibling list
    natAddChild,  // last child of D
    natAddChildFirst,  // first child of D
    natInsert,  // D's sibling list, just before D
};

class TdxTreeListNode : public TObject {
    KAROMIL_CLASS(TdxTreeListNode, TObject)
public:
    // EInvaliddxTreeListOperation (string 38801) for a nil owner.
    explicit TdxTreeListNode(TCustomdxTreeList* owner);

    // Frees the node with its subtree (children first) and tells the owner (NodeDeleted:
    // OnDeletion, focus, top row and cache repair) while the node is still whole. This is the
    // only way a node goes: the destructor is not public.
    void Delete();

    // --- fields
    void* Data = nullptr;  // the node user's; the tree list never touches it

    TCustomdxTreeList* GetOwner() const noexcept { return FOwner; }
    TdxTreeListNode* GetParent() const noexcept { return FParent; }
    bool GetDeleting() const noexcept { return FDeleting; }
    bool GetExpanded() const noexcept { return FExpanded; }
    // Asks OnExpanding/OnCollapsing, which may refuse; see the source for the collapse rules.
    void SetExpanded(bool value);
    bool GetHasChildren() const noexcept { return FHasChildren; }
    // A node with children always keeps its button; a change repaints the row.
    void SetHasChildren(bool value);
    // Row height and text line count as last computed; height 0 means not computed.
    int GetCachedHeight() const noexcept { return FCachedHeight; }
    int GetCachedLineCount() const noexcept { return FCachedLineCount; }
    void SetCachedHeight(int height, int lineCount) noexcept {
        FCachedHeight = height;
        FCachedLineCount = lineCount;
    }
    void ResetCachedHeight() noexcept { FCachedHeight = 0; }

    // --- computed each time
    int Count() const noexcept { return FChildren ? int(FChildren->size()) : 0; }
    bool HasChildList() const noexcept { return FChildren != nullptr; }
    TdxTreeListNode* Items(int index) const noexcept;  // nullptr outside 0..Count-1
    int Index() const;  // in the parent's list, or the owner's root list
    int Level() const noexcept;  // 0 for a root node
    int AbsoluteIndex() const;  // display position; -1 under a collapsed ancestor
    bool IsVisible() const noexcept;  // every ancestor expanded
    bool IsLast() const;  // last of its siblings
    int ImageIndex() const;
    int SelectedIndex() const;
    int StateIndex() const;
    Variant Values(int column) const;
    std::string Strings(int column) const;
    void SetStrings(int column, const std::string& text);
    bool Focused() const;
    void SetFocused(bool value);
    bool Selected() const;
    void SetSelected(bool value);

    // --- building (each returns the new node)
    TdxTreeListNode* AddChild() { return InsertChild(nullptr); }
    // Before `before` (a child of this node), or last when nullptr.
    TdxTreeListNode* InsertChild(TdxTreeListNode* before);

    // --- moving
    bool CanMove(TdxTreeListNode* destination, TdxTreeListNodeAttachMode mode) const;
    // Moves the node with its subtree; nothing when CanMove refuses. The node becomes focused.
    void MoveTo(TdxTreeListNode* destination, TdxTreeListNodeAttachMode mode);
    // Bulk building for owners that rebuild whole trees; they send no notification.
    void AddToRootList();
    void MoveRootTo(int rootIndex, TdxTreeListNode* newParent);
    void MoveChildrenToRoot();

    // --- expanding
    // Expands (with recurse: the whole subtree, parents first) inside one update bracket.
    void Expand(bool recurse);

    // --- walking (nullptr when there is no such node)
    TdxTreeListNode* GetFirstChild() const noexcept;
    TdxTreeListNode* GetLastChild() const noexcept;
    TdxTreeListNode* GetNextSibling() const;
    TdxTreeListNode* GetPrevSibling() const;
    int IndexOf(const TdxTreeListNode* child) const;
    // Pre-order through every node, collapsed subtrees included.
    TdxTreeListNode* GetNext() const;
    TdxTreeListNode* GetPrev() const;
    // Display order: through expanded nodes only.
    TdxTreeListNode* GetNextVisible() const;
    TdxTreeListNode* GetPrevVisible() const;
    bool HasAsParent(const TdxTreeListNode* node) const noexcept;
    void MakeVisible();

    // Frees every child (the node keeps no child list afterwards).
    void DeleteChildren();

protected:
    ~TdxTreeListNode() override;

private:
    friend class TCustomdxTreeList;
    using TNodeList = std::deque<TdxTreeListNode*>;

    // The list this node stands in: the parent's children or the owner's root list.
    TNodeList& SiblingList() const;
    // Position in `list`; a cached position is tried first, so walks stay linear.
    int PositionIn(const TNodeList& list) const;
    void Detach();
    // After the last child left: button from the owner's answer, collapsed.
    void ChildListEmptied();

    TCustomdxTreeList* FOwner;
    TdxTreeListNode* FParent = nullptr;
    std::unique_ptr<TNodeList> FChildren;  // only while there are children
    bool FDeleting = false;
    bool FExpanded = false;
    bool FHasChildren = false;
    int FCachedHeight = 0;
    int FCachedLineCount = 0;
    mutable int FPositionHint = 0;
    mutable int FDisplayHint = 0;  // last display index the cache answered for this node
};

// The node of the column-owning tree-list control.
class TdxTreeListTextNode : public TdxTreeListNode {
    KAROMIL_CLASS(TdxTreeListTextNode, TdxTreeListNode)
public:
    explicit TdxTreeListTextNode(TCustomdxTreeList* owner) : TdxTreeListNode(owner) {}

    int FImageIndex = 0;
    int FSelectedIndex = -1;
    int FStateIndex = -1;
    // Entry i is the text of the column with absolute index i.
    std::vector<std::string> FStrings;

    // Empty beyond the stored strings.
    const std::string& GetString(int column) const;
    // Pads with empty strings up to `column` first.
    void SetString(int column, const std::string& text);
    // Drops string `column` (a column was destroyed: the later ones shift down).
    void DeleteString(int column);
};
