#include "sources/drawfile.h"

#include <cerrno>
#include <fstream>
#include <ios>
#include <new>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "sources/textrules.h"

namespace roulette
{

namespace
{

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t ChunkBytes = 64 * 1024;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

void DrawFileReader::read(std::string_view bytes)
{
    for (const char c : bytes) {
        if (m_atStart) {
            if (c == ByteOrderMark[m_markBytes]) {
                m_atStart = ++m_markBytes < ByteOrderMark.size();
                continue;
            }
            m_atStart = false;
            for (const char mark : ByteOrderMark.substr(0, m_markBytes))
                take(mark); // not a mark after all: its bytes start the first line
        }
        take(c);
    }
}

DrawRecords DrawFileReader::finish()
{
    if (m_atStart) {
        m_atStart = false;
        for (const char mark : ByteOrderMark.substr(0, m_markBytes))
            take(mark);
    }
    if (!m_line.empty())
        endLine();
    return std::move(m_records);
}

void DrawFileReader::take(char c)
{
    if (c == '\n' && m_afterCr) {
        m_afterCr = false;
        return;
    }
    m_afterCr = c == '\r';
    if (c == '\r' || c == '\n') {
        endLine();
        return;
    }
    if (m_line.size() < QuoteBytes)
        m_line += c;
    if (c == '*')
        m_star = true;
    else if (isBlank(c))
        return;
    else if (m_figures.size() < FigureLimit)
        m_figures += c;
    else
        m_tooLong = true;
}

void DrawFileReader::endLine()
{
    // m_line holds all of a two-byte line, so "==" is matched exactly.
    const bool skipped = m_star || m_figures.empty() || (m_line.size() == 2 && m_line == "==");
    if (!skipped) {
        if (m_records.size() >= m_maxRecords)
            throw std::length_error("too many draw records");
        // Blanks change nothing to a number's value, so the figures give the line's number.
        m_records.append(m_tooLong ? std::nullopt : recordNumber(m_figures), m_line);
    }
    m_line.clear();
    m_figures.clear();
    m_star = false;
    m_tooLong = false;
}

DrawRecords readDrawRecords(std::istream &in)
{
    DrawFileReader reader;
    std::vector<char> chunk(ChunkBytes);
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        reader.read({chunk.data(), static_cast<std::size_t>(in.gcount())});
    }
    if (in.bad())
        throw std::ios_base::failure("draw file read error");
    return reader.finish();
}

namespace
{

DrawFileLoad failure(std::string message)
{
    return {std::nullopt, std::move(message)};
}

std::string openFailure(const std::string &file, std::error_code error)
{
    if (error == std::errc::no_such_file_or_directory)
        return "Le fichier " + file + " est introuvable.";
    if (error == std::errc::permission_denied)
        return "Le fichier " + file + " ne peut pas être ouvert : accès refusé.";
    return "Le fichier " + file + " ne peut pas être ouvert.";
}

} // namespace

DrawFileLoad readDrawFile(const std::filesystem::path &path)
{
    const std::u8string name = path.u8string();
    const std::string file = "« " + printable(std::string(name.begin(), name.end())) + " »";
    const std::string nothingLoaded = " : rien n'a été chargé.";

    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::directory)
        return failure(file + " est un dossier et non un fichier de tirage.");
    if (error)
        return failure(openFailure(file, error));
    if (status.type() != std::filesystem::file_type::regular)
        return failure(file + " n'est pas un fichier ordinaire" + nothingLoaded);

    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return failure(openFailure(file, std::error_code(errno, std::generic_category())));
    try {
        DrawRecords records = readDrawRecords(in);
        if (records.size() == 0)
            return failure("Le fichier " + file + " ne contient aucun numéro" + nothingLoaded);
        return {std::move(records), {}};
    } catch (const std::bad_alloc &) {
        return failure("Mémoire insuffisante pour charger le fichier " + file + nothingLoaded);
    } catch (const std::length_error &) {
        return failure("Le fichier " + file + " compte plus de " +
                       decimalText(DrawFileReader::MaxRecords) + " numéros" + nothingLoaded);
    } catch (const std::ios_base::failure &) {
        return failure("Erreur de lecture du fichier " + file + nothingLoaded);
    }
}

} // namespace roulette
