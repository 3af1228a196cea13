#pragma once

#include <cstdint>
#include <fstream>
#include <string>

/// A line of /proc/self/status in kilobytes ("VmRSS", "VmHWM"); -1 where it cannot be read.
inline std::int64_t statusKilobytes(const std::string &field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ':', 0) == 0)
            return std::stoll(line.substr(field.size() + 1));
    }
    return -1;
}

/// The process's resident memory, in kilobytes.
inline std::int64_t residentKilobytes()
{
    return statusKilobytes("VmRSS");
}

/// The peak of the process's resident memory since it was last reset, in kilobytes.
inline std::int64_t peakKilobytes()
{
    return statusKilobytes("VmHWM");
}
