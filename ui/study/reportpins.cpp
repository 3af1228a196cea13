// The study's report: « Pistes épinglées », each pin judged on the spins after it alone.
#include <QDateTime>

#include <cmath>

#include "ui/common/french.h"
#include "ui/study/reportparts.h"

namespace report
{

namespace
{

QString percent(double share)
{
    return QStringLiteral("%1 %").arg(frenchNumber(100 * share, 1));
}

QString pinnedWhen(const roulette::PinMark &mark)
{
    const QDateTime made =
        QDateTime::fromString(QString::fromStdString(mark.createdAt), Qt::ISODate);
    const QString at = QStringLiteral("au tirage %1").arg(count(mark.pinnedAt));
    return made.isValid() ? QStringLiteral("%1, le %2")
                                .arg(at, made.toString(QStringLiteral("dd/MM/yyyy à HH:mm")))
                          : at;
}

// The lines under a pin's verdict: since the pin, how large with its interval, what all the
// spins say, and what the wheel keeps of stakes on the place.
void addPinLines(std::vector<Row> &rows, const roulette::PinMark &mark,
                 const roulette::PinReading &r)
{
    const QString indent = QStringLiteral("    ");
    if (r.trials == 0) {
        rows.push_back({{indent + QStringLiteral("Épinglée %1 ; aucun tirage ne l'a encore mise "
                                                 "à l'épreuve.")
                                      .arg(pinnedWhen(mark))}});
        return;
    }
    const double expected = static_cast<double>(r.trials) * mark.suspect.fairShare();
    rows.push_back({{indent + QStringLiteral("Épinglée %1 ; depuis : %2 fois sur %3, pour %4 "
                                             "attendues.")
                                  .arg(pinnedWhen(mark), count(r.inside), count(r.trials),
                                       frenchNumber(expected, 1))}});
    rows.push_back({{indent + QStringLiteral("Excès depuis l'épingle : %1 ; intervalle valable à "
                                             "chaque tirage : %2 à %3.")
                                  .arg(signedPercent(r.excess), signedPercent(r.excessLow),
                                       signedPercent(r.excessHigh))}});
    rows.push_back({{indent + QStringLiteral("Sur tous les tirages : %1 sur %2, mais ces tirages "
                                             "ont choisi la piste : excès gonflé.")
                                  .arg(signedPercent(r.allExcess), count(r.allTrials))}});
    rows.push_back({{indent + QStringLiteral("Des mises sur ces cases, une roue équilibrée garde "
                                             "2,7 % ; celle-ci, au taux mesuré : %1 à %2.")
                                  .arg(percent(r.keptLow), percent(r.keptHigh))}});
}

} // namespace

Section pinSection(const roulette::PinBook &book)
{
    Section s;
    s.title = QStringLiteral("Pistes épinglées");
    s.explanation = QStringLiteral(
        "Une piste épinglée est jugée sur les seuls tirages venus après l'épingle : ceux qui l'ont "
        "choisie n'y comptent pas, si bien que son verdict reste honnête même lu après chaque "
        "tirage. L'intervalle de l'excès vaut à chaque tirage à la fois, 19 fois sur 20. Ce que "
        "la roue garde des mises (négatif : elle rendrait plus qu'on n'y mise) est un fait sur la "
        "roue, pas un conseil de jeu.");
    s.tables.push_back({s.title,
                        {QStringLiteral("Piste"), QStringLiteral("Verdict"), QStringLiteral("E"),
                         QStringLiteral("Tirages depuis")},
                        {}});
    const auto pins = static_cast<int>(book.marks().size());
    if (pins == 0) {
        s.notYet = QStringLiteral("Aucune piste épinglée. Un clic droit sur « Où » du verdict, sur "
                                  "un arc du balayage ou sur le numéro le plus ou le moins sorti "
                                  "l'épingle : elle est alors suivie sur les tirages à venir.");
        s.figures = false;
        return s;
    }
    std::vector<Row> &rows = s.tables.back().rows;
    for (std::size_t i = 0; i < book.marks().size(); ++i) {
        const roulette::PinMark &mark = book.marks()[i];
        const roulette::Pin &pin = book.pins()[i];
        const roulette::PinReading r = pin.read();
        const roulette::HeadlineLevel level = roulette::pinLevel(r.e, pins);
        Cell where{suspectText(mark.suspect), {}, {}, true, mark.suspect};
        rows.push_back({where,
                        {levelName(level), levelColour(level), {}, true},
                        {evidenceText(r.e)},
                        {count(std::max<std::int64_t>(pin.spins() - mark.pinnedAt, 0))}});
        addPinLines(rows, mark, r);
    }
    const double times = pins;
    const QString levels = QStringLiteral("doute à partir de %1, preuve à partir de %2.")
                               .arg(frenchNumber(times * roulette::HintLevel),
                                    frenchNumber(times * roulette::EstablishedLevel));
    if (pins == 1) {
        rows.push_back({{QStringLiteral("Seuils de la piste : ") + levels}});
    } else {
        rows.push_back({{QStringLiteral("Avec %1 pistes, une fausse alerte parmi elles serait "
                                        "jusqu'à %1 fois plus probable ;")
                             .arg(pins)}});
        rows.push_back(
            {{QStringLiteral("chacune est donc jugée à %1 fois les seuils : ").arg(pins) +
              levels}});
    }
    return s;
}

} // namespace report
