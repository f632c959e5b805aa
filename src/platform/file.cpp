// What both systems' sides of file.h share: built on their calls alone.
#include "platform/file.h"

namespace fotolun::platform {

bool readAll(File& file, std::string& content) {
  content.clear();
  char buffer[65536];
  for (;;) {
    const auto got = readAt(file, buffer, sizeof buffer, content.size());
    if (!got) return false;
    if (*got == 0) return true;
    content.append(buffer, *got);
  }
}

}  // namespace fotolun::platform
