// The undo buffer: snapshots of the whole report on two stacks.

#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "report/designer/frxUndoBuffer.h"

namespace {

struct UndoFixture : ::testing::Test {
    TfrxReport Report;
    TfrxUndoBuffer Buffer;
    TfrxReportPage* Page = new TfrxReportPage(&Report);
    TfrxMemoView* Memo = new TfrxMemoView(Page);
    UndoFixture() {
        Page->SetName("Page1");
        Memo->SetName("Memo1");
        Memo->SetLeft(10);
        Buffer.AddUndo(&Report);  // the designer's first snapshot, taken at opening
    }
    // The designer's own steps around a change, an undo and a redo.
    void Change(double left) {
        static_cast<TfrxComponent*>(Report.FindObject("Memo1"))->SetLeft(left);
        Buffer.AddUndo(&Report);
        Buffer.ClearRedo();
    }
    void Undo() {
        Buffer.AddRedo(&Report);
        Buffer.GetUndo(&Report);
    }
    void Redo() {
        Buffer.GetRedo(&Report);
        Buffer.AddUndo(&Report);
    }
    double Left() { return static_cast<TfrxComponent*>(Report.FindObject("Memo1"))->GetLeft(); }
};

// Each step of a session, with the memo's position and both counts after it.
TEST_F(UndoFixture, SessionTable) {
    struct Step {
        char Op;  // c: change to Arg, u: undo, r: redo
        double Arg;
        double Left;
        int UndoCount, RedoCount;
    };
    const Step steps[] = {
        {'c', 20, 20, 2, 0},
        {'c', 30, 30, 3, 0},
        {'u', 0, 20, 2, 1},
        {'u', 0, 10, 1, 2},  // back at the opening state: Undo is no longer offered
        {'r', 0, 20, 2, 1},
        {'c', 40, 40, 3, 0},  // a change after an undo empties the redo stack
        {'u', 0, 20, 2, 1},
        {'r', 0, 40, 3, 0},
    };
    for (const Step& s : steps) {
        if (s.Op == 'c') Change(s.Arg);
        else if (s.Op == 'u') Undo();
        else Redo();
        SCOPED_TRACE(std::string(1, s.Op) + " " + std::to_string(s.Arg));
        EXPECT_DOUBLE_EQ(Left(), s.Left);
        EXPECT_EQ(Buffer.UndoCount(), s.UndoCount);
        EXPECT_EQ(Buffer.RedoCount(), s.RedoCount);
    }
}

TEST_F(UndoFixture, TheScriptTextComesBackToo) {
    Report.GetScriptText()->SetText("begin\nend.\n");
    Buffer.AddUndo(&Report);
    Report.GetScriptText()->SetText("begin\n  x := 1;\nend.\n");
    Buffer.AddUndo(&Report);
    Buffer.GetUndo(&Report);
    ASSERT_EQ(Report.GetScriptText()->Count(), 2);
    EXPECT_EQ(Report.GetScriptText()->Get(1), "end.");
}

// Too few snapshots: a list error before anything changes.
TEST_F(UndoFixture, TooFewSnapshotsRaiseAndChangeNothing) {
    Memo->SetLeft(55);
    EXPECT_THROW(Buffer.GetUndo(&Report), EListError);
    EXPECT_THROW(Buffer.GetRedo(&Report), EListError);
    EXPECT_EQ(Buffer.UndoCount(), 1);
    EXPECT_EQ(Buffer.RedoCount(), 0);
    EXPECT_DOUBLE_EQ(Left(), 55);
}

TEST_F(UndoFixture, ClearEmptiesOneStackOnly) {
    Change(20);
    Undo();
    Buffer.ClearUndo();
    EXPECT_EQ(Buffer.UndoCount(), 0);
    EXPECT_EQ(Buffer.RedoCount(), 1);
    Buffer.ClearRedo();
    EXPECT_EQ(Buffer.RedoCount(), 0);
}

}  // namespace
