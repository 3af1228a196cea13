#include "store/pinkeeper.h"

namespace roulette
{

void PinKeeper::keepWith(Notebook &notebook, std::int64_t wheelId)
{
    follow();
    std::vector<PinMark> kept = notebook.pins(wheelId);
    PinBook book;
    book.follow(m_series.session());
    const std::int64_t now = m_series.session().lastRow();
    for (PinMark mark : kept) {
        mark.pinnedAt = now;
        book.add(mark);
    }
    for (PinMark mark : m_book.marks()) {
        if (mark.id != 0 || book.holds(mark.suspect))
            continue; // another wheel's, or already there
        mark.id = notebook.addPin(wheelId, mark);
        book.add(mark);
    }
    m_book = std::move(book);
    m_notebook = &notebook;
    m_wheelId = wheelId;
}

void PinKeeper::letGo()
{
    PinBook book;
    book.follow(m_series.session());
    for (const PinMark &mark : m_book.marks())
        if (mark.id == 0)
            book.add(mark);
    m_book = std::move(book);
    m_notebook = nullptr;
}

void PinKeeper::pin(const Suspect &suspect, const std::string &createdAt)
{
    follow();
    PinMark mark{suspect, m_series.session().lastRow(), createdAt, 0};
    if (m_notebook)
        mark.id = m_notebook->addPin(m_wheelId, mark);
    m_book.add(mark);
}

void PinKeeper::unpin(std::size_t index)
{
    if (m_notebook && m_book.marks()[index].id != 0)
        m_notebook->removePin(m_book.marks()[index].id);
    m_book.remove(index);
}

} // namespace roulette
