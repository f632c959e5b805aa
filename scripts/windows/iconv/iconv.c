#include "iconv.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

/* Not Windows code pages: UTF-16 is converted by hand, "UTF-16" alone only when read. */
enum { kUtf16Le = 1200, kUtf16Be = 1201, kUtf16Any = -1 };

struct fotolun_iconv {
  int from;
  int to;
};

struct code_page_name {
  const char *name;
  int code_page;
};

static const struct code_page_name kNames[] = {
    {"UTF-8", CP_UTF8},     {"UTF8", CP_UTF8},     {"ISO-8859-1", 28591},  {"ISO8859-1", 28591},
    {"ISO_8859-1", 28591},  {"LATIN1", 28591},     {"ISO-8859-2", 28592},  {"ISO8859-2", 28592},
    {"ISO-8859-3", 28593},  {"ISO8859-3", 28593},  {"ISO-8859-4", 28594},  {"ISO8859-4", 28594},
    {"ISO-8859-5", 28595},  {"ISO8859-5", 28595},  {"ISO-8859-6", 28596},  {"ISO8859-6", 28596},
    {"ISO-8859-7", 28597},  {"ISO8859-7", 28597},  {"ISO-8859-8", 28598},  {"ISO8859-8", 28598},
    {"ISO-8859-9", 28599},  {"ISO8859-9", 28599},  {"ISO-8859-13", 28603}, {"ISO8859-13", 28603},
    {"ISO-8859-15", 28605}, {"ISO8859-15", 28605}, {"CP437", 437},         {"IBM437", 437},
    {"SJIS", 932},          {"SHIFT_JIS", 932},    {"SHIFT-JIS", 932},     {"CP932", 932},
    {"BIG5", 950},          {"BIG-5", 950},        {"CP950", 950},         {"GB18030", 54936},
    {"GBK", 936},           {"CP936", 936},        {"GB2312", 936},        {"UTF-16LE", kUtf16Le},
    {"UTF-16BE", kUtf16Be}, {"UTF-16", kUtf16Any},
};

static int code_page_of(const char *name) {
  size_t length = strcspn(name, "/");
  for (size_t i = 0; i < sizeof kNames / sizeof kNames[0]; i++) {
    if (strlen(kNames[i].name) == length && _strnicmp(kNames[i].name, name, length) == 0) {
      return kNames[i].code_page;
    }
  }
  return 0;
}

/* A system without GB18030 (Wine, for one) still has GBK, which holds every character of its
 * two-byte part. */
static int available(int code_page) {
  if (code_page <= 0 || code_page == kUtf16Le || code_page == kUtf16Be) return code_page;
  if (IsValidCodePage((UINT)code_page)) return code_page;
  if (code_page == 54936 && IsValidCodePage(936)) return 936;
  return 0;
}

iconv_t iconv_open(const char *tocode, const char *fromcode) {
  int to = available(code_page_of(tocode));
  int from = available(code_page_of(fromcode));
  if (to == 0 || from == 0 || to == kUtf16Any) {
    errno = EINVAL;
    return (iconv_t)-1;
  }
  iconv_t cd = malloc(sizeof *cd);
  if (cd == NULL) {
    errno = ENOMEM;
    return (iconv_t)-1;
  }
  cd->from = from;
  cd->to = to;
  return cd;
}

int iconv_close(iconv_t cd) {
  if (cd == (iconv_t)-1 || cd == NULL) {
    errno = EBADF;
    return -1;
  }
  free(cd);
  return 0;
}

static int is_utf16(int code_page) {
  return code_page == kUtf16Le || code_page == kUtf16Be || code_page == kUtf16Any;
}

/* Decodes into a new array of UTF-16 units; NULL with errno set on failure. */
static wchar_t *decode(int code_page, const char *in, size_t size, int *units) {
  if (size > INT_MAX / 2) {
    errno = E2BIG;
    return NULL;
  }
  if (is_utf16(code_page)) {
    const unsigned char *bytes = (const unsigned char *)in;
    int big_endian = code_page != kUtf16Le;
    if (size % 2 != 0) {
      errno = EILSEQ;
      return NULL;
    }
    if (code_page == kUtf16Any && size >= 2 && (bytes[0] == 0xFF || bytes[0] == 0xFE) &&
        bytes[0] + bytes[1] == 0xFF + 0xFE) {
      big_endian = bytes[0] == 0xFE;
      bytes += 2;
      size -= 2;
    }
    *units = (int)(size / 2);
    wchar_t *wide = malloc((size_t)*units * sizeof(wchar_t) + 1);
    if (wide == NULL) {
      errno = ENOMEM;
      return NULL;
    }
    for (int i = 0; i < *units; i++) {
      unsigned first = bytes[2 * i], second = bytes[2 * i + 1];
      wide[i] = (wchar_t)(big_endian ? first << 8 | second : second << 8 | first);
    }
    return wide;
  }
  *units = MultiByteToWideChar((UINT)code_page, MB_ERR_INVALID_CHARS, in, (int)size, NULL, 0);
  if (*units == 0) {
    errno = EILSEQ;
    return NULL;
  }
  wchar_t *wide = malloc((size_t)*units * sizeof(wchar_t));
  if (wide == NULL) {
    errno = ENOMEM;
    return NULL;
  }
  MultiByteToWideChar((UINT)code_page, MB_ERR_INVALID_CHARS, in, (int)size, wide, *units);
  return wide;
}

/* Encodes UTF-16 units into out, or tells the size needed when out is NULL; -1 with errno EILSEQ
 * for a unit the code page cannot hold (or a lone surrogate). */
static int encode(int code_page, const wchar_t *wide, int units, char *out, int capacity) {
  if (is_utf16(code_page)) {
    if (out != NULL) {
      for (int i = 0; i < units; i++) {
        unsigned unit = (unsigned)wide[i];
        out[2 * i + (code_page == kUtf16Be)] = (char)(unit & 0xFF);
        out[2 * i + (code_page != kUtf16Be)] = (char)(unit >> 8);
      }
    }
    return units * 2;
  }
  /* Only UTF-8 and GB18030 take WC_ERR_INVALID_CHARS and no default character; the others report a
   * character they lack through the default character they put in its place. */
  int strict = code_page == CP_UTF8 || code_page == 54936;
  BOOL substituted = FALSE;
  int size = WideCharToMultiByte((UINT)code_page, strict ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, wide,
                                 units, out, capacity, NULL, strict ? NULL : &substituted);
  if (size == 0 || substituted) {
    errno = EILSEQ;
    return -1;
  }
  return size;
}

size_t iconv(iconv_t cd, char **inbuf, size_t *inbytesleft, char **outbuf, size_t *outbytesleft) {
  if (cd == (iconv_t)-1 || cd == NULL) {
    errno = EBADF;
    return (size_t)-1;
  }
  /* No shift state is kept between calls, so a reset has nothing to do. */
  if (inbuf == NULL || *inbuf == NULL || *inbytesleft == 0) return 0;

  int units = 0;
  wchar_t *wide = decode(cd->from, *inbuf, *inbytesleft, &units);
  if (wide == NULL) return (size_t)-1;
  int needed = encode(cd->to, wide, units, NULL, 0);
  if (needed >= 0 && (size_t)needed > *outbytesleft) {
    errno = E2BIG;
    needed = -1;
  }
  if (needed >= 0) needed = encode(cd->to, wide, units, *outbuf, needed);
  free(wide);
  if (needed < 0) return (size_t)-1;

  *inbuf += *inbytesleft;
  *inbytesleft = 0;
  *outbuf += needed;
  *outbytesleft -= (size_t)needed;
  return 0;
}
