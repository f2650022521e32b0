#pragma once
// Script bindings of the report classes: the report's unit constants, the enumerations and
// sets of its property types, the report classes with the members scripts may call beyond
// their published properties (which registration adds by itself), and the date functions.
// Registered once into the global unit, stamped with the binding object, whose destructor
// removes exactly those registrations again. The class-library bindings must run first: the
// report classes descend from their TComponent, TPersistent and TCollection.
//
// Members beyond the published properties:
//   TfrxDataSet        Open, Close, First, Next, Prior, Eof, FieldsCount, HasField,
//                      IsBlobField, RecordCount, GetFieldList, RecNo (read), and the indexed
//                      DisplayText[], DisplayWidth[], FieldType[], Value[] (read)
//   TfrxComponent      Clear, FindObject, LoadFromStream, SaveToStream, SetBounds, Objects,
//                      AllObjects, Parent, Page, AbsLeft, AbsTop
//   TfrxDialogControl  SetFocus         TfrxBand     Overflow (read)
//   TfrxDialogPage     ModalResult      TfrxVariables default Variables[Name]
//   TfrxReport         Calc, GetDataset, LoadFromFile, SaveToFile, ShowReport
//   TfrxCustomEngine   NewPage, NewColumn, ShowBand, StopReport, FreeSpace
//   TfrxCustomOutline  AddItem, LevelRoot, LevelUp
//   global             DayOf, MonthOf, YearOf; IIF, SUM, AVG, MIN, MAX, COUNT without a body
//                      here: every report registers its own in its script, found first.
//
// Classes of views built in their own units are bound by name when their class is registered
// by the time the binding starts; a class not built is left out.
//
// While the report runs, calls that would free or re-parent objects the engine walks (Clear,
// LoadFromStream, a Parent write, Report.LoadFromFile, Report.ShowReport) raise an error.

class TfrxReportRTTI {
public:
    // Registers into fsGlobalUnit(), which must exist.
    TfrxReportRTTI();
    ~TfrxReportRTTI();
    TfrxReportRTTI(const TfrxReportRTTI&) = delete;
    TfrxReportRTTI& operator=(const TfrxReportRTTI&) = delete;
};

// The binding unit's start and stop, enrolled with the script engine by the report core's
// start-up.
void frxStartReportRTTI();
void frxStopReportRTTI();
