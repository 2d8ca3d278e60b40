#pragma once

#include "classroom/logic/CallHistory.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace zelvano
{

struct AppServices;
class CallChart;

// "点名统计": how often each person of the class was called, in one lesson
// or over a range of lessons, as a bar chart and a table, and, while
// 均衡点名 is on, each person's chance in the next call. The picture of the
// chart can be saved as PNG. It reads what `source` gives each time it is
// filled, so it shows the record as it is now.
class CallStatsWindow : public QWidget
{
    Q_OBJECT

public:
    using Source = std::function<CallStats()>;
    // The lessons 均衡点名 counts, as the teacher set them here.
    using LessonsChanged = std::function<void(int lessons)>;

    // The window of `owner`, made on first use, filled and shown.
    static CallStatsWindow* showFor(AppServices& services, QWidget* owner, Source source,
                                    LessonsChanged lessonsChanged);
    // Fills again from the source (after a draw, while it is open).
    void fill();

private:
    CallStatsWindow(AppServices& services, QWidget* owner, Source source,
                    LessonsChanged lessonsChanged);
    void buildControls();
    void showRange();
    void exportPicture();

    AppServices& m_services;
    Source m_source;
    LessonsChanged m_lessonsChanged;
    CallStats m_stats;
    QLabel* m_summary = nullptr;
    QComboBox* m_from = nullptr;
    QComboBox* m_to = nullptr;
    QSpinBox* m_lessons = nullptr;
    QPushButton* m_export = nullptr;
    QTableWidget* m_table = nullptr;
    CallChart* m_chart = nullptr;
};

} // namespace zelvano
