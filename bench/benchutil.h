#pragma once

#include <fstream>
#include <string>

// Resident and peak resident memory of this process, in bytes.
struct ProcessMemory
{
    double resident = 0;
    double peak = 0;
};

inline ProcessMemory processMemory()
{
    ProcessMemory m;
    std::ifstream status("/proc/self/status");
    std::string key;
    double kb = 0;
    while (status >> key) {
        if (key == "VmRSS:" && status >> kb)
            m.resident = kb * 1024;
        else if (key == "VmHWM:" && status >> kb)
            m.peak = kb * 1024;
    }
    return m;
}
