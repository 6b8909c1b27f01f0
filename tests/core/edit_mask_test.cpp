#include "core/edit_mask.h"

#include <gtest/gtest.h>

#include <string>

namespace quaff {
namespace {

const EditMask kSalary("000000.00;1;_");
const EditMask kPrice("00.00;1;_");

TEST(EditMask, ReadsTheMaskAndItsTail) {
    EXPECT_EQ(kSalary.Length(), 9u);
    EXPECT_EQ(kSalary.EmptyDisplay(), "______.__");
    EXPECT_TRUE(kSalary.IsLiteral(6));
    EXPECT_FALSE(kSalary.IsLiteral(5));
    EXPECT_FALSE(kSalary.IsLiteral(9));  // past the end

    const struct {
        const char* mask;
        const char* empty;
        char blank;
        bool saves;
    } cases[] = {
        {"00.00", "__.__", '_', true},  // no tail: the defaults
        {"00.00;0;*", "**.**", '*', false},
        {"00.00;1;", "__.__", '_', true},
        {"\\0 00", "0 __", '_', true},  // escaped literal
        {"", "", '_', true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        const EditMask m(c.mask);
        EXPECT_EQ(m.EmptyDisplay(), c.empty);
        EXPECT_EQ(m.BlankChar(), c.blank);
        EXPECT_EQ(m.SavesLiterals(), c.saves);
    }
}

TEST(EditMask, ShowsStoredValues) {
    const struct {
        const EditMask& mask;
        std::string stored, shown;
    } cases[] = {
        {kSalary, "025000.00", "025000.00"},  // as the dialog saves it
        {kSalary, "", "______.__"},
        {kSalary, "      .  ", "______.__"},
        {kSalary, "12345.00", "12345_.00"},  // five digits put in by hand
        {kSalary, "25000", "25000_.__"},     // no point: taken as missing
        {kSalary, "1234567.891", "123456.89"},
        {kSalary, ".5", "______.5_"},
        {kSalary, "12.34.56", "12____.34"},
        {kSalary, "ab12.x", "__12__.__"},  // what a digit cannot be shows as blank
        {kSalary,
         "\xff\x01" + std::string(1, '\0') +
             "9.\x80"
             "7",
         "___9__._7"},
        {kSalary, std::string(100000, '9'), "999999.__"},
        {kSalary, std::string(100000, '.'), "______.__"},
        {kPrice, "02.50", "02.50"},
        {kPrice, "2.5", "2_.5_"},
        {kPrice, "", "__.__"},
        {kPrice, "\u20AC5.00", "_5.00"},  // cut by characters, not by the euro sign's bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.substr(0, 20));
        EXPECT_EQ(c.mask.DisplayFromValue(c.stored), c.shown);
    }
}

TEST(EditMask, HandsBackTextWithBlanksForEmptyPositions) {
    const struct {
        std::string shown, text;
    } cases[] = {
        {"12345_.00", "12345 .00"},     {"______.__", "      .  "},
        {"025000.00", "025000.00"},     {"12", "12    .  "},  // short display
        {"123456.789999", "123456.78"},                       // long display
        {"12a45x?00", "12 45 .00"},  // literal position always holds the literal
    };
    for (const auto& c : cases) EXPECT_EQ(kSalary.TextFromDisplay(c.shown), c.text) << c.shown;

    EXPECT_EQ(EditMask("00.00;0;*").TextFromDisplay("12.3*"), "123 ");
}

TEST(EditMask, SavedTextShowsAgainUnchanged) {
    for (const char* shown : {"025000.00", "______.__", "12345_.00", "_1_2_3.4_"}) {
        const std::string text = kSalary.TextFromDisplay(shown);
        EXPECT_EQ(kSalary.DisplayFromValue(text), shown) << shown;
    }
}

TEST(EditMask, CompleteWhenEveryRequiredDigitIsThere) {
    const struct {
        const char* mask;
        const char* shown;
        bool complete;
    } cases[] = {
        {"000000.00;1;_", "025000.00", true},  {"000000.00;1;_", "12345_.00", false},
        {"000000.00;1;_", "______.__", false}, {"000000.00;1;_", "1234__.__", false},
        {"000000.00;1;_", "0250000.0", false},  // digit in the literal's place is no digit
        {"99.00;1;_", "__.12", true},          {"99.00;1;_", "1_.1_", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EditMask(c.mask).IsComplete(c.shown), c.complete) << c.shown;
}

TEST(EditMask, AcceptsDigitsInDigitPositionsOnly) {
    EXPECT_TRUE(kSalary.Accepts(0, '0'));
    EXPECT_TRUE(kSalary.Accepts(8, '9'));
    EXPECT_FALSE(kSalary.Accepts(6, '.'));
    EXPECT_FALSE(kSalary.Accepts(6, '5'));
    EXPECT_FALSE(kSalary.Accepts(0, 'a'));
    EXPECT_FALSE(kSalary.Accepts(0, '-'));
    EXPECT_FALSE(kSalary.Accepts(0, '\xb2'));
    EXPECT_FALSE(kSalary.Accepts(9, '1'));
}

TEST(EditMask, TypingDeletingAndPasting) {
    enum Op { Type, Backspace, Delete, Paste };
    const struct {
        const char* before;
        size_t caret;
        Op op;
        std::string input;
        const char* after;
        size_t caretAfter;
        bool accepted;
    } cases[] = {
        {"______.__", 0, Type, "1", "1_____.__", 1, true},
        {"123456.__", 5, Type, "7", "123457.__", 7, true},  // steps over the point
        {"12____.__", 2, Type, ".", "12____.__", 7, true},  // the point jumps to the cents
        {"______.__", 6, Type, "3", "______.3_", 8, true},
        {"______.__", 0, Type, "a", "______.__", 0, false},
        {"123456.78", 9, Type, "1", "123456.78", 9, false},   // field full
        {"123456.78", 8, Type, ".", "123456.78", 8, false},   // no point left to jump to
        {"123456.78", 40, Type, "1", "123456.78", 9, false},  // caret past the end
        {"123456.78", 7, Backspace, "", "12345_.78", 5, true},
        {"1\u00D93456.78", 3, Backspace, "", "1__456.78", 2, true},  // one position a character
        {"123456.78", 0, Backspace, "", "123456.78", 0, false},
        {"123456.78", 2, Delete, "", "12_456.78", 2, true},
        {"123456.78", 6, Delete, "", "123456.78", 6, false},  // the literal stays
        {"______.__", 0, Paste, "25,000.00", "25000_.00", 9, true},
        {"______.__", 0, Paste, "abc", "______.__", 0, false},
        {"______.__", 7, Paste, std::string(100000, '9'), "______.99", 9, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.before << " @" << c.caret << " op " << c.op << " "
                                        << c.input.substr(0, 12));
        EditMask::Edit e{};
        switch (c.op) {
            case Type:
                e = kSalary.Type(c.before, c.caret, c.input[0]);
                break;
            case Backspace:
                e = kSalary.Backspace(c.before, c.caret);
                break;
            case Delete:
                e = kSalary.Clear(c.before, c.caret, c.caret + 1);
                break;
            case Paste:
                e = kSalary.Paste(c.before, c.caret, c.input);
                break;
        }
        EXPECT_EQ(e.display, c.after);
        EXPECT_EQ(e.caret, c.caretAfter);
        EXPECT_EQ(e.accepted, c.accepted);
    }
    EXPECT_EQ(kSalary.Clear("123456.78", 0, 100).display, "______.__");
}

TEST(EditMask, FourDigitsTypedIntoAnEmptySalaryAreIncomplete) {
    EditMask::Edit e{kSalary.EmptyDisplay(), 0, false};
    for (const char c : std::string("1234")) e = kSalary.Type(e.display, e.caret, c);
    EXPECT_EQ(e.display, "1234__.__");
    EXPECT_FALSE(kSalary.IsComplete(e.display));
    EXPECT_EQ(kSalary.TextFromDisplay(e.display), "1234  .  ");
}

}  // namespace
}  // namespace quaff
