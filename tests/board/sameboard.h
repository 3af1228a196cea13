#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "board/boardstate.h"

namespace roulette::testing
{

/// Board states compared field by field, so that a failure names the first field (and, in
/// an array, the first place) that differs instead of printing two blobs of bytes.
inline ::testing::AssertionResult sameBoard(const BoardState &actual, const BoardState &expected)
{
    const auto fields = [](const BoardState &s) {
        return std::tie(s.CurrentNumber, s.SpinCount, s.HitCount, s.FileLineCount, s.FileCursor,
                        s.SourceMode, s.numberCaption, s.numberColour, s.hitCaption, s.hitColour,
                        s.marked, s.counters, s.history, s.spinText, s.lastText, s.filePosText,
                        s.manualCaption, s.fileCountCaption, s.fileNameCaption, s.wonVisible,
                        s.blinkRunning, s.spinButtonVisible, s.fileButtonsVisible);
    };
    const char *names[] = {
        "CurrentNumber", "SpinCount",         "HitCount",          "FileLineCount",   "FileCursor",
        "SourceMode",    "numberCaption",     "numberColour",      "hitCaption",      "hitColour",
        "marked",        "counters",          "history",           "spinText",        "lastText",
        "filePosText",   "manualCaption",     "fileCountCaption",  "fileNameCaption", "wonVisible",
        "blinkRunning",  "spinButtonVisible", "fileButtonsVisible"};
    constexpr std::size_t count = std::tuple_size_v<decltype(fields(actual))>;
    static_assert(std::extent_v<decltype(names)> == count);
    std::string first;
    const auto compare = [&first](const char *name, const auto &a, const auto &b) {
        if (!first.empty() || a == b)
            return;
        const auto differ = [&first](const std::string &place, const auto &x, const auto &y) {
            first = place + " is " + ::testing::PrintToString(x) + ", expected " +
                    ::testing::PrintToString(y);
        };
        if constexpr (requires { a[0]; } && !std::is_convertible_v<decltype(a), std::string_view>) {
            std::size_t i = 0;
            while (a[i] == b[i])
                ++i;
            differ(name + ('[' + std::to_string(i) + ']'), a[i], b[i]);
        } else {
            differ(name, a, b);
        }
    };
    [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        (compare(names[I], std::get<I>(fields(actual)), std::get<I>(fields(expected))), ...);
    }
    (std::make_index_sequence<count>());
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << (first.empty() ? "a field sameBoard omits" : first);
}

} // namespace roulette::testing
