#pragma once

#include <QtTest>
#include <QtWidgets>

#include <filesystem>

#include "tests/fakes.h"
#include "tests/ui/looks.h"
#include "ui/board/form1.h"
#include "ui/charts/chartview.h"
#include "ui/common/drawfilereading.h"

namespace roulette::testing
{

using namespace Qt::StringLiterals;

/// A home folder of this run alone for the default notebook, the settings and the documents:
/// two runs of the tests at once, or a test that starts from no notebook, touch no one else's.
struct OwnHome {
    OwnHome()
    {
        static const QTemporaryDir home;
        qputenv("HOME", QFile::encodeName(home.path()));
        for (const char *xdg : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR"})
            qunsetenv(xdg);
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    }
};

/// A window whose random draws are the values given, whose messages are collected instead
/// of shown and whose "Ouvre" gets the path in `chosen`; at its full size whatever the
/// screen, and with a home folder of its run.
struct Window {
    OwnHome home; // before the window, which may read its settings as it opens
    QStringList messages;
    QString chosen;
    QStringList offers; // to play an imported permanence at once, answered with `offer`
    Form1::PlayOffer offer = Form1::PlayOffer::Later;
    Form1 form;

    explicit Window(std::vector<float> draws = {0.0f})
        : form(Board(std::make_unique<ScriptedGenerator>(std::move(draws)),
                     std::make_unique<FixedClock>()))
    {
        form.resize(form.fullSize());
        form.setMessageSink([this](const QString &text) { messages << text; });
        form.setPlayOfferAnswer([this](const QString &text) {
            offers << text;
            return offer;
        });
        form.setFileChooser(
            [this](QWidget *parent) { return parent == &form ? chosen : QString(); });
    }

    template <typename W = QWidget> W *get(const QString &name) const
    {
        W *w = form.findChild<W *>(name);
        if (!w)
            qFatal("no widget %s", qPrintable(name));
        return w;
    }
    QLabel *label(const char *name, int i) const
    {
        return get<QLabel>(u"%1(%2)"_s.arg(QLatin1String(name)).arg(i));
    }
    QString text(const QString &name) const { return get(name)->property("text").toString(); }
    bool shown(const QString &name) const { return !get(name)->isHidden(); }
    void click(const QString &name) const { QTest::mouseClick(get(name), Qt::LeftButton); }
    void clickNumber(int n) const { QTest::mouseClick(label("Label1", n), Qt::LeftButton); }
    void type(const QString &text, const QString &name = u"Text2"_s) const
    {
        auto *box = get<QLineEdit>(name);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    void open(const std::filesystem::path &path)
    {
        chosen = QString::fromStdString(path.string());
        click(u"Command4"_s);
        // The file is read on a worker; its reading goes, its dialog before it, once the board
        // has it.
        if (!QTest::qWaitFor([this] { return !form.findChild<DrawFileReading *>(); }))
            qFatal("the draw file is still being read");
    }
    int spins() const { return form.board().state().SpinCount; }
};

/// Hands the dialog about to open to `answer`, as a `Dialog`, once it shows.
template <typename Dialog = QWidget, typename Answer> void whenShown(Answer answer)
{
    QTimer::singleShot(
        0, [answer] { answer(qobject_cast<Dialog *>(QApplication::activeModalWidget())); });
}

/// Shown and active, so that the window's shortcuts reach it.
inline void activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        qFatal("the window does not become active");
}

/// Everything a user could see of the board: its look, whether a cell blinks, and the rows both
/// charts draw.
inline QStringList snapshot(const Window &w)
{
    QStringList seen = looksOf(*w.form.boardArea());
    seen << QString::number(w.get<QTimer>(u"Timer1"_s)->isActive());
    for (const QString &name : {u"MSChart1"_s, u"MSChart2"_s}) {
        const auto *chart = w.get<ChartView>(name);
        for (std::size_t c = 0; c < chart->columns().size(); ++c) {
            QString line = name;
            for (const DrawnPoint &p : chart->drawnPoints(c))
                line += u" %1:%2"_s.arg(p.row).arg(p.value);
            seen << line;
        }
    }
    return seen;
}

} // namespace roulette::testing
