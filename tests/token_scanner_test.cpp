#include "readers/token_scanner.h"

#include <cstdio>
#include <cstring>
#include <random>

#include "test_support.h"

namespace vivezeru5 {
namespace {

// Runs `read` on a scanner over `text` and returns what remains unread.
template <typename Read>
std::string remainderAfter(const std::string& text, Read read) {
    testing::ScratchFile file(text);
    std::FILE* handle = std::fopen(file.path(), "r");
    TokenScanner scanner(handle);
    read(scanner);
    std::string rest;
    std::string word;
    std::size_t length = 0;
    // Reassemble what is left, token by token, to see where the scanner stopped.
    while (scanner.readWord(word, 1 << 20, length)) {
        rest += (rest.empty() ? "" : " ") + word;
    }
    std::fclose(handle);
    return rest;
}

TEST(TokenScanner, IntegerConversions) {
    struct Case {
        const char* text;
        bool converts;
        std::int32_t value;
        const char* rest;
    };
    const Case cases[] = {
        {"42 7", true, 42, "7"},
        {"  \t\n\v\f\r-17x", true, -17, "x"},
        {"+5", true, 5, ""},
        {"-x", false, 0, "x"},     // the lone sign is consumed
        {"abc", false, 0, "abc"},  // nothing consumed
        {"12.75", true, 12, ".75"},
        {"0x1F", true, 0, "x1F"},
        {"3000000000", true, static_cast<std::int32_t>(3000000000LL), ""},
        {"99999999999999999999999", true, -1, ""},  // saturates as a long, then cut
        {"9223372036854775807", true, -1, ""},
        {"9223372036854775808", true, -1, ""},
        {"-9223372036854775808", true, 0, ""},
        {"-9223372036854775809", true, 0, ""},
        {"922337203685477579", true, static_cast<std::int32_t>(922337203685477579LL), ""},
        {"-922337203685477581", true, static_cast<std::int32_t>(-922337203685477581LL), ""},
        {"", false, 0, ""},
    };
    for (const Case& c : cases) {
        std::int32_t value = 0;
        bool converted = false;
        const std::string rest = remainderAfter(c.text, [&](TokenScanner& s) { converted = s.readInt(value); });
        EXPECT_EQ(converted, c.converts) << c.text;
        if (c.converts) {
            EXPECT_EQ(value, c.value) << c.text;
        }
        EXPECT_EQ(rest, c.rest) << c.text;
    }
}

TEST(TokenScanner, RealConversions) {
    struct Case {
        const char* text;
        bool converts;
        float value;
        const char* rest;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {"850", true, 850.0f, ""},
        {"850.0", true, 850.0f, ""},
        {"-12.5 3", true, -12.5f, "3"},
        {".5", true, 0.5f, ""},
        {"1e3x", true, 1000.0f, "x"},
        {"1e+", true, 1.0f, ""},  // taken whole, converts as 1
        {"1.5.3", true, 1.5f, ".3"},
        {"0x1p4", true, 16.0f, ""},
        {"0x", false, 0, ""},
        {"+.", false, 0, ""},
        {"-inf", true, -inf, ""},
        {"Infinity!", true, inf, "!"},
        {"infx", true, inf, "x"},
        {"e5", false, 0, "e5"},
        {"0.1", true, 0.1f, ""},
        {"16777217", true, 16777216.0f, ""},  // rounded once, to nearest even
        {"1677721.7", true, 1677721.75f, ""},  // a mantissa past 2^24 with a fraction
        {"3355443.1", true, 3355443.0f, ""},   // nearer 3355443.0 than 3355443.25
        {"0.05", true, 0.05f, ""},
        {"1.0000001788139343", true, 0x1.000002p+0f, ""},  // rounded once, not through double
        {"3.4028236e38", true, inf, ""},
        {"-1e-50", true, -0.0f, ""},
        {"0x1.8p-150", true, 0x1p-149f, ""},
        {"0x1p-150", true, 0.0f, ""},  // a tie below the smallest subnormal goes to even
        {"0X1.FFFFFFP127", true, inf, ""},
        {"1e99999999999999999999", true, inf, ""},
        {"0x.", true, 0.0f, ""},
    };
    for (const Case& c : cases) {
        float value = 0;
        bool converted = false;
        const std::string rest = remainderAfter(c.text, [&](TokenScanner& s) { converted = s.readFloat(value); });
        EXPECT_EQ(converted, c.converts) << c.text;
        if (c.converts) {
            EXPECT_TRUE(testing::sameFloat(c.value, value)) << c.text;
        }
        EXPECT_EQ(rest, c.rest) << c.text;
    }
}

TEST(TokenScanner, NanSpellings) {
    float value = 0;
    bool converted = false;
    const std::string rest = remainderAfter("NaN(12)", [&](TokenScanner& s) { converted = s.readFloat(value); });
    EXPECT_TRUE(converted);
    EXPECT_TRUE(std::isnan(value));
    EXPECT_EQ(rest, "(12)");
}

TEST(TokenScanner, WordsKeepAtMostTheLimitButReportTheLength) {
    std::string word;
    std::size_t length = 0;
    const std::string rest = remainderAfter("  diamondandmore 5", [&](TokenScanner& s) {
        ASSERT_TRUE(s.readWord(word, 7, length));
    });
    EXPECT_EQ(word, "diamond");
    EXPECT_EQ(length, 14u);
    EXPECT_EQ(rest, "5");
}

// A word with a limit is given up as soon as it passes the limit: no more
// than limit + 1 of its characters are taken.
TEST(TokenScanner, ShortWordsStopOneCharacterPastTheLimit) {
    struct Case {
        const char* text;
        bool read;
        const char* word;
        const char* rest;
    };
    const Case cases[] = {
        {"diamond 5", true, "diamond", "5"},
        {"  March", true, "March", ""},
        {"abcdefghijk x", true, "abcdefghijk", "x"},  // exactly 11
        {"diamondandmore 5", false, "", "re 5"},      // 12 taken, the rest left
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string word;
        bool read = false;
        const std::string rest = remainderAfter(c.text, [&](TokenScanner& s) { read = s.readShortWord(word, 11); });
        EXPECT_EQ(read, c.read) << c.text;
        if (c.read) {
            EXPECT_EQ(word, c.word) << c.text;
        }
        EXPECT_EQ(rest, c.rest) << c.text;
    }
}

TEST(TokenScanner, GroupedReadsStopAtTheFirstFailure) {
    std::int32_t values[6] = {-1, -1, -1, -1, -1, -1};
    int converted = 0;
    const std::string rest = remainderAfter("1 2 3 x 5 6", [&](TokenScanner& s) {
        converted = readInts(s, values, 6);
    });
    EXPECT_EQ(converted, 3);
    EXPECT_EQ(values[3], -1);
    EXPECT_EQ(rest, "x 5 6");
}

}  // namespace
}  // namespace vivezeru5

namespace vivezeru5 {
namespace {

// Short decimals take a fast path; every one must round exactly as strtof does.
TEST(TokenScanner, ShortDecimalsRoundAsTheCLibraryDoes) {
    std::mt19937_64 random(20261208);
    std::vector<std::string> tokens;
    const char* const fixed[] = {"0", "-0", "+0.0", "16777216", "16777217", "16777218", "0.1",
                                 "-12.5", "1e10", "1e-10", "9999999e10", "1.0000001", "3.4028235e38",
                                 "1e+", "2e", "0000000000000000012.5", "123456789", "0.000001"};
    tokens.assign(std::begin(fixed), std::end(fixed));
    for (int i = 0; i < 200000; ++i) {
        std::string token = (random() % 4 == 0) ? "-" : "";
        const int digits = 1 + static_cast<int>(random() % 9);
        const int dot = static_cast<int>(random() % (digits + 2));
        for (int d = 0; d < digits; ++d) {
            if (d == dot) {
                token += '.';
            }
            token += static_cast<char>('0' + random() % 10);
        }
        if (random() % 3 == 0) {
            token += 'e' + std::to_string(static_cast<int>(random() % 25) - 12);
        }
        tokens.push_back(token);
    }
    std::string text;
    for (const std::string& token : tokens) {
        text += token + "\n";
    }
    testing::ScratchFile file(text);
    std::FILE* handle = std::fopen(file.path(), "r");
    TokenScanner scanner(handle);
    for (const std::string& token : tokens) {
        float value = 0;
        ASSERT_TRUE(scanner.readFloat(value)) << token;
        const float expected = std::strtof(token.c_str(), nullptr);
        ASSERT_TRUE(testing::sameFloat(expected, value)) << token;
    }
    std::fclose(handle);
}

}  // namespace
}  // namespace vivezeru5
