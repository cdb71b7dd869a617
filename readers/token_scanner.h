// Token-by-token reading of the Velmor text formats. Each conversion behaves as
// the C library's formatted input does for "%d", "%f" and "%s": leading white
// space is skipped, the same characters are consumed, and a failed conversion
// leaves the stream where the C library would leave it, so that a broken file
// is read exactly as far, and as wrongly, as the formats have always been read.
//
// One departure bounds the reading: a run of non-blank characters longer than
// kMaxTokenLength ends it. The conversion that would take the run's next
// character fails, and so does every conversion after it, as at the end of
// the input. No file a station network writes comes near the limit; a device,
// a pipe or a damaged file that never ends its word stops there.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace vivezeru5 {

// The longest word or number read, in characters (1 MiB).
inline constexpr std::size_t kMaxTokenLength = std::size_t{1} << 20;

class TokenScanner {
public:
    // Reads from `file`, which stays open and owned by the caller. The
    // read-ahead buffer is allocated here: check isReady() before reading.
    explicit TokenScanner(std::FILE* file);
    TokenScanner(const TokenScanner&) = delete;
    TokenScanner& operator=(const TokenScanner&) = delete;

    // False when the read-ahead buffer could not be allocated; every
    // conversion then fails.
    bool isReady() const { return buffer_ != nullptr; }

    // "%d": an optionally signed decimal integer. A value outside the range of
    // a 64-bit long saturates, and is then cut to its low 32 bits, as the C
    // library stores it. Returns false (and leaves `value`) when nothing converts.
    bool readInt(std::int32_t& value);

    // "%f": a decimal or hexadecimal real number, "inf", "infinity" or "nan",
    // rounded once to float. Returns false (and leaves `value`) when nothing
    // converts.
    bool readFloat(float& value);

    // "%s": the next run of non-blank characters. At most `keep` characters are
    // stored in `word`; `length` receives the whole token's length, so a caller
    // can tell a token that exceeds its working limit. Returns false at the end
    // of the input (or of the reading).
    bool readWord(std::string& word, std::size_t keep, std::size_t& length);

    // "%s" for a word that may not exceed `limit` characters: stores it in
    // `word`. Returns false at the end of the input or, having taken no more
    // than limit + 1 characters, when the word is longer.
    bool readShortWord(std::string& word, std::size_t limit);

    // Short numbers (short_tokens.h) taken straight from the read-ahead
    // buffer: as many of the next `count` as are short and lie whole in the
    // buffer, converted as "%d" or "%f" would. Returns how many were taken;
    // the values after them are left as they were, for readInt or readFloat.
    int takeShortIntegers(std::int32_t* values, int count);
    int takeShortDecimals(float* values, int count);

    // The file position the C library's formatted input would have left after
    // the same conversions: the handle's position less the characters read
    // ahead into the buffer or pushed back. -1 when the handle cannot tell.
    long position() const;

    // True once a run longer than the longest token has ended the reading.
    bool endedOnLongToken() const { return ended_; }

private:
    // Next character, or EOF. A non-blank character lengthens the current run
    // (a blank taken by skipBlanks ends it); once a character past the longest
    // token has been taken, the input ends for good.
    int get() {
        if (pushedBack_ != EOF) {
            const int c = pushedBack_;
            pushedBack_ = EOF;
            return countInRun(c);
        }
        return countInRun(position_ < filled_ ? buffer_[position_++] : refill());
    }
    int countInRun(int c) {
        if (c == EOF || (c <= ' ' && isBlankCharacter(c))) {
            return c;
        }
        // The character after the first one past the limit: that one was taken.
        if (++runLength_ > kMaxTokenLength + 1) {
            endReading();
            return EOF;
        }
        return c;
    }
    static bool isBlankCharacter(int c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }
    int refill();         // reads the next buffer-full; its first character, or EOF
    void unget(int c);    // pushes back the character `get` just returned
    int skipBlanks();     // skips white space; returns the first other character, consumed
    void endReading();    // every later conversion fails, as at the end of the input
    // Ends the reading when the conversion just made took a run past the
    // longest token; returns whether the reading has ended.
    bool endedByLongToken();
    // One conversion of the C library's, then the check of its run length:
    // `value` is written only when `convert` succeeds within the limit.
    template <typename Value, typename Convert>
    bool boundedConversion(Value& value, Convert convert);
    template <typename Value, typename Scan>
    int takeShortTokens(Value* values, int count, Scan scan);
    bool convertInt(std::int32_t& value);
    bool convertFloat(float& value);
    bool takeWord(std::string& word, std::size_t keep, std::size_t stopAfter, std::size_t& length);

    std::FILE* file_;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t position_ = 0;
    std::size_t filled_ = 0;
    int pushedBack_ = EOF;
    bool atEnd_ = false;
    bool ended_ = false;         // a run passed the longest token
    std::size_t runLength_ = 0;  // non-blank characters taken since the last blank
};

// One formatted read of `count` integers ("%d %d ..."): converts into
// values[0], values[1], ... and stops at the first that does not convert.
// Returns how many converted; the values after them are left as they were.
int readInts(TokenScanner& scanner, std::int32_t* values, int count);

// The same for `count` real numbers ("%f %f ...").
int readFloats(TokenScanner& scanner, float* values, int count);

}  // namespace vivezeru5
