#include "ui/study/studyaccessible.h"

#include <QAccessibleWidget>

#include "ui/study/wheelchart.h"

namespace
{

// The description is written from the chart's report when a screen reader asks, not at every
// spin.
class WheelChartAccessible : public QAccessibleWidget
{
public:
    explicit WheelChartAccessible(WheelChart *chart) : QAccessibleWidget(chart, QAccessible::Chart)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description)
            return report::chartDescription(static_cast<const WheelChart *>(widget())->chart());
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *wheelChartFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("WheelChart") && object && object->isWidgetType())
        return new WheelChartAccessible(static_cast<WheelChart *>(object));
    return nullptr;
}

} // namespace

void installStudyAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(wheelChartFactory);
        return true;
    }();
    (void)installed;
}
