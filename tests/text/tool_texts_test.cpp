#include "text/tool_texts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "text/message_table.h"

namespace torvane {
namespace {

// What a text's users rely on, whatever the language: the placeholders they fill, its line breaks, the
// menu mnemonic and the "..." that the cell operations strip for the question's title.
struct Shape {
    std::multiset<std::string> placeholders;
    int lineBreaks = 0;
    int ampersands = 0;
    bool endsWithDots = false;
    bool operator==(const Shape&) const = default;
};

Shape ShapeOf(const std::string& text) {
    Shape s;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9')
            s.placeholders.insert(text.substr(i, 2));
        s.lineBreaks += text[i] == '\n';
        s.ampersands += text[i] == '&';
    }
    s.endsWithDots = text.ends_with("...");
    return s;
}

TEST(ToolTexts, EveryTextHasFourVariantsOfTheSameShape) {
    for (int i = 0; i < ToolTextCount; ++i) {
        const auto id = static_cast<ToolText>(i);
        const std::string english = ToolTextOf(id, 0);
        ASSERT_FALSE(english.empty()) << "text " << i;
        const Shape shape = ShapeOf(english);
        for (int lang = 1; lang < LanguageCount; ++lang) {
            const std::string text = ToolTextOf(id, lang);
            EXPECT_FALSE(text.empty()) << "text " << i << ", language " << lang;
            EXPECT_TRUE(ShapeOf(text) == shape) << "text " << i << ", language " << lang << ": " << text;
        }
    }
}

TEST(ToolTexts, OtherLanguagesReadAsEnglishAndTheEnglishTheWindowChecksStays) {
    for (int lang : {-1, 4, 99}) EXPECT_EQ(ToolTextOf(ToolText::ViewerPlay, lang), "Play");
    EXPECT_EQ(ToolTextOf(ToolText::CannotRecord, 0), "The datalog cannot be written:\n%1");
    EXPECT_TRUE(ToolTextOf(ToolText::NoCellsChosen, 0).starts_with("Choose cells first"));
    EXPECT_NE(ToolTextOf(ToolText::FollowerMap, 0).find("follows Inj-1A"), std::string::npos);
    EXPECT_EQ(ToolTextOf(ToolText::MenuStartDatalog, 1), "Datalog starten...");
}

}  // namespace
}  // namespace torvane
