// StudyWindow following the board or the stored spins: catching up, the report built again,
// the simulated p-values asked for.
#include "ui/study/studywindow.h"

#include "ui/common/backgroundwork.h"
#include "ui/common/batchprogress.h"

void StudyWindow::follow()
{
    if (m_pins) // the pins follow the board even while the window is closed
        m_pins->follow();
    if (m_study && catchUp())
        refresh();
}

void StudyWindow::keepPinsWith(roulette::PinKeeper &keeper)
{
    m_pins = &keeper;
    m_ownPins.reset();
    if (m_study)
        refresh();
}

const roulette::PinBook *StudyWindow::pinBook() const
{
    if (m_storedPin)
        return &*m_storedPin;
    return m_pins ? &m_pins->book() : nullptr;
}

// A long session (a first look at 10^7 spins, the undo of a reset) is studied in slices that
// let the window breathe, with « Annuler » past half a second; cancelling closes the window.
// The board may change meanwhile: the slices follow it to its end.
bool StudyWindow::catchUp()
{
    if (m_catchingUp)
        return false; // the slices under way reach the session as it is now
    constexpr std::int64_t QuickSpins = 100'000;
    if (!followSpins(QuickSpins))
        return false;
    if (caughtUp())
        return true;
    m_catchingUp = true;
    BatchProgress progress(this, QStringLiteral("Étude des tirages…"));
    while (m_study && !caughtUp() && !progress.wasCanceled()) {
        followSpins(progress.slice());
        progress.advance(m_study->spins(), spinsToStudy());
    }
    const bool canceled = progress.wasCanceled(); // closing the dialog would cancel it
    progress.close();
    m_catchingUp = false;
    if (m_study && canceled)
        close();
    return m_study != nullptr;
}

bool StudyWindow::followSpins(std::int64_t limit)
{
    return m_series ? m_study->follow(m_series->session(), limit)
                    : m_study->follow(m_pooled.numbers, m_pooled.starts, limit);
}

bool StudyWindow::caughtUp() const
{
    return m_series ? m_study->caughtUp(m_series->session()) : m_study->spins() == spinsToStudy();
}

std::int64_t StudyWindow::spinsToStudy() const
{
    return m_series ? m_series->session().lastRow()
                    : static_cast<std::int64_t>(m_pooled.numbers.size());
}

bool StudyWindow::simulating() const
{
    return m_study && m_study->spins() >= report::MinimumSpins &&
           m_simulation.waiting(m_study->spins());
}

void StudyWindow::refresh()
{
    const std::int64_t n = m_study->spins();
    if (n < report::MinimumSpins) {
        m_simulation.forget();
    } else {
        m_simulation.update(n, m_study->hits(), roulette::scanArcs(m_study->hitsByPosition(), n));
        if (const auto length = m_simulation.start())
            simulate(*length);
    }
    if (m_pins)
        m_pins->follow();
    m_report = report::build(*m_study, m_simulation, m_source, pinBook());
    present(m_report);
}

void StudyWindow::simulate(std::int64_t spins)
{
    auto null = std::make_shared<std::optional<roulette::NullDistribution>>();
    m_simulating = new BackgroundWork(
        this, [null, spins](const BackgroundWork::Progress &) { null->emplace(spins); },
        [this, null](bool) {
            m_simulating->deleteLater();
            m_simulating = nullptr;
            m_simulation.finished(std::move(**null));
            if (m_study)
                refresh();
        });
}
