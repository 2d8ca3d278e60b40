#include "drawrecord/logic/RecordLines.h"

#include <QRegularExpression>

#include <algorithm>

namespace zelvano
{

namespace
{

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

bool looksLikeFormula(const QString& text)
{
    return !text.isEmpty() && QStringLiteral("=+-@").contains(text.front());
}

} // namespace

QStringList recordColumns()
{
    return {QStringLiteral("时间"),       QStringLiteral("窗口"), QStringLiteral("班级或奖品"),
            QStringLiteral("抽取前人数"), QStringLiteral("结果"), QStringLiteral("类型")};
}

QString eventKindText(DrawEventKind kind)
{
    switch (kind) {
    case DrawEventKind::Voided:
        return QStringLiteral("作废");
    case DrawEventKind::ScoreTakenBack:
        return QStringLiteral("撤销成绩");
    case DrawEventKind::Draw:
        break;
    }
    return QStringLiteral("抽取");
}

QString singleLine(const QString& shown)
{
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n]+"));
    QString out = shown;
    out.replace(breaks, QStringLiteral(" "));
    return out.trimmed();
}

QString csvField(const QString& text)
{
    QString field = looksLikeFormula(text) ? QLatin1Char('\'') + text : text;
    if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
        field.contains(QLatin1Char('\r')) || field.contains(QLatin1Char('\n'))) {
        field.replace(QLatin1String("\""), QLatin1String("\"\""));
        field = QLatin1Char('"') + field + QLatin1Char('"');
    }
    return field;
}

QByteArray recordHeader()
{
    QStringList fields;
    for (const QString& title : recordColumns())
        fields << csvField(title);
    return QByteArray("\xEF\xBB\xBF") + fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

QByteArray recordLine(const DrawEvent& event, const QDateTime& when)
{
    const QStringList fields{
        csvField(when.toString(kTimeFormat)),
        csvField(singleLine(event.window)),
        csvField(singleLine(event.subject)),
        event.poolBefore < 0 ? QString() : QString::number(event.poolBefore),
        csvField(singleLine(event.result)),
        csvField(eventKindText(event.kind)),
    };
    return fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

QStringList splitCsvLine(const QString& line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c != QLatin1Char('"'))
                field += c;
            else if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"'))
                field += line.at(++i);
            else
                quoted = false;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

QString shownField(const QString& field)
{
    if (field.size() > 1 && field.front() == QLatin1Char('\'') && looksLikeFormula(field.mid(1)))
        return field.mid(1);
    return field;
}

std::vector<QStringList> recordEntries(const QByteArray& record)
{
    static const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d "));
    const int columns = static_cast<int>(recordColumns().size());
    std::vector<QStringList> out;
    for (const QByteArray& raw : record.split('\n')) {
        QString line = QString::fromUtf8(raw);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!stamp.match(line).hasMatch())
            continue;
        QStringList fields = splitCsvLine(line);
        if (fields.size() != columns)
            continue;
        for (QString& field : fields)
            field = shownField(field);
        out.push_back(fields);
    }
    return out;
}

std::vector<QStringList> linesOfDay(const QByteArray& record, const QDate& day)
{
    const QString prefix = day.toString(QStringLiteral("yyyy-MM-dd "));
    std::vector<QStringList> out;
    for (QStringList& fields : recordEntries(record)) {
        if (fields.front().startsWith(prefix))
            out.push_back(std::move(fields));
    }
    std::reverse(out.begin(), out.end());
    return out;
}

} // namespace zelvano
