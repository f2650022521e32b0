// Streams as hexadecimal text, and temporary files.

#include <gtest/gtest.h>

#include "platform/classes/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxStreamText.h"

TEST(FrxStreamText, HexStreamsAndDamagedHex) {
    TMemoryStream s;
    s.WriteBuffer("\x00\xABz", 3);
    EXPECT_EQ(frxStreamToHex(&s), "00AB7A");
    TStringStream out("previous contents");
    frxHexToStream("414243", &out);
    EXPECT_EQ(out.DataString(), "ABCvious contents");  // written at the start, not cut
    TStringStream damaged("previous contents");
    frxHexToStream("4142G34445", &damaged);
    EXPECT_EQ(damaged.DataString(), "AB");  // cut where the damage starts
}

TEST(FrxStreamText, TempFile) {
    std::string name = frxCreateTempFile("");
    EXPECT_TRUE(FileExists(name));
    EXPECT_EQ(ExtractFileName(name).rfind("fr", 0), 0u);
    DeleteFile(name);
}
