/* A small iconv for the Windows build, over the system's own code page conversions, for the
 * encodings that zbar's QR text decoder asks for: UTF-8, ISO-8859-1..9, -13, -15, CP437, Shift JIS,
 * Big5, GB18030 (and GBK), UTF-16LE and UTF-16BE (and UTF-16 read with or without a byte order mark).
 *
 * iconv() converts a whole input buffer or nothing: on EILSEQ (invalid or unrepresentable input,
 * which includes a sequence cut short at the end) and on E2BIG (output too small) it moves neither
 * pointer. Its callers decode one QR segment at a time into a buffer sized for it, and rely on the
 * conversion failing for text that is not in the encoding tried. */
#ifndef FOTOLUN_ICONV_H
#define FOTOLUN_ICONV_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct fotolun_iconv *iconv_t;

/* (iconv_t)-1 with errno EINVAL for an encoding it does not know. Names are matched without
 * regard to case, and a "//TRANSLIT" or "//IGNORE" suffix is ignored. */
iconv_t iconv_open(const char *tocode, const char *fromcode);
size_t iconv(iconv_t cd, char **inbuf, size_t *inbytesleft, char **outbuf, size_t *outbytesleft);
int iconv_close(iconv_t cd);

#ifdef __cplusplus
}
#endif

#endif
