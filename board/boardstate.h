#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "sources/textrules.h"
#include "stats/spread.h"

namespace roulette
{

/// A colour as the window system takes it: 0x00BBGGRR.
using Colour = std::uint32_t;

namespace colours
{
inline constexpr Colour White = 0x00FFFFFF;
inline constexpr Colour Black = 0x00000000;
inline constexpr Colour DarkRed = 0x000000C0; // window, number cells
inline constexpr Colour Olive = 0x00008080;
} // namespace colours

inline constexpr int NumberCount = 37;
inline constexpr int HistoryLength = 28;

/// The boxes the user can type into.
enum TextBox : std::uint8_t { Text1, Text2, Text3, TextBoxCount };

inline constexpr const char *ManualCaption = "Retour";
inline constexpr const char *NormalCaption = "Choisr les N°";

/// Everything the board remembers between two user actions, including what is shown in
/// widgets, as plain values: the window only renders it.
struct BoardState {
    std::int16_t CurrentNumber = 0;
    std::int32_t SpinCount = 0;
    HitCounts HitCount{};
    std::int32_t FileLineCount = 0;
    /// Spins since start-up, whatever their source; the draw-file position.
    std::int64_t FileCursor = 0;
    /// Empty until an option is clicked; then 0 generator, 1 one turn, 2 four turns.
    std::optional<int> SourceMode;

    std::array<std::string, NumberCount> numberCaption = filled<std::string>("00"); // Label1(n)
    std::array<Colour, NumberCount> numberColour = filled(colours::DarkRed);        // Label1(n)
    std::array<std::int64_t, NumberCount> hitCaption{};                             // Label2(n)
    std::array<Colour, NumberCount> hitColour = filled(colours::White);             // Label2(n)
    std::array<bool, NumberCount> marked = filled(true);                            // Label3(n)
    std::array<std::int64_t, 4> counters{}; // Label7: zero, then the three dozens
    std::array<std::string, HistoryLength> history =
        filled<std::string, HistoryLength>("-");      // Label5, newest last
    std::string spinText = "00";                      // Text1
    std::string lastText = "00";                      // Text2
    std::string filePosText = "00";                   // Text3
    std::string manualCaption = NormalCaption;        // Label4
    std::string fileCountCaption = "00000";           // Label8(4)
    std::string fileNameCaption = "Nom du fichier !"; // Label9
    bool wonVisible = false;                          // Label6, "GAGNE"
    bool blinkRunning = false;                        // Timer1
    bool spinButtonVisible = true;                    // Command1
    bool fileButtonsVisible = false;                  // Command5, Command6

    bool manualMode() const { return manualCaption == ManualCaption; }
    /// A draw file with numbers is loaded: spins come from it (unless in manual mode).
    bool fileMode() const { return numericValue(fileCountCaption) != 0; }

    bool operator==(const BoardState &) const = default;

private:
    template <typename T, std::size_t N = NumberCount>
    static std::array<T, N> filled(const T &value)
    {
        std::array<T, N> result;
        result.fill(value);
        return result;
    }
};

/// Background of a hit-count cell for its new count; empty where the colour stays as it is.
std::optional<Colour> hitColourFor(std::int64_t count);

/// The counter an outcome adds to: 0 for zero, 1..3 for the dozens.
int counterOf(int number);

} // namespace roulette
