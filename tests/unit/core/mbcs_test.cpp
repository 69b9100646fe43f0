// Case-insensitive comparison of ANSI strings in single- and double-byte code pages.
#include "core/mbcs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Byte strings in the code page under test, spelled from their encodings.
const char kFullWidthUpper932[] = "\x82\x63\x82\x6e\x82\x75\x82\x71\x82\x64\x82\x6b \x82\x76\x82\x77\x82\x78\x82\x79";  // ＤＯＶＲＥＬ ＷＸＹＺ
const char kFullWidthLower932[] = "\x82\x84\x82\x8f\x82\x96\x82\x92\x82\x85\x82\x8c \x82\x97\x82\x98\x82\x99\x82\x9a";  // ｄｏｖｒｅｌ ｗｘｙｚ
const char kFullWidthUpperGbk[] = "\xa3\xc4\xa3\xcf\xa3\xd6\xa3\xd2\xa3\xc5\xa3\xcc \xa3\xd7\xa3\xd8\xa3\xd9\xa3\xda";
const char kFullWidthLowerGbk[] = "\xa3\xe4\xa3\xef\xa3\xf6\xa3\xf2\xa3\xe5\xa3\xec \xa3\xf7\xa3\xf8\xa3\xf9\xa3\xfa";
const char kFullWidthUpperBig5[] = "\xa2\xd2\xa2\xdd\xa2\xe4\xa2\xe0\xa2\xd3\xa2\xda \xa2\xe5\xa2\xe6\xa2\xe7\xa2\xe8";
const char kFullWidthLowerBig5[] = "\xa2\xec\xa2\xf7\xa2\xfe\xa2\xfa\xa2\xed\xa2\xf4 \xa3\x40\xa3\x41\xa3\x42\xa3\x43";

TEST(MbsEqualNoCase, WholeStringsWithoutRegardToAsciiCase) {
    for (unsigned cp : {1252u, 932u, 936u, 949u, 950u, 1361u}) {
        SCOPED_TRACE(cp);
        EXPECT_TRUE(MbsEqualNoCase("Dovrel.exe", "dovrel.EXE", cp));
        EXPECT_TRUE(MbsEqualNoCase("", "", cp));
        EXPECT_FALSE(MbsEqualNoCase("Dovrel.exe", "Dovrel", cp));  // a prefix is not a match
        EXPECT_FALSE(MbsEqualNoCase("Dovrel", "Dovrel.exe", cp));
        EXPECT_FALSE(MbsEqualNoCase("Dovrel.exe", "Dovrel.exf", cp));
        EXPECT_FALSE(MbsEqualNoCase("[", "{", cp));  // 0x5B and 0x7B are not letters
        EXPECT_FALSE(MbsEqualNoCase("@", "`", cp));
    }
}

TEST(MbsEqualNoCase, NullPointerIsTheEmptyString) {
    EXPECT_TRUE(MbsEqualNoCase(nullptr, "", 932));
    EXPECT_TRUE(MbsEqualNoCase("", nullptr, 1252));
    EXPECT_TRUE(MbsEqualNoCase(nullptr, nullptr, 932));
    EXPECT_FALSE(MbsEqualNoCase(nullptr, "x", 932));
    EXPECT_FALSE(MbsEqualNoCase("x", nullptr, 1252));
}

TEST(MbsEqualNoCase, FullWidthLettersFoldInDoubleByteCodePages) {
    EXPECT_TRUE(MbsEqualNoCase(kFullWidthUpper932, kFullWidthLower932, 932));
    EXPECT_TRUE(MbsEqualNoCase(kFullWidthUpperGbk, kFullWidthLowerGbk, 936));
    EXPECT_TRUE(MbsEqualNoCase(kFullWidthUpperGbk, kFullWidthLowerGbk, 949));
    EXPECT_TRUE(MbsEqualNoCase(kFullWidthUpperBig5, kFullWidthLowerBig5, 950));
    // A full-width letter is not its half-width twin.
    EXPECT_FALSE(MbsEqualNoCase("\x82\x63", "d", 932));
    EXPECT_FALSE(MbsEqualNoCase("\x82\x63", "D", 932));
}

TEST(MbsEqualNoCase, FullWidthLettersDoNotFoldInSingleByteCodePages) {
    EXPECT_FALSE(MbsEqualNoCase(kFullWidthUpper932, kFullWidthLower932, 1252));
    EXPECT_FALSE(MbsEqualNoCase(kFullWidthUpperGbk, kFullWidthLowerGbk, 1252));
    // Shift-JIS folding must not leak into another double-byte code page.
    EXPECT_FALSE(MbsEqualNoCase(kFullWidthUpper932, kFullWidthLower932, 936));
}

TEST(MbsEqualNoCase, DoubleByteCharactersAreNeverSplit) {
    // Trail bytes 0x41 'A' and 0x61 'a' belong to different characters:
    // 932: 0x8341 katakana A, 0x8361 katakana DI; 936: two different ideographs;
    // 950: full-width comma and left brace; 1361: two different jamo.
    EXPECT_FALSE(MbsEqualNoCase("\x83\x41", "\x83\x61", 932));
    EXPECT_FALSE(MbsEqualNoCase("x\x81\x41y", "X\x81\x61Y", 936));
    EXPECT_FALSE(MbsEqualNoCase("\x81\x41", "\x81\x61", 949));
    EXPECT_FALSE(MbsEqualNoCase("\xa1\x41", "\xa1\x61", 950));
    EXPECT_FALSE(MbsEqualNoCase("\x88\x41", "\x88\x61", 1361));
    // In a single-byte code page the same bytes are two characters each, and
    // the second ones differ only in case.
    EXPECT_TRUE(MbsEqualNoCase("\x83\x41", "\x83\x61", 1252));
    EXPECT_TRUE(MbsEqualNoCase("\xa1\x41", "\xa1\x61", 1252));
}

TEST(MbsEqualNoCase, CharacterBoundariesFollowTheLeadBytes) {
    // "A" + lead byte + 'B' against "a" + lead byte + 'b': a comparison that lost
    // track of the boundary would fold the trail bytes like letters.
    EXPECT_FALSE(MbsEqualNoCase("A\x83\x42", "a\x83\x62", 932));
    EXPECT_TRUE(MbsEqualNoCase("A\x83\x42", "a\x83\x42", 932));
    // The same lead byte value as a trail byte (0x83 follows lead 0x83) does
    // not start a character of its own.
    EXPECT_TRUE(MbsEqualNoCase("\x83\x83" "A", "\x83\x83" "a", 932));
    EXPECT_FALSE(MbsEqualNoCase("\x83\x83" "A", "\x83\x83" "b", 932));
}

TEST(MbsEqualNoCase, LoneLeadByteAtTheEnd) {
    EXPECT_TRUE(MbsEqualNoCase("ab\x83", "AB\x83", 932));
    EXPECT_FALSE(MbsEqualNoCase("\x83", "\x83\x41", 932));
    EXPECT_FALSE(MbsEqualNoCase("\x83\x41", "\x83", 932));
}

TEST(IsDoubleByteLeadByte, RangesPerCodePage) {
    EXPECT_TRUE(IsDoubleByteLeadByte(0x81, 932));
    EXPECT_TRUE(IsDoubleByteLeadByte(0x9F, 932));
    EXPECT_FALSE(IsDoubleByteLeadByte(0xA0, 932));  // half-width katakana are single bytes
    EXPECT_FALSE(IsDoubleByteLeadByte(0xDF, 932));
    EXPECT_TRUE(IsDoubleByteLeadByte(0xE0, 932));
    EXPECT_TRUE(IsDoubleByteLeadByte(0xFC, 932));
    EXPECT_FALSE(IsDoubleByteLeadByte(0xFD, 932));
    for (unsigned cp : {936u, 949u, 950u}) {
        EXPECT_FALSE(IsDoubleByteLeadByte(0x80, cp));
        EXPECT_TRUE(IsDoubleByteLeadByte(0xA0, cp));
        EXPECT_TRUE(IsDoubleByteLeadByte(0xFE, cp));
        EXPECT_FALSE(IsDoubleByteLeadByte(0xFF, cp));
    }
    EXPECT_FALSE(IsDoubleByteLeadByte(0x83, 1361));
    EXPECT_TRUE(IsDoubleByteLeadByte(0x84, 1361));
    EXPECT_FALSE(IsDoubleByteLeadByte(0xD4, 1361));
    EXPECT_FALSE(IsDoubleByteLeadByte(0xDF, 1361));
    for (unsigned b = 0; b < 256; ++b) EXPECT_FALSE(IsDoubleByteLeadByte(static_cast<unsigned char>(b), 1252)) << b;
}

}  // namespace

TEST(CharBoundaryPrefix, NeverEndsInsideADoubleByteCharacter) {
    const std::string text = "ab\x83\x65\x83\x58";  // "ab" and two Shift-JIS characters
    EXPECT_EQ(CharBoundaryPrefix(text, 3, 932), 2u);
    EXPECT_EQ(CharBoundaryPrefix(text, 4, 932), 4u);
    EXPECT_EQ(CharBoundaryPrefix(text, 5, 932), 4u);
    EXPECT_EQ(CharBoundaryPrefix(text, 100, 932), 6u);
    EXPECT_EQ(CharBoundaryPrefix(text, 3, 1252), 3u);  // single bytes there
}
