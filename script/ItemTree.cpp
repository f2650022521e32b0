#include "script/ItemTree.h"

#include "platform/rtl/Strings.h"
#include "script/Interpreter.h"
#include "script/XmlTree.h"

namespace {

std::string Attr(const char* name, const std::string& value) {
    // Values are escaped: a constant holding '"' must read back whole through Prop.
    return std::string(name) + "=\"" + fsEscapeXML(value) + "\"";
}

TfsXMLItem* AddEntry(TfsXMLItem* section, const std::string& text) {
    TfsXMLItem* item = section->Add();
    item->Name = "item";
    item->Text = Attr("text", text);
    return item;
}

// Published properties of the base kinds carry no type name; the display name stands in,
// so that no entry ends in a bare ": ".
std::string TypeOf(const TfsCustomVariable* v) { return v->TypeName.empty() ? v->DisplayTypeName() : v->TypeName; }

std::string MemberText(const TfsCustomHelper* member) {
    if (auto* m = dynamic_cast<const TfsMethodHelper*>(member)) {
        if (!m->IsIndexed) return m->Declaration;
        const std::string& d = m->Declaration;
        const size_t blank = d.find(' ');
        return "index property" + (blank == std::string::npos ? std::string() : d.substr(blank));
    }
    if (dynamic_cast<const TfsPropertyHelper*>(member)) return "property " + member->Name + ": " + TypeOf(member);
    return "event " + member->Name;
}

}  // namespace

void fsBuildItemTree(const TfsScript* script, TfsXMLItem* root, bool functionsOnly) {
    TfsXMLItem* functions = root->FindItem("Functions");
    TfsXMLItem* classes = root->FindItem("Classes");
    TfsXMLItem* types = root->FindItem("Types");
    TfsXMLItem* variables = root->FindItem("Variables");
    TfsXMLItem* constants = root->FindItem("Constants");
    // The values of each enumeration, gathered under its type name until the end.
    std::vector<std::pair<TfsXMLItem*, std::string>> enumValues;

    for (int i = 0; i < script->Count(); ++i) {
        const TfsCustomVariable* v = script->Items(i);
        if (auto* m = dynamic_cast<const TfsMethodHelper*>(v)) {
            TfsXMLItem* category = functions->FindItem(m->Category);
            category->Text = Attr("text", m->Category);
            TfsXMLItem* item = AddEntry(category, m->Declaration);
            item->Text += " " + Attr("description", m->Description);
            continue;
        }
        if (functionsOnly) continue;
        if (v->ItemKind() == TfsCustomVariable::kClass) {
            auto* c = static_cast<const TfsClassVariable*>(v);
            TfsXMLItem* item = AddEntry(classes, c->Name + " = class(" + c->AncestorName + ")");
            for (int k = 0; k < c->MemberCount(); ++k) AddEntry(item, MemberText(c->Member(k)));
            continue;
        }
        if (!v->IsVariable()) continue;
        // Enumeration values are read-only; a writable variable of an enumeration type is an
        // ordinary variable, not one more value of its type.
        if (v->TypeCode == tcEnum && (v->ReadOnly || AnsiSameText(v->Name, v->TypeName))) {
            TfsXMLItem* type = types->FindItem(v->TypeName);
            size_t at = 0;
            while (at < enumValues.size() && enumValues[at].first != type) ++at;
            if (at == enumValues.size()) enumValues.emplace_back(type, std::string());
            if (!AnsiSameText(v->Name, v->TypeName)) {
                std::string& list = enumValues[at].second;
                if (!list.empty()) list += ",";
                list += v->Name;
            }
            continue;
        }
        if (v->ReadOnly) AddEntry(constants, v->Name + ": " + TypeOf(v) + " = " + VarToStr(v->Value));
        else AddEntry(variables, v->Name + ": " + TypeOf(v));
    }

    for (auto& [type, list] : enumValues) {
        const std::string typeName = type->Name;
        type->Name = "item";
        type->Text = Attr("text", typeName + ": (" + list + ")");
    }
}
