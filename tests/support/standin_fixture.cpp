#include "support/standin_fixture.h"

#include "text/encoding.h"

namespace fotolun::testing {

StandinWorld::StandinWorld(std::uint64_t seed) : StandinWorld(standin::StandinOptions{.seed = seed}) {}

StandinWorld::StandinWorld(const standin::StandinOptions& options) : standin(options), program(form, ui) {
  standin.start();
  program.proxy = standin.proxyUrl();
  program.delayScale = 0;
  program.folders = portableFolders(programFolder.gbkPath());
  form.setText(Control::编辑框_保存位置, program.folders.saveFolder);
  form.clearChanges();
}

void StandinWorld::signIn(const std::string& qq) {
  program.credentials.set(CredentialsFromCookieText(standin.signInCookieText(qq)));
}

void StandinWorld::signIn(const std::string& qq, standin::CookieLayout layout) {
  program.credentials.set(CredentialsFromCookieText(standin.signInCookieText(qq, layout)));
}

std::vector<standin::Request> StandinWorld::requests() { return standin.server().requests(); }

std::vector<std::string> StandinWorld::requestUrls() {
  std::vector<std::string> urls;
  for (const standin::Request& request : requests()) urls.push_back(request.url);
  return urls;
}

std::vector<standin::Request> StandinWorld::requestsTo(const std::string& part) {
  std::vector<standin::Request> matching;
  for (standin::Request& request : requests()) {
    if (request.url.find(part) != std::string::npos) matching.push_back(std::move(request));
  }
  return matching;
}

}  // namespace fotolun::testing
