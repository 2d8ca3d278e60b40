#pragma once

#include <QImage>
#include <QStringList>

#include <vector>

class QWidget;

namespace zelvano
{

// The bar chart of 点名统计: the calls of each person as bars and, when
// given, the chance in the next call as a line in percent on its own axis.
// Built on Qt Charts; a build without it has no chart (widget() is null)
// and the window shows its table alone.
class CallChart
{
public:
    explicit CallChart(QWidget* parent);
    ~CallChart();
    CallChart(const CallChart&) = delete;
    CallChart& operator=(const CallChart&) = delete;

    QWidget* widget() const { return m_widget; }
    void show(const QString& title, const QStringList& names, const std::vector<int>& calls,
              const std::vector<double>& chancePercent);
    // The chart as a picture at its size on the screen; null without one.
    QImage picture() const;

private:
    QWidget* m_widget = nullptr;
    QWidget* m_view = nullptr;
};

} // namespace zelvano
