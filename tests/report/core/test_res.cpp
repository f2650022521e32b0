// The localised text table and its picture lists.

#include <gtest/gtest.h>

#include "platform/gui/ImageList.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestKit.h"
#include "report/core/frxProgress.h"
#include "report/core/frxRes.h"


TEST(FrxRes, TextsAndFallback) {
    TfrxResources* res = frxGetResources();
    EXPECT_EQ(res->Get("clErrors"), "Nastala(y) následující chyba(y):");
    EXPECT_EQ(res->Get("CLERRORS"), "Nastala(y) následující chyba(y):");  // keys ignore case
    EXPECT_EQ(res->Get("zmPageWidth"), "Šířka stránky");
    EXPECT_EQ(res->Get("prRunning"), "Preparing page %d");
    EXPECT_EQ(res->Get("dbFldNotFound"), "Pole nenalezeno:");
    EXPECT_EQ(res->Get("noSuchKey"), "noSuchKey");
    TfrxResources fresh;
    frxRegisterCoreTexts(&fresh);
    fresh.Add("mbError", "Chybička");
    EXPECT_EQ(fresh.Get("mbError"), "Chybička");  // a later text replaces the earlier one
    EXPECT_EQ(fresh.Get("mbInfo"), "Informace");
}

TEST(FrxRes, LocalizeFormSkipsWhatIsMissing) {
    TestKit::EnsureApplication();
    TfrxResources res;
    frxRegisterCoreTexts(&res);
    TfrxProgress form(nullptr);
    form.SetCaption("Průběh");
    TButton* cancel = form.CancelB;
    cancel->SetCaption("Cancel");
    res.LocalizeForm(&form);
    EXPECT_EQ(cancel->GetCaption(), "Zrušit");
    EXPECT_EQ(form.GetCaption(), "Průběh");  // nothing else changes
    res.Add(
        "TfrxProgress", "Missing.Caption=x\nCancelB.NoSuchProp=y\nCaption=Okno\nCancelB.Caption=Storno\nCaption=Druhé");
    res.LocalizeForm(&form);
    EXPECT_EQ(cancel->GetCaption(), "Storno");
    EXPECT_EQ(form.GetCaption(), "Okno");  // the first line of that name
}

TEST(FrxRes, PictureListsAreDrawnStrips) {
    TestKit::EnsureApplication();
    TfrxResources res;
    EXPECT_EQ(res.GetButtonImages()->Count(), int(frxButtonImageNames().size()));
    EXPECT_EQ(res.GetDisabledButtonImages()->Count(), res.GetButtonImages()->Count());
    EXPECT_EQ(res.GetButtonImages()->GetWidth(), 16);
    EXPECT_EQ(res.GetObjectImages()->Count(), int(frxObjectImageNames().size()));
    EXPECT_EQ(res.GetObjectImages()->GetWidth(), 22);
}
