#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace roulette
{

/// A file's full name between « », as a message shows it.
std::string quotedFileName(const std::filesystem::path &path);

/// Why the file could not be opened or measured, in French: absent, access refused, or
/// simply not opened.
std::string openFailure(const std::string &file, std::error_code error);

/// Opens the regular file at path for reading in binary. When it cannot, the French reason,
/// quoting the file as quotedFileName does: a directory ("… est un dossier et non " + what),
/// a FIFO or device (… n'est pas un fichier ordinaire + nothingDone), absent, access refused.
std::optional<std::string> openRegularFile(const std::filesystem::path &path, std::ifstream &in,
                                           std::string_view what, std::string_view nothingDone);

} // namespace roulette
