// The core's start-up (frx::Startup, declared in frxClass.h): registers every report class with
// the class registry and the report classes' script binding. It names every class of the core,
// so it sits in a file of its own above them all.

#include "platform/classes/ClassRegistry.h"
#include "report/core/frxBands.h"
#include "report/core/frxDMPClass.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxDialogPage.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxPage.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportBindings.h"
#include "report/core/frxStyles.h"
#include "report/core/frxView.h"
#include "script/Interpreter.h"

void frx::Startup() {
    static bool done = false;
    if (done) return;
    done = true;
    script::Startup();  // every report runs its script and expressions in one of the languages
    RegisterClasses({TfrxReport::StaticClass(), TfrxStyleItem::StaticClass(), TfrxFrame::StaticClass()});
    RegisterClasses({TfrxUserDataSet::StaticClass(), TfrxDBDataset::StaticClass(), TfrxPage::StaticClass(),
        TfrxDialogPage::StaticClass()});
    for (int i = 0; i < frxBandTypeCount(); ++i) RegisterClass(frxBandType(i));
    RegisterClasses({TfrxDataBand::StaticClass(), TfrxNullBand::StaticClass()});
    frx::RegisterViewClasses();
    frx::RegisterObjectClasses();
    frx::RegisterMemoClasses();
    frx::RegisterDMPClasses();
    // After the classes above, so that the report classes' binding finds them registered.
    script::AddBindingUnit(frxStartReportRTTI, frxStopReportRTTI);
}
