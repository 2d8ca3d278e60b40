#include "drawrecord/DrawRecordWindow.h"

#include "drawrecord/logic/RecordLines.h"
#include "shell/core/AppServices.h"
#include "shell/core/Clock.h"
#include "shell/core/DrawLog.h"
#include "shell/core/FolderOpener.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zelvano
{

DrawRecordWindow* DrawRecordWindow::showFor(AppServices& services, QWidget* owner)
{
    auto* window = owner->findChild<DrawRecordWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new DrawRecordWindow(services, owner);
    window->fill();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

DrawRecordWindow::DrawRecordWindow(AppServices& services, QWidget* owner)
    : QWidget(owner, Qt::Window), m_services(services)
{
    setObjectName(QStringLiteral("DrawRecordWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("抽取记录 - ") +
                   QDir::toNativeSeparators(m_services.drawLog->filePath()));
    resize(760, 420);

    auto* table = new QTableWidget(this);
    table->setObjectName(QStringLiteral("lstRecord"));
    table->setColumnCount(static_cast<int>(recordColumns().size()));
    table->setHorizontalHeaderLabels(recordColumns());
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(false);
    table->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);

    auto* empty = new QLabel(QStringLiteral("今天还没有抽取记录。"), this);
    empty->setObjectName(QStringLiteral("lblEmpty"));

    auto* open = new QPushButton(QStringLiteral("打开所在文件夹"), this);
    open->setObjectName(QStringLiteral("cmdOpenFolder"));
    connect(open, &QPushButton::clicked, this, [this] {
        m_services.folderOpener->openFolder(
            QFileInfo(m_services.drawLog->filePath()).absolutePath());
    });
    open->setEnabled(m_services.folderOpener != nullptr);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(empty);
    buttons->addStretch();
    buttons->addWidget(open);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addLayout(buttons);
}

void DrawRecordWindow::fill()
{
    QFile file(m_services.drawLog->filePath());
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const auto lines = linesOfDay(bytes, m_services.clock->today());

    auto* table = findChild<QTableWidget*>(QStringLiteral("lstRecord"));
    table->setRowCount(static_cast<int>(lines.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const QStringList& fields = lines[static_cast<size_t>(row)];
        for (int column = 0; column < fields.size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(fields[column]));
    }
    table->resizeColumnsToContents();
    findChild<QLabel*>(QStringLiteral("lblEmpty"))->setVisible(lines.empty());
}

} // namespace zelvano
