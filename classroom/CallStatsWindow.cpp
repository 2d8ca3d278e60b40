#include "classroom/CallStatsWindow.h"

#include "classroom/CallChart.h"
#include "shell/core/AppServices.h"
#include "shell/core/Clock.h"
#include "shell/core/FileChooser.h"
#include "shell/core/MessageService.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace zelvano
{

namespace
{

QString lessonCaption(const LessonCalls& lesson)
{
    return lesson.day.toString(QStringLiteral("yyyy-MM-dd"));
}

QString percentText(double chance)
{
    return QString::number(chance * 100.0, 'f', 1) + QLatin1Char('%');
}

} // namespace

CallStatsWindow* CallStatsWindow::showFor(AppServices& services, QWidget* owner, Source source,
                                          LessonsChanged lessonsChanged)
{
    auto* window = owner->findChild<CallStatsWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new CallStatsWindow(services, owner, std::move(source), std::move(lessonsChanged));
    window->fill();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

CallStatsWindow::CallStatsWindow(AppServices& services, QWidget* owner, Source source,
                                 LessonsChanged lessonsChanged)
    : QWidget(owner, Qt::Window), m_services(services), m_source(std::move(source)),
      m_lessonsChanged(std::move(lessonsChanged))
{
    setObjectName(QStringLiteral("CallStatsWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(940, 640); // inside 1024 x 768 with the window's frame
    buildControls();
}

void CallStatsWindow::buildControls()
{
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblTjZy"));
    m_summary->setWordWrap(true);
    m_from = new QComboBox(this);
    m_from->setObjectName(QStringLiteral("cmbCong"));
    m_from->setAccessibleName(QStringLiteral("从哪节课"));
    m_to = new QComboBox(this);
    m_to->setObjectName(QStringLiteral("cmbDao"));
    m_to->setAccessibleName(QStringLiteral("到哪节课"));
    for (QComboBox* box : {m_from, m_to})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { showRange(); });
    m_lessons = new QSpinBox(this);
    m_lessons->setObjectName(QStringLiteral("txtJhKs"));
    m_lessons->setAccessibleName(QStringLiteral("均衡点名计入的课数"));
    m_lessons->setRange(1, 100);
    connect(m_lessons, &QSpinBox::valueChanged, this, [this](int lessons) {
        if (lessons == m_stats.balanceLessons)
            return;
        m_lessonsChanged(lessons);
        fill();
    });
    m_export = new QPushButton(QStringLiteral("导出图片…"), this);
    m_export->setObjectName(QStringLiteral("cmdDcTp"));
    connect(m_export, &QPushButton::clicked, this, [this] { exportPicture(); });
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("lstTj"));
    m_table->setAccessibleName(QStringLiteral("点名次数表"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->setMinimumWidth(260);
    m_chart = new CallChart(this);

    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel(QStringLiteral("从"), this));
    range->addWidget(m_from);
    range->addWidget(new QLabel(QStringLiteral("到"), this));
    range->addWidget(m_to);
    range->addSpacing(24);
    range->addWidget(new QLabel(QStringLiteral("均衡点名计入最近"), this));
    range->addWidget(m_lessons);
    range->addWidget(new QLabel(QStringLiteral("节课"), this));
    range->addStretch();
    auto* body = new QHBoxLayout;
    if (m_chart->widget())
        body->addWidget(m_chart->widget(), 3);
    body->addWidget(m_table, m_chart->widget() ? 1 : 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_export);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(range);
    layout->addWidget(m_summary);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
}

void CallStatsWindow::fill()
{
    m_stats = m_source();
    setWindowTitle(QStringLiteral("点名统计 - ") + m_stats.className);
    const QSignalBlocker fromBlocker(m_from);
    const QSignalBlocker toBlocker(m_to);
    const QSignalBlocker lessonsBlocker(m_lessons);
    const int from = m_from->currentIndex();
    const int to = m_to->currentIndex();
    const bool toLast = to < 0 || to == m_to->count() - 1;
    m_from->clear();
    m_to->clear();
    for (const LessonCalls& lesson : m_stats.lessons) {
        m_from->addItem(lessonCaption(lesson));
        m_to->addItem(lessonCaption(lesson));
    }
    // First shown: the last lesson alone; later fills keep the range, and
    // a range that reached the last lesson takes in a new one.
    const int last = m_to->count() - 1;
    m_to->setCurrentIndex(toLast ? last : std::min(to, last));
    m_from->setCurrentIndex(from < 0 ? last : std::min(from, m_to->currentIndex()));
    m_lessons->setValue(m_stats.balanceLessons);
    m_lessons->setEnabled(m_stats.balanced);
    showRange();
}

void CallStatsWindow::showRange()
{
    if (m_from->currentIndex() > m_to->currentIndex()) {
        const QSignalBlocker blocker(m_to);
        m_to->setCurrentIndex(m_from->currentIndex());
    }
    const int persons = static_cast<int>(m_stats.persons.size());
    const std::vector<int> calls =
        callsOver(m_stats.lessons, m_from->currentIndex(), m_to->currentIndex(), persons);
    int total = 0;
    for (const int n : calls)
        total += n;
    const int lessons =
        m_stats.lessons.empty() ? 0 : m_to->currentIndex() - m_from->currentIndex() + 1;
    QString summary =
        m_stats.lessons.empty()
            ? QStringLiteral("抽取记录里还没有这个班的点名。")
            : QStringLiteral("%1 节课，共点名 %2 次，%3 人。").arg(lessons).arg(total).arg(persons);
    summary += m_stats.balanced
                   ? QStringLiteral("均衡点名已开：最近 %1 节课里点得少的人，下次机会大些；"
                                    "这一轮已点到的人，本轮不再点到。")
                         .arg(m_stats.balanceLessons)
                   : QStringLiteral("均衡点名没有开：每人机会相同。");
    m_summary->setText(summary);

    const bool chances = m_stats.balanced && m_stats.chances.size() == m_stats.persons.size();
    QStringList headers{QStringLiteral("学号"), QStringLiteral("姓名"), QStringLiteral("点名次数")};
    if (chances)
        headers << QStringLiteral("下次机会");
    m_table->clear();
    m_table->setColumnCount(static_cast<int>(headers.size()));
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setRowCount(persons);
    QStringList names;
    std::vector<double> percent;
    for (int row = 0; row < persons; ++row) {
        const Person& person = m_stats.persons[static_cast<std::size_t>(row)];
        const auto k = static_cast<std::size_t>(row);
        names << person.name;
        m_table->setItem(row, 0, new QTableWidgetItem(person.number));
        m_table->setItem(row, 1, new QTableWidgetItem(person.name));
        m_table->setItem(row, 2, new QTableWidgetItem(QString::number(calls[k])));
        if (chances) {
            m_table->setItem(row, 3, new QTableWidgetItem(percentText(m_stats.chances[k])));
            percent.push_back(m_stats.chances[k] * 100.0);
        }
    }
    m_table->resizeColumnsToContents();
    const QString range =
        lessons <= 1 ? m_from->currentText()
                     : m_from->currentText() + QStringLiteral(" 至 ") + m_to->currentText();
    m_chart->show(m_stats.className + QStringLiteral(" 点名次数 ") + range, names, calls, percent);
    m_export->setEnabled(persons > 0);
}

void CallStatsWindow::exportPicture()
{
    const QString day = m_services.clock->today().toString(QStringLiteral("yyyyMMdd"));
    const QString suggested =
        QDir(m_services.dataDir)
            .filePath(QStringLiteral("点名统计-%1-%2.png").arg(m_stats.className, day));
    QString path = m_services.files->chooseSavePath(QStringLiteral("导出图片"),
                                                    QDir::toNativeSeparators(suggested),
                                                    QStringLiteral("PNG 图片 (*.png)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    QImage picture = m_chart->picture();
    if (picture.isNull())
        picture = m_table->grab().toImage();
    if (!picture.save(path, "PNG")) {
        m_services.messages->show(QStringLiteral("图片没有保存：") +
                                      QDir::toNativeSeparators(path) +
                                      QStringLiteral("\n请换一个文件夹再试。"),
                                  QStringLiteral("导出图片"), MessageIcon::Exclamation);
    }
}

} // namespace zelvano
