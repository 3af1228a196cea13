#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "sources/permanence.h"

namespace roulette
{

/// Told after each chunk the bytes read so far and the file's size; returns false to stop.
using PermanenceProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

/// A permanence read from disk.
struct PermanenceFile {
    std::string fileName; ///< the bare name, as the system gives it
    PermanenceLayout layout;
    /// Empty when nothing can be imported, or when the reading was stopped.
    std::optional<PermanenceAnalysis> analysis;
    /// French: why nothing can be imported; empty when all went well or the reading was stopped.
    std::string message;
};

/// Chooses the layout of the file at path from its first bytes (forcedColumn: the CSV column
/// the user chose, from 0) and reads it whole for the preview. A file that is not a regular
/// file, cannot be read, is mostly not text, holds no spin or changes while it is read gives
/// a message and no analysis.
PermanenceFile previewPermanence(const std::filesystem::path &path,
                                 const PermanenceOptions &options,
                                 std::optional<int> forcedColumn = std::nullopt,
                                 const PermanenceProgress &progress = {});

/// Reads the file at path in a layout already chosen, as the import does, with the same
/// refusals as the preview.
PermanenceFile readPermanence(const std::filesystem::path &path, const PermanenceLayout &layout,
                              const PermanenceOptions &options,
                              const PermanenceProgress &progress = {});

} // namespace roulette
