#pragma once

#include <QString>

#include <vector>

#include "stats/homogeneity.h"
#include "store/notebook.h"

/// A session's date as the window shows it: « 12 mars 2026 20:15 », or « 12 mars » short.
QString sessionDate(const std::string &startedAt, bool shortForm = false);

/// What « La roue a-t-elle changé ? » says, worked out from the pooled spins: long enough
/// with many sessions to go on a worker (BackgroundWork), which `progress` serves.
struct ChangeFigures {
    roulette::Homogeneity same;
    roulette::ChangePoint change;
};
ChangeFigures changeFigures(const roulette::PooledSpins &spins,
                            const roulette::SampleProgress &progress = {});

/// « La roue a-t-elle changé ? » in plain French: the homogeneity of the sessions, each
/// against the others, the most marked split and what to do about it. `sessions` are in the
/// order of the pooled spins' starts.
QString changeReport(const std::vector<roulette::SessionInfo> &sessions,
                     const ChangeFigures &figures);
