#include "report/designer/frxUndoBuffer.h"

#include <string>

#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "report/core/frxReport.h"

TfrxUndoBuffer::TfrxUndoBuffer() = default;
TfrxUndoBuffer::~TfrxUndoBuffer() = default;

void TfrxUndoBuffer::Take(TfrxReport* report, std::vector<std::unique_ptr<TMemoryStream>>& stack) {
    auto stream = std::make_unique<TMemoryStream>();
    report->SaveToStream(stream.get(), true, false);
    stack.push_back(std::move(stream));
}

void TfrxUndoBuffer::AddUndo(TfrxReport* report) { Take(report, FUndo); }
void TfrxUndoBuffer::AddRedo(TfrxReport* report) { Take(report, FRedo); }

namespace {
[[noreturn]] void IndexError(int index) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}
}  // namespace

void TfrxUndoBuffer::GetUndo(TfrxReport* report) {
    if (FUndo.size() < 2) IndexError(int(FUndo.size()) - 2);
    TMemoryStream* previous = FUndo[FUndo.size() - 2].get();
    previous->SetPosition(0);
    report->LoadFromStream(previous);
    FUndo.pop_back();
}

void TfrxUndoBuffer::GetRedo(TfrxReport* report) {
    if (FRedo.empty()) IndexError(-1);
    TMemoryStream* last = FRedo.back().get();
    last->SetPosition(0);
    report->LoadFromStream(last);
    FRedo.pop_back();
}

void TfrxUndoBuffer::ClearUndo() { FUndo.clear(); }
void TfrxUndoBuffer::ClearRedo() { FRedo.clear(); }
