#include "support/text.h"

#include <climits>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Two GBK characters whose second bytes lie in the ASCII range: 0x81 0x56 ends in 'V' and
// 0x81 0x76 ends in 'v'. Plain ASCII searches must never land on those second bytes.
constexpr TextView kPairEndingInV = "\x81\x56";
constexpr TextView kPairEndingInLowerV = "\x81\x76";

TEST(TextLength, CountsBytesSoThatDoubleByteCharactersCountTwo) {
    EXPECT_EQ(textLength(TextView{}), 0);
    EXPECT_EQ(textLength(""), 0);
    EXPECT_EQ(textLength("晨枫定时器v"), 11);
}

TEST(ConcatText, JoinsPartsInOrderAndGivesEmptyTextForEmptyParts) {
    EXPECT_EQ(concatText("", ""), Text{});
    EXPECT_EQ(concatText("ab", TextView{}, "c"), "abc");

    const Text hour = "22";
    EXPECT_EQ(concatText("系统将在", hour, "点", TextView("10"), "分 ", Text("重启")),
              "系统将在22点10分 重启");
}

struct MidCase {
    const char* what;
    int start;
    int count;
    TextView expected;
};

TEST(MidText, ClipsToTheTextAndGivesEmptyTextOutsideIt) {
    constexpr TextView kTenBytes = "0123456789";
    const MidCase cases[] = {
        {"inside", 3, 4, "2345"},
        {"last byte", 10, 3, "9"},
        {"start just past the end", 11, 1, ""},
        {"start far past the end", INT_MAX, 1, ""},
        {"start 0", 0, 3, ""},
        {"negative start", -1, 3, ""},
        {"count 0", 1, 0, ""},
        {"negative count", 1, -2, ""},
        {"count beyond the end", 1, 100, kTenBytes},
        {"largest count", 5, INT_MAX, "456789"},
    };
    for (const MidCase& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(midText(kTenBytes, test.start, test.count), test.expected);
    }
}

TEST(MidText, CutsInBytesEvenInsideADoubleByteCharacter) {
    // 晨 is B3 BF: starting on its second byte keeps that byte as it is.
    EXPECT_EQ(midText("a晨b", 3, 2),
              "\xBF"
              "b");
    EXPECT_EQ(midText("a晨b", 2, 1), "\xB3");
}

struct FindCase {
    const char* what;
    TextView text;
    TextView sought;
    std::optional<int> start;
    bool ignoreCase;
    int expected;
};

TEST(FindText, FindsTheFirstMatchCountedFromTheFirstByte) {
    const FindCase cases[] = {
        {"at the very beginning", "abcabc", "abc", std::nullopt, false, 1},
        {"later match", "xxabc", "abc", std::nullopt, false, 3},
        {"absent", "abcabc", "abd", std::nullopt, false, -1},
        {"sought longer than text", "ab", "abc", std::nullopt, false, -1},
        {"in the empty text", "", "a", std::nullopt, false, -1},
        {"start skips an earlier match", "abcdefabc", "abc", 5, false, 7},
        {"start on a match", "abcabc", "abc", 4, false, 4},
        {"start 1", "abcabc", "abc", 1, false, 1},
        {"start 0 counts as 1", "abcabc", "abc", 0, false, 1},
        {"negative start counts as 1", "abcabc", "abc", -3, false, 1},
        {"start on the last byte", "abcabc", "c", 6, false, 6},
        {"start beyond the end", "abcabc", "c", 7, false, -1},
        {"start far beyond the end", "abcabc", "c", INT_MAX, false, -1},
        {"too few bytes left after start", "abcab", "abc", 4, false, -1},
    };
    for (const FindCase& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(findText(test.text, test.sought, test.start, test.ignoreCase), test.expected);
    }
}

TEST(FindText, EmptySoughtTextIsFoundAtOneWheneverBytesRemain) {
    EXPECT_EQ(findText("abc", "", std::nullopt, false), 1);
    EXPECT_EQ(findText("abc", "", 3, false), 1);
    EXPECT_EQ(findText("abc", "", 4, false), -1);
    EXPECT_EQ(findText("", "", std::nullopt, false), -1);
}

TEST(FindText, TriesMatchesOnlyWhereACharacterBegins) {
    const Text endsInV(kPairEndingInV);
    const Text pairThenV = endsInV + "V";
    const Text lettersThenPair = "ab" + endsInV;
    const FindCase cases[] = {
        {"letter only as a second byte", endsInV, "V", std::nullopt, false, -1},
        {"letter only as a second byte, any case", endsInV, "v", std::nullopt, true, -1},
        {"letter after the pair", pairThenV, "V", std::nullopt, false, 3},
        {"whole pair", lettersThenPair, endsInV, std::nullopt, false, 3},
        {"after Chinese text", "晨枫定时器v1.3", "v", std::nullopt, false, 11},
        // Starting on a second byte makes it a lead byte: BF 61 is read as one character.
        {"characters counted from the start", "晨ab", "a", 2, false, -1},
        {"characters counted from the start, next one", "晨ab", "b", 2, false, 4},
    };
    for (const FindCase& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(findText(test.text, test.sought, test.start, test.ignoreCase), test.expected);
    }
}

TEST(FindText, IgnoringCaseFoldsAsciiLettersInEveryComparedByte) {
    const FindCase cases[] = {
        {"upper finds lower", "晨枫定时器v1.3", "V", std::nullopt, true, 11},
        {"lower finds upper", "晨枫定时器V1.3", "v", std::nullopt, true, 11},
        {"mixed case word", "Chenfeng TIMER", "timer", std::nullopt, true, 10},
        {"case matters without ignoreCase", "晨枫定时器v1.3", "V", std::nullopt, false, -1},
        {"full-width V is not V", "\xA3\xD6", "V", std::nullopt, true, -1},
        {"full-width V is not full-width v", "\xA3\xD6", "\xA3\xF6", std::nullopt, true, -1},
        {"second bytes fold too", kPairEndingInV, kPairEndingInLowerV, std::nullopt, true, 1},
        {"punctuation is not folded", "[", "{", std::nullopt, true, -1},
        {"@ is not folded to `", "@", "`", std::nullopt, true, -1},
    };
    for (const FindCase& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(findText(test.text, test.sought, test.start, test.ignoreCase), test.expected);
    }
}

TEST(FindText, StopsAtALeadByteWithoutASecondByte) {
    using namespace std::string_literals;
    // A lead byte followed by NUL ends the search, even with more bytes behind the NUL.
    EXPECT_EQ(findText("\xB3\0ab"s, "ab", std::nullopt, false), -1);

    // A lone lead byte at the very end of a buffer of exactly that size: nothing may be read
    // past it (the address sanitizer watches this).
    const std::vector<char> buffer = {'a', '\xB3'};
    const TextView endsInLeadByte(buffer.data(), buffer.size());
    EXPECT_EQ(findText(endsInLeadByte, "x", std::nullopt, false), -1);
    EXPECT_EQ(findText(endsInLeadByte, "\xB3", std::nullopt, false), 2);
}

TEST(BytesToText, KeepsTheBytesBeforeTheFirstZero) {
    struct Case {
        const char* what;
        Bytes bytes;
        TextView expected;
    };
    const Case cases[] = {
        {"empty buffer", {}, ""},
        {"zero first", {0x00, 0x31}, ""},
        {"zero in the middle", {0x31, 0x00, 0x32}, "1"},
        {"no zero", {0x31, 0x32, 0x33}, "123"},
        {"double-byte characters unchanged", {0xB3, 0xBF, 0x76}, "晨v"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(bytesToText(test.bytes), test.expected);
    }
}

}  // namespace
