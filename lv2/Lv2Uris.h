// The names by which LV2 hosts know the plug-in, its UI, its presets and the
// properties of its saved state.
#pragma once

#define ZQ3R_LV2_URI "urn:zq3r:compressor"

namespace lv2Uris {

constexpr const char* kPlugin = ZQ3R_LV2_URI;
constexpr const char* kUi = ZQ3R_LV2_URI "#ui";
// The whole state: the bytes of the chunk the VST build hands its hosts.
constexpr const char* kState = ZQ3R_LV2_URI "#state";
// The program the panel shows; what a factory preset sets besides the ports.
constexpr const char* kProgram = ZQ3R_LV2_URI "#program";
// Followed by the program's number.
constexpr const char* kPresetPrefix = ZQ3R_LV2_URI "#program-";

}  // namespace lv2Uris
