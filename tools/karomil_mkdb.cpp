// Creates a database file from a schema script: karomil-mkdb <database> <script.sql>
// The build uses it to make the shipped "vys.mdb" from data/vys.sql.

#include <cstdio>
#include <string>

#include "platform/daoengine/DaoSchemaScript.h"
#include "platform/rtl/SysUtils.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: karomil-mkdb <database> <script.sql>\n");
        return 2;
    }
    const std::string target = argv[1];
    // The build re-runs this whenever the script changes: replace the old output only.
    if (FileExists(target) && !DeleteFile(target)) {
        std::fprintf(stderr, "karomil-mkdb: cannot replace %s\n", target.c_str());
        return 1;
    }
    try {
        Dao::CreateDatabaseFromScriptFile(target, argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "karomil-mkdb: %s\n", e.what());
        return 1;
    }
    return 0;
}
