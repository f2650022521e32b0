#include "platform/gui/Dialogs.h"

#include <QtWidgets/QColorDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QFontDialog>

#include <algorithm>
#include <filesystem>

#include "platform/gui/Application.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS(TCommonDialog, TComponent)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TOpenDialog, TCommonDialog, {
    KAROMIL_PROP(FileName);
    KAROMIL_PROP(Filter);
    KAROMIL_PROP(FilterIndex).Default(1);
    KAROMIL_PROP(DefaultExt);
    KAROMIL_PROP(InitialDir);
    KAROMIL_PROP(Title);
})
KAROMIL_IMPLEMENT_CLASS(TSaveDialog, TOpenDialog)
KAROMIL_IMPLEMENT_CLASS(TOpenPictureDialog, TOpenDialog)
KAROMIL_IMPLEMENT_CLASS(TSavePictureDialog, TOpenPictureDialog)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TFontDialog, TCommonDialog, { KAROMIL_PROP(Font); })
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(
    TColorDialog, TCommonDialog, { KAROMIL_PROP(Color, TypeInfoColor()).Default(clBlack); })
KAROMIL_IMPLEMENT_CLASS(TPrintDialog, TCommonDialog)
KAROMIL_IMPLEMENT_CLASS(TPrinterSetupDialog, TCommonDialog)

namespace {
TDialogHook gHook;
TPrintDialogProvider gPrintProvider;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Captions of the message dialog's buttons and titles, in the program's language.
const char* ButtonCaption(TMsgDlgBtn b) {
    static const char* const captions[] = {"&Ano", "&Ne", "OK", "Storno", "&Přerušit", "&Opakovat", "&Ignorovat",
        "&Vše", "N&e všem", "Ano &všem", "&Nápověda"};
    return captions[b];
}
int ButtonResult(TMsgDlgBtn b) {
    static const int results[] = {
        mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone};
    return results[b];
}
std::string TypeCaption(TMsgDlgType t) {
    switch (t) {
    case mtWarning: return "Varování";
    case mtError: return "Chyba";
    case mtInformation: return "Informace";
    case mtConfirmation: return "Potvrzení";
    default: return Application->GetTitle();
    }
}

// A dialog form of label, optional edit and buttons; answers the modal result.
int RunDialogForm(
    const std::string& caption, const std::string& text, std::vector<TMsgDlgBtn> buttons, std::string* edited) {
    TForm form(nullptr);
    form.SetCaption(caption);
    form.SetBorderStyle(bsDialog);
    form.SetPosition(poScreenCenter);
    TLabel* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetShowAccelChar(false);
    label->SetLeft(12);
    label->SetTop(12);
    label->SetCaption(text);
    int y = label->GetTop() + label->GetHeight() + 12;
    TEdit* edit = nullptr;
    if (edited) {
        edit = new TEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(12, y, 260, 22);
        edit->SetText(*edited);
        y += 22 + 12;
    }
    const int bw = 75, gap = 8;
    const int total = int(buttons.size()) * bw + (int(buttons.size()) - 1) * gap;
    const int width = std::max({total + 24, label->GetWidth() + 24, edit ? 284 : 0, 180});
    int x = (width - total) / 2;
    const bool hasCancel = std::find(buttons.begin(), buttons.end(), mbCancel) != buttons.end();
    const bool hasNo = std::find(buttons.begin(), buttons.end(), mbNo) != buttons.end();
    bool defaultSet = false;
    for (TMsgDlgBtn b : buttons) {
        TButton* button = new TButton(&form);
        button->SetParent(&form);
        button->SetBounds(x, y, bw, 25);
        button->SetCaption(ButtonCaption(b));
        button->SetModalResult(ButtonResult(b));
        if (!defaultSet && (b == mbOK || b == mbYes)) {
            button->SetDefault(true);
            defaultSet = true;
        }
        if (b == mbCancel || (!hasCancel && b == mbNo) || (!hasCancel && !hasNo && buttons.size() == 1))
            button->SetCancel(true);
        x += bw + gap;
    }
    form.SetClientWidth(width);
    form.SetClientHeight(y + 25 + 12);
    if (edit) form.SetActiveControl(nullptr);
    const int r = form.ShowModal();
    if (edit && r == mrOk) *edited = edit->GetText();
    return r;
}
}  // namespace

void SetDialogHook(TDialogHook hook) { gHook = std::move(hook); }
void SetPrintDialogProvider(TPrintDialogProvider provider) { gPrintProvider = std::move(provider); }

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
    if (gHook) {
        TDialogCall call;
        call.Kind = TDialogCall::dkMessage;
        call.Caption = TypeCaption(type);
        call.Text = text;
        call.DlgType = type;
        call.Buttons = buttons;
        gHook(call);
        return call.Result;
    }
    std::vector<TMsgDlgBtn> list;
    for (int b = mbYes; b <= mbHelp; ++b)
        if (buttons.Contains(TMsgDlgBtn(b)) && b != mbHelp) list.push_back(TMsgDlgBtn(b));
    if (list.empty()) list.push_back(mbOK);
    return RunDialogForm(TypeCaption(type), text, list, nullptr);
}

void ShowMessage(const std::string& text) { MessageDlg(text, mtCustom, {mbOK}); }

int MessageBox(HWND, const std::string& text, const std::string& caption, UINT flags) {
    return Application->MessageBox(text, caption, flags);
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    if (gHook) {
        TDialogCall call;
        call.Kind = TDialogCall::dkInput;
        call.Caption = caption;
        call.Text = prompt;
        call.Value = value;
        gHook(call);
        if (call.Accepted) value = call.Value;
        return call.Accepted;
    }
    std::string edited = value;
    if (RunDialogForm(caption, prompt, {mbOK, mbCancel}, &edited) != mrOk) return false;
    value = edited;
    return true;
}

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultText) {
    std::string value = defaultText;
    InputQuery(caption, prompt, value);
    return value;
}

std::vector<std::pair<std::string, std::vector<std::string>>> ParseFileFilter(const std::string& filter) {
    std::vector<std::pair<std::string, std::vector<std::string>>> out;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= filter.size()) {
        const size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    auto patterns = [](const std::string& s) {
        std::vector<std::string> p;
        size_t b = 0;
        while (b <= s.size()) {
            const size_t semi = s.find(';', b);
            std::string one = Trim(s.substr(b, semi == std::string::npos ? std::string::npos : semi - b));
            if (!one.empty()) p.push_back(one);
            if (semi == std::string::npos) break;
            b = semi + 1;
        }
        return p;
    };
    if (filter.empty()) return out;
    // A bare pattern without a description stands for itself.
    if (parts.size() == 1) {
        out.emplace_back(Trim(parts[0]), patterns(parts[0]));
        return out;
    }
    for (size_t i = 0; i + 1 < parts.size(); i += 2) out.emplace_back(parts[i], patterns(parts[i + 1]));
    if (parts.size() % 2) out.emplace_back(Trim(parts.back()), patterns(parts.back()));
    return out;
}

// --- file dialogs ------------------------------------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner), FFiles(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Accept(const std::string& chosen) {
    std::string name = chosen;
    if (!FDefaultExt.empty() && ExtractFileExt(name).empty()) name += "." + FDefaultExt;
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(name, ec);
    FFileName = ec ? name : full.lexically_normal().string();
    FFiles->Clear();
    FFiles->Add(FFileName);
    // Without ofNoChangeDir the chosen folder becomes the current one, as the system dialog does.
    if (!FOptions.Contains(ofNoChangeDir)) SetCurrentDir(ExtractFilePath(FFileName));
    return true;
}

bool TOpenDialog::Execute() {
    if (OnShow) OnShow(this);
    const std::string dir = FInitialDir.empty() ? GetCurrentDir() : FInitialDir;
    std::string result;
    bool ok = false;
    if (gHook) {
        TDialogCall call;
        call.Kind = Saving() ? TDialogCall::dkSave : TDialogCall::dkOpen;
        call.Caption = FTitle;
        call.Filter = FFilter;
        call.InitialDir = dir;
        call.Value = FFileName;
        gHook(call);
        ok = call.Accepted;
        result = call.Value;
        // A relative answer is relative to the folder the dialog opened in.
        if (ok && !result.empty() && !std::filesystem::path(result).is_absolute())
            result = (std::filesystem::path(dir) / result).string();
    } else {
        QFileDialog d(nullptr, Q(FTitle), Q(dir));
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setAcceptMode(Saving() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        d.setFileMode(Saving() ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!FOptions.Contains(ofOverwritePrompt)) d.setOption(QFileDialog::DontConfirmOverwrite);
        QStringList filters;
        for (auto& [text, patterns] : ParseFileFilter(FFilter)) {
            QStringList p;
            for (auto& s : patterns) p << Q(s);
            filters << Q(text) + " (" + p.join(' ') + ")";
        }
        if (!filters.isEmpty()) {
            d.setNameFilters(filters);
            if (FFilterIndex >= 1 && FFilterIndex <= filters.size()) d.selectNameFilter(filters[FFilterIndex - 1]);
        }
        // A file name with wildcards ("*.fr3") is a pattern, not a name to propose.
        if (!FFileName.empty() && FFileName.find_first_of("*?") == std::string::npos) d.selectFile(Q(FFileName));
        ok = d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty();
        if (ok) result = d.selectedFiles().first().toStdString();
    }
    if (ok) ok = Accept(result);
    if (OnClose) OnClose(this);
    return ok;
}

// --- picture dialogs -------------------------------------------------------------------------

namespace {
struct TPictureFormat {
    TGraphicClass (*Class)();
    const char* Extension;
    const char* Description;
};
// The formats TPicture::LoadFromFile knows, in the order the filters list them.
const TPictureFormat kPictureFormats[] = {
    {&TBitmap::StaticClass, "bmp", "Bitmapy"},
    {&TJPEGImage::StaticClass, "jpg", "Obrázky JPEG"},
    {&TJPEGImage::StaticClass, "jpeg", "Obrázky JPEG"},
    {&TIcon::StaticClass, "ico", "Ikony"},
    {&TMetafile::StaticClass, "emf", "Rozšířené metasoubory"},
    {&TMetafile::StaticClass, "wmf", "Metasoubory"},
};
}  // namespace

std::string GraphicFilter(TGraphicClass graphicClass) {
    std::string entries, all;
    int n = 0;
    for (const TPictureFormat& f : kPictureFormats) {
        if (!graphicClass || !f.Class()->InheritsFrom(graphicClass)) continue;
        const std::string pattern = std::string("*.") + f.Extension;
        if (n++) {
            entries += '|';
            all += ';';
        }
        entries += std::string(f.Description) + " (" + pattern + ")|" + pattern;
        all += pattern;
    }
    if (n > 1) return "Vše (" + all + ")|" + all + "|" + entries;
    return entries;
}

std::string GraphicExtension(TGraphicClass graphicClass) {
    for (const TPictureFormat& f : kPictureFormats)
        if (graphicClass && f.Class()->InheritsFrom(graphicClass)) return f.Extension;
    return "";
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) {
    SetFilter(GraphicFilter(TGraphic::StaticClass()));
}

// --- font and colour ---------------------------------------------------------------------------

TFontDialog::TFontDialog(TComponent* owner) : TCommonDialog(owner), FFont(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute() {
    if (gHook) {
        TDialogCall call;
        call.Kind = TDialogCall::dkFont;
        TFont edited;
        edited.Assign(FFont.get());
        call.Font = &edited;
        gHook(call);
        if (call.Accepted) FFont->Assign(&edited);
        return call.Accepted;
    }
    bool ok = false;
    const QFont f = QFontDialog::getFont(
        &ok, ToQFont(FFont->Data()), nullptr, QString(), QFontDialog::DontUseNativeDialog);
    if (!ok) return false;
    FFont->SetName(f.family().toStdString());
    if (f.pixelSize() > 0) FFont->SetHeight(-f.pixelSize());
    else FFont->SetSize(int(f.pointSizeF() + 0.5));
    TFontStyles st;
    if (f.bold()) st.Include(fsBold);
    if (f.italic()) st.Include(fsItalic);
    if (f.underline()) st.Include(fsUnderline);
    if (f.strikeOut()) st.Include(fsStrikeOut);
    FFont->SetStyle(st);
    return true;
}

bool TColorDialog::Execute() {
    if (gHook) {
        TDialogCall call;
        call.Kind = TDialogCall::dkColor;
        call.Color = FColor;
        gHook(call);
        if (call.Accepted) FColor = call.Color;
        return call.Accepted;
    }
    const QColor c = QColorDialog::getColor(ToQColor(FColor), nullptr, QString(), QColorDialog::DontUseNativeDialog);
    if (!c.isValid()) return false;
    FColor = RGB(c.red(), c.green(), c.blue());
    return true;
}

// --- printing ----------------------------------------------------------------------------------

namespace {
bool ExecutePrintDialog(TCommonDialog* d, TDialogCall::TKind kind) {
    if (gHook) {
        TDialogCall call;
        call.Kind = kind;
        gHook(call);
        return call.Accepted;
    }
    if (gPrintProvider) return gPrintProvider(d, kind);
    throw EInvalidOperation("Není k dispozici žádná tiskárna.");
}
}  // namespace

bool TPrintDialog::Execute() { return ExecutePrintDialog(this, TDialogCall::dkPrint); }
bool TPrinterSetupDialog::Execute() { return ExecutePrintDialog(this, TDialogCall::dkPrinterSetup); }
