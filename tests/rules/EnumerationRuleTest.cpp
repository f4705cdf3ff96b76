#include "rules/EnumerationRule.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

std::vector<std::string> Serials(const EnumerationSettings& settings, std::size_t rows) {
    std::vector<std::string> names(rows, settings.prefix);
    if (settings.serialKind == kNumericSerial)
        PreviewNumberSerial(names, settings);
    else
        PreviewLetterSerial(names, settings);
    return names;
}

EnumerationSettings Bare(int kind, const std::string& start, const std::string& step) {
    EnumerationSettings settings;
    settings.serialKind = kind;
    settings.startFrom = start;
    settings.step = step;
    settings.fixedPart = "x";
    return settings;
}

// Serials of a bare setting with the ".x" of the fixed part cut off.
std::vector<std::string> BareSerials(int kind, const std::string& start, const std::string& step,
                                     std::size_t rows) {
    std::vector<std::string> names = Serials(Bare(kind, start, step), rows);
    for (std::string& name : names)
        name.resize(name.size() - 2);
    return names;
}

TEST(EnumerationRule, NamesFromPrefixSerialSuffixAndFixedPart) {
    EnumerationSettings settings;
    settings.prefix = "img_";
    settings.startFrom = "001";
    settings.fixedPart = "jpg";
    EXPECT_EQ(Serials(settings, 5),
              (std::vector<std::string>{"img_001.jpg", "img_002.jpg", "img_003.jpg", "img_004.jpg",
                                        "img_005.jpg"}));

    settings = {};
    settings.applyTo = kApplyToExtension;
    settings.fixedPart = "photo";
    settings.startFrom = "01";
    settings.suffix = "_s";
    EXPECT_EQ(Serials(settings, 2), (std::vector<std::string>{"photo.01_s", "photo.02_s"}));

    settings = {};
    settings.serialKind = kLowerLetterSerial;
    settings.applyTo = -1; // letter serials read "none chosen" as FileName, silently
    settings.startFrom = "a";
    EXPECT_EQ(Serials(settings, 2), (std::vector<std::string>{"a.", "b."}));
}

TEST(EnumerationRule, NumberSerials) {
    struct Case {
        const char* start;
        const char* step;
        std::vector<std::string> expected;
    };
    const std::string wide(25, '0');
    const Case cases[] = {
        {"1", "1", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}},
        {"0098", "1", {"0098", "0099", "0100", "0101"}},
        {"5", "10", {"5", "15", "25"}},
        {"026", "1", {"026", "027"}}, // leading zeros are not octal
        {"abc", "1", {"001", "002"}}, // not a number: 1, width of the text
        {"5", "zz", {"5", "6"}},      // step not a number: 1
        {"3", "-1", {"3", "2", "1", "0", "-1"}},
        {"2147483646", "1", {"2147483646", "2147483647", "2147483648", "2147483649"}},
        {"2147483648", "1", {"0000000001", "0000000002"}}, // out of range: 1
    };
    for (const Case& c : cases)
        EXPECT_EQ(BareSerials(kNumericSerial, c.start, c.step, c.expected.size()), c.expected)
            << c.start << " step " << c.step;
    EXPECT_EQ(BareSerials(kNumericSerial, wide + "1", "1", 2),
              (std::vector<std::string>{"00000000000000000001", "00000000000000000002"}));
}

TEST(EnumerationRule, LetterSerials) {
    struct Case {
        int kind;
        const char* start;
        const char* step;
        std::vector<std::string> expected;
    };
    std::vector<std::string> aToAb;
    for (char c = 'a'; c <= 'z'; ++c)
        aToAb.push_back(std::string(1, c));
    aToAb.push_back("aa");
    aToAb.push_back("ab");
    const Case cases[] = {
        {kLowerLetterSerial, "a", "1", aToAb},
        {kLowerLetterSerial, "az", "1", {"az", "ba"}},
        {kLowerLetterSerial, "zz", "1", {"zz", "aaa"}},
        {kLowerLetterSerial, "y", "2", {"y", "aa", "ac"}},
        {kLowerLetterSerial, "zzy", "2", {"zzy", "aaaa"}},
        {kUpperLetterSerial, "A", "3", {"A", "D", "G", "J", "M", "P", "S", "V", "Y", "AB"}},
        {kLowerLetterSerial, "z", "27", {"z", "ba", "cb"}},
        {kLowerLetterSerial, "z", "50", {"z", "bx", "dv"}},
        {kUpperLetterSerial, "Z", "27", {"Z", "BA"}},
        {kLowerLetterSerial, "a", "0", {"a", "b"}}, // below 1 counts as 1
        {kLowerLetterSerial, "a", "x", {"a", "b"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BareSerials(c.kind, c.start, c.step, c.expected.size()), c.expected)
            << c.start << " step " << c.step;
}

// The value of a letter serial in bijective base 26, and back.
std::int64_t LetterValue(const std::string& serial, char first) {
    std::int64_t value = 0;
    for (char c : serial)
        value = value * 26 + (c - first + 1);
    return value;
}

std::string LetterText(std::int64_t value, char first) {
    std::string text;
    for (; value > 0; value = (value - 1) / 26)
        text.insert(text.begin(), static_cast<char>(first + (value - 1) % 26));
    return text;
}

TEST(EnumerationRule, LetterSerialsCountInBaseTwentySixForEveryStep) {
    for (const char first : {'a', 'A'}) {
        for (const std::string start : {"a", "z", "az", "zzz"}) {
            std::string serialStart = start;
            if (first == 'A')
                for (char& c : serialStart)
                    c = static_cast<char>(c - 32);
            for (int step = 1; step <= 50; ++step) {
                std::string serial = serialStart;
                std::int64_t value = LetterValue(serial, first);
                for (int row = 0; row < 60; ++row) {
                    AdvanceLetterSerial(serial, step, first);
                    value += step;
                    ASSERT_EQ(serial, LetterText(value, first))
                        << serialStart << " step " << step << " row " << row;
                }
            }
        }
    }
}

TEST(EnumerationRule, EmptyBoxesAreRefilled) {
    struct Case {
        int kind;
        const char* start;
        std::optional<std::string> refilledStart;
        const char* step;
        std::optional<std::int32_t> refilledStep;
        const char* first; // the first row's name
    };
    const Case cases[] = {
        {kNumericSerial, "", "1", "", 1, "p1.x"},
        {kLowerLetterSerial, "", "a", "", 1, "pa.x"},
        {kUpperLetterSerial, "", "A", "", 1, "pA.x"},
        {kNumericSerial, "", "1", "2", {}, "p1.x"},   // only the start box empty
        {kUpperLetterSerial, "B", {}, "", 1, "pB.x"}, // only the step box empty
        {kNumericSerial, "07", {}, "3", {}, "p07.x"}, // nothing to refill
    };
    for (const Case& c : cases) {
        std::vector<std::string> names{"p", "p"};
        const EnumerationOutcome outcome = PreviewEnumeration(names, Bare(c.kind, c.start, c.step));
        EXPECT_EQ(outcome.refilledStart, c.refilledStart) << c.kind << " " << c.start;
        EXPECT_EQ(outcome.refilledStep, c.refilledStep) << c.kind << " " << c.step;
        EXPECT_FALSE(outcome.serialKindResetToNumeric);
        EXPECT_EQ(names[0], c.first);
    }
}

TEST(EnumerationRule, NumberSerialTakesNoApplyToAsFileName) {
    EnumerationSettings settings = Bare(kNumericSerial, "1", "1");
    settings.applyTo = -1;
    std::vector<std::string> names{"p"};
    EXPECT_TRUE(PreviewNumberSerial(names, settings).applyToResetToFileName);
    EXPECT_EQ(names[0], "p1.x");
    settings.applyTo = kApplyToExtension;
    EXPECT_FALSE(PreviewNumberSerial(names, settings).applyToResetToFileName);
}

TEST(EnumerationRule, PadNumber) {
    EXPECT_EQ(PadNumber(3, 7), "007");
    EXPECT_EQ(PadNumber(1, 1234), "1234");
    EXPECT_EQ(PadNumber(0, 5), "5");
    EXPECT_EQ(PadNumber(26, 1), "00000000000000000001");
    EXPECT_EQ(PadNumber(30, 123456789012345678), "00123456789012345678");
    EXPECT_EQ(PadNumber(4, -5), "00-5");
}

TEST(EnumerationRule, PageTexts) {
    EnumerationSettings settings;
    settings.prefix = "P";
    settings.startFrom = "7";
    settings.suffix = "X";
    settings.fixedPart = "F";
    EXPECT_EQ(UpdateSerialExample(settings), "P7X.F");
    settings.applyTo = kApplyToExtension;
    EXPECT_EQ(UpdateSerialExample(settings), "F.P7X");
    settings.applyTo = -1;
    EXPECT_EQ(UpdateSerialExample(settings), "P7X.F");

    EXPECT_EQ(FixedPartCaption(kApplyToFileName), "Extension");
    EXPECT_EQ(FixedPartCaption(kApplyToExtension), "FileName");
    EXPECT_EQ(FixedPartCaption(-1), "Extension");

    const SerialStartChoices numeric = StartChoicesForKind(kNumericSerial);
    EXPECT_EQ(numeric.items, (std::vector<std::string>{"1", "01", "001", "0001", "00001"}));
    EXPECT_EQ(numeric.text, "001");
    EXPECT_EQ(StartChoicesForKind(kUpperLetterSerial).items.back(), "AAAAA");
    EXPECT_EQ(StartChoicesForKind(kLowerLetterSerial).text, "a");
    EXPECT_TRUE(StartChoicesForKind(-1).items.empty());
    EXPECT_FALSE(StartChoicesForKind(-1).text.has_value());
}

TEST(EnumerationRule, StartKeyFilter) {
    struct Case {
        int kind;
        char32_t key;
        bool accepted;
    };
    const Case cases[] = {
        {kNumericSerial, U'7', true},
        {kNumericSerial, U'x', false},
        {kNumericSerial, 8, true},
        {kNumericSerial, U'-', false},
        {kLowerLetterSerial, U'q', true},
        {kLowerLetterSerial, U'7', false},
        {kLowerLetterSerial, U'Q', false},
        {kUpperLetterSerial, U'Q', true},
        {kUpperLetterSerial, U'q', false},
        {kUpperLetterSerial, U'é', false},
        {-1, U'é', true},
        {-1, U'7', true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsStartKeyAccepted(c.kind, c.key), c.accepted)
            << c.kind << " " << static_cast<int>(c.key);
}

} // namespace
} // namespace quorvane
