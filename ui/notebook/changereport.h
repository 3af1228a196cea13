#pragma once

#include <QString>

#include <vector>

#include "store/notebook.h"

/// A session's date as the window shows it: « 12 mars 2026 20:15 », or « 12 mars » short.
QString sessionDate(const std::string &startedAt, bool shortForm = false);

/// « La roue a-t-elle changé ? » in plain French: the homogeneity of the sessions, each
/// against the others, the most marked split and what to do about it. `sessions` are in the
/// order of `spins.starts`.
QString changeReport(const std::vector<roulette::SessionInfo> &sessions,
                     const roulette::PooledSpins &spins);
