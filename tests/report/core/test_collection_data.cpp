// The collection form of stored property data.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "report/core/frxCollectionData.h"

TEST(FrxCollectionData, CollectionListForm) {
    TCollection source;
    source.Add();
    source.Add();
    TMemoryStream data;
    {
        TWriter writer(&data);
        int n = 0;
        frxWriteCollection(&source, &writer, [&](TPersistent*) { return "<item n=\"" + std::to_string(n++) + "\"/>"; });
    }
    data.SetPosition(0);
    TCollection target;
    target.Add();
    std::vector<std::string> seen;
    {
        TReader reader(&data);
        frxReadCollection(&target, &reader, [&](const std::string& xml, TPersistent*) { seen.push_back(xml); });
    }
    EXPECT_EQ(target.Count(), 2);
    EXPECT_EQ(seen, (std::vector<std::string>{"<item n=\"0\"/>", "<item n=\"1\"/>"}));
    // A long string whose length runs past the data is refused, not read.
    std::string bytes =
        "\x01\x01\x0C\xFF\xFF\xFF\x7F"
        "abc";
    TStringStream bad(bytes);
    TReader reader(&bad);
    EXPECT_THROW(frxReadCollection(&target, &reader, [](const std::string&, TPersistent*) {}), EReadError);
}
