#include "classroom/NewClassDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zelvano
{

namespace
{

// At least two persons: a shorter list reads as an empty class.
constexpr int kFewestPersons = 2;

QString noteOf(const PastedEntry& entry)
{
    switch (entry.kind) {
    case PastedEntry::Kind::Person:
        return {};
    case PastedEntry::Kind::Duplicate:
        return QStringLiteral("重复，同%1号，不列入").arg(entry.number);
    case PastedEntry::Kind::Empty:
        return QStringLiteral("空行，已略过");
    case PastedEntry::Kind::Skipped:
        break;
    }
    return QStringLiteral("序号或列名，已略过");
}

} // namespace

NewClassDialog::NewClassDialog(QStringList sheets, Create create, QWidget* parent)
    : QDialog(parent), m_sheets(std::move(sheets)), m_create(std::move(create))
{
    setObjectName(QStringLiteral("NewClassDialog"));
    setWindowTitle(QStringLiteral("新建班级"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(720, 600); // inside 1024 x 768 with the window's frame
    buildControls();
    refresh();
}

void NewClassDialog::buildControls()
{
    auto* hint = new QLabel(
        QStringLiteral("把名单粘贴到下面：每行一个名字，或用 Tab、逗号、顿号隔开。"), this);
    hint->setWordWrap(true);
    m_list = new QPlainTextEdit(this);
    m_list->setObjectName(QStringLiteral("txtMd"));
    m_list->setAccessibleName(QStringLiteral("粘贴名单"));
    m_list->setTabChangesFocus(false); // a tab pasted or typed separates names
    m_preview = new QTableWidget(0, 3, this);
    m_preview->setObjectName(QStringLiteral("lstYl"));
    m_preview->setAccessibleName(QStringLiteral("名单预览"));
    m_preview->setHorizontalHeaderLabels(
        {QStringLiteral("学号"), QStringLiteral("姓名"), QStringLiteral("说明")});
    m_preview->horizontalHeader()->setStretchLastSection(true);
    m_preview->verticalHeader()->hide();
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblRs"));

    auto* nameLabel = new QLabel(QStringLiteral("班级名称："), this);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("txtBjMc"));
    m_name->setAccessibleName(QStringLiteral("班级名称"));
    m_name->setPlaceholderText(QStringLiteral("例如：三年级2班"));
    m_name->setMaxLength(31);
    nameLabel->setBuddy(m_name);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("lblTs"));
    m_problem->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_ok = new QPushButton(QStringLiteral("建立班级"), this);
    m_ok->setObjectName(QStringLiteral("cmdJl"));
    m_ok->setAccessibleName(QStringLiteral("建立班级"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdQx"));
    cancel->setAccessibleName(QStringLiteral("取消"));

    auto* lists = new QHBoxLayout;
    lists->addWidget(m_list, 1);
    lists->addWidget(m_preview, 1);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_name, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_problem, 1);
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(lists, 1);
    layout->addWidget(m_count);
    layout->addLayout(nameRow);
    layout->addLayout(buttons);

    connect(m_list, &QPlainTextEdit::textChanged, this, [this] { refresh(); });
    connect(m_name, &QLineEdit::textChanged, this, [this] { refresh(); });
    connect(m_ok, &QPushButton::clicked, this, [this] { cmdJl_Click(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_ok->setDefault(true);
}

void NewClassDialog::refresh()
{
    m_pasted = readPastedClass(m_list->toPlainText());
    showPreview();
    const QString name = m_name->text().trimmed();
    QString problem;
    if (!m_pasted.entries.empty() && m_pasted.persons < kFewestPersons)
        problem = QStringLiteral("名单至少要有%1人。").arg(kFewestPersons);
    else if (!name.isEmpty())
        problem = classNameProblem(name, m_sheets);
    m_problem->setText(problem);
    m_problem->setAccessibleName(problem);
    m_ok->setEnabled(problem.isEmpty() && !name.isEmpty() && m_pasted.persons >= kFewestPersons);
}

void NewClassDialog::showPreview()
{
    m_preview->setRowCount(static_cast<int>(m_pasted.entries.size()));
    const QColor marked(255, 222, 222);
    for (int row = 0; row < m_preview->rowCount(); ++row) {
        const PastedEntry& entry = m_pasted.entries[static_cast<std::size_t>(row)];
        const bool person = entry.kind == PastedEntry::Kind::Person;
        const QStringList texts{person ? QString::number(entry.number) : QString(),
                                entry.kind == PastedEntry::Kind::Empty ? QStringLiteral("（空）")
                                                                       : entry.name,
                                noteOf(entry)};
        for (int column = 0; column < texts.size(); ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            if (!person)
                item->setBackground(
                    entry.kind == PastedEntry::Kind::Duplicate ? marked : QColor(236, 236, 236));
            m_preview->setItem(row, column, item);
        }
    }
    const QString count = m_pasted.entries.empty() ? QString() : m_pasted.summary();
    m_count->setText(count);
    m_count->setAccessibleName(count);
}

void NewClassDialog::cmdJl_Click()
{
    if (!m_ok->isEnabled())
        return;
    if (m_create(m_name->text().trimmed(), m_pasted.names()))
        accept();
}

} // namespace zelvano
