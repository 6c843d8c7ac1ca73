#include "lv2/Lv2Ports.h"

#include "engine/ParameterDescriptions.h"

namespace lv2Ports {

float portReading(int32_t parameter, float value) {
    if (parameter == kPower) return value != 0.0f ? 0.0f : 1.0f;
    return static_cast<float>(rateFreeReading(parameter, value));
}

float parameterValueOfPort(int32_t parameter, float reading) {
    if (parameter == kPower && reading == reading) return reading > 0.5f ? 0.0f : 1.0f;
    return valueOfRateFreeReading(parameter, static_cast<double>(reading));
}

}  // namespace lv2Ports
