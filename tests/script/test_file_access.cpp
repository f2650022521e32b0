// Where a script may read and write files: the template's folder, the data folder and the
// documents folder for reading; the documents, data and temporary folders for writing;
// nothing that leaves them through "..", a symbolic link, or that is no regular file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/rtl/Exceptions.h"
#include "script/FileAccess.h"

namespace fs = std::filesystem;

namespace {
class FileAccess : public ::testing::Test {
protected:
    fs::path Root = fs::temp_directory_path() / ("karomil-access-" + std::to_string(::getpid()));
    fs::path Template = Root / "template", Data = Root / "data", Documents = Root / "documents",
             Outside = Root / "outside";
    void SetUp() override {
        for (const fs::path& p : {Template, Data, Documents, Outside}) fs::create_directories(p);
        std::ofstream(Outside / "secret.txt") << "x";
        std::ofstream(Template / "t.txt") << "x";
        fs::create_symlink(Outside / "secret.txt", Template / "link.txt");
        fs::create_symlink(Outside, Data / "linked-folder");
        ::mkfifo((Documents / "pipe").c_str(), 0600);
        fsSetDataFolder(Data.string());
        fsSetDocumentsFolder(Documents.string());
    }
    void TearDown() override {
        fsSetDataFolder("");
        fsSetDocumentsFolder("");
        fs::remove_all(Root);
    }
    // '' when allowed, else the refusal's message.
    std::string Check(const fs::path& file, TfsFileAccess access) {
        try {
            fsCheckFileAccess(file.string(), access, Template.string());
            return {};
        } catch (const Exception& e) {
            return e.what();
        }
    }
};

TEST_F(FileAccess, FoldersDecideWhatIsReadAndWritten) {
    using A = TfsFileAccess;
    const struct {
        fs::path File;
        A Access;
        bool Allowed;
    } cases[] = {
        {Template / "t.txt", A::Read, true},
        {Data / "d.txt", A::Read, true},
        {Documents / "new.txt", A::Read, true},
        {Outside / "secret.txt", A::Read, false},
        {"/etc/passwd", A::Read, false},
        {Template / ".." / "outside" / "secret.txt", A::Read, false},
        {Template / "link.txt", A::Read, false},  // a link out of the folder
        {Data / "linked-folder" / "secret.txt", A::Read, false},
        {Documents / "pipe", A::Read, false},  // no regular file
        {Template, A::Read, false},  // the folder itself
        {Documents / "out.txt", A::Write, true},
        {Data / "out.txt", A::Write, true},
        {fs::temp_directory_path() / "karomil-out.txt", A::Write, true},
        {"/etc/karomil-out.txt", A::Write, false},
        {Documents / ".." / ".." / ".." / "etc" / "x", A::Write, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File.string());
        const std::string refusal = Check(c.File, c.Access);
        if (c.Allowed) {
            EXPECT_EQ(refusal, "");
        } else {
            EXPECT_NE(refusal, "");
            EXPECT_NE(refusal.find(c.File.string()), std::string::npos) << refusal;
        }
    }
    EXPECT_EQ(Check("/etc/passwd", TfsFileAccess::Read),
        "Skript nesmí číst soubor „/etc/passwd“: leží mimo složky, které má k dispozici.");
}

TEST_F(FileAccess, ATemplateFolderOfNoneReadsOnlyDataAndDocuments) {
    EXPECT_ANY_THROW(fsCheckFileAccess((Template / "t.txt").string(), TfsFileAccess::Read, ""));
    EXPECT_NO_THROW(fsCheckFileAccess((Data / "x").string(), TfsFileAccess::Read, ""));
    fsSetDataFolder("");
    EXPECT_ANY_THROW(fsCheckFileAccess((Data / "x").string(), TfsFileAccess::Read, ""));
}
}  // namespace
