// Tests of the graphics binding; built with the window layer (see script/gui).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "../BindingTestSupport.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/TestKit.h"
#include "script/FileAccess.h"
#include "script/gui/GraphicsBindings.h"
#include "script/gui/WindowBindings.h"

namespace {

class GraphicsBindings : public BindingSuite {
public:
    static void SetUpTestSuite() {
        TestKit::EnsureApplication();  // text measuring needs it
        fsUseWindowBindings();
        BindingSuite::SetUpTestSuite();
    }
};

struct Case {
    const char* Name;
    const char* Program;
    const char* Expected;
};

class GraphicsCases : public GraphicsBindings, public ::testing::WithParamInterface<Case> {};

TEST_P(GraphicsCases, RunsAndGives) { EXPECT_EQ(RunPascal(GetParam().Program), GetParam().Expected); }

const Case kCases[] = {
    {"ColourAndStyleConstants",
        "var Out: String; begin Out := IntToStr(clRed) + ' ' + IntToStr(clBlue) + ' ' + IntToStr(clNone) + ' ' +\n"
        "  IntToStr(clBtnFace) + ' ' + IntToStr(fsStrikeout) + ' ' + IntToStr(pmNotXor) + ' ' + IntToStr(bsDiagCross) end.",
        "255 16711680 536870911 -16777201 8 15 7"},
    {"PixelsOfABitmapCanvas",
        "var Out: String; b: TBitmap;\n"
        "begin b := TBitmap.Create; b.Width := 4; b.Height := 3; b.Canvas.Pixels[1, 2] := clRed;\n"
        "  Out := IntToStr(b.Canvas.Pixels[1, 2]) + ' ' + IntToStr(b.Width) + 'x' + IntToStr(b.Height) + ' ' +\n"
        "    b.ClassName; b.Free end.",
        "255 4x3 TBitmap"},
    {"DrawingOnABitmap",
        "var Out: String; b, c: TBitmap;\n"
        "begin b := TBitmap.Create; b.Width := 10; b.Height := 10; c := TBitmap.Create; c.Width := 2; c.Height := 2;\n"
        "  c.Canvas.Pixels[0, 0] := clLime; c.Canvas.Pixels[1, 1] := clLime; c.Canvas.Pixels[0, 1] := clLime;\n"
        "  c.Canvas.Pixels[1, 0] := clLime; b.Canvas.Draw(4, 4, c); b.Canvas.StretchDraw(0, 0, 4, 4, c);\n"
        "  b.Canvas.MoveTo(0, 9); b.Canvas.LineTo(9, 9); b.Canvas.Rectangle(6, 0, 9, 3);\n"
        "  Out := IntToStr(b.Canvas.Pixels[5, 5]) + ' ' + IntToStr(b.Canvas.Pixels[3, 3]);\n"
        "  if b.Canvas.TextWidth('WW') > b.Canvas.TextWidth('W') then Out := Out + ' text';\n"
        "  b.Free; c.Free end.",
        "65280 65280 text"},
    {"FontPenBrushArePersistent",
        "var Out: String; f: TFont; p: TPen; b: TBrush;\n"
        "begin f := TFont.Create; p := TPen.Create; b := TBrush.Create; Out := f.ClassName + p.ClassName + b.ClassName;\n"
        "  f.Free; p.Free; b.Free end.",
        "TFontTPenTBrush"},
    {"MetafileCanvasRecords",
        "var Out: String; m: TMetafile; c: TMetafileCanvas;\n"
        "begin m := TMetafile.Create; m.Width := 20; m.Height := 20; c := TMetafileCanvas.Create(m, 0);\n"
        "  c.Rectangle(1, 1, 5, 5); c.Free; Out := m.ClassName; m.Free end.",
        "TMetafile"},
    {"DrawNeedsAGraphic",
        "var Out: String; b: TBitmap; begin b := TBitmap.Create; try b.Canvas.Draw(0, 0, nil) finally b.Free end end.",
        "error: Objekt není přiřazen: 'Graphic'"},
};

INSTANTIATE_TEST_SUITE_P(Graphics, GraphicsCases, ::testing::ValuesIn(kCases),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(GraphicsBindings, BitmapThroughAFileAndAPicture) {
    const auto dir = std::filesystem::temp_directory_path() / ("karomil-gfx-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    fsSetDataFolder(dir.string());  // the data folder: scripts may write and read there
    const std::string f = (dir / "p.bmp").string();
    EXPECT_EQ(RunPascal("var Out: String; b: TBitmap; p: TPicture;\n"
                        "begin b := TBitmap.Create; b.Width := 3; b.Height := 2; b.SaveToFile('" +
                  f +
                  "'); b.Free;\n"
                  "  p := TPicture.Create; p.LoadFromFile('" +
                  f +
                  "');\n"
                  "  Out := IntToStr(p.Width) + 'x' + IntToStr(p.Height); p.Free end."),
        "3x2");
    fsSetDataFolder("");
    std::filesystem::remove_all(dir);
}

TEST(GraphicsRegistry, RemovesExactlyItsOwnRegistrations) {
    const bool started = fsGlobalUnit() != nullptr;
    if (!started) script::Startup();
    fsStopGraphicsRTTI();  // the enrolled unit's own binding, so this one can be watched alone
    TfsScript* g = fsGlobalUnit();
    const int before = g->Count();
    ASSERT_EQ(g->FindClass("TCanvas"), nullptr);
    {
        TfsGraphicsRTTI binding;
        EXPECT_NE(g->FindLocal("clMoneyGreen"), nullptr);
        EXPECT_NE(g->FindClass("TCanvas"), nullptr);
    }
    EXPECT_EQ(g->Count(), before);
    EXPECT_EQ(g->FindClass("TCanvas"), nullptr);
    fsStartGraphicsRTTI();
    if (!started) script::Shutdown();
}

}  // namespace
