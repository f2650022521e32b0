#pragma once
// The dataset conformance suite: the framework's rules (positions, BOF/EOF, state changes,
// notifications and their order) checked against any dataset. A test target compiles
// DataSetConformance.cpp and instantiates the suite with its own maker:
//
//     INSTANTIATE_TEST_SUITE_P(Dao, DataSetConformance, ::testing::Values(DataSetMaker{"Dao", MakeDaoTable}));

#include "platform/db/DataLinks.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// A link that writes every notification it receives, in order, as a short text:
// Active(1) Active(0) Editing(1) Editing(0) Changed Scrolled(n) Record(nil) Record(Field)
// Layout UpdateData CheckBrowse (the last only with RecordCheckBrowse).
class TRecordingLink : public TDataLink {
public:
    explicit TRecordingLink(TDataSource* source = nullptr, int bufferCount = 1, bool visual = true);
    ~TRecordingLink() override;
    std::vector<std::string>* Log;  // where lines go (its own by default)
    std::string Name;  // when set, lines read "Name:line"
    bool RecordCheckBrowse = false;
    // The lines so far joined by ", ", then forgotten.
    std::string Take();

protected:
    void ActiveChanged() override;
    void CheckBrowseMode() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

    void Write(const std::string& line);

private:
    std::vector<std::string> FOwnLog;
};

// Adds the dataset's events (BeforeOpen ... OnNewRecord) to log under their own names.
void RecordDataSetEvents(TDataSet* dataSet, std::vector<std::string>* log);

struct DataSetMaker {
    std::string Name;
    // A closed dataset owned by `owner`, with the columns ID (Integer), Jmeno (String 20),
    // Body (Float), Datum (Date) and Poznamka (Memo) and `rows` records; record i (from 1)
    // holds ID i, Jmeno "Žák i", Body i * 1.5, Datum 1 September 2024 + i days and Poznamka
    // "Poznámka i", in that order. ID identifies a record.
    std::function<TDataSet*(TComponent* owner, int rows)> Make;
    // Where a dataset's documented behaviour differs from the framework's defaults.
    bool LocateCentres = true;  // a found record is centred in the link's window
    bool InsertInPlace = true;  // a posted insert stays before the old current record
    bool CaseSensitiveLocate = true;  // without loCaseInsensitive, Locate tells case apart
};
inline void PrintTo(const DataSetMaker& m, std::ostream* os) { *os << m.Name; }

class DataSetConformance : public ::testing::TestWithParam<DataSetMaker> {
protected:
    void SetUp() override { Build(5); }
    // A fresh, open dataset of `rows` records with a recording link of `bufferCount` rows.
    void Build(int rows, int bufferCount = 1);
    int Id() const;  // ID of the current record
    std::string Take() { return Link->Take(); }

    std::vector<std::string> Log;  // link lines and dataset events together
    std::unique_ptr<TComponent> Owner;
    TDataSet* DS = nullptr;
    TDataSource* Source = nullptr;
    std::unique_ptr<TRecordingLink> Link;
};
