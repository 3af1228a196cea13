#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace roulette::testing
{

/// A folder of its own under the system's temporary folder, removed with everything in it.
class TempDir
{
public:
    TempDir()
    {
        static std::atomic<int> count = 0;
        m_path = std::filesystem::temp_directory_path() /
                 ("roulette-" + std::to_string(::getpid()) + "-" + std::to_string(count++));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return m_path; }

    /// Writes a file in the folder, byte for byte, and returns its path.
    std::filesystem::path write(const std::string &name, std::string_view bytes) const
    {
        const std::filesystem::path file = m_path / name;
        std::ofstream(file, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

private:
    std::filesystem::path m_path;
};

} // namespace roulette::testing
