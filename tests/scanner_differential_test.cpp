// The token scanner against the C library's own formatted input: the same
// generated streams go through fscanf and through TokenScanner, and every
// conversion must agree on whether it converted, on the value to the last bit
// and on where the stream stands afterwards.
//
// Where the C standard leaves the result open (an integer out of range) or
// where the C library departs from it ("1e+" read as 1, "0x." read as 0), the
// scanner follows the C library too, so no case is excluded here.
#include "readers/token_scanner.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "test_support.h"

namespace vivezeru5 {
namespace {

constexpr int kStreams = 120000;
constexpr int kMaxConversionsPerStream = 40;
constexpr int kMaxReportedMismatches = 20;

class Generator {
public:
    explicit Generator(std::uint64_t seed) : random_(seed) {}

    std::string stream() {
        std::string text;
        const int pieces = below(4) == 0 ? 1 + below(3) : 2 + below(12);
        if (chance(10)) {
            text += blanks();
        }
        for (int i = 0; i < pieces; ++i) {
            text += piece();
            // Most tokens are separated, some run into the next one.
            text += chance(6) ? std::string() : blanks();
        }
        return text;
    }

private:
    int below(int n) { return static_cast<int>(random_() % static_cast<std::uint64_t>(n)); }
    bool chance(int oneIn) { return below(oneIn) == 0; }
    template <std::size_t N>
    const char* pick(const char* const (&choices)[N]) {
        return choices[below(static_cast<int>(N))];
    }

    std::string blanks() {
        static const char kBlank[] = {' ', '\t', '\n', '\v', '\f', '\r'};
        std::string text;
        const int count = chance(3) ? 1 + below(5) : 1;
        for (int i = 0; i < count; ++i) {
            text.push_back(chance(2) ? ' ' : kBlank[below(6)]);
        }
        return text;
    }

    std::string digits(int count, bool hexadecimal = false) {
        static const char kHex[] = "0123456789abcdefABCDEF";
        std::string text;
        for (int i = 0; i < count; ++i) {
            text.push_back(hexadecimal ? kHex[below(22)] : static_cast<char>('0' + below(10)));
        }
        return text;
    }

    std::string sign() {
        const int roll = below(6);
        return roll == 0 ? "-" : roll == 1 ? "+" : "";
    }

    std::string leadingZeros() { return chance(5) ? std::string(static_cast<std::size_t>(1 + below(30)), '0') : ""; }

    std::string mixedCase(const char* word) {
        std::string text;
        for (const char* c = word; *c != '\0'; ++c) {
            text.push_back(chance(2) ? static_cast<char>(*c - 'a' + 'A') : *c);
        }
        return text;
    }

    std::string integer() {
        static const char* const kEdges[] = {
            "2147483647",          "2147483648",          "4294967295",          "4294967296",
            "9223372036854775807", "9223372036854775808", "18446744073709551615", "18446744073709551616",
            "99999999999999999999999999", "0", "00",
        };
        if (chance(4)) {
            return sign() + leadingZeros() + kEdges[below(static_cast<int>(std::size(kEdges)))];
        }
        const int length = chance(8) ? 15 + below(20) : 1 + below(10);
        return sign() + leadingZeros() + digits(length);
    }

    std::string exponent(char letter) {
        std::string text(1, chance(2) ? letter : static_cast<char>(letter - 'a' + 'A'));
        text += sign();
        const int roll = below(10);
        if (roll == 0) {
            return text;  // nothing after the exponent letter or its sign
        }
        if (roll == 1) {
            static const char* const kLarge[] = {"38", "39", "45", "46", "50", "308", "400", "99999999999", "4294967296"};
            return text + leadingZeros() + pick(kLarge);
        }
        return text + leadingZeros() + digits(1 + below(3));
    }

    std::string decimal() {
        std::string text = sign() + leadingZeros();
        const int form = below(4);
        if (form != 1) {
            text += digits(chance(10) ? 20 + below(40) : 1 + below(8));
        }
        if (form != 0) {
            text += '.';
            if (!chance(5)) {
                text += digits(chance(10) ? 20 + below(60) : 1 + below(8));
            }
        }
        if (chance(3)) {
            text += exponent('e');
        }
        return text;
    }

    std::string hexadecimal() {
        std::string text = sign() + (chance(2) ? "0x" : "0X");
        if (!chance(6)) {
            text += digits(1 + below(chance(8) ? 30 : 8), true);
        }
        if (chance(2)) {
            text += '.';
            if (!chance(4)) {
                text += digits(1 + below(8), true);
            }
        }
        if (chance(2)) {
            text += exponent('p');
        }
        return text;
    }

    std::string spelled() {
        static const char* const kWords[] = {"inf", "infinity", "nan", "in", "i", "infin", "infinit", "infinityy",
                                             "n", "na", "nanx", "nan(1)", "nan()", "infx", "inn", "nab"};
        return sign() + mixedCase(pick(kWords));
    }

    std::string partial() {
        static const char* const kPartial[] = {
            "1e",  "1e+",  "1e-",  "-",   "+",    "+.",   "-.",   ".",    "..",  "0x",  "0X",   "0x.",
            "0xp", "0xp1", "0x.p1", "e5", ".e1",  "1.e",  "1..2", "--1",  "+-1", "1e+-2", "1ee2", "0e",
            "0e1", "00e",  "0.e",  ".5e", "1.5.3", "0x1p", "0x1p+", "1p3", "0x1e3", "-0x", "+0x1.", "0xg",
            "1e5e5", "1-2", "1+2", "5.", "-0", "+0", "0.0e0",
        };
        return pick(kPartial);
    }

    std::string junk() {
        std::string text;
        const int length = 1 + below(6);
        for (int i = 0; i < length; ++i) {
            const int roll = below(5);
            if (roll == 0) {
                text.push_back('\0');
            } else if (roll == 1) {
                text.push_back(static_cast<char>(128 + below(128)));
            } else if (roll == 2) {
                text.push_back(static_cast<char>(33 + below(94)));  // printable punctuation and letters
            } else {
                text.push_back(static_cast<char>(below(32)));  // control characters, some of them blanks
            }
        }
        return text;
    }

    std::string longToken() {
        // Long enough, now and then, to straddle the scanner's read-ahead buffer.
        const std::size_t length = chance(20) ? 65536 + static_cast<std::size_t>(below(70000))
                                              : 100 + static_cast<std::size_t>(below(4000));
        switch (below(4)) {
            case 0:
                return sign() + digits(static_cast<int>(length));
            case 1:
                return "0." + std::string(length, '0') + digits(3) + exponent('e');
            case 2:
                return sign() + "0x" + digits(static_cast<int>(length), true) + "p-" + digits(2);
            default:
                return std::string(length, static_cast<char>('a' + below(26)));
        }
    }

    std::string piece() {
        const int roll = below(100);
        if (roll < 25) return integer();
        if (roll < 50) return decimal();
        if (roll < 60) return hexadecimal();
        if (roll < 70) return spelled();
        if (roll < 85) return partial();
        if (roll < 97) return junk();
        if (roll < 99 || chance(3)) return std::string(1, "abcxyz"[below(6)]);
        return longToken();
    }

    std::mt19937_64 random_;
};

std::string printable(const std::string& text) {
    std::string out;
    const std::size_t shown = std::min<std::size_t>(text.size(), 300);
    for (std::size_t i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 32 && c < 127 && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        }
    }
    if (shown < text.size()) {
        out += "... (" + std::to_string(text.size()) + " bytes)";
    }
    return out;
}

std::string bitsOf(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    char text[96];
    std::snprintf(text, sizeof text, "%a [0x%08" PRIx32 "]", static_cast<double>(value), bits);
    return text;
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

enum class Conversion { Int, Float, Word, ThreeInts, ThreeFloats };

const char* nameOf(Conversion conversion) {
    switch (conversion) {
        case Conversion::Int: return "%d";
        case Conversion::Float: return "%f";
        case Conversion::Word: return "%s";
        case Conversion::ThreeInts: return "%d%d%d";
        case Conversion::ThreeFloats: return "%f%f%f";
    }
    return "?";
}

// A memory-backed stream over `text`, closed with the object.
struct MemoryStream {
    explicit MemoryStream(std::string& text)
        : handle(fmemopen(text.data(), text.size(), "r")) {}
    ~MemoryStream() {
        if (handle != nullptr) {
            std::fclose(handle);
        }
    }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    std::FILE* handle;
};

// Runs one conversion on both sides; returns a description of the first
// disagreement, or an empty string.
std::string compareConversion(Conversion conversion, std::FILE* library, TokenScanner& scanner,
                              std::vector<char>& wordBuffer, std::size_t keep) {
    std::string problem;
    auto note = [&](const std::string& what) {
        if (problem.empty()) {
            problem = what;
        }
    };
    int libraryCount = 0;
    int scannerCount = 0;
    switch (conversion) {
        case Conversion::Int:
        case Conversion::ThreeInts: {
            const int count = conversion == Conversion::Int ? 1 : 3;
            int expected[3] = {-77, -77, -77};
            std::int32_t actual[3] = {-77, -77, -77};
            libraryCount = count == 1 ? std::fscanf(library, "%d", &expected[0])
                                      : std::fscanf(library, "%d%d%d", &expected[0], &expected[1], &expected[2]);
            scannerCount = readInts(scanner, actual, count);
            for (int i = 0; i < count; ++i) {
                if (expected[i] != actual[i]) {
                    note("value " + std::to_string(i) + ": C library " + std::to_string(expected[i]) +
                         ", scanner " + std::to_string(actual[i]));
                }
            }
            break;
        }
        case Conversion::Float:
        case Conversion::ThreeFloats: {
            const int count = conversion == Conversion::Float ? 1 : 3;
            float expected[3] = {-77.5f, -77.5f, -77.5f};
            float actual[3] = {-77.5f, -77.5f, -77.5f};
            libraryCount = count == 1 ? std::fscanf(library, "%f", &expected[0])
                                      : std::fscanf(library, "%f%f%f", &expected[0], &expected[1], &expected[2]);
            scannerCount = readFloats(scanner, actual, count);
            for (int i = 0; i < count; ++i) {
                if (!sameBits(expected[i], actual[i])) {
                    note("value " + std::to_string(i) + ": C library " + bitsOf(expected[i]) + ", scanner " +
                         bitsOf(actual[i]));
                }
            }
            break;
        }
        case Conversion::Word: {
            int start = -1;
            int end = -1;
            libraryCount = std::fscanf(library, " %n%s%n", &start, wordBuffer.data(), &end);
            std::string word;
            std::size_t length = 0;
            scannerCount = scanner.readWord(word, keep, length) ? 1 : 0;
            if (libraryCount == 1 && scannerCount == 1) {
                const auto expectedLength = static_cast<std::size_t>(end - start);
                if (length != expectedLength) {
                    note("token length: C library " + std::to_string(expectedLength) + ", scanner " +
                         std::to_string(length));
                }
                const std::size_t kept = std::min(keep, expectedLength);
                if (word.size() != kept || std::memcmp(word.data(), wordBuffer.data(), kept) != 0) {
                    note("token text: C library \"" + printable(std::string(wordBuffer.data(), kept)) +
                         "\", scanner \"" + printable(word) + "\"");
                }
            }
            break;
        }
    }
    // fscanf tells an input failure before any conversion (EOF) from a
    // matching failure (0); the scanner reports both as no conversion.
    if (libraryCount == EOF) {
        libraryCount = 0;
    }
    if (libraryCount != scannerCount) {
        problem = "conversions: C library " + std::to_string(libraryCount) + ", scanner " +
                  std::to_string(scannerCount) + (problem.empty() ? "" : "; " + problem);
    }
    const long expectedPosition = std::ftell(library);
    const long actualPosition = scanner.position();
    if (expectedPosition != actualPosition) {
        note("position: C library " + std::to_string(expectedPosition) + ", scanner " +
             std::to_string(actualPosition));
    }
    return problem;
}

TEST(ScannerAgainstCLibrary, GeneratedStreamsConvertIdentically) {
    Generator generator(0x5eed'2024'0b5e'77a1ULL);
    std::mt19937_64 choices(0xc0ffee'1234ULL);
    std::vector<char> wordBuffer;
    int mismatches = 0;
    long conversions = 0;
    for (int n = 0; n < kStreams && mismatches < kMaxReportedMismatches; ++n) {
        std::string text = generator.stream();
        std::string copy = text;  // each stream reads its own bytes
        MemoryStream library(text);
        MemoryStream scanned(copy);
        ASSERT_NE(library.handle, nullptr);
        ASSERT_NE(scanned.handle, nullptr);
        auto scanner = std::make_unique<TokenScanner>(scanned.handle);
        if (wordBuffer.size() < text.size() + 1) {
            wordBuffer.resize(text.size() + 1);
        }
        std::string steps;
        for (int i = 0; i < kMaxConversionsPerStream; ++i) {
            const auto conversion = static_cast<Conversion>(choices() % 5);
            static const std::size_t kKeep[] = {0, 1, 11, std::string::npos};
            const std::size_t keep = kKeep[choices() % 4];
            steps += std::string(steps.empty() ? "" : " ") + nameOf(conversion);
            const std::string problem = compareConversion(conversion, library.handle, *scanner, wordBuffer, keep);
            ++conversions;
            if (!problem.empty()) {
                ADD_FAILURE() << "stream " << n << ", conversions " << steps << ": " << problem
                              << "\n  input: \"" << printable(text) << "\"";
                ++mismatches;
                break;
            }
            if (std::feof(library.handle) && scanner->position() == static_cast<long>(text.size())) {
                break;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    RecordProperty("conversions", std::to_string(conversions));
}

// Hand-picked streams whose behaviour each reader relies on; the generated
// streams above cover them too, but a failure here names the case.
TEST(ScannerAgainstCLibrary, NamedStreams) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<Conversion> conversions;
    };
    using C = Conversion;
    const Case cases[] = {
        {"exponent without digits", "1e+ 5", {C::Float, C::Int}},
        {"hex prefix without digits", "0x 0x. 0xp1", {C::Float, C::Float, C::Float, C::Word}},
        {"sign then blank", "- 4 + 5", {C::Int, C::Int, C::Float, C::Float}},
        {"sign at end of input", "7 -", {C::Int, C::Float, C::Int}},
        {"broken spelling consumes the letter", "infinitx 5 nab 6", {C::Float, C::Int, C::Float, C::Int}},
        {"carriage returns and vertical tabs", "1\r\n2\v3\f4\r", {C::ThreeInts, C::Float, C::Int}},
        {"NUL inside a word", std::string("ab\0cd 5", 7), {C::Word, C::Int}},
        {"bytes above 127", "\xe9\xff 5 \x80", {C::Word, C::Float, C::Word, C::Word}},
        {"integer overflow", "99999999999999999999 -99999999999999999999 2147483648", {C::ThreeInts}},
        {"float out of range", "1e39 1e-50 -1e400 0x1p-149 0x1p-150", {C::ThreeFloats, C::ThreeFloats}},
        {"word straddling the read-ahead buffer", std::string(65535, ' ') + "123456 7", {C::Word, C::Int, C::Int}},
        {"number straddling the read-ahead buffer", std::string(65534, '\n') + "1.25e2 8", {C::Float, C::Int}},
        {"a tie decided by a digit far behind it",
         "16777217." + std::string(1000, '0') + "1 16777217." + std::string(1000, '0') + " 0x1000001." +
             std::string(900, '0') + "1p0",
         {C::Float, C::Float, C::Float}},
        {"thousands of digits before and after the point",
         "0." + std::string(3000, '0') + "15e3010 1" + std::string(3000, '0') + "e-2990 " + std::string(2000, '9') +
             " -0." + std::string(2000, '0') + "1e99999999999",
         {C::ThreeFloats, C::Float}},
    };
    std::vector<char> wordBuffer;
    for (const Case& c : cases) {
        std::string text = c.text;
        std::string copy = text;
        MemoryStream library(text);
        MemoryStream scanned(copy);
        ASSERT_NE(library.handle, nullptr) << c.name;
        auto scanner = std::make_unique<TokenScanner>(scanned.handle);
        wordBuffer.assign(text.size() + 1, '\0');
        for (std::size_t i = 0; i < c.conversions.size(); ++i) {
            const std::string problem =
                compareConversion(c.conversions[i], library.handle, *scanner, wordBuffer, std::string::npos);
            EXPECT_EQ(problem, "") << c.name << ", conversion " << i + 1 << " ("
                                   << nameOf(c.conversions[i]) << ")\n  input: \"" << printable(text) << "\"";
        }
    }
}

}  // namespace
}  // namespace vivezeru5
