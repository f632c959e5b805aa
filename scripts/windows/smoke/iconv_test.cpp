// The iconv of scripts/windows/iconv, under the conversions that zbar's QR text decoder makes.
#include <errno.h>
#include <gmock/gmock.h>
#include <iconv.h>

#include <string>

namespace {

struct Conversion {
  const char* to;
  const char* from;
  std::string input;
  std::string output;  // what comes out, when error is 0
  int error;
};

const Conversion kConversions[] = {
    {"UTF-8", "ISO8859-1", "\xE9t\xE9", "\xC3\xA9t\xC3\xA9", 0},
    {"UTF-8", "ISO8859-2", "\xB1", "\xC4\x85", 0},
    {"UTF-8", "ISO8859-7", "\xE1", "\xCE\xB1", 0},
    {"UTF-8", "ISO-8859-15", "\xA4", "\xE2\x82\xAC", 0},
    {"UTF-8", "CP437", "\x82", "\xC3\xA9", 0},
    {"UTF-8", "SJIS", "\x8A\xBF\x8E\x9A", "\xE6\xBC\xA2\xE5\xAD\x97", 0},
    {"UTF-8", "BIG-5", "\xAC\xDB\xC3\xAF", "\xE7\x9B\xB8\xE7\xB0\xBF", 0},
    {"UTF-8", "GB18030", "\xCF\xE0\xB2\xE1", "\xE7\x9B\xB8\xE5\x86\x8C", 0},
    {"utf-8", "utf-8//TRANSLIT", "plain \xE7\x9B\xB8", "plain \xE7\x9B\xB8", 0},
    {"UTF-8", "UTF-16LE", std::string("\xF8\x76", 2), "\xE7\x9B\xB8", 0},
    {"UTF-8", "UTF-16", std::string("\xFE\xFF\x76\xF8", 4), "\xE7\x9B\xB8", 0},
    {"UTF-8", "UTF-16", std::string("\xFF\xFE\xF8\x76", 4), "\xE7\x9B\xB8", 0},
    {"UTF-16BE", "UTF-8", "\xE7\x9B\xB8", std::string("\x76\xF8", 2), 0},
    {"ISO-8859-1", "UTF-8", "\xC3\xA9", "\xE9", 0},
    // Text that is not in the encoding tried must fail, or the decoder keeps a wrong guess.
    {"UTF-8", "UTF-8", "cut \xC3", "", EILSEQ},
    {"UTF-8", "UTF-8", "\xFF\xFE", "", EILSEQ},
    {"UTF-8", "SJIS", "\x81", "", EILSEQ},
    {"UTF-8", "UTF-16LE", std::string("\x00\xD8", 2), "", EILSEQ},
    {"UTF-8", "UTF-16LE", std::string("\x41", 1), "", EILSEQ},
    {"ISO-8859-1", "UTF-8", "\xE7\x9B\xB8", "", EILSEQ},
    {"SJIS", "UTF-8", "\xC3\xA9", "", EILSEQ},
};

class IconvTest : public testing::TestWithParam<Conversion> {};

TEST_P(IconvTest, ConvertsAWholeBufferOrNothing) {
  const Conversion& c = GetParam();
  iconv_t cd = iconv_open(c.to, c.from);
  ASSERT_NE(cd, (iconv_t)-1) << c.from << " to " << c.to;
  std::string input = c.input;
  char out[64];
  char* in = input.data();
  char* next = out;
  size_t inLeft = input.size(), outLeft = sizeof out;
  const size_t result = iconv(cd, &in, &inLeft, &next, &outLeft);
  const int error = result == (size_t)-1 ? errno : 0;
  iconv_close(cd);
  EXPECT_EQ(error, c.error);
  if (c.error == 0) {
    EXPECT_EQ(std::string(out, next), c.output);
    EXPECT_EQ(inLeft, 0u);
  } else {
    EXPECT_EQ(in, input.data());
    EXPECT_EQ(next, out);
  }
}

INSTANTIATE_TEST_SUITE_P(Encodings, IconvTest, testing::ValuesIn(kConversions));

TEST(Iconv, RefusesWhatItCannotDo) {
  errno = 0;
  EXPECT_EQ(iconv_open("UTF-8", "EBCDIC-US"), (iconv_t)-1);
  EXPECT_EQ(errno, EINVAL);
  // Unmarked UTF-16 cannot be written: which byte order would be a guess.
  EXPECT_EQ(iconv_open("UTF-16", "UTF-8"), (iconv_t)-1);

  iconv_t cd = iconv_open("UTF-8", "SJIS");
  ASSERT_NE(cd, (iconv_t)-1);
  char input[] = "\x8A\xBF\x8E\x9A";
  char out[5];
  char* in = input;
  char* next = out;
  size_t inLeft = 4, outLeft = sizeof out;
  EXPECT_EQ(iconv(cd, &in, &inLeft, &next, &outLeft), (size_t)-1);
  EXPECT_EQ(errno, E2BIG);
  EXPECT_EQ(in, input);
  EXPECT_EQ(outLeft, sizeof out);
  EXPECT_EQ(iconv(cd, nullptr, nullptr, nullptr, nullptr), 0u);
  iconv_close(cd);
}

}  // namespace
