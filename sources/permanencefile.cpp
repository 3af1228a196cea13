#include "sources/permanencefile.h"

#include <algorithm>
#include <fstream>
#include <ios>
#include <new>
#include <system_error>
#include <utility>
#include <vector>

#include "sources/fileopen.h"
#include "sources/textrules.h"

namespace roulette
{

namespace
{

constexpr std::size_t ChunkBytes = std::size_t{64} * 1024;
constexpr std::size_t PrefixBytes = std::size_t{64} * 1024;
// Room made for spins up front costs address space only until spins fill it.
constexpr std::uint64_t MostSpinsReserved = std::uint64_t{1} << 30;
const std::string NothingImported = " : rien n'a été importé.";

// What tells that a file changed: its size and the time it was last written.
struct Stamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written;
    bool operator==(const Stamp &) const = default;
};

Stamp stampOf(const std::filesystem::path &path)
{
    Stamp stamp{std::filesystem::file_size(path), std::filesystem::last_write_time(path)};
    return stamp;
}

enum class Pass { Read, Stopped, Changed };

// One reading of the whole file; throws std::ios_base::failure on a read error.
Pass readAll(std::ifstream &in, PermanenceReader &reader, std::uint64_t size,
             const PermanenceProgress &progress)
{
    in.clear();
    in.seekg(0);
    std::vector<char> chunk(ChunkBytes);
    std::uint64_t done = 0;
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        done += got;
        if (done > size)
            return Pass::Changed;
        reader.read({chunk.data(), got});
        if (progress && !progress(done, size))
            return Pass::Stopped;
    }
    if (in.bad())
        throw std::ios_base::failure("permanence read error");
    return done == size ? Pass::Read : Pass::Changed;
}

class Reading
{
public:
    explicit Reading(const std::filesystem::path &path) : m_path(path)
    {
        const std::u8string bareName = path.filename().u8string();
        result.fileName.assign(bareName.begin(), bareName.end());
    }

    // False, with the message set when there is one, when the file cannot be read.
    bool open()
    {
        if (auto problem = openRegularFile(m_path, m_in, "une permanence", NothingImported)) {
            result.message = std::move(*problem);
            return false;
        }
        m_stamp = stampOf(m_path);
        return true;
    }

    std::string prefix()
    {
        std::string bytes(static_cast<std::size_t>(std::min<std::uintmax_t>(PrefixBytes, size())),
                          '\0');
        m_in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(m_in.gcount()));
        return bytes;
    }

    std::uintmax_t size() const { return m_stamp.size; }

    // Empty when stopped or failed, the message then set.
    std::optional<PermanenceAnalysis> pass(const PermanenceLayout &layout,
                                           const PermanenceOptions &options,
                                           const PermanenceProgress &progress)
    {
        PermanenceReader reader(layout, options);
        reader.reserve(static_cast<std::size_t>(std::min(MostSpinsReserved, size() / 2 + 1)));
        const Pass outcome = readAll(m_in, reader, size(), progress);
        if (outcome == Pass::Changed || (outcome == Pass::Read && stampOf(m_path) != m_stamp))
            fail(" a changé pendant la lecture");
        if (outcome != Pass::Read || !result.message.empty())
            return std::nullopt;
        return reader.finish();
    }

    void keep(PermanenceAnalysis analysis)
    {
        if (analysis.isBinary())
            fail(" n'est pas un fichier texte");
        else if (analysis.spins.empty())
            fail(" ne contient aucun numéro de roulette");
        else
            result.analysis = std::move(analysis);
    }

    void fail(const std::string &why)
    {
        result.message = "Le fichier " + quotedFileName(m_path) + why + NothingImported;
    }

    void readError()
    {
        result.message = "Erreur de lecture du fichier " + quotedFileName(m_path) + NothingImported;
    }

    PermanenceFile result;

private:
    std::filesystem::path m_path;
    std::ifstream m_in;
    Stamp m_stamp;
};

// Runs a reading, turning what the system throws into the user's message.
template <typename Body> PermanenceFile guarded(Reading &reading, Body body)
{
    try {
        if (reading.open())
            body();
    } catch (const std::bad_alloc &) {
        reading.result.analysis.reset();
        reading.fail(" ne tient pas en mémoire");
    } catch (const std::filesystem::filesystem_error &) {
        reading.fail(" a changé pendant la lecture");
    } catch (const std::ios_base::failure &) {
        reading.readError();
    }
    return std::move(reading.result);
}

// The encoding a whole reading settles: a byte past the prefix may not be UTF-8.
void settleEncoding(PermanenceLayout &layout, const PermanenceAnalysis &analysis)
{
    if (layout.encoding != TextEncoding::Utf8 || layout.markLength > 0 ||
        !analysis.firstInvalidUtf8)
        return;
    layout.encoding = TextEncoding::Latin1;
    layout.encodingReason = "octet " + decimalText(*analysis.firstInvalidUtf8) +
                            " invalide en UTF-8 : lu en Latin-1 (ISO 8859-1)";
}

} // namespace

PermanenceFile previewPermanence(const std::filesystem::path &path,
                                 const PermanenceOptions &options, std::optional<int> forcedColumn,
                                 const PermanenceProgress &progress)
{
    Reading reading(path);
    return guarded(reading, [&] {
        const std::string prefix = reading.prefix();
        PermanenceLayout &layout = reading.result.layout;
        layout = detectPermanenceLayout(prefix, prefix.size() == reading.size(), forcedColumn);
        std::optional<PermanenceAnalysis> analysis = reading.pass(layout, options, progress);
        if (analysis && settleZeroZero(layout, *analysis))
            analysis = reading.pass(layout, options, progress);
        if (!analysis)
            return;
        settleEncoding(layout, *analysis);
        reading.keep(std::move(*analysis));
    });
}

PermanenceFile readPermanence(const std::filesystem::path &path, const PermanenceLayout &layout,
                              const PermanenceOptions &options, const PermanenceProgress &progress)
{
    Reading reading(path);
    reading.result.layout = layout;
    return guarded(reading, [&] {
        if (std::optional<PermanenceAnalysis> analysis = reading.pass(layout, options, progress))
            reading.keep(std::move(*analysis));
    });
}

} // namespace roulette
