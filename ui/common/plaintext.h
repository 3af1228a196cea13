#pragma once

#include <QString>

#include "sources/textrules.h"

/// A text from a file, a file name or the keyboard as the window quotes it: on one line and in
/// the order it was written, whatever control characters it holds.
inline QString printableText(const QString &text)
{
    return QString::fromStdString(roulette::printable(text.toStdString()));
}

/// The same for a text the core hands over in UTF-8.
inline QString printableText(const std::string &text)
{
    return QString::fromStdString(roulette::printable(text));
}
