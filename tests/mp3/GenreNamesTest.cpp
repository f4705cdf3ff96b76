#include "mp3/GenreNames.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(GenreNames, NamesAtTheirIndexes) {
    struct Case {
        int genre;
        const char* name;
    };
    const Case cases[] = {
        {0, "Blues"},      {17, "Rock"},        {62, "Pop/Funk"},        {67, "Psychadelic"},
        {79, "Hard Rock"}, {80, "Folk"},        {92, "Progessive Rock"}, {123, "A capella"},
        {132, "BritPop"},  {134, "Polsk Punk"}, {144, "Trash Metal"},    {147, "Synthpop"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GenreNameOf(static_cast<std::uint8_t>(c.genre)), c.name) << c.genre;
}

TEST(GenreNames, EveryIndexBelow148HasANameAndNoneAbove) {
    ASSERT_EQ(GenreNames.size(), 148u);
    for (int genre = 0; genre < 256; ++genre) {
        const std::string_view name = GenreNameOf(static_cast<std::uint8_t>(genre));
        EXPECT_EQ(name.empty(), genre >= 148) << genre;
    }
}

} // namespace
} // namespace quorvane
