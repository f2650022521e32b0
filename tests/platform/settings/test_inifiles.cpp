#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/classes/StringList.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/settings/IniFiles.h"
#include "platform/settings/Registry.h"

namespace {

// A fresh folder per test, used as $XDG_CONFIG_HOME and for INI files.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/karomil-settings-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
        ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    std::string Path(const std::string& name) const { return dir + "/" + name; }
    static std::string ReadFile(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::string dir;
};

TEST_F(SettingsTest, MemIniFileTypedValuesAndDefaults) {
    {
        std::ofstream(Path("a.ini"))
            << "[Grid]\r\nWidth=120\r\nBad=12x\r\nOn=2\r\nOff=0\r\n[\\Band\\Band3]\r\nName=Pásmo\r\n";
    }
    TMemIniFile ini(Path("a.ini"));
    struct {
        const char* section;
        const char* ident;
        int def;
        int expect;
    } ints[] = {
        {"grid", "WIDTH", 0, 120},  // names ignore case
        {"Grid", "Bad", 7, 7},  // text that is no number gives the default
        {"Grid", "Missing", -1, -1},
        {"Nowhere", "Width", 5, 5},
    };
    for (const auto& c : ints) EXPECT_EQ(ini.ReadInteger(c.section, c.ident, c.def), c.expect) << c.ident;
    EXPECT_TRUE(ini.ReadBool("Grid", "On", false));  // any non-zero is true
    EXPECT_FALSE(ini.ReadBool("Grid", "Off", true));
    EXPECT_EQ(ini.ReadString("\\band\\BAND3", "name", ""), "Pásmo");

    ini.WriteBool("Grid", "Flag", true);
    EXPECT_EQ(ini.ReadString("Grid", "Flag", ""), "1");
    TStringList sections;
    ini.ReadSections(&sections);
    ASSERT_EQ(sections.Count(), 2);
    EXPECT_EQ(sections.Get(1), "\\Band\\Band3");
    ini.EraseSection("GRID");
    EXPECT_FALSE(ini.SectionExists("Grid"));
}

// A list that refuses a line ends the batch all the same: it keeps telling its watchers.
TEST_F(SettingsTest, RefusedLineStillEndsTheListsBatch) {
    { std::ofstream(Path("dup.ini")) << "[S]\nA=1\nA=2\n"; }
    TMemIniFile ini(Path("dup.ini"));
    TStringList names;
    names.SetSorted(true);
    names.SetDuplicates(dupError);
    EXPECT_THROW(ini.ReadSection("S", &names), EStringListError);
    EXPECT_EQ(names.UpdateCount(), 0);
    int changed = 0;
    names.OnChange = [&](TObject*) { ++changed; };
    names.Add("B");
    EXPECT_EQ(changed, 1);
}

TEST_F(SettingsTest, UpdateFileRewritesWholeFileAtomically) {
    TMemIniFile ini(Path("b.ini"));
    ini.WriteString("S", "Text", "žluťoučký kůň");
    ini.WriteInteger("S", "N", 42);
    ini.UpdateFile();
    TMemIniFile again(Path("b.ini"));
    EXPECT_EQ(again.ReadString("S", "Text", ""), "žluťoučký kůň");
    EXPECT_EQ(again.ReadInteger("S", "N", 0), 42);
    // No temporary file is left beside the target.
    EXPECT_EQ(std::system(("test $(ls '" + dir + "' | wc -l) -eq 1").c_str()), 0);
}

TEST_F(SettingsTest, FailedWriteKeepsOldFile) {
    TMemIniFile ini(Path("c.ini"));
    ini.WriteString("S", "V", "old");
    ini.UpdateFile();
    // Make the rename fail: the target folder cannot be replaced by a file.
    TMemIniFile broken(Path("sub"));
    ASSERT_EQ(::mkdir(Path("sub").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(Path("sub/x").c_str(), 0700), 0);
    broken.WriteString("S", "V", "new");
    EXPECT_THROW(broken.UpdateFile(), EFCreateError);
    EXPECT_EQ(TMemIniFile(Path("c.ini")).ReadString("S", "V", ""), "old");
}

TEST_F(SettingsTest, IniFileWritesThrough) {
    TIniFile ini(Path("d.ini"));
    ini.WriteInteger("Sec", "X", 3);
    EXPECT_EQ(TMemIniFile(Path("d.ini")).ReadInteger("Sec", "X", 0), 3);
}

TEST_F(SettingsTest, BinaryStreamRoundTrip) {
    TMemIniFile ini(Path("e.ini"));
    TMemoryStream in;
    const unsigned char bytes[] = {0, 1, 0x7F, 0x80, 0xFF};
    in.WriteBuffer(bytes, sizeof bytes);
    in.SetPosition(0);
    ini.WriteBinaryStream("S", "Blob", &in);
    TMemoryStream out;
    EXPECT_EQ(ini.ReadBinaryStream("S", "Blob", &out), 5);
    ASSERT_EQ(out.Size(), 5);
    EXPECT_EQ(std::memcmp(out.Memory(), bytes, 5), 0);
}

TEST_F(SettingsTest, RegistryKeysAndTypedValues) {
    {
        TRegistry reg;
        EXPECT_FALSE(reg.OpenKey("\\Software\\Karomil Reports", false));
        ASSERT_TRUE(reg.OpenKey("\\Software\\Karomil Reports\\Preview", true));
        reg.WriteString("Text", "řádek 1\nřádek 2\\konec");
        reg.WriteInteger("Zoom", -150);
        reg.WriteBool("Maximized", true);
        const unsigned char layout[] = {9, 8, 7, 0, 255};
        reg.WriteBinaryData("Filter", layout, sizeof layout);
        reg.CloseKey();
    }
    TRegistry reg;  // reads what the first instance wrote
    EXPECT_TRUE(reg.KeyExists("\\Software\\Karomil Reports"));  // a parent of an existing key exists
    ASSERT_TRUE(reg.OpenKey("\\software\\karomil reports\\preview", false));
    EXPECT_EQ(reg.ReadString("Text"), "řádek 1\nřádek 2\\konec");
    EXPECT_EQ(reg.ReadInteger("Zoom"), -150);
    EXPECT_TRUE(reg.ReadBool("Maximized"));
    EXPECT_EQ(reg.GetDataType("Filter"), rdBinary);
    EXPECT_EQ(reg.GetDataSize("Filter"), 5);
    unsigned char buf[5] = {};
    EXPECT_EQ(reg.ReadBinaryData("Filter", buf, sizeof buf), 5);
    EXPECT_EQ(buf[4], 255);
    unsigned char small[2];
    EXPECT_THROW(reg.ReadBinaryData("Filter", small, sizeof small), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("Text"), ERegistryException);
    EXPECT_EQ(reg.GetDataSize("Missing"), -1);

    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKey("\\Software", false));
    TStringList names;
    reg.GetKeyNames(&names);
    ASSERT_EQ(names.Count(), 1);
    EXPECT_EQ(names.Get(0), "Karomil Reports");
    EXPECT_TRUE(reg.DeleteKey("Karomil Reports"));
    EXPECT_FALSE(reg.KeyExists("\\Software\\Karomil Reports\\Preview"));
}

TEST_F(SettingsTest, OtherRootsDoNotOpen) {
    TRegistry reg;
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_USERS}) {
        reg.SetRootKey(root);
        EXPECT_FALSE(reg.OpenKey("\\SOFTWARE\\ODBC", true));
        EXPECT_FALSE(reg.KeyExists("\\SOFTWARE"));
    }
}

TEST_F(SettingsTest, RegIniFileSectionsAreSubkeys) {
    TRegIniFile ini("\\Software\\Karomil Reports");
    ini.WriteInteger("Grid", "Width", 80);
    ini.WriteBool("\\Software\\VuzoVaruza\\MRUFont", "Used", true);
    ini.WriteString("Band\\Band3", "Caption", "Známky");
    EXPECT_EQ(ini.ReadInteger("grid", "width", 0), 80);
    EXPECT_TRUE(ini.ReadBool("\\Software\\VuzoVaruza\\MRUFont", "Used", false));
    EXPECT_EQ(ini.ReadString("Band\\Band3", "Caption", ""), "Známky");
    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(sections.Count(), 2);  // Grid, Band
    ini.EraseSection("Band");
    EXPECT_EQ(ini.ReadString("Band\\Band3", "Caption", "none"), "none");
    ini.UpdateFile();
    EXPECT_NE(ReadFile(TRegistry::StoreFileName()).find("[Software\\Karomil Reports\\Grid]"), std::string::npos);
}

}  // namespace
