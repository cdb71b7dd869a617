// Token-by-token reading of the Velmor text formats. Each conversion behaves as
// the C library's formatted input does for "%d", "%f" and "%s": leading white
// space is skipped, the same characters are consumed, and a failed conversion
// leaves the stream where the C library would leave it, so that a broken file
// is read exactly as far, and as wrongly, as the formats have always been read.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vivezeru5 {

class TokenScanner {
public:
    // Reads from `file`, which stays open and owned by the caller.
    explicit TokenScanner(std::FILE* file);
    TokenScanner(const TokenScanner&) = delete;
    TokenScanner& operator=(const TokenScanner&) = delete;

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
    // of the input.
    bool readWord(std::string& word, std::size_t keep, std::size_t& length);

    // The file position the C library's formatted input would have left after
    // the same conversions: the handle's position less the characters read
    // ahead into the buffer or pushed back. -1 when the handle cannot tell.
    long position() const;

private:
    int get() {  // next character, or EOF
        if (pushedBack_ != EOF) {
            const int c = pushedBack_;
            pushedBack_ = EOF;
            return c;
        }
        return position_ < filled_ ? buffer_[position_++] : refill();
    }
    int refill();         // reads the next buffer-full; its first character, or EOF
    void unget(int c);    // pushes back the character `get` just returned
    int skipBlanks();     // skips white space; returns the first other character, consumed

    std::FILE* file_;
    unsigned char buffer_[1 << 16];
    std::size_t position_ = 0;
    std::size_t filled_ = 0;
    int pushedBack_ = EOF;
    bool atEnd_ = false;
};

// One formatted read of `count` integers ("%d %d ..."): converts into
// values[0], values[1], ... and stops at the first that does not convert.
// Returns how many converted; the values after them are left as they were.
int readInts(TokenScanner& scanner, std::int32_t* values, int count);

// The same for `count` real numbers ("%f %f ...").
int readFloats(TokenScanner& scanner, float* values, int count);

}  // namespace vivezeru5
