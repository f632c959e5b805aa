#include "platform/path.h"

namespace fotolun::platform {

std::filesystem::path pathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(
      std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string utf8OfPath(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(reinterpret_cast<const char*>(utf8.data()), utf8.size());
}

std::filesystem::path systemPath(const std::filesystem::path& path) {
  const std::wstring& text = path.native();
  // Every absolute path, not only a long one: a path std::filesystem builds below it (remove_all,
  // directory_iterator) keeps the prefix however long it grows.
  if (text.starts_with(L"\\\\?\\") || !path.is_absolute()) return path;
  // No "." or "..", and only backslashes: the prefix turns off the system's own clean-up.
  std::wstring canonical = path.lexically_normal().make_preferred().native();
  if (canonical.starts_with(L"\\\\")) return std::filesystem::path(L"\\\\?\\UNC\\" + canonical.substr(2));
  return std::filesystem::path(L"\\\\?\\" + canonical);
}

}  // namespace fotolun::platform
