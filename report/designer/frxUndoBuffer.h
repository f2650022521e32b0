#pragma once
// The designer's undo and redo: whole snapshots of the report (its stored XML form, the same
// text a template file holds, script included) on two stacks, oldest first. The buffer records
// no operations; the designer window decides when a snapshot is taken. The last snapshot of the
// undo stack always describes the report as it stands. No cap: memory grows with each change
// until a stack is cleared.

#include <memory>
#include <vector>

class TMemoryStream;
class TfrxReport;

class TfrxUndoBuffer {
public:
    TfrxUndoBuffer();
    ~TfrxUndoBuffer();
    TfrxUndoBuffer(const TfrxUndoBuffer&) = delete;
    TfrxUndoBuffer& operator=(const TfrxUndoBuffer&) = delete;

    void AddUndo(TfrxReport* report);  // a snapshot of the report onto the undo stack
    void AddRedo(TfrxReport* report);  // the same onto the redo stack
    // Loads the second-to-last undo snapshot into the report (which is cleared first), then
    // drops the last one; needs two snapshots (EListError before anything changes otherwise).
    // A load that fails leaves both stacks as they were.
    void GetUndo(TfrxReport* report);
    // Loads the last redo snapshot and drops it; needs one.
    void GetRedo(TfrxReport* report);
    void ClearUndo();
    void ClearRedo();
    int UndoCount() const noexcept { return int(FUndo.size()); }
    int RedoCount() const noexcept { return int(FRedo.size()); }

private:
    static void Take(TfrxReport* report, std::vector<std::unique_ptr<TMemoryStream>>& stack);
    std::vector<std::unique_ptr<TMemoryStream>> FUndo, FRedo;
};
