#include "rules/CaseRule.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

std::string RunCase(const std::string& name, NameCase nameCase, ExtensionCase extensionCase,
                    const std::string& newExtension = {}) {
    std::vector<std::string> names{name};
    PreviewCaseAndExtension(names, {nameCase, extensionCase, newExtension});
    return names.front();
}

TEST(CaseRule, RewritesBaseNameAndExtension) {
    struct Case {
        const char* name;
        NameCase nameCase;
        ExtensionCase extensionCase;
        const char* newExtension;
        const char* expected;
    };
    using N = NameCase;
    using E = ExtensionCase;
    const Case cases[] = {
        {"HELLO wORLD.TXT", N::CapitalizeWords, E::Lower, "", "Hello World.txt"},
        {"my song - live (acoustic).mp3", N::CapitalizeWords, E::KeepAsIs, "",
         "My Song - Live (acoustic).mp3"},
        {"o'neil mc-donald.doc", N::CapitalizeWords, E::KeepAsIs, "", "O'neil Mc-donald.doc"},
        {"01 intro.wav", N::CapitalizeWords, E::KeepAsIs, "", "01 Intro.wav"},
        {"Report.Final.TXT", N::Upper, E::KeepAsIs, "", "REPORT.FINAL.TXT"},
        {"Report.Final.TXT", N::Lower, E::Upper, "", "report.final.TXT"},
        {"photo.jpeg", N::KeepAsIs, E::NewExtension, "jpg", "photo.jpg"},
        {"README", N::KeepAsIs, E::NewExtension, "jpg", "README.jpg"},
        {"photo.jpeg", N::KeepAsIs, E::NewExtension, "", "photo."},
        {"photo.jpeg", N::KeepAsIs, E::NewExtension, ".jpg", "photo..jpg"},
        {"Café.TXT", N::Upper, E::KeepAsIs, "", "CAFé.TXT"},
        {"ÉCOLE.TXT", N::Lower, E::Lower, "", "École.txt"},
        {".profile", N::KeepAsIs, E::Upper, "", ".PROFILE"},
        {".profile", N::Upper, E::NewExtension, "jpg", ".jpg"},
        {"Photo.JPG", N::None, E::None, "", "Photo"},
        {"a\tb c.TXT", N::CapitalizeWords, E::None, "", "A\tb C"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RunCase(c.name, c.nameCase, c.extensionCase, c.newExtension), c.expected)
            << c.name;
}

TEST(CaseRule, CapitalizeWordsTouchesOnlyBasicLatinLetters) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"  two  spaces", "  Two  Spaces"},
        {"éCOLE über", "école über"},
        {"x_y.z-w", "X_y.z-w"}, // only a space starts a word
    };
    for (const auto& [text, capitalized] : cases)
        EXPECT_EQ(CapitalizeWords(text), capitalized) << text;
}

} // namespace
} // namespace quorvane
