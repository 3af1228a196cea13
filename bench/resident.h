#pragma once

#include <cstdint>
#include <fstream>
#include <string>

/// The process's resident memory, in kilobytes; -1 where it cannot be read.
inline std::int64_t residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stoll(line.substr(6));
    }
    return -1;
}
