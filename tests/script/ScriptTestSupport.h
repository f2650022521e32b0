#pragma once
// Helpers shared by the script front-end tests.

#include <string>

#include "script/ILParser.h"
#include "script/XmlTree.h"

// A compact, position-free rendering of an intermediate program: an element with children
// as name(child child ...), a leaf with a text attribute as name:text, any other element as
// its name. The trailing types element is left out unless asked for.
std::string RenderIL(const TfsXMLItem* item, bool withTypes = false);

// A host that serves units from a table and counts the requests.
struct TestHost : TfsILParserHost {
    std::vector<std::pair<std::string, std::string>> Units;
    int Requests = 0;
    bool GetUnitSource(const std::string& unitName, std::string& unitText) override {
        for (const auto& [name, text] : Units)
            if (name == unitName) {
                ++Requests;
                unitText = text;
                return true;
            }
        return false;
    }
};
