#include "report/core/frxDataSetStub.h"

#include "platform/classes/List.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "report/core/frxOptions.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TfrxDataSet, TfrxComponent, {
    KAROMIL_PROP(Enabled).Default(1);
    KAROMIL_PROP(UserName);
})
KAROMIL_IMPLEMENT_CLASS(TfrxUserDataSet, TfrxDataSet)

TfrxDataSet::TfrxDataSet(TComponent* owner) : TfrxComponent(owner) { frxAllDataSets()->Add(this); }

TfrxDataSet::~TfrxDataSet() { frxAllDataSets()->Remove(this); }

void TfrxDataSet::SetUserName(const std::string& value) {
    if (Trim(value).empty()) throw Exception("Invalid UserName");
    FUserName = value;
}
