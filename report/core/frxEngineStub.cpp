#include "report/core/frxEngineStub.h"

#include "report/core/frxReport.h"

KAROMIL_IMPLEMENT_CLASS(TfrxEngine, TfrxCustomEngine)

bool TfrxEngine::Run() {
    // No pages are built yet; a run still reports its progress so the report's calls around it
    // are exercised.
    Running = true;
    Report->DoProgressStart(ptRunning);
    Report->DoProgressStop(ptRunning);
    Running = false;
    return !Report->Terminated;
}
