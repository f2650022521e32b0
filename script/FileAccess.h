#pragma once
// Which files a script may touch. Report templates travel from school to school and a
// secretary opens what she is sent, so whatever a template's script asks of the file system is
// confined: it reads only from its template's folder, the program's data folder and the user's
// documents folder, and writes only to the documents folder, the data folder and the
// temporary folder. A path that leaves those folders through "..", a symbolic link, or that
// names anything but a regular file is refused as well. Every way a script reaches a file
// (string lists, streams, XML documents, pictures, reports, units named in `uses`) asks here
// first. Scripts run on the GUI thread only.

#include <string>

#include "platform/rtl/Variant.h"

class TfsScript;

enum class TfsFileAccess { Read, Write };

// The program's data folder (where its database lives); '' when it has none. Process-wide.
void fsSetDataFolder(const std::string& folder);
const std::string& fsDataFolder();
// Takes the place of the user's documents folder ('' gives the user's own back); for tests.
void fsSetDocumentsFolder(const std::string& folder);
std::string fsDocumentsFolder();

// Raises Exception with a Czech message naming the path unless the access is allowed.
// `templateFolder` is the folder of the template whose script asks ('' for none).
void fsCheckFileAccess(const std::string& fileName, TfsFileAccess access, const std::string& templateFolder);
// The same for the script that runs now: the template folder is the FileFolder of the first
// script up its Parent chain that has one.
void fsCheckFileAccess(const std::string& fileName, TfsFileAccess access);

// A file name a running script gave, once it may read it / write it (else the refusal).
std::string fsReadableFile(const Variant& name);
std::string fsWritableFile(const Variant& name);

// The innermost script now running a procedure or its main block (nullptr outside scripts).
TfsScript* fsRunningScript() noexcept;
// Marks `script` as running for the life of the object.
class TfsRunningScriptScope {
public:
    explicit TfsRunningScriptScope(TfsScript* script) noexcept;
    ~TfsRunningScriptScope();
    TfsRunningScriptScope(const TfsRunningScriptScope&) = delete;
    TfsRunningScriptScope& operator=(const TfsRunningScriptScope&) = delete;

private:
    TfsScript* FSaved;
};
