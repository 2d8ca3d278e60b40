#include "classroom/CallChart.h"

#include "shell/gui/Fonts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace zelvano
{

CallChart::CallChart(QWidget* parent)
{
    auto* view = new QChartView(parent);
    view->setObjectName(QStringLiteral("chtTj"));
    view->setAccessibleName(QStringLiteral("点名次数图"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(260);
    m_widget = view;
}

CallChart::~CallChart() = default;

void CallChart::show(const QString& title, const QStringList& names, const std::vector<int>& calls,
                     const std::vector<double>& chancePercent)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(songFont(12, true));
    chart->legend()->setAlignment(Qt::AlignBottom);

    auto* set = new QBarSet(QStringLiteral("点名次数"));
    int most = 1;
    for (const int n : calls) {
        *set << n;
        most = std::max(most, n);
    }
    auto* bars = new QBarSeries;
    bars->append(set);
    chart->addSeries(bars);

    auto* categories = new QBarCategoryAxis;
    categories->append(names);
    categories->setLabelsAngle(names.size() > 12 ? -90 : 0);
    categories->setLabelsFont(songFont(names.size() > 30 ? 8 : 10));
    // Truncated, a rotated name shows as an ellipsis alone.
    categories->setTruncateLabels(false);
    chart->addAxis(categories, Qt::AlignBottom);
    bars->attachAxis(categories);
    auto* count = new QValueAxis;
    count->setRange(0, most);
    count->setTickCount(std::min(most, 10) + 1);
    count->setLabelFormat(QStringLiteral("%d"));
    count->setTruncateLabels(false);
    chart->addAxis(count, Qt::AlignLeft);
    bars->attachAxis(count);

    if (!chancePercent.empty()) {
        auto* line = new QLineSeries;
        line->setName(QStringLiteral("下次点到的机会（%）"));
        double highest = 1;
        for (std::size_t i = 0; i < chancePercent.size(); ++i) {
            line->append(static_cast<double>(i), chancePercent[i]);
            highest = std::max(highest, chancePercent[i]);
        }
        line->setPointsVisible(true);
        chart->addSeries(line);
        auto* percent = new QValueAxis;
        percent->setRange(0, highest * 1.1);
        percent->setLabelFormat(QStringLiteral("%.1f"));
        percent->setTitleText(QStringLiteral("机会 %"));
        percent->setTruncateLabels(false);
        chart->addAxis(percent, Qt::AlignRight);
        line->attachAxis(categories);
        line->attachAxis(percent);
    }
    auto* view = static_cast<QChartView*>(m_widget);
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}

QImage CallChart::picture() const
{
    return m_widget->grab().toImage();
}

} // namespace zelvano
