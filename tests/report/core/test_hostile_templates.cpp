// Templates and files from outside, tried as an attacker would: each case ends in a clear
// error and a program that goes on, never in a crash, a hang, a machine out of memory or a
// file touched where a template has no business.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Exceptions.h"
#include "report/core/frxBands.h"
#include "report/core/frxObjects.h"
#include "report/core/frxOptions.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "report/core/frxStyles.h"
#include "report/core/frxVariables.h"
#include "report/core/frxXML.h"
#include "script/FileAccess.h"

namespace fs = std::filesystem;

namespace {
// A folder of its own under the temporary folder, removed afterwards.
struct Folder {
    fs::path Path;
    explicit Folder(const std::string& name)
        : Path(fs::temp_directory_path() / ("karomil-hostile-" + std::to_string(::getpid()) + "-" + name)) {
        fs::remove_all(Path);
        fs::create_directories(Path);
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
    std::string File(const std::string& name) const { return (Path / name).string(); }
};

void WriteText(const std::string& file, const std::string& text) {
    std::ofstream f(file, std::ios::binary);
    f << text;
}

std::string Header() { return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"; }

// A template with one empty page whose main block is `script`.
std::string ScriptTemplate(const std::string& language, const std::string& script) {
    return Header() + "<TfrxReport Name=\"\" ScriptLanguage=\"" + language + "\" ScriptText.Text=\"" +
        frxEscapeXML(script) + "\"><TfrxReportPage Name=\"Page1\"/></TfrxReport>";
}

// Loads the template text into a fresh silent report; answers the error lines.
std::string LoadText(TfrxReport& report, const std::string& text) {
    report.GetEngineOptions()->SilentMode = true;
    TStringStream s(text);
    report.LoadFromStream(&s);
    return report.ErrorList->Text();
}

class HostileTemplates : public ::testing::Test {
protected:
    void SetUp() override {
        frx::Startup();
        fsSetDocumentsFolder(Documents.Path.string());
    }
    void TearDown() override {
        fsSetDocumentsFolder("");
        fsSetDataFolder("");
    }
    Folder Template{"template"}, Documents{"documents"};
};

// --- scripts and files ------------------------------------------------------------------------

struct ScriptForms {
    const char* Language;
    std::string (*Read)(const std::string& file);
    std::string (*Write)(const std::string& file);
};

const ScriptForms kLanguages[] = {
    {"PascalScript",
        [](const std::string& f) {
            return "var s: TStringList; begin s := TStringList.Create; s.LoadFromFile('" + f + "'); s.Free; end.";
        },
        [](const std::string& f) {
            return "var s: TStringList; begin s := TStringList.Create; s.Add('x'); s.SaveToFile('" + f +
                "'); s.Free; end.";
        }},
    {"C++Script",
        [](const std::string& f) {
            return "{ TStringList s = new TStringList; s.LoadFromFile(\"" + f + "\"); delete s; }";
        },
        [](const std::string& f) {
            return "{ TStringList s = new TStringList; s.Add(\"x\"); s.SaveToFile(\"" + f + "\"); delete s; }";
        }},
    {"BasicScript",
        [](const std::string& f) {
            return "dim s = new TStringList()\r\ns.LoadFromFile(\"" + f + "\")\r\ndelete s\r\n";
        },
        [](const std::string& f) {
            return "dim s = new TStringList()\r\ns.Add(\"x\")\r\ns.SaveToFile(\"" + f + "\")\r\ndelete s\r\n";
        }},
    {"JScript",
        [](const std::string& f) { return "var s = new TStringList(); s.LoadFromFile(\"" + f + "\"); delete s;"; },
        [](const std::string& f) {
            return "var s = new TStringList(); s.Add(\"x\"); s.SaveToFile(\"" + f + "\"); delete s;";
        }},
};

// Runs `script` in a template saved in the template folder; answers the error lines.
std::string RunFromFile(const Folder& folder, const std::string& language, const std::string& script) {
    const std::string file = folder.File("report.fr3");
    WriteText(file, ScriptTemplate(language, script));
    TfrxReport report;
    report.GetEngineOptions()->SilentMode = true;
    EXPECT_TRUE(report.LoadFromFile(file)) << report.ErrorList->Text();
    if (report.PrepareReport()) return {};
    return report.ErrorList->Text();
}

TEST_F(HostileTemplates, ScriptsReadAndWriteOnlyWhereTheyMay) {
    const Folder outside("outside");
    WriteText(outside.File("secret.txt"), "tajné");
    WriteText(Template.File("beside.txt"), "vedle");
    fs::create_symlink(outside.File("secret.txt"), Template.Path / "link.txt");
    // Writing goes to the temporary folder too, so the forbidden target lies elsewhere.
    const std::string forbiddenWrite = "/proc/self/karomil-hostile.txt";
    for (const ScriptForms& l : kLanguages) {
        SCOPED_TRACE(l.Language);
        const struct {
            std::string File;
            bool Write;
            std::string Error;  // '' = allowed
        } cases[] = {
            {"/etc/hostname", false, "Skript nesmí číst soubor „/etc/hostname“"},
            {outside.File("secret.txt"), false, "Skript nesmí číst soubor"},
            {Template.File("../" + outside.Path.filename().string() + "/secret.txt"), false,
                "Skript nesmí číst soubor"},
            {Template.File("link.txt"), false, "Skript nesmí číst soubor"},
            {"/dev/zero", false, "Skript nesmí číst soubor „/dev/zero“"}, {Template.File("beside.txt"), false, ""},
            {Documents.File("out.txt"), true, ""},
            {forbiddenWrite, true, "Skript nesmí zapisovat do souboru „" + forbiddenWrite + "“"},
            {Template.File("written.txt"), true, ""},  // the template lies in the temporary folder
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.File);
            const std::string errors = RunFromFile(Template, l.Language, c.Write ? l.Write(c.File) : l.Read(c.File));
            if (c.Error.empty()) EXPECT_EQ(errors, "");
            else EXPECT_NE(errors.find(c.Error), std::string::npos) << errors;
        }
    }
    EXPECT_EQ(fs::file_size(outside.File("secret.txt")), std::string("tajné").size());
}

TEST_F(HostileTemplates, ReportAndStreamFileMethodsAreConfinedToo) {
    const Folder outside("outside2");
    const std::string target = outside.File("copy.fr3");
    const struct {
        std::string Script, Error;
    } cases[] = {
        {"begin Report.SaveToFile('/proc/self/x.fr3'); end.", "Skript nesmí zapisovat do souboru „/proc/self/x.fr3“"},
        {"var f: TFileStream; begin f := TFileStream.Create('/etc/hostname', fmOpenRead); f.Free; end.",
            "Skript nesmí číst soubor „/etc/hostname“"},
        {"var f: TFileStream; begin f := TFileStream.Create('/proc/self/y', fmCreate); f.Free; end.",
            "Skript nesmí zapisovat do souboru „/proc/self/y“"},
        {"var m: TMemoryStream; begin m := TMemoryStream.Create; m.LoadFromFile('/etc/hostname'); m.Free; end.",
            "Skript nesmí číst soubor"},
        {"var d: TfsXMLDocument; begin d := TfsXMLDocument.Create; d.LoadFromFile('/etc/hostname'); d.Free; end.",
            "Skript nesmí číst soubor"},
        {"uses '/etc/hostname'; begin end.", "Skript nesmí číst soubor „/etc/hostname“"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Script);
        const std::string errors = RunFromFile(Template, "PascalScript", c.Script);
        EXPECT_NE(errors.find(c.Error), std::string::npos) << errors;
    }
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(HostileTemplates, NoScriptCanStartAProgramOrOpenAConnection) {
    // None of the ways a script could reach a shell or the network is there to call.
    for (const char* call : {"Exec('ls')", "WinExec('ls', 0)", "ShellExecute(0, 'open', 'ls', '', '', 0)",
             "CreateProcess('ls')", "System('ls')", "CreateOleObject('WScript.Shell')",
             "CreateOleObject('MSXML2.XMLHTTP')", "CreateOleObject('InternetExplorer.Application')"}) {
        SCOPED_TRACE(call);
        const std::string errors = RunFromFile(
            Template, "PascalScript", std::string("var v: Variant; begin v := ") + call + "; end.");
        EXPECT_NE(errors, "");
    }
}

// --- numbers, depth, special files, pictures -------------------------------------------------

TEST_F(HostileTemplates, NumbersThatWouldSizeTooMuchAreErrorLines) {
    const struct {
        std::string Attribute, Property;
    } cases[] = {
        {"Columns=\"2147483647\"", "Columns"}, {"Columns=\"-5\"", "Columns"}, {"PaperWidth=\"1E300\"", "PaperWidth"},
        {"LeftMargin=\"-1e7\"", "LeftMargin"}, {"ColumnWidth=\"1e12\"", "ColumnWidth"},
        {"ColumnPositions.Text=\"" + std::string(2000, '1') + "\"", ""},  // one line: allowed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Attribute);
        TfrxReport report;
        const std::string errors = LoadText(report,
            Header() + "<TfrxReport Name=\"\"><TfrxReportPage Name=\"Page1\" " + c.Attribute + "/></TfrxReport>");
        auto* page = dynamic_cast<TfrxReportPage*>(report.FindObject("Page1"));
        ASSERT_NE(page, nullptr);
        if (c.Property.empty()) {
            EXPECT_EQ(errors, "");
            continue;
        }
        EXPECT_NE(errors.find("vlastnosti " + c.Property + " je mimo povolený rozsah"), std::string::npos) << errors;
        EXPECT_EQ(page->GetColumns(), 0);
        EXPECT_LT(page->GetColumnPositions()->Count(), 101);
        EXPECT_LT(page->GetPaperWidth(), 100000);
    }

    std::string lines;
    for (int i = 0; i < 5000; ++i) lines += "1&#13;&#10;";
    TfrxReport report;
    const std::string errors = LoadText(report,
        Header() + "<TfrxReport Name=\"\"><TfrxReportPage Name=\"Page1\" ColumnPositions.Text=\"" + lines +
            "\"><TfrxMasterData Name=\"Data1\" RowCount=\"2000000000\" Height=\"99999999\"/></TfrxReportPage></TfrxReport>");
    EXPECT_NE(errors.find("Seznam columnpositions"), std::string::npos) << errors;
    EXPECT_NE(errors.find("vlastnosti RowCount je mimo povolený rozsah"), std::string::npos) << errors;
    EXPECT_NE(errors.find("vlastnosti Height je mimo povolený rozsah"), std::string::npos) << errors;
    auto* band = dynamic_cast<TfrxDataBand*>(report.FindObject("Data1"));
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->GetRowCount(), 0);
    EXPECT_LT(band->GetHeight(), 100000);
}

TEST_F(HostileTemplates, DeepNestingIsRefusedWithoutOverflowingTheStack) {
    for (int depth : {1000, 1001, 100000}) {
        SCOPED_TRACE(depth);
        std::string text = Header() + "<TfrxReport Name=\"\">";
        for (int i = 1; i < depth; ++i) text += "<TfrxReportPage>";
        for (int i = 1; i < depth; ++i) text += "</TfrxReportPage>";
        text += "</TfrxReport>";
        TfrxReport report;
        if (depth <= frxMaxXMLDepth) {
            EXPECT_NO_THROW(LoadText(report, text));
        } else {
            try {
                LoadText(report, text);
                ADD_FAILURE() << "loaded";
            } catch (const Exception& e) {
                EXPECT_STREQ(e.what(), frxXMLTooDeep);
            }
            EXPECT_EQ(report.GetAllObjects()->Count(), 0);
        }
    }
    // A prepared report and a style sheet go through the same reader.
    std::string deep = Header();
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    TStringStream prepared(deep);
    TfrxReport report;
    EXPECT_THROW(report.PreviewPages()->LoadFromStream(&prepared), Exception);
    TStringStream sheet(deep);
    TfrxStyleSheet styles;
    EXPECT_THROW(styles.LoadFromStream(&sheet), Exception);
}

TEST_F(HostileTemplates, SpecialFilesAreRefusedAtOnce) {
    const std::string fifo = Template.File("pipe.fr3");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& file : {fifo, std::string("/dev/zero"), Template.Path.string()}) {
        SCOPED_TRACE(file);
        TfrxReport report;
        report.GetEngineOptions()->SilentMode = true;
        // Refused either as no file at all or by the open that raises; never read.
        auto refused = [](const std::function<bool()>& load) {
            try {
                return !load();
            } catch (const Exception&) {
                return true;
            }
        };
        EXPECT_TRUE(refused([&] { return report.LoadFromFile(file); }));
        EXPECT_THROW(report.LoadFromFile(file, true), EFOpenError);
        EXPECT_TRUE(refused([&] { return report.PreviewPages()->LoadFromFile(file); }));
        TfrxStyleSheet styles;
        EXPECT_THROW(styles.LoadFromFile(file), EFOpenError);
        TStringList lines;
        EXPECT_THROW(lines.LoadFromFile(file), EFOpenError);
        TPicture picture;
        EXPECT_THROW(picture.LoadFromFile(file), Exception);
        // A script unit named in a uses clause.
        const std::string errors = RunFromFile(Template, "PascalScript", "uses '" + file + "'; begin end.");
        EXPECT_NE(errors, "");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    try {
        TfrxReport report;
        report.LoadFromFile(fifo);
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find("není to obyčejný soubor"), std::string::npos) << e.what();
    }
}

TEST_F(HostileTemplates, ADamagedPictureLoadsEmptyWithAnErrorLine) {
    std::string text;
    {
        TfrxReport report;
        auto* page = new TfrxReportPage(&report);
        page->SetName("Page1");
        auto* picture = new TfrxPictureView(page);
        picture->SetName("Picture1");
        TBitmap bitmap(8, 8);
        picture->GetPicture()->SetGraphic(&bitmap);
        TStringStream s;
        report.SaveToStream(&s);
        text = s.DataString();
    }
    const size_t at = text.find("Picture.PropData=\"");
    ASSERT_NE(at, std::string::npos);
    // The bytes of the picture itself (after the entry's name and kind) turned to nonsense.
    const size_t from = at + std::string("Picture.PropData=\"").size() + 40;
    for (size_t i = from; i < from + 60 && text[i] != '"'; ++i) text[i] = 'F';
    TfrxReport report;
    const std::string errors = LoadText(report, text);
    auto* picture = dynamic_cast<TfrxPictureView*>(report.FindObject("Picture1"));
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->GetPicture()->Empty());
    EXPECT_NE(errors, "");
}
}  // namespace
