#pragma once

#include <string_view>

namespace roulette::layout
{

/// What a widget of the main window shows, in French: looked up by the widget's name, then
/// by its array's name ("Label1(17)" gives "Label1"). Empty for a name the table does not
/// know.
std::string_view toolTipFor(std::string_view name);

} // namespace roulette::layout
