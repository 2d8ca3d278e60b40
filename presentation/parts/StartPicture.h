#pragma once

#include <QPixmap>
#include <QString>
#include <QToolButton>

#include <functional>

namespace zelvano
{

// The round start button of the draw windows: "img/bt1.gif" while the
// pointer is over it, "img/bt2.gif" otherwise, the caption when a picture
// is missing. It draws no panel of its own, so no square shows around the
// round picture, and it comes back with the normal look whenever it is
// shown again after a draw.
class StartPicture : public QToolButton
{
public:
    StartPicture(QWidget* parent, const QString& caption, std::function<void()> onPress);
    void showLook(bool hover);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QString m_caption;
    QPixmap m_hover;
    QPixmap m_normal;
};

} // namespace zelvano
