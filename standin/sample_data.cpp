#include "standin/sample_data.h"

#include <algorithm>

#include "standin/derived_token.h"
#include "standin/feed_builder.h"
#include "standin/sample_builder.h"

namespace fotolun::standin {

SampleData::SampleData(std::uint64_t seed, SampleHosts hosts, BenchAlbum bench)
    : seed_(seed), hosts_(std::move(hosts)) {
  SampleBuilder(*this).build();
  if (bench.photos > 0) SampleBuilder(*this).addBenchAccount(bench);
  // Last, so that the index of every account before it (which picks its album list's layout)
  // stays as it was.
  FeedBuilder(*this, std::stoull(DerivedToken(seed, {"feed"}, 18, "0123456789"))).build();
}

namespace {

// Each growth of an album draws from its own sequence, so photos built earlier stay as they were.
std::uint64_t GrowthSeed(std::uint64_t seed, std::string_view albumId, std::size_t photoCount) {
  return std::stoull(DerivedToken(seed, {"grow", albumId, std::to_string(photoCount)}, 18, "0123456789"));
}

}  // namespace

// The lookups hand out const pointers, but the albums are this object's own and never const.
bool SampleData::growPersonalAlbum(std::string_view qq, std::string_view albumId, int count) {
  const std::unique_lock lock(mutex_);
  auto* album = const_cast<PersonalAlbum*>(personalAlbum(qq, albumId));
  if (album == nullptr) return false;
  SampleBuilder(*this, GrowthSeed(seed_, albumId, album->photos.size())).grow(*album, count);
  return true;
}

bool SampleData::growGroupAlbum(std::string_view groupNumber, std::string_view albumId, int count) {
  const std::unique_lock lock(mutex_);
  auto* album = const_cast<GroupAlbum*>(groupAlbum(groupNumber, albumId));
  if (album == nullptr) return false;
  SampleBuilder(*this, GrowthSeed(seed_, albumId, album->photos.size()))
      .grow(*group(groupNumber), *album, count);
  return true;
}

bool SampleData::addFeedPosts(std::string_view qq, int count) {
  const std::unique_lock lock(mutex_);
  auto* owner = const_cast<PersonalAccount*>(account(qq));
  if (owner == nullptr) return false;
  const std::string grown = std::to_string(owner->feed.size());
  FeedBuilder(*this, std::stoull(DerivedToken(seed_, {"feed-grow", qq, grown}, 18, "0123456789")))
      .addPosts(*owner, count);
  return true;
}

const PersonalAccount* SampleData::account(std::string_view qq) const {
  for (const PersonalAccount& account : accounts_) {
    if (account.qq == qq) return &account;
  }
  return nullptr;
}

const PersonalAlbum* SampleData::personalAlbum(std::string_view qq, std::string_view albumId) const {
  const PersonalAccount* owner = account(qq);
  if (owner == nullptr) return nullptr;
  for (const PersonalAlbum& album : owner->albums) {
    if (album.id == albumId) return &album;
  }
  return nullptr;
}

const Group* SampleData::group(std::string_view number) const {
  for (const Group& group : groups_) {
    if (group.number == number) return &group;
  }
  return nullptr;
}

const GroupAlbum* SampleData::groupAlbum(std::string_view groupNumber, std::string_view albumId) const {
  const Group* owner = group(groupNumber);
  if (owner == nullptr) return nullptr;
  for (const GroupAlbum& album : owner->albums) {
    if (album.id == albumId) return &album;
  }
  return nullptr;
}

const StorageRoute& SampleData::routeFor(std::string_view qq) const {
  if (const PersonalAccount* owner = account(qq)) {
    for (const StorageRoute& route : routes_) {
      if (route.name == owner->route) return route;
    }
  }
  const unsigned last = qq.empty() ? 0u : static_cast<unsigned char>(qq.back());
  return routes_[last % routes_.size()];
}

bool SampleData::isAlbumHost(std::string_view host) const {
  return std::any_of(routes_.begin(), routes_.end(),
                     [&](const StorageRoute& route) { return route.albumHost == host; });
}

std::string SampleData::needPassCoverUrl() const {
  return "http://" + hosts_.staticImage + "/ac/qzone_v5/photo/need_pass.png";
}

std::string SampleData::noPhotoCoverUrl() const {
  return "http://" + hosts_.staticImage + "/ac/qzone_v5/photo/no_photo_s.png";
}

const PictureSource* SampleData::picture(std::string_view host, std::string_view target) const {
  const auto found = picturesByTarget_.find(target);
  if (found == picturesByTarget_.end() || found->second.host != host) return nullptr;
  return &found->second;
}

const PictureSource* SampleData::pictureByTarget(std::string_view target) const {
  const auto found = picturesByTarget_.find(target);
  return found == picturesByTarget_.end() ? nullptr : &found->second;
}

namespace {

// "http://host/target" split at the first slash after the host; nullopt for anything else.
std::optional<std::pair<std::string_view, std::string_view>> HostAndTarget(std::string_view url) {
  constexpr std::string_view kScheme = "http://";
  if (url.substr(0, kScheme.size()) != kScheme) return std::nullopt;
  url.remove_prefix(kScheme.size());
  const std::size_t slash = url.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  return std::pair(url.substr(0, slash), url.substr(slash));
}

}  // namespace

const PictureSource* SampleData::pictureAt(std::string_view url) const {
  const auto parts = HostAndTarget(url);
  return parts ? picture(parts->first, parts->second) : nullptr;
}

const VideoSource* SampleData::video(std::string_view host, std::string_view target) const {
  const VideoSource* found = videoByTarget(target);
  return found != nullptr && found->host == host ? found : nullptr;
}

const VideoSource* SampleData::videoByTarget(std::string_view target) const {
  const auto found = videosByTarget_.find(target);
  return found == videosByTarget_.end() ? nullptr : &found->second;
}

const VideoSource* SampleData::videoAt(std::string_view url) const {
  const auto parts = HostAndTarget(url);
  return parts ? video(parts->first, parts->second) : nullptr;
}

std::vector<std::string> SampleData::pictureUrls() const {
  std::vector<std::string> urls;
  urls.reserve(picturesByTarget_.size());
  for (const auto& [target, source] : picturesByTarget_) urls.push_back("http://" + source.host + target);
  return urls;
}

}  // namespace fotolun::standin
