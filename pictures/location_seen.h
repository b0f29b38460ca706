#pragma once

#include <string_view>

namespace pictures {

// Whether a metadata block the rebuild leaves behind names a place: words
// of XMP and PNG texts ("GPSLatitude", "drone-dji:GpsLongitude",
// "Iptc4xmpExt:City") and IPTC's place fields. Only for counting what was
// taken out; what is sent never depends on it.
bool MentionsPlace(std::string_view block);

}  // namespace pictures
