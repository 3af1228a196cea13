#include "sources/fileopen.h"

#include <cerrno>
#include <system_error>

#include "sources/textrules.h"

namespace roulette
{

std::string openFailure(const std::string &file, std::error_code error)
{
    if (error == std::errc::no_such_file_or_directory)
        return "Le fichier " + file + " est introuvable.";
    if (error == std::errc::permission_denied)
        return "Le fichier " + file + " ne peut pas être ouvert : accès refusé.";
    return "Le fichier " + file + " ne peut pas être ouvert.";
}

std::string quotedFileName(const std::filesystem::path &path)
{
    const std::u8string fullName = path.u8string();
    return "« " + printable(std::string(fullName.begin(), fullName.end())) + " »";
}

std::optional<std::string> openRegularFile(const std::filesystem::path &path, std::ifstream &in,
                                           std::string_view what, std::string_view nothingDone)
{
    const std::string file = quotedFileName(path);
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::directory)
        return file + " est un dossier et non " + std::string(what) + ".";
    if (error)
        return openFailure(file, error);
    // Opening a FIFO would wait for a writer that may never come.
    if (status.type() != std::filesystem::file_type::regular)
        return file + " n'est pas un fichier ordinaire" + std::string(nothingDone);
    errno = 0;
    in.open(path, std::ios::binary);
    if (!in)
        return openFailure(file, std::error_code(errno, std::generic_category()));
    return std::nullopt;
}

} // namespace roulette
