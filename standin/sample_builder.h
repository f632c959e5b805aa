#pragma once
#include <cstdint>
#include <random>
#include <set>
#include <string>

#include "standin/sample_data.h"

namespace fotolun::standin {

// Fills a SampleData from its seed. Only std::mt19937_64's raw output is used (never a standard
// distribution), so the same seed gives the same data with every standard library.
class SampleBuilder {
 public:
  explicit SampleBuilder(SampleData& data);
  // A builder for photos added later: its own seed, so the photos built at first stay as they are.
  SampleBuilder(SampleData& data, std::uint64_t seed);
  void build();
  // After build(): one more account, whose one album is the benchmark's.
  void addBenchAccount(const BenchAlbum& bench);
  void grow(PersonalAlbum& album, int count);
  void grow(const Group& group, GroupAlbum& album, int count);

 private:
  std::uint64_t below(std::uint64_t bound);
  std::string number(int digits);
  std::string token(int length);
  std::string uniqueId(const std::string& prefix);
  const std::string& photoHost(std::size_t i) const;
  std::string addPicture(const std::string& host, const std::string& target, int width, int height,
                         bool png = false);
  std::string addVideo(const std::string& target, bool playlist = false);

  void buildRoutes();
  void buildAccounts();
  void buildGroups();
  // Samples for the current endpoints, drawn after every older sample so those stay as they were.
  void buildCurrentFamilyAccounts();
  void buildCurrentFamilyGroups();

  PersonalAlbum personalAlbum(std::string name, int photoCount, const std::string& titlePrefix);
  PersonalPhoto personalPhoto(const std::string& albumId, std::string title, std::size_t index);
  void giveCover(PersonalAlbum& album);
  void addEdgeTitleAlbum(PersonalAccount& account);
  enum class VideoKind { WithDownload, PlayerOnly, PlaylistOnly };
  PersonalPhoto personalVideo(const std::string& albumId, std::string title, std::size_t index,
                              VideoKind kind);
  GroupAlbum groupAlbum(const Group& group, std::string title, int photoCount);
  GroupPhoto groupPhoto(const Group& group, const std::string& albumId, std::string name, std::size_t index,
                        bool withSizeMarker = true);

  SampleData& data_;
  std::mt19937_64 engine_;
  std::set<std::string> ids_;
};

}  // namespace fotolun::standin
