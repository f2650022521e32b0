#include "report/output/frxOutputTexts.h"

#include <initializer_list>
#include <string>
#include <utility>

#include "report/core/frxRes.h"

namespace {
using Line = std::pair<const char*, const char*>;

void AddMissing(TfrxResources* res, const char* key, const std::string& text) {
    if (res->Get(key) == key) res->Add(key, text);
}

std::string Lines(std::initializer_list<Line> lines) {
    std::string s;
    for (const auto& [name, value] : lines) s += std::string(name) + '=' + value + '\n';
    return s;
}
}  // namespace

void frxRegisterOutputTexts() {
    TfrxResources* res = frxGetResources();
    AddMissing(res, "TfrxPasswordForm",
        Lines({{"Caption", "Heslo"}, {"PasswordL.Caption", "Vložte heslo:"}, {"OkB.Caption", "OK"},
            {"CancelB.Caption", "Zrušit"}}));
    const Line descriptions[] = {{"obLabel", "Nadpis"}, {"obEdit", "Editační pole"}, {"obMemoC", "Memo"},
        {"obButton", "Tlačítko"}, {"obChBoxC", "Zatržítko"}, {"obRButton", "Přepínací políčko"},
        {"obLBox", "Rolovací seznam"}, {"obCBox", "Výsuvný seznam"}, {"obPanel", "Panel"},
        {"obGrBox", "Skupinový panel"}, {"obDateEdit", "Editace dat"}, {"obImageC", "Obrázek"},
        {"obBevel", "Objekt zkosení"}, {"obBBtn", "Grafické tlačítko"}, {"obSBtn", "Rychlé tlačítko"},
        {"obMEdit", "Masková editace"}, {"obChLB", "Panel seznamu zatržítek"}, {"obCatOtherControls", "Jiné ovládání"}};
    for (const auto& [key, text] : descriptions) AddMissing(res, key, text);
}
