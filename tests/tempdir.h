#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace roulette::testing
{

/// A folder of its own under the system's temporary folder, removed with everything in it.
struct TempDir {
    TempDir()
        : root(::mkdtemp(
              (std::filesystem::temp_directory_path() / "roulette-XXXXXX").string().data()))
    {
    }
    ~TempDir() { std::filesystem::remove_all(root); }

    const std::filesystem::path &path() const { return root; }
    /// Writes a file in the folder, byte for byte, and returns its path.
    std::filesystem::path write(const std::string &name, std::string_view bytes) const
    {
        std::ofstream(root / name, std::ios::binary) << bytes;
        return root / name;
    }

    std::filesystem::path root;
};

} // namespace roulette::testing
