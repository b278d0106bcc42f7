#include "cp949.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include "testutil.h"

// "\xB0\x5C": a lead byte whose second byte equals the backslash.
// "\xB0\x41": a lead byte whose second byte equals 'A'.
// "\xC7\xD1\xB1\xDB" = 한글.

TEST(Cp949, SecondBytesAreNeverCharactersNorFoundNorFolded) {
  const char text[] = "a\xB0\x5C\\\xB0\x41";
  EXPECT_EQ(mb::next(text + 1), text + 3);
  EXPECT_EQ(mb::prev(text, text + 4), text + 3);
  EXPECT_EQ(mb::prev(text, text), text);
  // A run of 0x81-0xFE bytes pairs up from its first byte.
  const char run[] = "x\xB0\xB0\xB0\xB0\xB0";
  EXPECT_EQ(mb::prev(run, run + 6), run + 5);
  EXPECT_EQ(mb::prev(run, run + 5), run + 3);
  // A lead byte at the end is a character of its own; next stops at NUL.
  const std::string tail = "ab\xB0";
  EXPECT_EQ(mb::charLength(tail.c_str() + 2), 1u);
  EXPECT_EQ(mb::next(tail.c_str() + 3), tail.c_str() + 3);

  const char path[] = "C:\\\xB0\x5C\\x\xB0\x41";
  EXPECT_EQ(mb::findChar(path, '\\'), path + 2);
  EXPECT_EQ(mb::findLastChar(path, '\\'), path + 5);
  EXPECT_EQ(mb::findLastChar(path, 'A'), nullptr);
  EXPECT_EQ(mb::findChar(path, 0xB041), path + 7);
  const char ab[] = "\xB0\x41\x42\x41";  // the character "\xB0\x41", then "BA"
  EXPECT_EQ(mb::findText(ab, "AB"), nullptr);
  EXPECT_EQ(mb::findText(ab, "BA"), ab + 2);
  EXPECT_EQ(mb::findText(ab, "\xB0"), nullptr);  // half a character

  // Case folds only single-byte letters; bad bytes convert to question marks.
  EXPECT_EQ(mb::compareNoCase("HardwareInfo.XML", "hardwareinfo.xml"), 0);
  // Second bytes 'A' and 'a' belong to different characters.
  EXPECT_NE(mb::compareNoCase("\xB0\x41", "\xB0\x61"), 0);
  EXPECT_LT(mb::compareNoCase("abc", "ABD"), 0);
  EXPECT_GT(mb::compare("\xB0", "a"), 0);  // bytes compare unsigned
  // An n that falls inside a double-byte character compares it whole.
  EXPECT_EQ(mb::compareNoCaseN("AB\xB0\xA1x", "ab\xB0\xA1y", 3), 0);
  EXPECT_NE(mb::compareNoCaseN("AB\xB0\xA1", "ab\xB0\xA2", 3), 0);

  const std::string korean = "\xC0\xFC\xC3\xBC \xB1\xD7\xB7\xEC";  // 전체 그룹
  EXPECT_TRUE(mb::toUtf8(korean) == "전체 그룹" && mb::fromUtf8("전체 그룹") == korean);
  EXPECT_EQ(mb::toUtf8("\xFF\x61\xB0"), "?a?");
  EXPECT_EQ(mb::fromUtf8("a\xE0\x80z"), "a?z");                              // broken UTF-8
  EXPECT_FALSE(mb::isValidUtf8(korean) || mb::isValidUtf8("\xED\xA0\x80"));  // a surrogate
}

// A cut never splits a character and reads only the bytes it keeps: in the
// second half the byte at the cut is on a page that cannot be read, as the
// unwritten end of a caller's buffer may be.
TEST(Cp949_CopyBounded, NeverSplitsOrOverruns) {
  char field[5];
  EXPECT_EQ(mb::copyBounded(field, "ab\xC7\xD1\xB1\xDB"), 4u);
  EXPECT_STREQ(field, "ab\xC7\xD1");
  // The fifth byte would be the first half of a character: 3 bytes kept.
  EXPECT_EQ(mb::copyBounded(field, "abc\xC7\xD1"), 3u);
  EXPECT_STREQ(field, "abc");
  EXPECT_TRUE(mb::copyBounded(field, nullptr) == 0 && !*field && mb::copyBounded(field, 0, "abc") == 0);
  // A lead byte at the end of the source is one character.
  EXPECT_EQ(mb::boundedLength("ab\xB0", 3), 3u);
  EXPECT_EQ(mb::boundedLength("a\xB0\xA1", 2), 1u);
  EXPECT_EQ(mb::cutLength("ab\xB0\xA1", 3), 2u);  // cut after the first half

  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  void* pages = ::mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(pages, MAP_FAILED);
  ASSERT_EQ(::mprotect(static_cast<char*>(pages) + page, page, PROT_NONE), 0);
  char* end = static_cast<char*>(pages) + page;
  const std::pair<std::string, std::size_t> cases[] = {
      {"ab\xB0", 2}, {"a\xB0\xA1", 3}, {"\xB0\xA1\xB0", 2}, {"\xB0\x41\xB0", 2}, {"ab", 2}, {"\xB0", 0}};
  for (const auto& [text, kept] : cases) {
    std::memcpy(end - text.size(), text.data(), text.size());
    EXPECT_EQ(mb::cutLength(end - text.size(), text.size()), kept) << text;
  }
  ::munmap(pages, 2 * page);
}
