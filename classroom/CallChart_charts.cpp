#include "classroom/CallChart.h"

#include "shell/gui/Fonts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFontMetrics>
#include <QLineSeries>
#include <QScrollArea>
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
    m_view = view;
    // A class of sixty has more names than fit beside the table: the chart
    // grows to a readable width and scrolls sideways.
    auto* scroll = new QScrollArea(parent);
    scroll->setObjectName(QStringLiteral("scrTj"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(view);
    m_widget = scroll;
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
    const QFont labelFont = songFont(names.size() > 30 ? 8 : 10);
    categories->setLabelsFont(labelFont);
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
    // Qt Charts hides a turned name whose line is wider than its bar's slot,
    // the first one at least; every slot gets a line and a little more.
    const int slot = QFontMetrics(labelFont).height() + 4;
    const int axes = chancePercent.empty() ? 120 : 200;
    auto* view = static_cast<QChartView*>(m_view);
    view->setMinimumWidth(names.size() > 12 ? static_cast<int>(names.size()) * slot + axes : 0);
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}

QImage CallChart::picture() const
{
    return m_view->grab().toImage();
}

} // namespace zelvano
