#pragma once
// The filter texts TMemDataSet understands (see MemDataSet.h), parsed once when set.

#include <memory>
#include <string>

#include "platform/db/DB.h"

class TMemFilter {
public:
    explicit TMemFilter(const std::string& text);  // EDatabaseError on a malformed text
    ~TMemFilter();
    // Reads the fields of the dataset's record in its current state.
    bool Evaluate(TDataSet* dataSet, TFilterOptions options) const;

    struct Node;

private:
    std::unique_ptr<Node> FRoot;
};
