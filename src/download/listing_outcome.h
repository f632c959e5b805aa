#pragma once
// What the photo listings do with a page the service gave no usable answer for, and how far they
// page: the listed count is a hint, never a limit or a promise.
#include "download/album_job.h"
#include "program/program.h"
#include "service/reply_verdict.h"

namespace fotolun {

// Thrown when the service says the session is gone: no later album can be listed either.
struct SessionEnded {};
// Thrown when the service stayed busy or silent past the patience: the run stops for now, and a
// later run goes on where it stood.
struct ServiceWall {
  Text reason;  // GBK: what the service last answered
};

// Logs that a listing of the album got no usable answer, and why. A lost session throws
// SessionEnded instead, a service that outlasted the patience ServiceWall.
void reportListingFailure(Context& context, const AlbumJob& job, const ReplyVerdict& verdict);

inline constexpr int kPhotoPageSize = 500;
// However a broken count or a server that always answers a full page behaves, an album is not
// paged past this (500,000 photos, far beyond what the service holds in one album).
inline constexpr int kMaxPhotoPages = 1000;

// Whether to ask for the page after page (1-based), which listed so many photos (-1: no usable
// answer). A full page asks for the next one even past the count; an empty page ends the album;
// a short or failed page asks on only while the count says more photos are due.
bool wantsNextPage(int page, int listedOnPage, int photoCount);

}  // namespace fotolun
