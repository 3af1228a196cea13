// Form1 without the mouse: the switch of manual mode and the marks as commands, the arrow keys
// and Space over the number cells, a Tab order over what takes input, and a visible focus.
#include <QAction>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

#include "board/numberlist.h"
#include "ui/board/clicklabel.h"
#include "ui/board/focusmark.h"
#include "ui/board/form1.h"
#include "ui/common/french.h"

/// The number cells as one stop of the Tab key: the arrow keys move among them, Space or
/// Enter does what a click on the cell does. Only the cell reached takes the focus, so that
/// Tab goes on past the board instead of through its 37 cells.
class NumberCursor : public QObject
{
public:
    NumberCursor(const std::array<ClickLabel *, roulette::NumberCount> &cells,
                 std::function<void(int)> press, QObject *parent)
        : QObject(parent), m_cells(cells), m_press(std::move(press))
    {
        for (ClickLabel *cell : m_cells) {
            cell->setFocusPolicy(Qt::NoFocus);
            cell->installEventFilter(this);
        }
        m_cells[0]->setFocusPolicy(Qt::TabFocus);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || watched != m_cells[m_at])
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() != Qt::NoModifier && key->modifiers() != Qt::KeypadModifier)
            return false; // the board's shortcuts
        switch (key->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_press(m_at);
            return true;
        default:
            return moveBy(key->key());
        }
    }

private:
    // Numbers run 0 to 18 on the first row and 19 to 36 under them; an arrow that would
    // leave the board stays where it is.
    static int neighbour(int at, int key)
    {
        constexpr int Row = 19;
        switch (key) {
        case Qt::Key_Left:
            return std::max(at - 1, 0);
        case Qt::Key_Right:
            return std::min(at + 1, roulette::NumberCount - 1);
        case Qt::Key_Up:
            return at >= Row ? at - Row : at;
        case Qt::Key_Down:
            return at + Row < roulette::NumberCount ? at + Row : at;
        default:
            return -1;
        }
    }

    bool moveBy(int key)
    {
        const int to = neighbour(m_at, key);
        if (to < 0)
            return false;
        if (to != m_at) {
            m_cells[to]->setFocusPolicy(Qt::TabFocus);
            m_cells[to]->setFocus(Qt::OtherFocusReason);
            m_cells[m_at]->setFocusPolicy(Qt::NoFocus);
            m_at = to;
        }
        return true;
    }

    std::array<ClickLabel *, roulette::NumberCount> m_cells;
    std::function<void(int)> m_press;
    int m_at = 0;
};

namespace
{

/// Space and Enter on a clickable label act as a click.
class KeyClicks : public QObject
{
public:
    KeyClicks(ClickLabel *label, std::function<void()> click)
        : QObject(label), m_click(std::move(click))
    {
        label->setFocusPolicy(Qt::TabFocus);
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        m_click();
        return true;
    }

private:
    std::function<void()> m_click;
};

QString markedList(const roulette::BoardState &s)
{
    QStringList numbers;
    for (int n = 0; n < roulette::NumberCount; ++n) {
        if (s.marked[n])
            numbers << QString::number(n);
    }
    return numbers.join(u' ');
}

} // namespace

void Form1::createKeyboardActions()
{
    m_manualAction =
        addBoardAction(QStringLiteral("Saisir les numéros à la main"), QStringLiteral("manualMode"),
                       QKeySequence(Qt::CTRL | Qt::Key_M));
    m_manualAction->setCheckable(true);
    m_markAction =
        addBoardAction(QStringLiteral("Marquer des numéros…"), QStringLiteral("markNumbers"),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
    // The check follows the board, which Label4 switches too: the action only asks.
    connect(m_manualAction, &QAction::triggered, this, [this] { Label4_Click(); });
    connect(m_markAction, &QAction::triggered, this, &Form1::askMarks);
}

// From the typing box over the commands and the board to the file frame; the spin counter,
// the file position and the charts take no key.
void Form1::setUpKeyboard()
{
    m_spinText->setReadOnly(true);
    m_spinText->setFocusPolicy(Qt::NoFocus);
    m_filePosText->setFocusPolicy(Qt::ClickFocus);
    new KeyClicks(m_manualLabel, [this] { Label4_Click(); });
    QList<QWidget *> order = {m_lastText, m_spinButton, m_manualLabel};
    for (ClickLabel *cell : m_numberCells) {
        cell->setFocusPolicy(Qt::TabFocus); // Qt orders only widgets that take the focus
        order << cell;
    }
    order << m_resetButton << m_chartButton;
    for (QRadioButton *option : m_options)
        order << option;
    order << m_openButton << m_replayButton << m_autoButton;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    m_numberCursor = new NumberCursor(
        m_numberCells, [this](int n) { Label1_Click(n); }, this);
    m_focusMark = new FocusMark(m_boardArea);
}

void Form1::askMarks()
{
    QString typed = markedList(board().state());
    for (;;) {
        bool ok = false;
        typed = QInputDialog::getText(
            this, QStringLiteral("Marquer des numéros"),
            QStringLiteral("Numéros à marquer, de 0 à 36, séparés par des espaces\n"
                           "(les autres sont démarqués ; vide : aucun) :"),
            QLineEdit::Normal, typed, &ok);
        if (!ok)
            return;
        const roulette::NumberList list = roulette::parseNumberList(typed.toStdString());
        if (list.error.empty()) {
            m_model.setMarks(list.numbers);
            confirm(list.numbers.empty()
                        ? QStringLiteral("Aucun numéro marqué.")
                        : frenchCount(static_cast<std::int64_t>(list.numbers.size()),
                                      QStringLiteral("numéro marqué"),
                                      QStringLiteral("numéros marqués")) +
                              QStringLiteral(" : ") + markedList(board().state()));
            return;
        }
        message(QString::fromStdString(list.error));
    }
}
