#include "tools/render/MeterLog.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "engine/CompressorEngine.h"

namespace {

// The gain-reduction channel the panel's meter shows.
constexpr int32_t kMeterChannel = 0;

}  // namespace

MeterLog::MeterLog(CompressorEngine& compressorEngine, int rate, TextOutputFile& output)
    : engine(compressorEngine), interval(compressorEngine.getMeterInterval()), sampleRate(rate), file(output) {
    std::fputs("seconds,gain_reduction\n", file.stream());
}

int64_t MeterLog::nextBreak(int64_t position) const {
    if (interval <= 0) return INT64_MAX;  // an engine without a meter publishes nothing
    return (position / interval + 1) * interval;
}

bool MeterLog::reached(int64_t position, std::string& error) {
    const double seconds = static_cast<double>(position) / sampleRate;
    // Nine significant digits give the float back exactly.
    if (std::fprintf(file.stream(), "%.6f,%.9g\n", seconds, engine.getVu(kMeterChannel)) < 0) {
        error = "cannot write '" + file.targetPath() + "': " + std::strerror(errno);
        return false;
    }
    ++rowCount;
    return true;
}
