#pragma once
// The settings file: a profile (INI) file of GBK bytes, read and written by section and key the
// way the Windows profile functions do, so that a file the user edits by hand keeps working.
//
// Reading: section and key match without regard to ASCII letter case; blanks around keys and
// values are ignored; a value in matching quotes loses them; a missing file, section or key gives
// the fallback (without its trailing blanks). Writing: the key's line is replaced in place, or the
// key is added to its section, or the section is appended; every other byte of the file stays as
// it was. The new file replaces the old one in a single rename, so a crash never leaves half a file.
#include "text/gbk_text.h"

namespace fotolun {

// The program's settings file in programDirectory (GBK path).
Text settingsFilePath(const Text& programDirectory);

// path is GBK; on disk it is the UTF-8 path.
Text readProfileString(const Text& path, const Text& section, const Text& key, const Text& fallback);

// Returns false when the file could not be written; the old file is then left as it was.
bool writeProfileString(const Text& path, const Text& section, const Text& key, const Text& value);

}  // namespace fotolun
