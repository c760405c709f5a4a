#include "store/csv_records.h"

#include <gtest/gtest.h>

#include "store/error.h"

using cl::store::CsvField;
using cl::store::CsvRecords;

namespace {

std::vector<std::vector<CsvField>> split(const std::string& text, size_t chunk) {
    std::vector<std::vector<CsvField>> out;
    CsvRecords csv([&](std::vector<CsvField>& f) { out.push_back(f); });
    for (size_t i = 0; i < text.size(); i += chunk)
        csv.feed(std::string_view(text).substr(i, chunk));
    csv.finish();
    return out;
}

}  // namespace

TEST(CsvRecords, QuotedTextsKeepCommasLineEndsAndQuotesWhateverTheChunks) {
    const std::string text =
        "1,\"Caffè \"\"Moka\"\", 250 g\",12.5000,\"riga uno\r\nriga due\"\n"
        "2,,\"\",\"€ 张三 Ωμέγα\"\n"
        ",,,\n";
    for (size_t chunk : {1u, 2u, 3u, 7u, 1000u}) {
        auto rows = split(text, chunk);
        ASSERT_EQ(rows.size(), 3u) << chunk;
        EXPECT_EQ(rows[0][1].text, "Caffè \"Moka\", 250 g");
        EXPECT_EQ(rows[0][3].text, "riga uno\r\nriga due");
        EXPECT_EQ(rows[0][2].text, "12.5000");
        EXPECT_FALSE(rows[0][2].quoted);
        EXPECT_TRUE(rows[1][1].isNull());
        EXPECT_FALSE(rows[1][2].isNull());  // quoted empty text
        EXPECT_EQ(rows[1][3].text, "€ 张三 Ωμέγα");
        ASSERT_EQ(rows[2].size(), 4u);
        for (const auto& f : rows[2]) EXPECT_TRUE(f.isNull());
    }
}

TEST(CsvRecords, LastLineWithoutEndAndCutTextsAreHandled) {
    EXPECT_EQ(split("1,\"a\"", 4).size(), 1u);
    EXPECT_TRUE(split("", 4).empty());
    EXPECT_THROW(split("1,\"never closed\n", 4), cl::Error);
    EXPECT_THROW(split("1,\"a\"b\n", 4), cl::Error);
}
