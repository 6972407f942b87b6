#include "store/codepage.h"

#include <gtest/gtest.h>

#include <string>

using namespace qp::store;

TEST(Codepage, AsciiPassesThrough) {
    const std::string ascii = "Hello, World! 0123 ~\t\n";
    EXPECT_EQ(cp1252ToUtf8(ascii), ascii);
    EXPECT_EQ(utf8ToCp1252(ascii).bytes, ascii);
    EXPECT_EQ(utf8ToCp1252(ascii).replaced, 0u);
    EXPECT_EQ(cp1252ToUtf8(""), "");
    EXPECT_EQ(utf8ToCp1252Exact("").value(), "");
}

TEST(Codepage, LatinOneRange) {
    EXPECT_EQ(cp1252ToUtf8("\xE9"), "\xC3\xA9");           // é
    EXPECT_EQ(cp1252ToUtf8("\xA0"), "\xC2\xA0");           // no-break space
    EXPECT_EQ(cp1252ToUtf8("\xFF"), "\xC3\xBF");           // ÿ
    EXPECT_EQ(cp1252ToUtf8("M\xFCller"), "M\xC3\xBCller"); // Müller
    EXPECT_EQ(utf8ToCp1252("Stra\xC3\x9F"
                           "e")
                  .bytes,
              "Stra\xDF"
              "e");
}

TEST(Codepage, TheEightiesAndNineties) {
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC"); // €
    EXPECT_EQ(cp1252ToUtf8("\x82"), "\xE2\x80\x9A"); // ‚
    EXPECT_EQ(cp1252ToUtf8("\x83"), "\xC6\x92");     // ƒ
    EXPECT_EQ(cp1252ToUtf8("\x85"), "\xE2\x80\xA6"); // …
    EXPECT_EQ(cp1252ToUtf8("\x8A"), "\xC5\xA0");     // Š
    EXPECT_EQ(cp1252ToUtf8("\x8C"), "\xC5\x92");     // Œ
    EXPECT_EQ(cp1252ToUtf8("\x8E"), "\xC5\xBD");     // Ž
    EXPECT_EQ(cp1252ToUtf8("\x93\x94"), "\xE2\x80\x9C\xE2\x80\x9D");
    EXPECT_EQ(cp1252ToUtf8("\x96\x97"), "\xE2\x80\x93\xE2\x80\x94");
    EXPECT_EQ(cp1252ToUtf8("\x99"), "\xE2\x84\xA2"); // ™
    EXPECT_EQ(cp1252ToUtf8("\x9A"), "\xC5\xA1");     // š
    EXPECT_EQ(cp1252ToUtf8("\x9C"), "\xC5\x93");     // œ
    EXPECT_EQ(cp1252ToUtf8("\x9F"), "\xC5\xB8");     // Ÿ
    // The five holes of the code page survive as C1 controls.
    EXPECT_EQ(cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
}

TEST(Codepage, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::string utf8 = cp1252ToUtf8(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    const Cp1252Text back = utf8ToCp1252(utf8);
    EXPECT_EQ(back.bytes, all);
    EXPECT_EQ(back.replaced, 0u);
    EXPECT_EQ(utf8ToCp1252Exact(utf8).value(), all);
}

TEST(Codepage, UnmappableCharactersBecomeQuestionMarks) {
    // "Ω€中😀" : Greek, euro (fits), CJK, emoji.
    const std::string text = "\xCE\xA9\xE2\x82\xAC\xE4\xB8\xAD\xF0\x9F\x98\x80";
    const Cp1252Text t = utf8ToCp1252(text);
    EXPECT_EQ(t.bytes, "?\x80??");
    EXPECT_EQ(t.replaced, 3u);
    EXPECT_FALSE(utf8ToCp1252Exact(text).has_value());
    EXPECT_EQ(utf8ToCp1252Exact("\xE2\x82\xAC\xC5\x93").value(), "\x80\x9C");
    // A C1 control that is not one of the holes has no byte of its own.
    EXPECT_EQ(utf8ToCp1252("\xC2\x80").bytes, "?");
}

TEST(Codepage, InvalidUtf8) {
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));
    EXPECT_TRUE(isValidUtf8("\xF4\x8F\xBF\xBF")); // U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE9"));            // a bare Windows-1252 byte
    EXPECT_FALSE(isValidUtf8("\xC3"));            // cut short
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));
    EXPECT_FALSE(isValidUtf8("\x80"));             // stray continuation
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));     // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xF8\x88\x80\x80\x80"));
    EXPECT_FALSE(isValidUtf8("\xFF"));

    const Cp1252Text t = utf8ToCp1252("a\xE9z");
    EXPECT_EQ(t.bytes, "a?z");
    EXPECT_EQ(t.replaced, 1u);
    // A truncated sequence counts once and does not swallow what follows.
    const Cp1252Text cut = utf8ToCp1252("\xE2\x82z\xC3");
    EXPECT_EQ(cut.bytes, "?z?");
    EXPECT_EQ(cut.replaced, 2u);
    EXPECT_FALSE(utf8ToCp1252Exact("a\xE9z").has_value());
}

TEST(Codepage, UpperCase) {
    EXPECT_EQ(upperCp1252(std::string_view("abc xyz 123")), "ABC XYZ 123");
    EXPECT_EQ(upperCp1252('q'), 'Q');
    EXPECT_EQ(upperCp1252(0xE0), 0xC0); // à
    EXPECT_EQ(upperCp1252(0xE9), 0xC9); // é
    EXPECT_EQ(upperCp1252(0xF1), 0xD1); // ñ
    EXPECT_EQ(upperCp1252(0xFE), 0xDE); // þ
    EXPECT_EQ(upperCp1252(0x9A), 0x8A); // š
    EXPECT_EQ(upperCp1252(0x9C), 0x8C); // œ
    EXPECT_EQ(upperCp1252(0x9E), 0x8E); // ž
    EXPECT_EQ(upperCp1252(0xFF), 0x9F); // ÿ
    EXPECT_EQ(upperCp1252(0xDF), 0xDF); // ß stays
    EXPECT_EQ(upperCp1252(0xB5), 0xB5); // µ stays
    EXPECT_EQ(upperCp1252(0xF7), 0xF7); // ÷ is no letter
    EXPECT_EQ(upperCp1252(0x83), 0x83); // ƒ has no capital here
    EXPECT_EQ(upperCp1252(0xC0), 0xC0); // already capital
    EXPECT_EQ(upperCp1252(std::string_view("\xE0la fa\xE7on")), "\xC0LA FA\xC7ON");
    for (int c = 0; c < 256; ++c) {
        const unsigned char u = upperCp1252(static_cast<unsigned char>(c));
        EXPECT_EQ(upperCp1252(u), u) << c; // idempotent
    }
}
