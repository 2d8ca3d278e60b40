#include "prizedraw/logic/PrizeTexts.h"

#include "shell/core/Numbers.h"

#include <cmath>

namespace zelvano
{

namespace
{

QString spaces(int count)
{
    return QString(count, QLatin1Char(' '));
}

const QString kCrLf = QStringLiteral("\r\n");

// Characters a monospaced CJK face draws twice as wide as a Latin letter:
// the East Asian wide and full-width blocks.
bool wideCharacter(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// A heading whose captions start where the columns below them start.
QString heading(std::initializer_list<std::pair<const char*, int>> columns)
{
    QString line;
    for (const auto& [caption, width] : columns) {
        const QString text = QString::fromUtf8(caption);
        line += text + (width > 0 ? pad(width, text) : QString());
    }
    return line;
}

} // namespace

int listWidth(const QString& text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4())
        width += wideCharacter(c) ? 2 : 1;
    return width;
}

QString pad(int width, const QString& text)
{
    return spaces(std::max(width - listWidth(text), 1));
}

QStringList prizeListLines(const std::vector<Prize>& prizes)
{
    QStringList lines{
        heading({{"序号", 11}, {"等级", 15}, {"奖品", 15}, {"库存", 12}, {"已用", 0}})};
    int t = 0;
    for (const Prize& prize : prizes) {
        ++t;
        const QString number = QString::number(t);
        const QString remaining = QString::number(prize.remaining);
        const QString used = QString::number(prize.used);
        lines << QString();
        // The column headed "库存" shows what is left, not the stock.
        lines << QLatin1Char(' ') + number + QLatin1Char(' ') +
                     pad(11, number + QStringLiteral("、")) + prize.level + pad(15, prize.level) +
                     prize.name + pad(15, prize.name) + remaining + pad(12, remaining) + used +
                     pad(12, used);
    }
    return lines;
}

QStringList nameListLines(const std::vector<Entrant>& people)
{
    const QString gap = spaces(8);
    QStringList lines{heading({{"号码", 11}, {"姓名", 12}, {"等级", 12}, {"奖品", 0}})};
    for (const Entrant& person : people) {
        const QString line =
            QLatin1Char(' ') + (person.number.size() == 1 ? QStringLiteral(" ") : QString()) +
            person.number + gap + person.name + pad(12, person.name) + person.levelWon +
            pad(12, person.levelWon) + person.prizeWon + pad(12, person.prizeWon);
        if (person.hasWon())
            lines.insert(1, line);
        else
            lines << line;
    }
    return lines;
}

QString personDisplay(const QString& number, const QString& name)
{
    return number + kCrLf + name;
}

QString titleText(const QString& title, const QString& subtitle)
{
    return kCrLf + title + kCrLf + kCrLf + subtitle;
}

QString finishedText(const QString& title, const QString& subtitle)
{
    return titleText(title, subtitle) + kCrLf + kCrLf + QStringLiteral("圆满结束");
}

QString exhaustedText(const QString& level)
{
    return kCrLf + level + kCrLf + kCrLf + QStringLiteral("奖品已经领完");
}

QString prizeText(const QString& level, const QString& name)
{
    const QString l = level.trimmed();
    const QString n = name.trimmed();
    return kCrLf + l + (!l.isEmpty() && !n.isEmpty() ? QStringLiteral(" : ") : QString()) + n;
}

QString sheetProblemText(SheetProblem problem, const QString& rollBookName)
{
    QString what;
    switch (problem) {
    case SheetProblem::Unreadable:
        what = QStringLiteral("%1打不开或已损坏").arg(rollBookName);
        break;
    case SheetProblem::NoWorksheet:
        what = QStringLiteral("%1中没有工作表").arg(rollBookName);
        break;
    case SheetProblem::NoPrizeSheet:
        what = QStringLiteral("%1中没有“抽奖品”工作表").arg(rollBookName);
        break;
    case SheetProblem::DamagedSheet:
        what = QStringLiteral("“抽奖品”工作表读不出来");
        break;
    case SheetProblem::TooFewPrizes:
        what = QStringLiteral("“抽奖品”工作表的奖品区不到两行\r\n（从第3行起，A列填序号）");
        break;
    }
    return kCrLf + what + kCrLf + kCrLf + QStringLiteral("无法抽奖，请改好后点“刷新”");
}

QString winnerLine(int count, const QString& person, const QString& level, const QString& prize)
{
    return QString::number(count) + QStringLiteral("  ") + person + QStringLiteral("获") + level +
           QLatin1Char(',') + prize;
}

QString awardRowGoneText(const QString& keys, const QString& rollBookName)
{
    return QStringLiteral("抽奖品工作表中找不到“%1”这一行，这次获奖没有写入%2。\r\n"
                          "获奖记录保留在本窗口中：请检查抽奖品工作表后点“写名单”。")
        .arg(keys, rollBookName);
}

QString unwrittenRefreshText(const QString& rollBookName)
{
    return QStringLiteral("还有获奖记录没有写入%1，现在刷新会让获奖者重新参加抽奖。\r\n"
                          "请关闭占用点名册的程序或检查抽奖品工作表，点“写名单”写入后再刷新。")
        .arg(rollBookName);
}

QString appendWinner(const QString& oldWinners, const QString& display)
{
    const QString old = oldWinners.trimmed();
    return old.isEmpty() ? display : old + QLatin1Char(',') + display;
}

QRect prizePictureRect(QSize picture, QSize window, int displayBottom, int sidePanelLeft,
                       int margin)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return {};
    const double exact = double(picture.width()) / picture.height();
    double ratio = toInt32(exact);
    if (ratio == 0)
        ratio = exact;
    double width = window.width() / 3.0;
    double height = width / ratio;
    const double freeHeight = window.height() - displayBottom - margin;
    if (height > freeHeight) {
        height = freeHeight;
        width = ratio * freeHeight;
    }
    if (width < 1 || height < 1)
        return {};
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    return QRect((sidePanelLeft - w) / 2, window.height() - h - margin, w, h);
}

QString voidQuestion(const QString& number, const QString& name, const QString& level,
                     const QString& prize, bool redraw)
{
    const QString who = number.isEmpty() && name.isEmpty()
                            ? QStringLiteral("最近一次抽出的")
                            : QStringLiteral(" %1 %2 获得的").arg(number.trimmed(), name.trimmed());
    const QString what =
        QStringLiteral("作废%1%2（%3）").arg(who, level.trimmed(), prize.trimmed());
    if (redraw)
        return what + QStringLiteral("，并为这个奖品重新抽取？\r\n此人不再参加本次抽奖。");
    if (number.isEmpty() && name.isEmpty())
        return what + QStringLiteral("？\r\n奖品退回奖池。");
    return what + QStringLiteral("？\r\n奖品退回奖池，此人不再参加本次抽奖。");
}

} // namespace zelvano
