#include "link/windows1252.h"

#include <gtest/gtest.h>

namespace corvel {
namespace {

TEST(Windows1252, EncodesLatinAndTheHighPunctuation) {
    // "Ünïcode €5 – Œ" : Latin-1 letters, the euro sign at 0x80, the en dash at
    // 0x96 and OE at 0x8C.
    EXPECT_EQ(Utf8ToWindows1252("\xC3\x9Cn\xC3\xAF" "code \xE2\x82\xAC" "5 \xE2\x80\x93 \xC5\x92"),
              std::string("\xDCn\xEF" "code \x80" "5 \x96 \x8C"));
    EXPECT_EQ(Utf8ToWindows1252("plain ASCII ~"), "plain ASCII ~");
    EXPECT_EQ(Utf8ToWindows1252(""), "");
}

TEST(Windows1252, RefusesWhatItCannotHold) {
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x9C\x93"), std::nullopt);      // check mark
    EXPECT_EQ(Utf8ToWindows1252("\xF0\x9F\x98\x80"), std::nullopt);  // emoji
    EXPECT_EQ(Utf8ToWindows1252("\xC2\x81"), std::nullopt);          // U+0081: no byte stands for it
    EXPECT_EQ(Utf8ToWindows1252("\xEF\xBF\xBD"), std::nullopt);      // the replacement character
    EXPECT_EQ(Utf8ToWindows1252("\xC3"), std::nullopt);              // cut sequence
    EXPECT_EQ(Utf8ToWindows1252("\xC0\xAF"), std::nullopt);          // overlong '/'
    EXPECT_EQ(Utf8ToWindows1252("\xED\xA0\x80"), std::nullopt);      // surrogate
    EXPECT_EQ(Utf8ToWindows1252("\xFF"), std::nullopt);
}

TEST(Windows1252, DecodesEveryByteAndRoundTrips) {
    EXPECT_EQ(Windows1252ToUtf8("\xDCn\xEF" "code \x80\x9F"), "\xC3\x9Cn\xC3\xAF" "code \xE2\x82\xAC\xC5\xB8");
    EXPECT_EQ(Windows1252ToUtf8(std::string("\x81\x8D\x8F\x90\x9D", 5)),
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) continue;
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(one)), one) << "byte " << byte;
    }
}

}  // namespace
}  // namespace corvel
