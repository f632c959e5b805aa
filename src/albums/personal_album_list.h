#pragma once
// The personal albums of TargetNumber, one checked row each in 超级列表框1.
#include "albums/list_outcome.h"
#include "program/program.h"

namespace fotolun {

// The body of the list worker (context is the worker's): asks for the album host, requests the
// album list there (10 attempts 2 s apart, then a back-off while the service is busy or silent)
// and fills the list, with covers when 选择框_封面图 is
// checked. 画板1 is shown while it works and hidden on every way out but a stop.
ListOutcome listPersonalAlbums(Context& context);

// The cover addresses by which the service marks an album that asks a question and one without
// photos.
Text needPassCoverUrl(const ServiceHosts& hosts);
Text noPhotoCoverUrl(const ServiceHosts& hosts);

}  // namespace fotolun
